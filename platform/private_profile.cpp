#include "private_profile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

using Lines = std::vector<std::string>;

long realWrite(int fd, const void* data, std::size_t size) {
    return static_cast<long>(::write(fd, data, size));
}

ProfileWriteFunction g_write = &realWrite;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
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

// Splits on LF; a CR before the LF belongs to the line end. A final line
// end does not start another line.
Lines splitLines(const std::string& contents) {
    Lines lines;
    std::size_t start = 0;
    while (start < contents.size()) {
        std::size_t end = contents.find('\n', start);
        if (end == std::string::npos)
            end = contents.size();
        std::size_t stop = end;
        if (stop > start && contents[stop - 1] == '\r')
            --stop;
        lines.emplace_back(contents, start, stop - start);
        start = end + 1;
    }
    return lines;
}

std::string joinLines(const Lines& lines) {
    std::string contents;
    for (const auto& line : lines) {
        contents += line;
        contents += "\r\n";
    }
    return contents;
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

// True for "key=value"; both without their blanks.
bool keyLine(std::string_view line, std::string_view& key, std::string_view& value) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return false;
    key = trimmed(line.substr(0, equals));
    value = trimmed(line.substr(equals + 1));
    return true;
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::size_t findSection(const Lines& lines, std::string_view section) {
    std::string_view name;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (sectionName(lines[i], name) && sameName(name, section))
            return i;
    return kNone;
}

// The index of the line after the section that starts at `header`.
std::size_t sectionEnd(const Lines& lines, std::size_t header) {
    std::string_view name;
    for (std::size_t i = header + 1; i < lines.size(); ++i)
        if (sectionName(lines[i], name))
            return i;
    return lines.size();
}

std::size_t findKey(const Lines& lines, std::size_t header, std::string_view key) {
    const std::size_t end = sectionEnd(lines, header);
    std::string_view name;
    std::string_view value;
    for (std::size_t i = header + 1; i < end; ++i)
        if (keyLine(lines[i], name, value) && sameName(name, key))
            return i;
    return kNone;
}

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

std::string_view cut(std::string_view text, std::size_t bufferSize) {
    return text.substr(0, bufferSize == 0 ? 0 : bufferSize - 1);
}

bool holdsLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool acceptable(std::string_view section, std::string_view key, std::string_view text) {
    return !holdsLineBreak(section) && !holdsLineBreak(key) && !holdsLineBreak(text) &&
           section.find(']') == std::string_view::npos && !trimmed(key).empty() &&
           key.find('=') == std::string_view::npos;
}

void setValue(Lines& lines, std::string_view section, std::string_view key, std::string_view text) {
    const std::string keyText = std::string(trimmed(key)) + "=" + std::string(text);
    const std::size_t header = findSection(lines, section);
    if (header == kNone) {
        lines.push_back("[" + std::string(trimmed(section)) + "]");
        lines.push_back(keyText);
        return;
    }
    const std::size_t found = findKey(lines, header, key);
    if (found != kNone) {
        // The line keeps the file's own spelling of the key.
        std::string_view oldKey;
        std::string_view oldValue;
        keyLine(lines[found], oldKey, oldValue);
        lines[found] = std::string(oldKey) + "=" + std::string(text);
        return;
    }
    // After the section's last non-blank line, so that blank lines that
    // separate it from the next section stay where they are.
    std::size_t at = sectionEnd(lines, header);
    while (at > header + 1 && trimmed(lines[at - 1]).empty())
        --at;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), keyText);
}

// The file a rename must replace: the target of a symbolic link, so that the
// link itself survives.
std::string replacedPath(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr)
            return resolved;
    }
    return path;
}

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int createTemporary(const std::string& directory, std::string& name) {
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = directory + "/.profile-" + std::to_string(::getpid()) + "-" +
               std::to_string(++serial) + ".tmp";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool writeAll(int fd, const std::string& contents) {
    std::size_t done = 0;
    while (done < contents.size()) {
        const long count = g_write(fd, contents.data() + done, contents.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        done += static_cast<std::size_t>(count);
    }
    return true;
}

void syncDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Temporary file in the same directory, complete and synced, then renamed
// over the old one: at every moment the path holds either the old or the new
// contents.
bool replaceFile(const std::string& path, const std::string& contents) {
    const std::string target = replacedPath(path);
    const std::string directory = directoryOf(target);
    std::string temporary;
    const int fd = createTemporary(directory, temporary);
    if (fd < 0)
        return false;
    struct stat old {};
    bool ok = true;
    if (::stat(target.c_str(), &old) == 0)
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && writeAll(fd, contents) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncDirectory(directory);
    return true;
}

} // namespace

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultText, std::size_t bufferSize,
                                    const std::string& file) {
    std::string contents;
    if (readWholeFile(file, contents) != ReadOutcome::Read)
        return std::string(cut(defaultText, bufferSize));
    const Lines lines = splitLines(contents);
    const std::size_t header = findSection(lines, trimmed(section));
    if (header == kNone)
        return std::string(cut(defaultText, bufferSize));
    const std::size_t found = findKey(lines, header, trimmed(key));
    if (found == kNone)
        return std::string(cut(defaultText, bufferSize));
    std::string_view name;
    std::string_view value;
    keyLine(lines[found], name, value);
    return std::string(cut(value, bufferSize));
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view text, const std::string& file) {
    if (file.empty() || !acceptable(section, key, text))
        return false;
    std::string contents;
    const ReadOutcome outcome = readWholeFile(file, contents);
    if (outcome == ReadOutcome::Failed)
        return false; // never replace what could not be read
    Lines lines;
    if (outcome == ReadOutcome::Read)
        lines = splitLines(contents);
    setValue(lines, trimmed(section), trimmed(key), text);
    return replaceFile(file, joinLines(lines));
}

void SetProfileWriteFunction(ProfileWriteFunction write) {
    g_write = write != nullptr ? write : &realWrite;
}

} // namespace platform
