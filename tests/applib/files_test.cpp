#include "base_dir_test.h"
#include "files.h"
#include "os.h"

#include <sys/stat.h>

using testing_support::Exists;
using testing_support::ReadAll;
using testing_support::WriteAll;

namespace {

class Files : public testing_support::BaseDirTest {};

// Every byte value, CR LF and NUL included, so text-mode damage would show.
std::string binaryData(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return data;
}

TEST_F(Files, FileIsPresentBothForms) {
    WriteAll(Path("there.txt"), "x");
    WriteAll(Path("empty.txt"), "");
    ASSERT_EQ(::mkdir(Path("folder").c_str(), 0755), 0);
    const struct {
        std::string name;
        bool present;
    } cases[] = {
        {Path("there.txt"), true},
        {Path("empty.txt"), true},
        {"there.txt", true},
        {Path("none.txt"), false},
        {Path("folder"), false},
        {Path("there.txt/x"), false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileIsPresent(c.name), c.present) << c.name;
        EXPECT_EQ(FileIsPresent(c.name.c_str()), c.present) << c.name;
    }
    EXPECT_FALSE(FileIsPresent(static_cast<const char*>(nullptr)));
}

class CopySizes : public testing_support::BaseDirTest,
                  public ::testing::WithParamInterface<std::size_t> {};

TEST_P(CopySizes, CopiesByteForByte) {
    const std::string data = binaryData(GetParam());
    WriteAll(Path("src"), data);
    WriteAll(Path("dst"), std::string(30000, 'z')); // emptied first
    CopyFileData(Path("src"), Path("dst"));
    EXPECT_EQ(ReadAll(Path("dst")), data);
}

INSTANTIATE_TEST_SUITE_P(Sizes, CopySizes,
                         ::testing::Values(0u, 1u, 8191u, 8192u, 8193u, 16384u, 20000u));

TEST_F(Files, CopyFailuresLeaveThingsAlone) {
    CopyFileData(Path("none"), Path("dst"));
    EXPECT_FALSE(Exists(Path("dst")));

    WriteAll(Path("plain"), "x");
    WriteAll(Path("src"), "data");
    CopyFileData(Path("src"), Path("plain/dst"));
    EXPECT_EQ(ReadAll(Path("plain")), "x");
}

TEST_F(Files, CopyOntoItselfKeepsData) {
    WriteAll(Path("src"), "precious");
    ASSERT_EQ(::link(Path("src").c_str(), Path("alias").c_str()), 0);
    CopyFileData(Path("src"), Path("src"));
    CopyFileData(Path("src"), Path("alias"));
    EXPECT_EQ(ReadAll(Path("src")), "precious");
}

class BackupSizes : public testing_support::BaseDirTest,
                    public ::testing::WithParamInterface<std::size_t> {};

TEST_P(BackupSizes, AppendsBakAndCopies) {
    const std::string data = binaryData(GetParam());
    WriteAll(Path("Quillstone.Cfg"), data);
    BackupFile(Path("Quillstone.Cfg"));
    EXPECT_EQ(ReadAll(Path("Quillstone.Cfg.BAK")), data);
    EXPECT_FALSE(Exists(Path("Quillstone.BAK")));
}

INSTANTIATE_TEST_SUITE_P(Sizes, BackupSizes, ::testing::Values(0u, 5u, 8192u, 9000u));

TEST_F(Files, BackupOfMissingFileKeepsEarlierBackupAnotherReplacesIt) {
    WriteAll(Path("Quillstone.Cfg.BAK"), std::string(10000, 'o'));
    BackupFile(Path("Quillstone.Cfg"));
    EXPECT_EQ(ReadAll(Path("Quillstone.Cfg.BAK")), std::string(10000, 'o'));
    BackupFile(Path("Other.Cfg"));
    EXPECT_FALSE(Exists(Path("Other.Cfg.BAK")));
    WriteAll(Path("Quillstone.Cfg"), "new");
    BackupFile(Path("Quillstone.Cfg"));
    EXPECT_EQ(ReadAll(Path("Quillstone.Cfg.BAK")), "new");
}

// A path of exactly `length` characters to an existing file below the test
// directory (nested folders keep each name short).
std::string longPath(const std::string& base, std::size_t length) {
    std::string path = base;
    while (path.size() + 1 + 60 < length) {
        path += "/" + std::string(50, 'd');
        ::mkdir(path.c_str(), 0755);
    }
    path += "/" + std::string(length - path.size() - 1, 'f');
    WriteAll(path, "data");
    return path;
}

TEST_F(Files, BackupNameLengthLimit) {
    const std::string fits = longPath(Dir(), 255);
    ASSERT_EQ(fits.size(), 255u);
    BackupFile(fits);
    EXPECT_EQ(ReadAll(fits + ".BAK"), "data");

    const std::string tooLong = longPath(Dir(), 256);
    ASSERT_EQ(tooLong.size(), 256u);
    ASSERT_TRUE(FileIsPresent(tooLong));
    BackupFile(tooLong);
    EXPECT_FALSE(Exists(tooLong + ".BAK"));
}

TEST_F(Files, DirectoryIsPresentLeavesCurrentDirectory) {
    WriteAll(Path("plain"), "x");
    ASSERT_EQ(::mkdir(Path("sub").c_str(), 0755), 0);
    const struct {
        std::string path;
        bool present;
    } cases[] = {{Path("sub"), true},   {"sub", true},          {"/", true},
                 {Path("none"), false}, {Path("plain"), false}, {"", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(DirectoryIsPresent(c.path), c.present) << c.path;
        EXPECT_EQ(platform::GetCurrentDirectory(), Dir()) << c.path;
    }
    EXPECT_FALSE(Exists(Path("none")));
}

TEST_F(Files, DirectoryIsPresentFromVeryLongCurrentDirectory) {
    std::string deep = Dir();
    while (deep.size() < 400) {
        deep += "/" + std::string(60, 'n');
        ASSERT_EQ(::mkdir(deep.c_str(), 0755), 0);
    }
    ASSERT_TRUE(platform::SetCurrentDirectory(deep));
    EXPECT_TRUE(DirectoryIsPresent(Dir()));
    EXPECT_EQ(platform::GetCurrentDirectory(), deep);
}

TEST_F(Files, ChangeDirectoryBothForms) {
    ASSERT_EQ(::mkdir(Path("a").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(Path("b").c_str(), 0755), 0);

    ChangeDirectory(Path("a"));
    EXPECT_EQ(platform::GetCurrentDirectory(), Path("a"));
    ChangeDirectory(Path("b").c_str());
    EXPECT_EQ(platform::GetCurrentDirectory(), Path("b"));

    ChangeDirectory(std::string());
    ChangeDirectory(static_cast<const char*>(nullptr));
    ChangeDirectory("");
    ChangeDirectory(Path("none"));
    EXPECT_EQ(platform::GetCurrentDirectory(), Path("b"));
}

TEST_F(Files, ChangeDirectoryDriveStepIsHarmless) {
    // No drive "X:" exists: the step fails and the path itself decides.
    ChangeDirectory("X:/Nowhere");
    EXPECT_EQ(platform::GetCurrentDirectory(), Dir());
    // Two characters are not a drive step, just a directory name.
    ASSERT_EQ(::mkdir(Path("a:").c_str(), 0755), 0);
    ChangeDirectory(std::string("a:"));
    EXPECT_EQ(platform::GetCurrentDirectory(), Path("a:"));
}

} // namespace
