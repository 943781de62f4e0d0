#include "app_context.h"
#include "base_dir_test.h"
#include "file_calls.h"
#include "link_settings.h"
#include "sample_settings.h"
#include "table_test.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

using testing_support::PrintTo;

const std::string kSample = kSampleSettingsText;

// kSample with whole lines replaced, e.g. {"Range=10.000000000", "Range=20.000000000"}.
std::string sampleWith(const std::vector<std::pair<std::string, std::string>>& lines) {
    std::string text = kSample;
    for (const auto& [from, to] : lines) {
        const std::size_t at = text.find(from + "\r\n");
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) {
            text.replace(at, from.size(), to);
        }
    }
    return text;
}

using testing_support::ReadAll;
using testing_support::WriteAll;

// Values no default has, so that "the field kept what it held" is visible.
LinkFactors sentinels() {
    return {101.0, 102.0, 103.0, 104.0, 105.0, 106.0, 107.0,
            108.0, 109.0, 110.0, 111.0, 112.0, 113.0, 114.0};
}

void expectSameFactors(const LinkFactors& expected, const LinkFactors& actual) {
    for (const FactorRow& row : FactorTable) {
        EXPECT_EQ(expected.*row.field, actual.*row.field) << row.key;
    }
}

class LinkSettingsTest : public testing_support::BaseDirTest {
  protected:
    LinkSettingsTest() : BaseDirTest(testing_support::TestBase::ContextBase::Set) {}
    void SetUp() override {
        BaseDirTest::SetUp();
        m_base = Dir();
        m_path = MakeSettingsPath(m_base.string());
        SetDefaultFactors(m_factors);
    }

    std::string backup() const { return m_path + ".BAK"; }

    fs::path m_base;
    std::string m_path;
    LinkFactors m_factors{};
    WindowPosition m_position;
};

TEST_F(LinkSettingsTest, PathIsBaseDirectoryAndFileName) {
    EXPECT_EQ(m_path, m_base.string() + "/Quillstone.Cfg");
    // A drive root gives a doubled separator, which the system reads as one.
    EXPECT_EQ(MakeSettingsPath("/"), "//Quillstone.Cfg");
}

TEST_F(LinkSettingsTest, FirstSaveWritesTheSampleSecondKeepsItAsBackup) {
    fs::current_path("/");
    ASSERT_TRUE(SaveLinkSettings(m_path, m_factors, m_position));
    EXPECT_EQ(ReadAll(m_path), kSample);
    EXPECT_FALSE(fs::exists(backup()));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_base), fs::directory_iterator()), 1);
    EXPECT_EQ(fs::current_path(), m_base);

    m_factors.Range = 20.0;
    m_position.y = 5;
    ASSERT_TRUE(SaveLinkSettings(m_path, m_factors, m_position));
    EXPECT_EQ(ReadAll(backup()), kSample);
    EXPECT_EQ(ReadAll(m_path), sampleWith({{"Range=10.000000000", "Range=20.000000000"},
                                           {"ScreenPosY=171", "ScreenPosY=5"}}));
}

TEST_F(LinkSettingsTest, AbsentFileChangesNothingAndCreatesNothing) {
    LinkFactors factors = sentinels();
    WindowPosition position{-1, -2};
    fs::current_path("/");
    EXPECT_FALSE(LoadLinkSettings(m_path, factors, position));
    expectSameFactors(sentinels(), factors);
    EXPECT_EQ(position.x, -1);
    EXPECT_EQ(position.y, -2);
    EXPECT_FALSE(fs::exists(m_path));
    EXPECT_EQ(fs::current_path(), m_base);
}

