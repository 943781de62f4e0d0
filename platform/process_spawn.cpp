#include "process_spawn.h"

#include <cerrno>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

constexpr int kLowestNice = 19;
constexpr int kExecFailed = 127;

std::vector<char*> argumentArray(const std::vector<std::string>& argv) {
    std::vector<char*> array;
    array.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        array.push_back(const_cast<char*>(arg.c_str()));
    array.push_back(nullptr);
    return array;
}

// The wait status (0 when there was nothing to wait for).
int waitWhileInterrupted(pid_t pid, int flags) {
    int status = 0;
    while (::waitpid(pid, &status, flags) < 0 && errno == EINTR) {
    }
    return status;
}

// The idle class for a started program, or the lowest nice value where the
// kernel refuses it. Set by the parent once the exec has been confirmed: a
// child lowered before its exec can be starved under load while the GUI
// thread waits for the exec report.
void lowerPriorityOf(pid_t pid) {
    sched_param param{};
    if (::sched_setscheduler(pid, SCHED_IDLE, &param) != 0)
        ::setpriority(PRIO_PROCESS, static_cast<id_t>(pid), kLowestNice);
}

// In the child: reports errno through the pipe and ends.
[[noreturn]] void reportAndExit(int reportFd) {
    const int error = errno;
    [[maybe_unused]] ssize_t n = ::write(reportFd, &error, sizeof error);
    ::_exit(kExecFailed);
}

// In the child: the started program gets no blocked signals and the default
// action for a broken pipe, whatever this process chose for itself.
void resetSignals() {
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    ::sigaction(SIGPIPE, &action, nullptr);
}

// The exec error the child reported, or 0 once the pipe closed at a
// successful exec.
int execResult(int readFd) {
    int error = 0;
    ssize_t got;
    while ((got = ::read(readFd, &error, sizeof error)) < 0 && errno == EINTR) {
    }
    ::close(readFd);
    return got == static_cast<ssize_t>(sizeof error) ? error : (got == 0 ? 0 : EIO);
}

// Forks and execs `path`. Returns the child's pid, or -1 when fork or exec
// failed (a child whose exec failed has been reaped). With `detached` the
// child only forks the program and ends: the returned pid is then that of
// the intermediate child, already reaped.
//
// The exec's outcome comes back through a close-on-exec pipe, so that a
// program that cannot run is never reported as started. Between fork and
// exec only async-signal-safe calls are made: this process may have other
// threads.
pid_t forkExec(const std::string& path, const std::vector<std::string>& argv, bool idle,
               bool detached) {
    std::vector<char*> args = argumentArray(argv);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        resetSignals();
        if (detached) {
            const pid_t grandchild = ::fork();
            if (grandchild < 0)
                reportAndExit(report[1]);
            if (grandchild > 0)
                ::_exit(0); // init (or a subreaper) adopts and reaps the program
        }
        ::execve(path.c_str(), args.data(), environ);
        reportAndExit(report[1]);
    }
    ::close(report[1]);
    if (child < 0) {
        ::close(report[0]);
        return -1;
    }
    const int error = execResult(report[0]);
    if (detached || error != 0)
        waitWhileInterrupted(child, 0);
    if (error != 0) {
        errno = error;
        return -1;
    }
    if (idle)
        lowerPriorityOf(child);
    return child;
}

} // namespace

pid_t SpawnProgram(const std::string& path, const std::vector<std::string>& argv,
                   bool idlePriority) {
    return forkExec(path, argv, idlePriority, false);
}

void KillAndReap(pid_t pid) {
    if (pid <= 0)
        return;
    pid_t ended;
    int status = 0;
    while ((ended = ::waitpid(pid, &status, WNOHANG)) < 0 && errno == EINTR) {
    }
    if (ended != 0)
        return; // it had ended and is now reaped, or it is not our child
    ::kill(pid, SIGKILL);
    waitWhileInterrupted(pid, 0);
}

bool SpawnDetached(const std::string& path, const std::vector<std::string>& argv) {
    return forkExec(path, argv, false, true) > 0;
}

} // namespace platform
