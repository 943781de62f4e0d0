#pragma once
// A write buffer in front of a byte sink, for outputs of millions of lines
// (a sweep writes one CSV row per point). Numbers go in as the shortest text
// that reads back to the same double, always with a full stop.
#include "units.h" // ShortestText: the text putNumber() writes

#include <cstddef>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class BufferedOutput {
  public:
    // Takes a block of bytes; false when it could not take all of them.
    using Sink = std::function<bool(std::string_view)>;

    explicit BufferedOutput(Sink sink, std::size_t capacity = kDefaultCapacity);
    ~BufferedOutput(); // flushes what is left; call flush() to see the result
    BufferedOutput(const BufferedOutput&) = delete;
    BufferedOutput& operator=(const BufferedOutput&) = delete;

    void put(char c) {
        if (m_used == m_capacity) {
            drain();
        }
        m_buffer[m_used++] = c;
    }
    void put(std::string_view text);
    // Shortest round-trip text ("10", "0.1", "-123.57", "1e+27"); "nan" and
    // "inf" for values that are not finite.
    void putNumber(double value);

    // Hands everything buffered to the sink. False once any block was refused:
    // the output is then incomplete.
    bool flush();
    bool ok() const { return m_ok; }

    static constexpr std::size_t kDefaultCapacity = 64 * 1024; // bytes

  private:
    void drain();

    Sink m_sink;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_capacity;
    std::size_t m_used = 0;
    bool m_ok = true;
};

// A sink that writes to a C stream and flushes it with each block.
BufferedOutput::Sink FileSink(std::FILE* stream);
