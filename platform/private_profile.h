#pragma once
// Profile files: INI-style text of [sections] holding key=value lines.
// Section and key names match without regard to letter case; blanks around
// names and values are not part of them. Lines are written with CR LF and
// read with LF or CR LF.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The value of `key` in `section` of `file`, cut to bufferSize - 1
// characters; `defaultText`, cut the same way, when the file, the section or
// the key does not exist. A key with an empty value gives "".
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultText, std::size_t bufferSize,
                                    const std::string& file);

// Stores `text` as the value of `key`: replaces it on the key's line, or adds
// the key as the last line of its section, or adds the section and the key at
// the end, or creates the file. The old file is replaced only by complete new
// contents that are already on disk; on failure it is left as it was and the
// result is false. Names or texts holding a line break, a section name
// holding "]" and a key that is empty or holds "=" are refused.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view text, const std::string& file);

// Writes bytes to an open descriptor the way ::write does (count written, or
// -1 with errno set). Tests install one that fails part way.
using ProfileWriteFunction = long (*)(int fd, const void* data, std::size_t size);
// nullptr restores the real write.
void SetProfileWriteFunction(ProfileWriteFunction write);

} // namespace platform
