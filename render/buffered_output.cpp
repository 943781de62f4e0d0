#include "buffered_output.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <utility>

namespace {
// Longest shortest-round-trip text of a double: "-2.2250738585072014e-308".
constexpr std::size_t kMaxNumberChars = 32;
} // namespace

BufferedOutput::BufferedOutput(Sink sink, std::size_t capacity)
    : m_sink(std::move(sink)), m_capacity(std::max(capacity, kMaxNumberChars)) {
    m_buffer = std::make_unique<char[]>(m_capacity);
}

BufferedOutput::~BufferedOutput() {
    flush();
}

void BufferedOutput::drain() {
    if (m_used == 0) {
        return;
    }
    // After a refused block nothing more is offered: the reader already has a
    // gap, and a failing device should not be hammered a million times.
    if (m_ok && !m_sink(std::string_view(m_buffer.get(), m_used))) {
        m_ok = false;
    }
    m_used = 0;
}

void BufferedOutput::put(std::string_view text) {
    while (!text.empty()) {
        if (m_used == m_capacity) {
            drain();
        }
        const std::size_t n = std::min(text.size(), m_capacity - m_used);
        std::memcpy(m_buffer.get() + m_used, text.data(), n);
        m_used += n;
        text.remove_prefix(n);
    }
}

void BufferedOutput::putNumber(double value) {
    if (m_capacity - m_used < kMaxNumberChars) {
        drain();
    }
    char* first = m_buffer.get() + m_used;
    const auto [end, ec] = std::to_chars(first, first + kMaxNumberChars, value);
    if (ec == std::errc()) {
        m_used += static_cast<std::size_t>(end - first);
    }
}

bool BufferedOutput::flush() {
    drain();
    return m_ok;
}

BufferedOutput::Sink FileSink(std::FILE* stream) {
    return [stream](std::string_view block) {
        return std::fwrite(block.data(), 1, block.size(), stream) == block.size() &&
               std::fflush(stream) == 0;
    };
}
