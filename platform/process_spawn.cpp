#include "process_spawn.h"

#include <cerrno>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

constexpr int kLowestNice = 19;

// posix_spawn in glibc reports a failed exec, but not every C library does:
// a file that cannot be executed is refused before any child exists.
bool IsExecutableFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)
        && ::access(path.c_str(), X_OK) == 0;
}

std::vector<char*> ArgumentArray(const std::vector<std::string>& argv)
{
    std::vector<char*> array;
    array.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        array.push_back(const_cast<char*>(arg.c_str()));
    array.push_back(nullptr);
    return array;
}

// The pid of the started child, or -1 with the spawn error in `error`.
pid_t Spawn(const std::string& path, std::vector<char*>& args, bool idle, int& error)
{
    posix_spawnattr_t attributes;
    if ((error = posix_spawnattr_init(&attributes)) != 0)
        return -1;
    if (idle) {
        sched_param param{};
        param.sched_priority = 0; // the only priority SCHED_IDLE allows
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSCHEDULER);
        posix_spawnattr_setschedpolicy(&attributes, SCHED_IDLE);
        posix_spawnattr_setschedparam(&attributes, &param);
    }
    pid_t pid = -1;
    error = posix_spawn(&pid, path.c_str(), nullptr, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    return error == 0 ? pid : -1;
}

bool SchedulerRefused(int error)
{
    return error == EPERM || error == EINVAL || error == ENOSYS;
}

// The wait status (0 when there was nothing to wait for).
int WaitWhileInterrupted(pid_t pid, int flags)
{
    int status = 0;
    while (::waitpid(pid, &status, flags) < 0 && errno == EINTR) {
    }
    return status;
}

} // namespace

pid_t SpawnProgram(const std::string& path, const std::vector<std::string>& argv,
                   bool idlePriority)
{
    if (!IsExecutableFile(path)) {
        errno = ENOEXEC;
        return -1;
    }
    std::vector<char*> args = ArgumentArray(argv);
    int error = 0;
    pid_t pid = Spawn(path, args, idlePriority, error);
    if (pid < 0 && idlePriority && SchedulerRefused(error)) {
        pid = Spawn(path, args, false, error);
        if (pid > 0)
            ::setpriority(PRIO_PROCESS, static_cast<id_t>(pid), kLowestNice);
    }
    if (pid < 0)
        errno = error;
    return pid;
}

void KillAndReap(pid_t pid)
{
    if (pid <= 0)
        return;
    int status = 0;
    pid_t ended;
    while ((ended = ::waitpid(pid, &status, WNOHANG)) < 0 && errno == EINTR) {
    }
    if (ended != 0)
        return; // it had ended and is now reaped, or it is not our child
    ::kill(pid, SIGKILL);
    WaitWhileInterrupted(pid, 0);
}

bool SpawnDetached(const std::string& path, const std::vector<std::string>& argv)
{
    std::vector<char*> args = ArgumentArray(argv);
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return false;
    // Only async-signal-safe calls between fork and exec: this process may
    // have other threads.
    const pid_t middle = ::fork();
    if (middle == 0) {
        ::close(pipeEnds[0]);
        const pid_t child = ::fork();
        if (child == 0) {
            ::execve(path.c_str(), args.data(), environ);
            const int error = errno;
            [[maybe_unused]] ssize_t n = ::write(pipeEnds[1], &error, sizeof error);
            ::_exit(127);
        }
        ::_exit(child < 0 ? 1 : 0);
    }
    ::close(pipeEnds[1]);
    if (middle < 0) {
        ::close(pipeEnds[0]);
        return false;
    }
    // The write end closes at a successful exec: end of file with no data.
    int execError = 0;
    ssize_t got;
    while ((got = ::read(pipeEnds[0], &execError, sizeof execError)) < 0 && errno == EINTR) {
    }
    ::close(pipeEnds[0]);
    const int status = WaitWhileInterrupted(middle, 0);
    return got == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace platform
