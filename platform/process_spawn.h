#pragma once
// Starting and ending other programs. Every start inherits this process's
// environment and current directory and names the program by path (no
// search of PATH).
#include <string>
#include <sys/types.h>
#include <vector>

namespace platform {

// Starts `path` with `argv` (argv[0] first). With idlePriority the child runs
// in the idle scheduling class (or at nice 19 where that class is refused).
// Returns the child's pid, or -1 when the program could not be started:
// missing, not executable, or refused by exec.
pid_t SpawnProgram(const std::string& path, const std::vector<std::string>& argv,
                   bool idlePriority);

// Ends a child started by SpawnProgram with SIGKILL and reaps it. A child that
// has already ended is only reaped; a pid that is not (or no longer) a child
// of this process is left alone.
void KillAndReap(pid_t pid);

// Starts `path` with `argv` without keeping it as a child: an intermediate
// child starts it and ends at once, so nothing is left to reap. True when
// exec succeeded.
bool SpawnDetached(const std::string& path, const std::vector<std::string>& argv);

} // namespace platform
