#pragma once
// Whether a file found in a directory the program reads may be run. A file is
// run only when it is a regular file that belongs to the user the program
// runs as (its effective user) or to root, and that neither its group nor
// others may write to; anything else might have been planted by someone else.
//
// A symbolic link is followed only when it, too, belongs to the user or to
// root: the file it leads to is then judged by the same rule. A link made by
// anyone else is refused whatever it leads to, since it could point at any
// program of the system.
#include <string>

namespace platform {

enum class RunCheck {
    Runnable,
    Missing,          // nothing there, or a link that leads nowhere
    NotRegularFile,   // a directory, a device, a pipe ...
    ForeignLink,      // a symbolic link made by another user
    ForeignOwner,     // the file belongs to another user
    WritableByOthers, // its group or others may write to it
};

RunCheck CheckRunnableFile(const std::string& path);

// Why a file was not run, as the end of a sentence ("it belongs to another
// user"); "" for Runnable.
const char* RunCheckReason(RunCheck check);

} // namespace platform
