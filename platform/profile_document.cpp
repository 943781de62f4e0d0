#include "profile_document.h"

namespace platform {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\x1A';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

// True for "[name]" (blanks allowed around it); `name` without its blanks.
bool sectionName(std::string_view line, std::string_view& name) {
    line = trimmed(line);
    if (line.empty() || line.front() != '[')
        return false;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos)
        return false;
    name = trimmed(line.substr(1, close - 1));
    return true;
}

// The key of a "key=value" line, without its blanks.
bool keyName(std::string_view line, std::string_view& key) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return false;
    key = trimmed(line.substr(0, equals));
    return true;
}

// The value of a key line as a read gives it.
std::string_view valueOf(std::string_view line) {
    std::string_view value = line.substr(line.find('=') + 1);
    value = trimmed(value.substr(0, value.find('\0')));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

// A line that holds nothing but a key: neither a section nor a key line.
bool keyAlone(std::string_view line, std::string_view& key) {
    std::string_view ignored;
    if (line.find('=') != std::string_view::npos || sectionName(line, ignored))
        return false;
    key = trimmed(line);
    return !key.empty();
}

bool holdsLineEnd(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool acceptable(std::string_view section, std::string_view key, std::string_view text) {
    return !holdsLineEnd(section) && !holdsLineEnd(key) && !holdsLineEnd(text) &&
           section.find(']') == std::string_view::npos && !key.empty() && key.front() != '[' &&
           key.find('=') == std::string_view::npos;
}

} // namespace

ProfileDocument::ProfileDocument(std::string_view contents) {
    if (contents.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        m_byteOrderMark = true;
        contents.remove_prefix(kByteOrderMark.size());
    }
    // A final line end does not start another line.
    while (!contents.empty()) {
        const std::size_t end = contents.find_first_of("\r\n");
        m_lines.emplace_back(contents.substr(0, end));
        if (end == std::string_view::npos)
            break;
        const bool crLf =
            contents[end] == '\r' && end + 1 < contents.size() && contents[end + 1] == '\n';
        contents.remove_prefix(end + (crLf ? 2 : 1));
    }
}

std::size_t ProfileDocument::findSection(std::string_view section) const {
    std::string_view name;
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (sectionName(m_lines[i], name) && sameName(name, section))
            return i;
    return kNone;
}

// The index of the line after the section that starts at `header`.
std::size_t ProfileDocument::sectionEnd(std::size_t header) const {
    std::string_view name;
    for (std::size_t i = header + 1; i < m_lines.size(); ++i)
        if (sectionName(m_lines[i], name))
            return i;
    return m_lines.size();
}

// The first line of `key` in the section: a key line or the key alone.
std::size_t ProfileDocument::findKey(std::size_t header, std::string_view key) const {
    const std::size_t end = sectionEnd(header);
    std::string_view name;
    for (std::size_t i = header + 1; i < end; ++i)
        if ((keyName(m_lines[i], name) || keyAlone(m_lines[i], name)) && sameName(name, key))
            return i;
    return kNone;
}

std::optional<std::string> ProfileDocument::value(std::string_view section,
                                                  std::string_view key) const {
    const std::size_t header = findSection(trimmed(section));
    if (header == kNone)
        return std::nullopt;
    // A key alone has no value, and being the first it hides the key's later
    // lines, as the Windows profile reader does.
    const std::size_t found = findKey(header, trimmed(key));
    if (found == kNone || m_lines[found].find('=') == std::string::npos)
        return std::nullopt;
    return std::string(valueOf(m_lines[found]));
}

bool ProfileDocument::set(std::string_view section, std::string_view key, std::string_view text) {
    section = trimmed(section);
    key = trimmed(key);
    if (!acceptable(section, key, text))
        return false;
    const std::size_t header = findSection(section);
    if (header == kNone) {
        m_lines.push_back("[" + std::string(section) + "]");
        m_lines.push_back(std::string(key) + "=" + std::string(text));
        return true;
    }
    const std::size_t found = findKey(header, key);
    if (found != kNone) {
        std::string_view spelling;
        if (!keyName(m_lines[found], spelling))
            keyAlone(m_lines[found], spelling);
        m_lines[found] = std::string(spelling) + "=" + std::string(text);
        return true;
    }
    // After the section's last non-blank line, so that blank lines that
    // separate it from the next section stay where they are.
    std::size_t at = sectionEnd(header);
    while (at > header + 1 && trimmed(m_lines[at - 1]).empty())
        --at;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at),
                   std::string(key) + "=" + std::string(text));
    return true;
}

std::string ProfileDocument::text() const {
    std::string contents(m_byteOrderMark ? kByteOrderMark : std::string_view());
    for (const std::string& line : m_lines) {
        contents += line;
        contents += "\r\n";
    }
    return contents;
}

} // namespace platform
