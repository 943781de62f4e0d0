// Fuzzes the private-profile read on arbitrary file bytes: the platform's
// GetPrivateProfileString with buffers from 1 to 1024 characters, and the
// numeric reads ReadProfileInt and ReadProfileDouble built on it. Then the
// write: the file's first line is stored as the key's value, and reading it
// back must give it, changed only as the reader changes every value.
//
// Input: the section name up to the first LF, the key name up to the second
// LF, then the bytes of the profile file. Without an LF the names are empty.
#include "fuzz_check.h"
#include "number_parse.h"
#include "private_profile.h"
#include "profile.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\x1A';
}

std::string_view withoutBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

struct ProfileInput {
    std::string_view section;
    std::string_view key;
    std::string_view file;
};

ProfileInput decode(std::string_view bytes) {
    ProfileInput in;
    const size_t first = bytes.find('\n');
    if (first == std::string_view::npos) {
        in.file = bytes;
        return in;
    }
    in.section = bytes.substr(0, first);
    const size_t second = bytes.find('\n', first + 1);
    if (second == std::string_view::npos) {
        in.file = bytes.substr(first + 1);
        return in;
    }
    in.key = bytes.substr(first + 1, second - first - 1);
    in.file = bytes.substr(second + 1);
    return in;
}

std::string describe(const ProfileInput& in, size_t bufferSize, const std::string& got) {
    return "section \"" + fuzzcheck::Printable(in.section) + "\", key \"" +
           fuzzcheck::Printable(in.key) + "\", buffer " + std::to_string(bufferSize) + ": got \"" +
           fuzzcheck::Printable(got) + "\"";
}

// The widest read: no value in a fuzz input comes near this length.
constexpr size_t kUnlimited = size_t{1} << 24;
constexpr std::array<size_t, 7> kBufferSizes{1, 2, 3, 8, 21, 1024, 4096};

void checkPlatformRead(const ProfileInput& in, const std::string& path) {
    const std::string_view marker(MissingKeyMarker);
    const std::string full =
        platform::GetPrivateProfileString(in.section, in.key, marker, kUnlimited, path);
    const std::string what = describe(in, kUnlimited, full);
    if (full != marker) {
        // A value is a piece of one line of the file, without the blanks
        // around it unless a matching pair of quotes held them.
        FUZZ_CHECK(in.file.find(full) != std::string_view::npos, what + ": not in the file");
        FUZZ_CHECK(full.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
                   what + ": holds a line end or a NUL");
        const bool quoted = in.file.find('"' + full + '"') != std::string_view::npos ||
                            in.file.find('\'' + full + '\'') != std::string_view::npos;
        FUZZ_CHECK(full.empty() || quoted || (!isBlank(full.front()) && !isBlank(full.back())),
                   what + ": blanks kept");
        FUZZ_CHECK(fuzzcheck::Mentioned(in.file, withoutBlanks(in.section)) &&
                       fuzzcheck::Mentioned(in.file, withoutBlanks(in.key)),
                   what + ": found a name that is not in the file");
    }
    for (size_t bufferSize : kBufferSizes) {
        const std::string cut =
            platform::GetPrivateProfileString(in.section, in.key, marker, bufferSize, path);
        FUZZ_CHECK(cut == full.substr(0, bufferSize - 1), describe(in, bufferSize, cut));
    }
}

// The numeric reads answer what their conversion says of the 1024-character
// read, and leave the caller's variable alone when they fail.
void checkNumericReads(const ProfileInput& in, const std::string& path) {
    const std::string section(in.section);
    const std::string key(in.key);
    const std::string text =
        platform::GetPrivateProfileString(in.section, in.key, MissingKeyMarker, 1024, path);
    const bool present = text != MissingKeyMarker;

    int32_t expectedInt = 0;
    const bool intOk = present && TextToLong(text, 10, expectedInt);
    constexpr int32_t kUntouchedInt = 0x5A5A5A5A;
    int32_t intValue = kUntouchedInt;
    const bool intRead = ReadProfileInt(path, section, key, intValue);
    FUZZ_CHECK(intRead == intOk,
               describe(in, 1024, text) + ": ReadProfileInt " + std::to_string(intRead));
    FUZZ_CHECK(intValue == (intOk ? expectedInt : kUntouchedInt),
               describe(in, 1024, text) + ": ReadProfileInt stored " + std::to_string(intValue));

    double expectedDouble = 0.0;
    const bool doubleOk = present && TextToDouble(text, expectedDouble);
    constexpr double kUntouchedDouble = -4321.5;
    double doubleValue = kUntouchedDouble;
    const bool doubleRead = ReadProfileDouble(path, section, key, doubleValue);
    FUZZ_CHECK(doubleRead == doubleOk,
               describe(in, 1024, text) + ": ReadProfileDouble " + std::to_string(doubleRead));
    FUZZ_CHECK(doubleValue == (doubleOk ? expectedDouble : kUntouchedDouble),
               describe(in, 1024, text) + ": ReadProfileDouble stored " +
                   std::to_string(doubleValue));
}

// What a read gives for a stored text: up to a NUL, without the blanks
// around it and without a matching pair of quotes.
std::string asRead(std::string_view text) {
    text = withoutBlanks(text.substr(0, text.find('\0')));
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front())
        text = text.substr(1, text.size() - 2);
    return std::string(text);
}

// The names and texts a write refuses.
bool refused(std::string_view section, std::string_view key, std::string_view text) {
    const auto lineEnd = [](std::string_view s) {
        return s.find_first_of("\r\n") != std::string_view::npos;
    };
    const std::string_view name = withoutBlanks(key);
    return lineEnd(section) || lineEnd(key) || lineEnd(text) ||
           section.find(']') != std::string_view::npos || name.empty() || name.front() == '[' ||
           name.find('=') != std::string_view::npos;
}

void checkWriteReadsBack(const ProfileInput& in, const std::string& path) {
    const std::string_view text =
        in.file.substr(0, std::min<size_t>(in.file.find_first_of("\r\n"), 64));
    const bool written = platform::WritePrivateProfileString(in.section, in.key, text, path);
    const std::string what = "writing \"" + fuzzcheck::Printable(text) + "\" to section \"" +
                             fuzzcheck::Printable(in.section) + "\", key \"" +
                             fuzzcheck::Printable(in.key) + "\"";
    FUZZ_CHECK(written != refused(in.section, in.key, text),
               what + (written ? ": written" : ": refused"));
    if (!written)
        return;
    const std::string back =
        platform::GetPrivateProfileString(in.section, in.key, MissingKeyMarker, kUnlimited, path);
    FUZZ_CHECK(back == asRead(text), what + ": read back \"" + fuzzcheck::Printable(back) + "\"");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ProfileInput in = decode(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string path = fuzzcheck::WriteScratch("fuzz.ini", in.file);
    checkPlatformRead(in, path);
    checkNumericReads(in, path);
    checkWriteReadsBack(in, path);
    return 0;
}
