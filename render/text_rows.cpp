#include "text_rows.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace {

constexpr std::size_t kCaptionWidth = 24; // widest caption is 22 characters
constexpr std::size_t kValueWidth = 12;   // factor texts are at most 12 characters

} // namespace

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<long>(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

void PutBudgetRow(BufferedOutput& out, std::string_view caption, std::string_view value,
                  std::string_view unit) {
    std::string line(caption);
    line.resize(std::max(line.size() + 1, kCaptionWidth), ' ');
    if (value.size() < kValueWidth) {
        line.append(kValueWidth - value.size(), ' ');
    }
    line += value;
    if (!unit.empty()) {
        line += ' ';
        line += unit;
    }
    line += '\n';
    out.put(line);
}

void PutJsonString(BufferedOutput& out, std::string_view text) {
    out.put('"');
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out.put('\\');
            out.put(c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            out.put(escaped);
        } else {
            out.put(c);
        }
    }
    out.put('"');
}

// JSON has no infinity or NaN; the calculation's sentinels are finite.
void PutJsonNumber(BufferedOutput& out, double value) {
    if (std::isfinite(value)) {
        out.putNumber(value);
    } else {
        out.put("null");
    }
}

void PutJsonEntry(BufferedOutput& out, std::string_view key, std::string_view caption, double value,
                  std::string_view text, std::string_view unit) {
    out.put("{\"key\": ");
    PutJsonString(out, key);
    out.put(", \"caption\": ");
    PutJsonString(out, caption);
    out.put(", \"value\": ");
    PutJsonNumber(out, value);
    out.put(", \"text\": ");
    PutJsonString(out, text);
    out.put(", \"unit\": ");
    PutJsonString(out, unit);
    out.put('}');
}

BufferedOutput::Sink StringSink(std::string& target) {
    return [&target](std::string_view block) {
        target.append(block);
        return true;
    };
}
