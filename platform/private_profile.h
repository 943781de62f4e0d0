#pragma once
// Profile files: INI-style text of [sections] holding key=value lines, read
// and changed by the rules of ProfileDocument.
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

// Stores `text` as the value of `key` (ProfileDocument::set), creating the
// file when there is none. The file is replaced in one step (ReplaceFile); on
// failure it is left as it was and the result is false, as it is for the
// names and texts that ProfileDocument::set refuses.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view text, const std::string& file);

} // namespace platform
