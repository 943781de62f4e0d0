#include "file_replace.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

int systemOpen(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

const FileCalls kSystemCalls{&systemOpen, &::write,  &::fchmod, &::fsync,
                             &::close,    &::rename, &::unlink};

const FileCalls* g_calls = &kSystemCalls;

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

// A new name beside the target; a name already taken (a leftover of a
// process that was killed) is passed over.
int createTemporary(const std::string& target, std::string& name) {
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + "." + std::to_string(::getpid()) + "-" + std::to_string(++serial) + ".tmp";
        const int fd = g_calls->open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = g_calls->write(fd, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            if (count == 0)
                errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

bool keepMode(int fd, const std::string& target) {
    struct stat old {};
    return ::stat(target.c_str(), &old) != 0 || g_calls->fchmod(fd, old.st_mode & 07777) == 0;
}

// EINVAL: a file system that cannot sync; the rename still protects the file.
bool syncFile(int fd) {
    return g_calls->fsync(fd) == 0 || errno == EINVAL;
}

// After the rename the new contents are in place; a directory that cannot be
// synced does not undo that.
void syncDirectory(const std::string& directory) {
    const int fd = g_calls->open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd >= 0) {
        g_calls->fsync(fd);
        g_calls->close(fd);
    }
}

} // namespace

const FileCalls& SystemFileCalls() {
    return kSystemCalls;
}

void SetFileCalls(const FileCalls* calls) {
    g_calls = calls != nullptr ? calls : &kSystemCalls;
}

bool ReplaceFile(const std::string& path, std::string_view bytes, int* error) {
    const std::string target = replacedPath(path);
    std::string temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0) {
        if (error != nullptr)
            *error = errno;
        return false;
    }
    bool done = keepMode(fd, target) && writeAll(fd, bytes) && syncFile(fd);
    int failure = done ? 0 : errno;
    if (g_calls->close(fd) != 0 && done) {
        done = false;
        failure = errno;
    }
    if (done && g_calls->rename(temporary.c_str(), target.c_str()) != 0) {
        done = false;
        failure = errno;
    }
    if (!done) {
        g_calls->unlink(temporary.c_str());
        if (error != nullptr)
            *error = failure;
        return false;
    }
    syncDirectory(directoryOf(target));
    return true;
}

} // namespace platform
