#include "private_profile.h"

#include "file_replace.h"
#include "profile_document.h"

#include <cerrno>
#include <cstdio>

namespace platform {
namespace {

enum class ReadOutcome { Read, Missing, Failed };

ReadOutcome readWholeFile(const std::string& path, std::string& contents) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return (errno == ENOENT || errno == ENOTDIR) ? ReadOutcome::Missing : ReadOutcome::Failed;
    contents.clear();
    char block[8192];
    std::size_t count = 0;
    while ((count = std::fread(block, 1, sizeof block, file)) > 0)
        contents.append(block, count);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? ReadOutcome::Failed : ReadOutcome::Read;
}

std::string cut(std::string_view text, std::size_t bufferSize) {
    return std::string(text.substr(0, bufferSize == 0 ? 0 : bufferSize - 1));
}

} // namespace

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultText, std::size_t bufferSize,
                                    const std::string& file) {
    std::string contents;
    if (readWholeFile(file, contents) != ReadOutcome::Read)
        return cut(defaultText, bufferSize);
    const std::optional<std::string> value = ProfileDocument(contents).value(section, key);
    return cut(value ? *value : defaultText, bufferSize);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view text, const std::string& file) {
    if (file.empty())
        return false;
    std::string contents;
    const ReadOutcome outcome = readWholeFile(file, contents);
    if (outcome == ReadOutcome::Failed)
        return false; // never replace what could not be read
    ProfileDocument document(contents);
    return document.set(section, key, text) && ReplaceFile(file, document.text());
}

} // namespace platform
