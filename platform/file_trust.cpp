#include "file_trust.h"

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool trustedOwner(uid_t owner) {
    return owner == 0 || owner == ::geteuid();
}

} // namespace

RunCheck CheckRunnableFile(const std::string& path) {
    struct stat entry {};
    if (::lstat(path.c_str(), &entry) != 0)
        return RunCheck::Missing;
    if (S_ISLNK(entry.st_mode)) {
        if (!trustedOwner(entry.st_uid))
            return RunCheck::ForeignLink;
        if (::stat(path.c_str(), &entry) != 0)
            return RunCheck::Missing;
    }
    if (!S_ISREG(entry.st_mode))
        return RunCheck::NotRegularFile;
    if (!trustedOwner(entry.st_uid))
        return RunCheck::ForeignOwner;
    if ((entry.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return RunCheck::WritableByOthers;
    return RunCheck::Runnable;
}

const char* RunCheckReason(RunCheck check) {
    switch (check) {
    case RunCheck::Runnable:
        return "";
    case RunCheck::Missing:
        return "it does not exist";
    case RunCheck::NotRegularFile:
        return "it is not a regular file";
    case RunCheck::ForeignLink:
        return "it is a link made by another user";
    case RunCheck::ForeignOwner:
        return "it belongs to another user";
    case RunCheck::WritableByOthers:
        return "its group or others may write to it";
    }
    return "";
}

} // namespace platform