// Every key with its own value, after a UTF-8 byte-order mark.
const char kEveryKeyWithMark[] =
    "\xEF\xBB\xBF[UserInfo]\r\nRange=1\r\nFreq=2\r\nTxPower=3\r\nBitRate=4\r\n"
    "MinEbNoDesired=5\r\nLnaNoiseFigure=6\r\nLnaGain=7\r\nRxNoiseFigure=8\r\nTxFeedLoss=9\r\n"
    "TxAntGain=10\r\nWeather=11\r\nPolarization=12\r\nRxAntGain=13\r\nRxFeedLoss=14\r\n"
    "[MiscInfo]\r\nScreenPosX=15\r\nScreenPosY=16\r\n";

// What kEveryKeyWithMark and its reverse hold: 1 to 14, then 15 and 16.
void everyKey(LinkFactors& f, WindowPosition& p) {
    f = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    p = {15, 16};
}

struct LoadCase {
    const char* name;
    std::string_view file;
    void (*expect)(LinkFactors&, WindowPosition&); // applied to the sentinels
};

class LoadCaseTest : public LinkSettingsTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadCaseTest, ReadsValidKeysAndKeepsTheRest) {
    WriteAll(m_path, std::string(GetParam().file));
    LinkFactors factors = sentinels();
    WindowPosition position{-1, -2};
    ASSERT_TRUE(LoadLinkSettings(m_path, factors, position));

    LinkFactors expected = sentinels();
    WindowPosition expectedPosition{-1, -2};
    GetParam().expect(expected, expectedPosition);
    expectSameFactors(expected, factors);
    EXPECT_EQ(position.x, expectedPosition.x);
    EXPECT_EQ(position.y, expectedPosition.y);
}

const LoadCase kLoadCases[] = {
    {"OnlyScreenPosY", "[MiscInfo]\r\nScreenPosY=50\r\n",
     [](LinkFactors&, WindowPosition& p) { p.y = 50; }},
    {"RangeBeyondItsSlider", "[UserInfo]\r\nRange=1000\r\n",
     [](LinkFactors& f, WindowPosition&) { f.Range = 1000.0; }},
    {"FreqLetters", "[UserInfo]\r\nFreq=abc\r\n", [](LinkFactors&, WindowPosition&) {}},
    {"ScreenPosXFarOffScreen", "[MiscInfo]\r\nScreenPosX=-3000\r\n",
     [](LinkFactors&, WindowPosition& p) { p.x = -3000; }},
    {"LowerCaseNames", "[userinfo]\r\nrange=20\r\n[miscinfo]\r\nscreenposx=7\r\n",
     [](LinkFactors& f, WindowPosition& p) {
         f.Range = 20.0;
         p.x = 7;
     }},
    {"KeysInTheWrongSection", "[MiscInfo]\r\nRange=3\r\n[UserInfo]\r\nScreenPosX=9\r\n",
     [](LinkFactors&, WindowPosition&) {}},
    {"EmptyFile", "", [](LinkFactors&, WindowPosition&) {}},
    // Every key with its own value, sections and keys in reverse order: each
    // value must land in the field of its own name.
    {"EveryKeyInReverseOrder",
     "[MiscInfo]\r\nScreenPosY=16\r\nScreenPosX=15\r\n[UserInfo]\r\nRxFeedLoss=14\r\n"
     "RxAntGain=13\r\nPolarization=12\r\nWeather=11\r\nTxAntGain=10\r\nTxFeedLoss=9\r\n"
     "RxNoiseFigure=8\r\nLnaGain=7\r\nLnaNoiseFigure=6\r\nMinEbNoDesired=5\r\nBitRate=4\r\n"
     "TxPower=3\r\nFreq=2\r\nRange=1\r\n",
     everyKey},
    {"ByteOrderMarkBeforeEveryKey", kEveryKeyWithMark, everyKey},
};

INSTANTIATE_TEST_SUITE_P(Files, LoadCaseTest, ::testing::ValuesIn(kLoadCases),
                         testing_support::RowName{});

struct SaveCase {
    const char* name;
    void (*change)(LinkFactors&, WindowPosition&);
    const char* line;     // sample line that changes
    const char* expected; // its new text
};

