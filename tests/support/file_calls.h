#pragma once
// The system calls of a file replace (platform/file_replace.h), counted while
// a ScriptedFileCalls lives, with one call made to fail or to kill the
// process where it stands (as a power cut or a kill -9 would).
#include "file_replace.h"

#include <array>
#include <cerrno>
#include <csignal>

namespace testing_support {

class ScriptedFileCalls {
  public:
    enum Call { Open, Write, Fchmod, Fsync, Close, Rename, Unlink, kCallCount };

    ScriptedFileCalls() {
        s_active = this;
        platform::SetFileCalls(&kCalls);
    }
    ~ScriptedFileCalls() {
        platform::SetFileCalls(nullptr);
        s_active = nullptr;
    }
    ScriptedFileCalls(const ScriptedFileCalls&) = delete;
    ScriptedFileCalls& operator=(const ScriptedFileCalls&) = delete;

    int Count(Call call) const { return m_counts[call]; }

    // The `nth` call of kind `call` from now on fails with `error`; with
    // `kill`, the process dies there instead (a write first writes half).
    void Fail(Call call, int error, int nth = 1, bool kill = false) {
        m_counts = {};
        m_failing = call;
        m_error = error;
        m_failAt = nth;
        m_kill = kill;
    }
    void Reset() { Fail(kCallCount, 0); }

  private:
    static const platform::FileCalls& real() { return platform::SystemFileCalls(); }

    // True when this call must not happen.
    static bool hits(Call call) {
        ScriptedFileCalls& self = *s_active;
        if (++self.m_counts[call] != self.m_failAt || call != self.m_failing)
            return false;
        if (self.m_kill)
            ::raise(SIGKILL);
        errno = self.m_error;
        return true;
    }

    std::array<int, kCallCount> m_counts{};
    Call m_failing = kCallCount;
    int m_failAt = 1;
    int m_error = 0;
    bool m_kill = false;

    static inline ScriptedFileCalls* s_active = nullptr;
    static inline const platform::FileCalls kCalls{
        [](const char* path, int flags, mode_t mode) {
            return hits(Open) ? -1 : real().open(path, flags, mode);
        },
        [](int fd, const void* data, std::size_t size) -> ssize_t {
            const ScriptedFileCalls& self = *s_active;
            if (self.m_kill && self.m_failing == Write && self.m_counts[Write] + 1 == self.m_failAt)
                real().write(fd, data, size / 2);
            return hits(Write) ? -1 : real().write(fd, data, size);
        },
        [](int fd, mode_t mode) { return hits(Fchmod) ? -1 : real().fchmod(fd, mode); },
        [](int fd) { return hits(Fsync) ? -1 : real().fsync(fd); },
        [](int fd) {
            const int result = real().close(fd);
            return hits(Close) ? -1 : result;
        },
        [](const char* from, const char* to) {
            return hits(Rename) ? -1 : real().rename(from, to);
        },
        [](const char* path) { return hits(Unlink) ? -1 : real().unlink(path); },
    };
};

} // namespace testing_support
