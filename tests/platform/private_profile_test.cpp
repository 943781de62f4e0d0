#include "base_dir_test.h"
#include "file_replace.h"
#include "private_profile.h"
#include "table_test.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>
#include <sys/mount.h>
#include <sys/stat.h>

using testing_support::Exists;
using testing_support::ReadAll;
using testing_support::WriteAll;

using namespace std::string_view_literals;

namespace {

using testing_support::PrintTo;

const std::string kDefault = "DEFAULT";

struct ReadCase {
    const char* name;
    std::string_view contents;
    const char* section;
    const char* key;
    std::size_t bufferSize;
    const char* expected;
};

const char* const kSample = "[UserInfo]\r\n"
                            "Range=25.000000000\r\n"
                            "  Freq  =   2250.5   \r\n"
                            "Empty=\r\n"
                            "Blanks=   \t \r\n"
                            "Twice=a=b\r\n"
                            "\r\n"
                            "[ MiscInfo ]\r\n"
                            "ScreenPosX=688\r\n"
                            "[Other]\r\n"
                            "Range=other section\r\n";

const ReadCase kReadCases[] = {
    {"PlainValue", kSample, "UserInfo", "Range", 1024, "25.000000000"},
    {"BlanksAroundKeyAndValue", kSample, "UserInfo", "Freq", 1024, "2250.5"},
    {"SectionInOtherCase", kSample, "userinfo", "Range", 1024, "25.000000000"},
    {"KeyInOtherCase", kSample, "UserInfo", "RANGE", 1024, "25.000000000"},
    {"BlanksInsideBrackets", kSample, "MiscInfo", "ScreenPosX", 1024, "688"},
    {"SameKeyOtherSection", kSample, "Other", "Range", 1024, "other section"},
    {"EmptyValueIsNotDefault", kSample, "UserInfo", "Empty", 1024, ""},
    {"OnlyBlanksIsEmpty", kSample, "UserInfo", "Blanks", 1024, ""},
    {"FirstEqualsSplits", kSample, "UserInfo", "Twice", 1024, "a=b"},
    {"MissingKey", kSample, "UserInfo", "Weather", 1024, "DEFAULT"},
    {"KeyOfAnotherSection", kSample, "MiscInfo", "Range", 1024, "DEFAULT"},
    {"MissingSection", kSample, "COLORS", "Range", 1024, "DEFAULT"},
    {"CutToBufferLessOne", kSample, "UserInfo", "Range", 5, "25.0"},
    {"DefaultCutToo", kSample, "UserInfo", "Weather", 4, "DEF"},
    {"BufferOfOneGivesEmpty", kSample, "UserInfo", "Range", 1, ""},
    {"LineFeedOnly", "[A]\nk=1\n[B]\nk=2\n", "B", "k", 1024, "2"},
    {"NoFinalLineEnd", "[A]\nk=last", "A", "k", 1024, "last"},
    {"KeysBeforeAnySectionIgnored", "k=0\n[A]\nj=1\n", "A", "k", 1024, "DEFAULT"},
    {"EmptyFile", "", "A", "k", 1024, "DEFAULT"},
    {"ByteOrderMarkBeforeFirstSection", "\xEF\xBB\xBF[UserInfo]\r\nRange=7\r\n", "UserInfo",
     "Range", 1024, "7"},
    {"DoubleQuotesDropped", "[A]\r\nk=\"10\"\r\n", "A", "k", 1024, "10"},
    {"SingleQuotesDropped", "[A]\r\nk= '10' \r\n", "A", "k", 1024, "10"},
    {"QuotesKeepInnerBlanks", "[A]\r\nk=\" 1 \"\r\n", "A", "k", 1024, " 1 "},
    {"PairOfQuotesIsEmpty", "[A]\r\nk=''\r\n", "A", "k", 1024, ""},
    {"LoneQuoteKept", "[A]\r\nk=\"\r\n", "A", "k", 1024, "\""},
    {"UnmatchedQuotesKept", "[A]\r\nk=\"10'\r\n", "A", "k", 1024, "\"10'"},
    {"QuotesCutLikeAnyValue", "[A]\r\nk=\"12345\"\r\n", "A", "k", 4, "123"},
    {"LoneCarriageReturnEndsLines", "[A]\rx=1\rk=2\r[B]\rk=3\r", "A", "k", 1024, "2"},
    {"ConvertedTwiceCrCrLf", "[A]\r\r\nk=-3\r\r\n", "A", "k", 1024, "-3"},
    {"CtrlZAfterValue", "[A]\r\nk=5\x1A\r\n", "A", "k", 1024, "5"},
    {"CtrlZAndTabsAroundNames", "[\x1A A\t]\r\n\x1Ak\t=1\r\n", "A", "k", 1024, "1"},
    {"ValueEndsAtNul", "[A]\r\nk=12\0 34\r\n"sv, "A", "k", 1024, "12"},
    {"KeyAloneIsNoValue", "[A]\r\nk\r\n", "A", "k", 1024, "DEFAULT"},
    {"KeyAloneHidesLaterKeyLine", "[A]\r\n K \r\nk=1\r\n[B]\r\nk=2\r\n", "A", "k", 1024, "DEFAULT"},
    {"MarkInsideFileIsText", "[A]\r\n\xEF\xBB\xBF[B]\r\nk=1\r\n", "B", "k", 1024, "DEFAULT"},
};

class ProfileRead : public testing_support::BaseDirTest,
                    public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ProfileRead, GivesValueOrDefault) {
    const ReadCase& c = GetParam();
    WriteAll(Path("p.ini"), std::string(c.contents));
    EXPECT_EQ(
        platform::GetPrivateProfileString(c.section, c.key, kDefault, c.bufferSize, Path("p.ini")),
        c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileRead, ::testing::ValuesIn(kReadCases),
                         testing_support::RowName());

class ProfileFile : public testing_support::BaseDirTest {};

TEST_F(ProfileFile, MissingOrUnreadableFileGivesDefault) {
    EXPECT_EQ(platform::GetPrivateProfileString("A", "k", kDefault, 1024, Path("none.ini")),
              kDefault);
    ASSERT_EQ(::mkdir(Path("dir.ini").c_str(), 0755), 0);
    EXPECT_EQ(platform::GetPrivateProfileString("A", "k", kDefault, 1024, Path("dir.ini")),
              kDefault);
}

TEST_F(ProfileFile, LongValueIsCut) {
    const std::string value(2000, '7');
    WriteAll(Path("p.ini"), "[A]\r\nk=" + value + "\r\n");
    EXPECT_EQ(platform::GetPrivateProfileString("A", "k", kDefault, 1024, Path("p.ini")),
              value.substr(0, 1023));
}

struct WriteCase {
    const char* name;
    std::optional<std::string_view> before; // none: no file
    const char* section;
    const char* key;
    const char* text;
    std::string_view after;
};

const WriteCase kWriteCases[] = {
    {"CreatesFile", std::nullopt, "UserInfo", "Range", "25", "[UserInfo]\r\nRange=25\r\n"},
    {"ReplacesInPlace", "[A]\r\nx=1\r\nk=old\r\ny=2\r\n", "A", "k", "new",
     "[A]\r\nx=1\r\nk=new\r\ny=2\r\n"},
    {"ReplaceKeepsFileSpelling", "[A]\r\n  KEY = old  \r\n", "a", "key", "9", "[A]\r\nKEY=9\r\n"},
    {"ReplaceInRightSection", "[A]\r\nk=1\r\n[B]\r\nk=2\r\n", "B", "k", "3",
     "[A]\r\nk=1\r\n[B]\r\nk=3\r\n"},
    {"AppendsKeyAtEndOfSection", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n", "A", "k", "5",
     "[A]\r\nx=1\r\nk=5\r\n[B]\r\ny=2\r\n"},
    {"AppendedKeyBeforeBlankSeparator", "[A]\r\nx=1\r\n\r\n[B]\r\n", "A", "k", "5",
     "[A]\r\nx=1\r\nk=5\r\n\r\n[B]\r\n"},
    {"AppendsKeyToLastSection", "[A]\r\nx=1\r\n", "A", "k", "5", "[A]\r\nx=1\r\nk=5\r\n"},
    {"AppendsSectionAtEnd", "[A]\r\nx=1\r\n", "B", "k", "5", "[A]\r\nx=1\r\n[B]\r\nk=5\r\n"},
    {"LineFeedFileRewrittenWithCrLf", "[A]\nx=1\n", "A", "x", "2", "[A]\r\nx=2\r\n"},
    {"MissingFinalLineEnd", "[A]\r\nx=1", "B", "y", "2", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
    {"EmptyValue", "[A]\r\nx=1\r\n", "A", "x", "", "[A]\r\nx=\r\n"},
    {"OtherLinesKept", "; note\r\n[A]\r\nfree text\r\nx=1\r\n", "A", "x", "2",
     "; note\r\n[A]\r\nfree text\r\nx=2\r\n"},
    {"ByteOrderMarkKeptAndSectionFound", "\xEF\xBB\xBF[UserInfo]\r\nRange=1\r\n", "UserInfo",
     "Range", "42", "\xEF\xBB\xBF[UserInfo]\r\nRange=42\r\n"},
    {"ByteOrderMarkKeyAdded", "\xEF\xBB\xBF[A]\r\n", "A", "k", "1", "\xEF\xBB\xBF[A]\r\nk=1\r\n"},
    {"KeyAloneReplaced", "[A]\r\nx=1\r\n  Range \r\ny=2\r\n", "A", "range", "42",
     "[A]\r\nx=1\r\nRange=42\r\ny=2\r\n"},
    {"FirstOfKeyAloneAndKeyLine", "[A]\r\nk=1\r\nk\r\n", "A", "k", "2", "[A]\r\nk=2\r\nk\r\n"},
    {"KeyAloneBeforeKeyLineReplaced", "[A]\r\n K \r\nk=1\r\n", "A", "k", "2",
     "[A]\r\nK=2\r\nk=1\r\n"},
    {"QuotedValueReplaced", "[A]\r\nk=\"10\"\r\n", "A", "k", "20", "[A]\r\nk=20\r\n"},
    {"LoneCarriageReturnsBecomeCrLf", "[A]\rk=1\r[B]\r", "A", "k", "2", "[A]\r\nk=2\r\n[B]\r\n"},
    {"ConvertedTwiceKeepsItsBlankLines", "[A]\r\r\nk=-3\r\r\n", "A", "k", "4",
     "[A]\r\n\r\nk=4\r\n\r\n"},
    {"CtrlZLineReplaced", "[A]\r\n\x1Ak=5\x1A\r\n\x1A", "A", "k", "6", "[A]\r\nk=6\r\n\x1A\r\n"},
    {"NulValueReplacedOtherLinesKept", "[A]\r\nk=1\0x\r\nj=\0\r\n"sv, "A", "k", "2",
     "[A]\r\nk=2\r\nj=\0\r\n"sv},
};

class ProfileWrite : public testing_support::BaseDirTest,
                     public ::testing::WithParamInterface<WriteCase> {};

TEST_P(ProfileWrite, ProducesFile) {
    const WriteCase& c = GetParam();
    if (c.before)
        WriteAll(Path("p.ini"), std::string(*c.before));
    ASSERT_TRUE(platform::WritePrivateProfileString(c.section, c.key, c.text, Path("p.ini")));
    EXPECT_EQ(ReadAll(Path("p.ini")), c.after);
    EXPECT_EQ(platform::GetPrivateProfileString(c.section, c.key, kDefault, 1024, Path("p.ini")),
              c.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileWrite, ::testing::ValuesIn(kWriteCases),
                         testing_support::RowName());

TEST_F(ProfileFile, DeletedFileWrittenKeyByKeyKeepsOrderOfWrites) {
    const std::string file = Path("order.ini");
    const char* const writes[][3] = {{"UserInfo", "Range", "1"},
                                     {"MiscInfo", "ScreenPosX", "2"},
                                     {"UserInfo", "Freq", "3"},
                                     {"MiscInfo", "ScreenPosY", "4"},
                                     {"UserInfo", "Range", "5"}};
    for (const auto& w : writes)
        ASSERT_TRUE(platform::WritePrivateProfileString(w[0], w[1], w[2], file));
    EXPECT_EQ(ReadAll(file),
              "[UserInfo]\r\nRange=5\r\nFreq=3\r\n[MiscInfo]\r\nScreenPosX=2\r\nScreenPosY=4\r\n");
    EXPECT_EQ(platform::GetPrivateProfileString("userinfo", "range", kDefault, 1024, file), "5");
}

struct RefusedCase {
    const char* name;
    const char* section;
    const char* key;
    const char* text;
};

const RefusedCase kRefused[] = {
    {"LineBreakInValue", "A", "k", "1\r\n[Injected]"},
    {"LineFeedInKey", "A", "k\nx", "1"},
    {"LineBreakInSection", "A\r", "k", "1"},
    {"BracketInSection", "A]x", "k", "1"},
    {"EqualsInKey", "A", "k=x", "1"},
    {"EmptyKey", "A", "  ", "1"},
    {"LoneCarriageReturnInValue", "A", "k", "1\r2"},
    {"KeyThatWouldOpenASection", "A", "[B]", "1"},
};

class ProfileRefused : public testing_support::BaseDirTest,
                       public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(ProfileRefused, LeavesFileAlone) {
    const RefusedCase& c = GetParam();
    const std::string before = "[A]\r\nk=0\r\n";
    WriteAll(Path("p.ini"), before);
    EXPECT_FALSE(platform::WritePrivateProfileString(c.section, c.key, c.text, Path("p.ini")));
    EXPECT_EQ(ReadAll(Path("p.ini")), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileRefused, ::testing::ValuesIn(kRefused),
                         testing_support::RowName());

std::size_t g_writeBudget = 0; // bytes the failing write lets through

ssize_t writeThenFail(int fd, const void* data, std::size_t size) {
    if (g_writeBudget == 0) {
        errno = ENOSPC;
        return -1;
    }
    const std::size_t now = size < g_writeBudget ? size : g_writeBudget;
    g_writeBudget -= now;
    return ::write(fd, data, now);
}

std::ptrdiff_t entriesIn(const std::string& dir) {
    return std::distance(std::filesystem::directory_iterator(dir), {});
}

TEST_F(ProfileFile, WriteFailingPartWayLeavesOldFileAndNoTemporary) {
    const std::string before = "[A]\r\nx=1\r\nk=old\r\ny=2\r\n";
    WriteAll(Path("p.ini"), before);
    g_writeBudget = 7;
    platform::FileCalls calls = platform::SystemFileCalls();
    calls.write = &writeThenFail;
    platform::SetFileCalls(&calls);
    const bool written = platform::WritePrivateProfileString("A", "k", "new", Path("p.ini"));
    platform::SetFileCalls(nullptr);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadAll(Path("p.ini")), before);
    EXPECT_EQ(entriesIn(Dir()), 1);
    // With the real write restored the same call succeeds.
    EXPECT_TRUE(platform::WritePrivateProfileString("A", "k", "new", Path("p.ini")));
    EXPECT_EQ(ReadAll(Path("p.ini")), "[A]\r\nx=1\r\nk=new\r\ny=2\r\n");
}

TEST_F(ProfileFile, WriteUnderRegularFileFails) {
    WriteAll(Path("plain"), "not a directory");
    EXPECT_FALSE(platform::WritePrivateProfileString("A", "k", "1", Path("plain/p.ini")));
    EXPECT_EQ(ReadAll(Path("plain")), "not a directory");
}

TEST_F(ProfileFile, WriteOverDirectoryFailsAndKeepsIt) {
    ASSERT_EQ(::mkdir(Path("p.ini").c_str(), 0755), 0);
    EXPECT_FALSE(platform::WritePrivateProfileString("A", "k", "1", Path("p.ini")));
    struct stat info {};
    ASSERT_EQ(::stat(Path("p.ini").c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(entriesIn(Dir()), 1);
}

TEST_F(ProfileFile, WriteKeepsLinkAndModeOfOldFile) {
    WriteAll(Path("real.ini"), "[A]\r\nk=1\r\n");
    ASSERT_EQ(::chmod(Path("real.ini").c_str(), 0640), 0);
    ASSERT_EQ(::symlink("real.ini", Path("link.ini").c_str()), 0);
    ASSERT_TRUE(platform::WritePrivateProfileString("A", "k", "2", Path("link.ini")));
    struct stat info {};
    ASSERT_EQ(::lstat(Path("link.ini").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(::stat(Path("real.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadAll(Path("real.ini")), "[A]\r\nk=2\r\n");
}

TEST_F(ProfileFile, RelativeNameWrittenInCurrentDirectory) {
    ASSERT_TRUE(platform::WritePrivateProfileString("A", "k", "1", "rel.ini"));
    EXPECT_EQ(ReadAll(Path("rel.ini")), "[A]\r\nk=1\r\n");
}

// A real full file system: a 16 KiB tmpfs, filled up, then a value changed.
TEST_F(ProfileFile, WriteOnFullFileSystemLeavesOldFile) {
    const std::string mountPoint = Path("small");
    ASSERT_EQ(::mkdir(mountPoint.c_str(), 0755), 0);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=16k") != 0)
        GTEST_SKIP() << "mounting a tmpfs was refused";
    const std::string file = mountPoint + "/p.ini";
    const std::string before = "[A]\r\nk=" + std::string(5000, '1') + "\r\n";
    WriteAll(file, before);
    {
        std::ofstream filler(mountPoint + "/filler", std::ios::binary);
        const std::string block(1024, 'x');
        for (int i = 0; i < 64 && filler; ++i)
            filler.write(block.data(), static_cast<std::streamsize>(block.size())).flush();
    }
    const bool written = platform::WritePrivateProfileString("A", "k", "2", file);
    const std::string after = ReadAll(file);
    const std::ptrdiff_t entries = entriesIn(mountPoint);
    ::umount(mountPoint.c_str());
    EXPECT_FALSE(written);
    EXPECT_EQ(after, before);
    EXPECT_EQ(entries, 2); // p.ini and filler: the temporary file is gone
}

} // namespace
