#pragma once
// Replacing a file durably: the new bytes go to a temporary file beside the
// target, are pushed to the disk, and are renamed over the target, so that at
// every moment the path holds either the complete old or the complete new
// contents, even across a power cut.
#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace platform {

// The system calls a replace makes, in one table so that tests can count
// them or make one fail.
struct FileCalls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void* data, std::size_t size);
    int (*fchmod)(int fd, mode_t mode);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
    int (*unlink)(const char* path);
};

// The system's own calls.
const FileCalls& SystemFileCalls();
// Used by every replace from now on; nullptr restores SystemFileCalls().
void SetFileCalls(const FileCalls* calls);

// Replaces the file at `path` with exactly `bytes`. A symbolic link stays a
// link: the file it points to is replaced. An existing file's permissions
// carry over; a new file gets the usual ones (0666 less the umask). The
// steps: a temporary in the same directory, written and synced, renamed over
// the target, then the directory synced. On any failure the temporary is
// removed, the target is left as it was, the result is false and `error`
// (when given) holds the errno of the step that failed.
bool ReplaceFile(const std::string& path, std::string_view bytes, int* error = nullptr);

} // namespace platform