class SaveCaseTest : public LinkSettingsTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveCaseTest, WritesNineDecimalsOrPlainIntegers) {
    GetParam().change(m_factors, m_position);
    ASSERT_TRUE(SaveLinkSettings(m_path, m_factors, m_position));
    EXPECT_EQ(ReadAll(m_path), sampleWith({{GetParam().line, GetParam().expected}}));
}

const SaveCase kSaveCases[] = {
    {"TypedPrecisionCutToNineDecimals",
     [](LinkFactors& f, WindowPosition&) { f.LnaGain = 0.1234567891234; }, "LnaGain=6.000000000",
     "LnaGain=0.123456789"},
    {"RoundedAtTheNinthDecimal", [](LinkFactors& f, WindowPosition&) { f.Weather = 0.1234567896; },
     "Weather=0.100000000", "Weather=0.123456790"},
    {"NegativeGain", [](LinkFactors& f, WindowPosition&) { f.TxAntGain = -50.0; },
     "TxAntGain=1.100000000", "TxAntGain=-50.000000000"},
    {"LargestBitRate", [](LinkFactors& f, WindowPosition&) { f.BitRate = 500000000.0; },
     "BitRate=1000.000000000", "BitRate=500000000.000000000"},
    {"ZeroFactor", [](LinkFactors& f, WindowPosition&) { f.RxFeedLoss = 0.0; },
     "RxFeedLoss=0.100000000", "RxFeedLoss=0.000000000"},
    {"NegativePosition", [](LinkFactors&, WindowPosition& p) { p.x = -3000; }, "ScreenPosX=688",
     "ScreenPosX=-3000"},
    {"ZeroPosition", [](LinkFactors&, WindowPosition& p) { p.y = 0; }, "ScreenPosY=171",
     "ScreenPosY=0"},
};

INSTANTIATE_TEST_SUITE_P(Values, SaveCaseTest, ::testing::ValuesIn(kSaveCases),
                         testing_support::RowName{});

TEST_F(LinkSettingsTest, LowerCaseKeysAreRewrittenInTheSystemsCaseAndOrder) {
    WriteAll(m_path, "[miscinfo]\r\nscreenposx=7\r\n[userinfo]\r\nrange=20\r\n");
    ASSERT_TRUE(LoadLinkSettings(m_path, m_factors, m_position));
    ASSERT_TRUE(SaveLinkSettings(m_path, m_factors, m_position));
    EXPECT_EQ(ReadAll(m_path), sampleWith({{"Range=10.000000000", "Range=20.000000000"},
                                           {"ScreenPosX=688", "ScreenPosX=7"}}));
}

TEST_F(LinkSettingsTest, HandAddedKeysAreDroppedButKeptInTheBackup) {
    const std::string edited =
        sampleWith({{"Freq=2250.000000000", "Freq=2250.000000000\r\nComment=7"}}) +
        "[Extra]\r\nNote=1\r\n";
    WriteAll(m_path, edited);
    ASSERT_TRUE(LoadLinkSettings(m_path, m_factors, m_position));
    ASSERT_TRUE(SaveLinkSettings(m_path, m_factors, m_position));
    EXPECT_EQ(ReadAll(m_path), kSample);
    EXPECT_EQ(ReadAll(backup()), edited);
}

// A whole save is one durable replace of the file: two syncs (the file and
// its directory) and one rename, whatever the number of keys; the file keeps
// its permissions.
TEST_F(LinkSettingsTest, SaveIsOneDurableReplaceKeepingThePermissions) {
    WriteAll(m_path, kSample);
    // A mode no usual umask gives a new file.
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read;
    fs::permissions(m_path, mode);
    const testing_support::ScriptedFileCalls calls;
    m_factors.Range = 20.0;
    ASSERT_TRUE(SaveLinkSettings(m_path, m_factors, m_position));
    EXPECT_EQ(calls.Count(calls.Fsync), 2);
    EXPECT_EQ(calls.Count(calls.Rename), 1);
    EXPECT_EQ(ReadAll(m_path), sampleWith({{"Range=10.000000000", "Range=20.000000000"}}));
    EXPECT_EQ(fs::status(m_path).permissions(), mode);
}

