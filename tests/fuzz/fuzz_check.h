#pragma once
// What a fuzz target does when an invariant breaks: print what was expected
// and the input's detail, then abort, so that libFuzzer keeps the input as a
// crash artifact and a corpus replay fails.
#include "test_base.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>
#include <string_view>

namespace fuzzcheck {

[[noreturn]] inline void Fail(const char* condition, const char* file, int line,
                              const std::string& detail) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n  %s\n", file, line, condition,
                 detail.c_str());
    std::fflush(stderr);
    std::abort();
}

// The text with every byte outside printable ASCII written as \xHH.
inline std::string Printable(std::string_view text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

// True when `name`, without the white space around it, occurs anywhere in
// the text, letter case aside: a profile read cannot find a section or key
// whose name the file does not hold. A blank name counts as held.
inline bool Mentioned(std::string_view text, std::string_view name) {
    const char* space = " \t\r\n\v\f";
    const size_t begin = name.find_first_not_of(space);
    if (begin == std::string_view::npos) {
        return true;
    }
    name = name.substr(begin, name.find_last_not_of(space) - begin + 1);
    const auto lower = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    const auto same = [&lower](char a, char b) { return lower(a) == lower(b); };
    return std::search(text.begin(), text.end(), name.begin(), name.end(), same) != text.end();
}

// The double with every digit that tells it apart from its neighbours.
inline std::string Number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// The "C" locale, for the C library's reading of a number as a reference.
inline locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

// Replaces the file `name` in the process's scratch directory (in memory
// where there is such a place, so that the fsync of every save costs
// nothing) with exactly `bytes`; returns its full path.
inline std::string WriteScratch(std::string_view name, std::string_view bytes) {
    static const testing_support::TempDir scratch(testing_support::TempDir::Place::Memory);
    const std::string path = scratch.valid() ? scratch.write(name, bytes) : std::string();
    if (path.empty())
        Fail("the scratch file was written", __FILE__, __LINE__, std::string(name));
    return path;
}

} // namespace fuzzcheck

// FUZZ_CHECK(condition, detail): `detail` is only built when the check fails.
#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ::fuzzcheck::Fail(#condition, __FILE__, __LINE__, (detail));                           \
        }                                                                                          \
    } while (0)
