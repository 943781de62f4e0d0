#include "blocking_meter.h"

#include <QTemporaryFile>

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <thread>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

namespace {

std::atomic<int64_t> sleptNs{0};
std::atomic<int64_t> fileCallNs{0};

int64_t monotonicNs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

// The C library's own definition of `name`, looked up once.
template <typename Function> Function next(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

// Calls `call` and adds the time it took to `total`.
template <typename Call> auto timed(std::atomic<int64_t>& total, Call call) {
    const int64_t start = monotonicNs();
    const auto result = call();
    total.fetch_add(monotonicNs() - start, std::memory_order_relaxed);
    return result;
}

} // namespace

// Found before the C library's by the dynamic linker, for the program's
// libraries, Qt and the C++ library alike.
extern "C" {

int nanosleep(const timespec* requested, timespec* remaining) {
    static const auto real = next<int (*)(const timespec*, timespec*)>("nanosleep");
    return timed(sleptNs, [&] { return real(requested, remaining); });
}

int open64(const char* path, int flags, ...) {
    static const auto real = next<int (*)(const char*, int, ...)>("open64");
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list arguments;
        va_start(arguments, flags);
        mode = static_cast<mode_t>(va_arg(arguments, int));
        va_end(arguments);
    }
    return timed(fileCallNs, [&] { return real(path, flags, mode); });
}

ssize_t write(int fd, const void* buffer, size_t count) {
    static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    return timed(fileCallNs, [&] { return real(fd, buffer, count); });
}

int ftruncate64(int fd, off64_t length) {
    static const auto real = next<int (*)(int, off64_t)>("ftruncate64");
    return timed(fileCallNs, [&] { return real(fd, length); });
}

int fsync(int fd) {
    static const auto real = next<int (*)(int)>("fsync");
    return timed(fileCallNs, [&] { return real(fd); });
}

int fdatasync(int fd) {
    static const auto real = next<int (*)(int)>("fdatasync");
    return timed(fileCallNs, [&] { return real(fd); });
}

int rename(const char* from, const char* to) {
    static const auto real = next<int (*)(const char*, const char*)>("rename");
    return timed(fileCallNs, [&] { return real(from, to); });
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags) {
    static const auto real =
        next<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2");
    return timed(fileCallNs, [&] { return real(fromDir, from, toDir, to, flags); });
}

int close(int fd) {
    static const auto real = next<int (*)(int)>("close");
    return timed(fileCallNs, [&] { return real(fd); });
}

} // extern "C"

int64_t SleptNanoseconds() {
    return sleptNs.load(std::memory_order_relaxed);
}

int64_t FileCallNanoseconds() {
    return fileCallNs.load(std::memory_order_relaxed);
}

bool BlockingMeterWorks() {
    // Both through other libraries, as the program's own calls go.
    const int64_t sleptBefore = SleptNanoseconds();
    std::this_thread::sleep_for(std::chrono::microseconds(100));
    const int64_t filesBefore = FileCallNanoseconds();
    {
        QTemporaryFile scratch;
        if (scratch.open()) {
            scratch.write("x", 1);
            scratch.flush();
        }
    }
    return SleptNanoseconds() > sleptBefore && FileCallNanoseconds() > filesBefore;
}