// A file with a byte-order mark loads every key (see the load cases) and is
// saved as the program's own file, the mark kept in the backup.
TEST_F(LinkSettingsTest, ByteOrderMarkFileIsSavedWithItsValues) {
    WriteAll(m_path, kEveryKeyWithMark);
    ASSERT_TRUE(LoadLinkSettings(m_path, m_factors, m_position));
    ASSERT_TRUE(SaveLinkSettings(m_path, m_factors, m_position));
    EXPECT_EQ(ReadAll(backup()), kEveryKeyWithMark);
    LinkFactors reloaded = sentinels();
    WindowPosition position{-1, -2};
    ASSERT_TRUE(LoadLinkSettings(m_path, reloaded, position));
    expectSameFactors(m_factors, reloaded);
    EXPECT_EQ(position.x, 15);
    EXPECT_EQ(position.y, 16);
    EXPECT_EQ(ReadAll(m_path).substr(0, 31), "[UserInfo]\r\nRange=1.000000000\r\n");
}

TEST_F(LinkSettingsTest, SaveUnderARegularFileFailsAndCreatesNothing) {
    WriteAll(m_base / "plain", "not a directory");
    const std::string path = MakeSettingsPath((m_base / "plain").string());
    EXPECT_FALSE(SaveLinkSettings(path, m_factors, m_position));
    EXPECT_EQ(ReadAll(m_base / "plain"), "not a directory");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_base), fs::directory_iterator()), 1);
}

// The disk is full: the save reports it and the old file stays as it was.
TEST_F(LinkSettingsTest, FailedSaveLeavesTheOldFileIntact) {
    const std::string old = sampleWith({{"Range=10.000000000", "Range=20.000000000"}});
    WriteAll(m_path, old);
    testing_support::ScriptedFileCalls calls;
    calls.Fail(calls.Write, ENOSPC);
    m_factors.Range = 30.0;
    EXPECT_FALSE(SaveLinkSettings(m_path, m_factors, m_position));
    EXPECT_EQ(ReadAll(m_path), old);
    EXPECT_EQ(ReadAll(backup()), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_base), fs::directory_iterator()), 2);
}

// Makes a decimal-comma locale the process's C locale: the installed one, or
// one built into `dir` when the locale sources are there.
bool useDecimalCommaLocale(const fs::path& dir) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        const std::string command =
            "localedef -i de_DE -f UTF-8 '" + (dir / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) {
            return false;
        }
        ::setenv("LOCPATH", dir.c_str(), 1);
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
            return false;
        }
    }
    return std::localeconv()->decimal_point == std::string(",");
}

TEST_F(LinkSettingsTest, DecimalCommaLocaleStillUsesFullStops) {
    const fs::path locales = m_base / "locales";
    fs::create_directory(locales);
    if (!useDecimalCommaLocale(locales)) {
        std::setlocale(LC_ALL, "C");
        GTEST_SKIP() << "no locale with a decimal comma can be made here";
    }
    m_factors.Freq = 2.5;
    const bool saved = SaveLinkSettings(m_path, m_factors, m_position);
    const std::string written = ReadAll(m_path);
    LinkFactors loaded = sentinels();
    WindowPosition position;
    WriteAll(m_path, "[UserInfo]\r\nRange=0.25\r\nFreq=2,5\r\n");
    const bool loadedOk = LoadLinkSettings(m_path, loaded, position);
    std::setlocale(LC_ALL, "C");
    ::unsetenv("LOCPATH");

    ASSERT_TRUE(saved);
    EXPECT_EQ(written, sampleWith({{"Freq=2250.000000000", "Freq=2.500000000"}}));
    ASSERT_TRUE(loadedOk);
    EXPECT_EQ(loaded.Range, 0.25);
    EXPECT_EQ(loaded.Freq, 102.0); // "2,5" is not a number in a file
}

} // namespace
