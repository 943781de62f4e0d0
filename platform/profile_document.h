#pragma once
// The text of a profile file in memory: [sections] holding key=value lines.
// One line reader serves both the lookup and the change, so that what a
// write stores is what a read finds.
//
// The rules:
// - A UTF-8 byte-order mark at the start of the text is not part of the
//   first line; the text made by text() keeps it.
// - CR LF, LF and a lone CR each end a line.
// - White space around names and values is blank, tab and 0x1A (the old
//   end-of-file mark); it is not part of them.
// - A line whose text starts with "[" and holds "]" opens the section named
//   between them. A line holding "=" is a key line: the key before the first
//   "=", the value after it. Section and key names match without regard to
//   ASCII letter case; of two sections or keys of the same name, the first
//   counts.
// - Any other non-blank line of a section holds a key alone: it has no value,
//   yet it is the key's first line, so later lines of that key in the section
//   are hidden and a read gives nothing (the caller's default).
// - A value ends at a NUL byte; a value of two or more characters that starts
//   and ends with the same quote character (" or ') reads without them.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class ProfileDocument {
  public:
    ProfileDocument() = default;
    explicit ProfileDocument(std::string_view contents);

    // The value of `key` in `section`; nothing when either is missing or the
    // key's first line holds it alone. A key line with nothing after "=" gives
    // "".
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Stores `text` as the value of `key`: on the key's first line (a key line
    // or the key alone), the one a read looks at, keeping the line's spelling
    // of the key; or as a new line after the section's last non-blank line; or
    // in a new section at the end. False, and nothing changed, for names or a text
    // holding a line end, a section name holding "]", and a key that is empty,
    // holds "=" or starts with "[" (its line would open a section).
    bool set(std::string_view section, std::string_view key, std::string_view text);

    // Every line as it was read or set, each ended by CR LF.
    std::string text() const;

  private:
    std::size_t findSection(std::string_view section) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::size_t findKey(std::size_t header, std::string_view key) const;

    bool m_byteOrderMark = false;
    std::vector<std::string> m_lines;
};

} // namespace platform
