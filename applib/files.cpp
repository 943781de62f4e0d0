#include "files.h"

#include "file_replace.h"
#include "os.h"

#include <cstdio>
#include <sys/stat.h>

namespace {

constexpr std::size_t kCopyBlock = 8192;      // bytes per read
constexpr std::size_t kLongestBackedUp = 255; // characters, so that ".BAK" fits in 260

// Both names lead to the same file: copying would empty it before reading.
bool sameFile(std::FILE* a, std::FILE* b) {
    struct stat infoA {};
    struct stat infoB {};
    return ::fstat(::fileno(a), &infoA) == 0 && ::fstat(::fileno(b), &infoB) == 0 &&
           infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
}

bool isDirectory(std::FILE* file) {
    struct stat info {};
    return ::fstat(::fileno(file), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

bool FileIsPresent(const char* name) {
    if (name == nullptr)
        return false;
    std::FILE* file = std::fopen(name, "r");
    if (file == nullptr)
        return false;
    // Linux opens a directory for reading; it is still not a file.
    const bool present = !isDirectory(file);
    std::fclose(file);
    return present;
}

bool FileIsPresent(const std::string& name) {
    return FileIsPresent(name.c_str());
}

void CopyFileData(const std::string& source, const std::string& destination) {
    std::FILE* in = std::fopen(source.c_str(), "rb");
    if (in == nullptr)
        return;
    // Checked before "wb" empties the destination.
    std::FILE* probe = std::fopen(destination.c_str(), "rb");
    const bool same = probe != nullptr && sameFile(in, probe);
    if (probe != nullptr)
        std::fclose(probe);
    std::FILE* out = same ? nullptr : std::fopen(destination.c_str(), "wb");
    if (out == nullptr) {
        std::fclose(in);
        return;
    }
    char block[kCopyBlock];
    std::size_t count = 0;
    do {
        count = std::fread(block, 1, sizeof block, in);
        if (count > 0)
            std::fwrite(block, 1, count, out);
    } while (count == sizeof block);
    std::fclose(out);
    std::fclose(in);
}

void BackupFile(const std::string& name) {
    if (name.size() > kLongestBackedUp || !FileIsPresent(name))
        return;
    CopyFileData(name, name + ".BAK");
}

bool DirectoryIsPresent(const std::string& path) {
    return platform::CanEnterDirectory(path);
}

void ChangeDirectory(const char* path) {
    if (path == nullptr)
        return;
    ChangeDirectory(std::string(path));
}

void ChangeDirectory(const std::string& path) {
    if (path.empty())
        return;
    // A drive letter is selected first ("C:"); on Linux such a step finds no
    // drive and is ignored like any other failure.
    if (path.size() > 2 && path[1] == ':')
        platform::SetCurrentDirectory(path.substr(0, 2));
    platform::SetCurrentDirectory(path);
}

bool ReplaceFileContents(const std::string& name, std::string_view bytes, int* error) {
    return platform::ReplaceFile(name, bytes, error);
}
