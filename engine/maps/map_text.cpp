#include "map_text.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::size_t kReadChunk = 1 << 20;
constexpr std::size_t kQuotedTextMax = 24;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool IsNaNText(std::string_view token) {
    return token.size() == 3 && (token[0] | 0x20) == 'n' && (token[1] | 0x20) == 'a' &&
           (token[2] | 0x20) == 'n';
}

// One value: a decimal number as the "C" locale writes it, or NaN.
bool ParseValue(std::string_view token, double& value) {
    if (IsNaNText(token)) {
        value = kNaN;
        return true;
    }
    if (token.size() > 1 && token[0] == '+' && token[1] != '-') {
        token.remove_prefix(1);
    }
    const char* end = token.data() + token.size();
    const auto [ptr, ec] = std::from_chars(token.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

std::string Quoted(std::string_view token) {
    std::string text(token.substr(0, kQuotedTextMax));
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) {
            c = '?';
        }
    }
    return "\"" + text + (token.size() > kQuotedTextMax ? "...\"" : "\"");
}

} // namespace

MapText ReadMapText(const std::string& path) {
    MapText out;
    gzFile file = gzopen(path.c_str(), "rb");
    if (file == nullptr) {
        out.error = path + ": cannot be opened (" + std::strerror(errno) + ")";
        return out;
    }
    gzbuffer(file, 1 << 17);
    std::size_t size = 0;
    for (;;) {
        out.text.resize(size + kReadChunk);
        const int got = gzread(file, out.text.data() + size, static_cast<unsigned>(kReadChunk));
        if (got <= 0) {
            break;
        }
        size += static_cast<std::size_t>(got);
    }
    out.text.resize(size);
    int code = Z_OK;
    std::string why = gzerror(file, &code); // a copy: the text goes with the file
    if (code == Z_ERRNO) {
        why = std::strerror(errno);
    }
    const int closed = gzclose_r(file);
    if (code == Z_OK && closed != Z_OK) {
        code = closed;
        why = closed == Z_BUF_ERROR ? "unexpected end of file" : "cannot be closed";
    }
    if (code == Z_ERRNO) {
        out.error = path + ": cannot be read (" + why + ")";
    } else if (code != Z_OK) {
        out.error = path + ": damaged or cut-short compressed data (" + why + ")";
    }
    if (!out.error.empty()) {
        out.text.clear();
    }
    return out;
}

NumberTable ParseNumberTable(std::string_view text) {
    NumberTable table;
    std::size_t lineNumber = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        std::size_t count = 0;
        std::size_t k = 0;
        for (;;) {
            while (k < line.size() && IsBlank(line[k])) {
                ++k;
            }
            if (k == line.size()) {
                break;
            }
            const std::size_t start = k;
            while (k < line.size() && !IsBlank(line[k])) {
                ++k;
            }
            const std::string_view token = line.substr(start, k - start);
            double value = 0.0;
            if (!ParseValue(token, value)) {
                table.error = "line " + std::to_string(lineNumber) + ", value " +
                              std::to_string(count + 1) + ": " + Quoted(token) + " is not a number";
                return table;
            }
            table.values.push_back(value);
            ++count;
        }
        if (count == 0) {
            continue;
        }
        if (table.rows == 0) {
            table.cols = count;
        } else if (count != table.cols) {
            table.error = "line " + std::to_string(lineNumber) + " has " + std::to_string(count) +
                          " values where the first line has " + std::to_string(table.cols);
            return table;
        }
        ++table.rows;
    }
    if (table.rows == 0) {
        table.error = "no numbers";
    }
    return table;
}

NumberTable ReadNumberTableText(const std::string& path) {
    MapText text = ReadMapText(path);
    if (!text.error.empty()) {
        NumberTable table;
        table.error = std::move(text.error);
        return table;
    }
    NumberTable table = ParseNumberTable(text.text);
    if (!table.error.empty()) {
        table.error = path + ": " + table.error;
    }
    return table;
}
