#pragma once
// The calculator run as a separate process, as a user meets it, and the
// table of bad command lines (exit status 2, one line, nothing written) that
// the program tests of several options fill.
#include "cli_test_support.h"
#include "table_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

constexpr std::size_t kNoLimit = 0;
constexpr std::size_t kFileSizeLimit = 4096; // bytes

// Runs the calculator in `dir` with its output in files (no pipe to drain).
// With a size limit, writes beyond it fail as on a full disk (EFBIG; the
// signal that would end the process is ignored, and stays so across exec).
inline Result RunCalc(const TempDir& dir, const std::vector<std::string>& args,
                      std::size_t sizeLimit = kNoLimit) {
    const std::string outFile = dir.file(".stdout");
    const std::string errFile = dir.file(".stderr");
    std::vector<std::string> argStrings{QUILLSTONE_CALC_PATH};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStrings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    Result result;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
            ::chdir(dir.path().c_str()) != 0) {
            ::_exit(126);
        }
        // The user's data and cache folders are the test's: no maps folder of
        // the machine's changes an output, and no cache is left behind.
        const std::string data = dir.file(".local/share");
        const std::string cache = dir.file(".cache");
        ::unsetenv("QUILLSTONE_ITU_MAPS");
        ::setenv("XDG_DATA_HOME", data.c_str(), 1);
        ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
        if (sizeLimit != kNoLimit) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{sizeLimit, sizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (pid < 0) {
        ADD_FAILURE() << "cannot fork: " << std::strerror(errno);
        return result;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadAll(outFile);
    result.err = ReadAll(errFile);
    std::filesystem::remove(outFile);
    std::filesystem::remove(errFile);
    return result;
}

using testing_support::PrintTo;

struct BadCase {
    const char* name;
    std::vector<std::string> args;
    const char* fault;
    int status = 2; // 3: no value solves
};

class BadInput : public testing::TestWithParam<BadCase> {};

// A run that succeeds: the lines it prints (0: any number), texts its output
// holds, and what it writes to stderr.
struct GoodCase {
    const char* name;
    std::vector<std::string> args;
    std::size_t lines;
    std::vector<const char*> texts;
    std::string err = "";
};

class GoodInput : public testing::TestWithParam<GoodCase> {};
