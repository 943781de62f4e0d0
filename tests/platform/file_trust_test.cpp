// Which files the program agrees to run: the owner, the permission bits, the
// kind of file and the owner of a link are each enough to refuse one.
#include "base_dir_test.h"
#include "file_trust.h"
#include "table_test.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

using platform::CheckRunnableFile;
using platform::RunCheck;

namespace {

using testing_support::PrintTo;

uid_t uidOf(const char* name) {
    const passwd* entry = ::getpwnam(name);
    return entry != nullptr ? entry->pw_uid : 0;
}

// A file of `mode` owned by `owner` (the test itself runs as root, so the
// owner is set with chown and the bits do not stop it).
std::string makeFile(const std::string& path, mode_t mode, uid_t owner = 0) {
    testing_support::WriteAll(path, "#!/bin/sh\n");
    EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    EXPECT_EQ(::chown(path.c_str(), owner, static_cast<gid_t>(-1)), 0);
    return path;
}

std::string makeLink(const std::string& target, const std::string& path, uid_t owner = 0) {
    EXPECT_EQ(::symlink(target.c_str(), path.c_str()), 0);
    EXPECT_EQ(::lchown(path.c_str(), owner, static_cast<gid_t>(-1)), 0);
    return path;
}

struct Case {
    const char* name;
    std::function<std::string(const std::string& dir)> make; // gives the path to check
    RunCheck expected;
};

const uid_t kNobody = uidOf("nobody");

const Case kCases[] = {
    {"OwnFile0755", [](auto d) { return makeFile(d + "/f", 0755); }, RunCheck::Runnable},
    {"OwnFile0600", [](auto d) { return makeFile(d + "/f", 0600); }, RunCheck::Runnable},
    {"GroupWritable", [](auto d) { return makeFile(d + "/f", 0775); }, RunCheck::WritableByOthers},
    {"OtherWritable", [](auto d) { return makeFile(d + "/f", 0757); }, RunCheck::WritableByOthers},
    {"AnotherOwner", [](auto d) { return makeFile(d + "/f", 0755, kNobody); },
     RunCheck::ForeignOwner},
    {"Directory", [](auto d) { return d; }, RunCheck::NotRegularFile},
    {"Fifo",
     [](auto d) {
         ::mkfifo((d + "/p").c_str(), 0700);
         return d + "/p";
     },
     RunCheck::NotRegularFile},
    {"Missing", [](auto d) { return d + "/none"; }, RunCheck::Missing},
    {"OwnLinkToOwnFile", [](auto d) { return makeLink(makeFile(d + "/f", 0755), d + "/l"); },
     RunCheck::Runnable},
    {"OwnLinkToAPlantedFile",
     [](auto d) { return makeLink(makeFile(d + "/f", 0755, kNobody), d + "/l"); },
     RunCheck::ForeignOwner},
    {"OwnLinkToAWritableFile", [](auto d) { return makeLink(makeFile(d + "/f", 0777), d + "/l"); },
     RunCheck::WritableByOthers},
    {"PlantedLinkToRootsProgram", [](auto d) { return makeLink("/bin/sh", d + "/l", kNobody); },
     RunCheck::ForeignLink},
    {"LinkToNowhere", [](auto d) { return makeLink(d + "/none", d + "/l"); }, RunCheck::Missing},
};

class FileTrust : public testing_support::BaseDirTest,
                  public ::testing::WithParamInterface<Case> {};

TEST_P(FileTrust, Check) {
    ASSERT_NE(kNobody, 0u);
    EXPECT_EQ(CheckRunnableFile(GetParam().make(Dir())), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Files, FileTrust, ::testing::ValuesIn(kCases), testing_support::RowName());

class FileOwner : public testing_support::BaseDirTest {};

// Running as an ordinary user: that user's files and root's pass, a third
// user's file does not.
TEST_F(FileOwner, OwnerIsTheEffectiveUserOrRoot) {
    ASSERT_EQ(::chmod(Dir().c_str(), 0755), 0); // the user may look inside
    const std::string mine = makeFile(Path("mine"), 0755, kNobody);
    const std::string roots = makeFile(Path("roots"), 0755, 0);
    const std::string theirs = makeFile(Path("theirs"), 0755, uidOf("daemon"));
    ASSERT_EQ(::seteuid(kNobody), 0);
    const RunCheck checks[] = {CheckRunnableFile(mine), CheckRunnableFile(roots),
                               CheckRunnableFile(theirs)};
    ASSERT_EQ(::seteuid(0), 0);
    EXPECT_EQ(checks[0], RunCheck::Runnable);
    EXPECT_EQ(checks[1], RunCheck::Runnable);
    EXPECT_EQ(checks[2], RunCheck::ForeignOwner);
}

} // namespace
