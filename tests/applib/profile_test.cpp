#include "base_dir_test.h"
#include "profile.h"
#include "table_test.h"

#include <clocale>
#include <cmath>
#include <limits>

using testing_support::ReadAll;
using testing_support::WriteAll;

namespace {

using testing_support::PrintTo;

constexpr int32_t kUntouchedInt = -777;
constexpr double kUntouchedDouble = -777.5;

// One value line under [UserInfo] Range, read as an integer and as a
// double; the conversions themselves are TextToLong's and TextToDouble's.
struct ReadCase {
    const char* name;
    const char* valueLine;
    bool intOk, doubleOk;
    double value; // expected when ok
};

const ReadCase kReads[] = {
    {"Written", "Range=2250.000000000", false, true, 2250.0},
    {"BlanksAround", "Range=   12   ", true, true, 12},
    {"EmptyIsZero", "Range=", true, true, 0},
    {"TrailingText", "Range=12abc", false, false, 0},
    {"Marker", "Range=BOGUS SECTION or KEY", false, false, 0},
    {"MarkerInOtherCase", "Range=bogus section or key", false, false, 0},
    {"Invalid", "Range=INVALID", false, false, 0},
    {"MissingKey", "Freq=5", false, false, 0},
    {"KeyInOtherCase", "RANGE=5", true, true, 5},
};

class ReadValue : public testing_support::BaseDirTest,
                  public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadValue, ConvertsWholeTextOnly) {
    const ReadCase& c = GetParam();
    WriteAll(Path("q.cfg"), std::string("[UserInfo]\r\n") + c.valueLine + "\r\n");
    int32_t i = kUntouchedInt;
    EXPECT_EQ(ReadProfileInt(Path("q.cfg"), "UserInfo", "Range", i), c.intOk);
    EXPECT_EQ(i, c.intOk ? static_cast<int32_t>(c.value) : kUntouchedInt);
    double d = kUntouchedDouble;
    EXPECT_EQ(ReadProfileDouble(Path("q.cfg"), "userinfo", "range", d), c.doubleOk);
    EXPECT_EQ(d, c.doubleOk ? c.value : kUntouchedDouble);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadValue, ::testing::ValuesIn(kReads), testing_support::RowName{});

class ProfileHelpers : public testing_support::BaseDirTest {};

TEST_F(ProfileHelpers, MarkerText) {
    EXPECT_STREQ(MissingKeyMarker, "BOGUS SECTION or KEY");
}

TEST_F(ProfileHelpers, MissingFileOrSectionLeavesValues) {
    WriteAll(Path("q.cfg"), "[UserInfo]\r\nRange=5\r\n");
    const std::string places[][2] = {{Path("none.cfg"), "UserInfo"}, {Path("q.cfg"), "MiscInfo"}};
    for (const auto& place : places) {
        int32_t i = kUntouchedInt;
        double d = kUntouchedDouble;
        EXPECT_FALSE(ReadProfileInt(place[0], place[1], "Range", i)) << place[0];
        EXPECT_FALSE(ReadProfileDouble(place[0], place[1], "Range", d)) << place[0];
        EXPECT_EQ(i, kUntouchedInt);
        EXPECT_EQ(d, kUntouchedDouble);
    }
}

TEST_F(ProfileHelpers, ValueLongerThanBufferIsCutBeforeConversion) {
    // 1023 digits of zeros then a 5: the 5 is cut off, so the value reads as 0.
    WriteAll(Path("q.cfg"), "[A]\r\nk=" + std::string(1023, '0') + "5\r\n");
    int32_t value = kUntouchedInt;
    EXPECT_TRUE(ReadProfileInt(Path("q.cfg"), "A", "k", value));
    EXPECT_EQ(value, 0);
}

struct WriteCase {
    const char* name;
    bool isInt;
    double value;
    const char* text;
};

const WriteCase kWrites[] = {
    {"Int688", true, 688, "688"},
    {"IntMinus8", true, -8, "-8"},
    {"IntZero", true, 0, "0"},
    {"IntLowest", true, -2147483648.0, "-2147483648"},
    {"Double2250", false, 2250, "2250.000000000"},
    {"DoubleTenth", false, 0.1, "0.100000000"},
    {"DoubleOnePointOne", false, 1.1, "1.100000000"},
    {"DoubleMinus50", false, -50, "-50.000000000"},
    {"DoubleTiny", false, 1e-12, "0.000000000"},
};

class WriteValue : public testing_support::BaseDirTest,
                   public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteValue, WritesPlainDecimalText) {
    const WriteCase& c = GetParam();
    const bool ok =
        c.isInt ? WriteProfileInt(Path("q.cfg"), "UserInfo", "Key", static_cast<int32_t>(c.value))
                : WriteProfileDouble(Path("q.cfg"), "UserInfo", "Key", c.value);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ReadAll(Path("q.cfg")), std::string("[UserInfo]\r\nKey=") + c.text + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Cases, WriteValue, ::testing::ValuesIn(kWrites),
                         testing_support::RowName{});

TEST_F(ProfileHelpers, RoundTripsExactly) {
    const double doubles[] = {0.1, 1.1, 2250.0, -50.0, 123456.789, 1e-9};
    for (double written : doubles) {
        ASSERT_TRUE(WriteProfileDouble(Path("q.cfg"), "UserInfo", "Range", written));
        double read = 0.0;
        ASSERT_TRUE(ReadProfileDouble(Path("q.cfg"), "UserInfo", "Range", read));
        EXPECT_EQ(read, written) << written;
    }
    const int32_t ints[] = {688, -8, 0, 2147483647, -2147483647 - 1};
    for (int32_t written : ints) {
        ASSERT_TRUE(WriteProfileInt(Path("q.cfg"), "MiscInfo", "ScreenPosX", written));
        int32_t read = 0;
        ASSERT_TRUE(ReadProfileInt(Path("q.cfg"), "miscinfo", "SCREENPOSX", read));
        EXPECT_EQ(read, written);
    }
    EXPECT_EQ(ReadAll(Path("q.cfg")),
              "[UserInfo]\r\nRange=0.000000001\r\n[MiscInfo]\r\nScreenPosX=-2147483648\r\n");
}

TEST_F(ProfileHelpers, FailedWriteReportsFalse) {
    WriteAll(Path("plain"), "x");
    EXPECT_FALSE(WriteProfileInt(Path("plain/q.cfg"), "A", "k", 1));
    EXPECT_FALSE(WriteProfileDouble(Path("plain/q.cfg"), "A", "k", 1.0));
}

TEST_F(ProfileHelpers, InvalidTextReadsBackAsFailure) {
    ASSERT_TRUE(WriteProfileDouble(Path("q.cfg"), "A", "k", 1e70));
    EXPECT_EQ(ReadAll(Path("q.cfg")), "[A]\r\nk=INVALID\r\n");
    double value = kUntouchedDouble;
    EXPECT_FALSE(ReadProfileDouble(Path("q.cfg"), "A", "k", value));
    EXPECT_EQ(value, kUntouchedDouble);
}

struct FormatCase {
    const char* name;
    double value;
    int total;
    int decimals;
    const char* text;
};

const double kInf = std::numeric_limits<double>::infinity();

const FormatCase kFormats[] = {
    {"IntPadRemoved", 688, 16, 0, "688"},
    {"DriverPart", 6, 6, 0, "6"},
    {"RoundsHalfToEvenOfBinary", 2.5, 16, 0, "2"},
    {"RoundsUp", 2.6, 16, 0, "3"},
    {"NegativeZero", -0.4, 16, 0, "-0"},
    {"NineDecimals", 2250, 18, 9, "2250.000000000"},
    {"RoundsLastDecimal", 0.1234567896, 18, 9, "0.123456790"},
    {"LargeExactValue", 1e22, 18, 9, "10000000000000000000000.000000000"},
    {"MagnitudeLimitIsInvalid", 1e68, 18, 9, "INVALID"},
    {"NegativeMagnitudeLimit", -1e68, 18, 9, "INVALID"},
    {"LargestIsInvalid", 1.7e308, 18, 9, "INVALID"},
    {"WideFieldIsInvalid", 1, 90, 0, "INVALID"},
    {"NegativeDecimalsInvalid", 1, 16, -1, "INVALID"},
    {"Infinity", kInf, 18, 9, "INVALID"},
    {"MinusInfinity", -kInf, 18, 9, "INVALID"},
    {"NotANumber", std::numeric_limits<double>::quiet_NaN(), 18, 9, "INVALID"},
};

class Format : public ::testing::TestWithParam<FormatCase> {};

TEST_P(Format, GivesText) {
    const FormatCase& c = GetParam();
    const std::string text = FormatProfileNumber(c.value, c.total, c.decimals);
    EXPECT_EQ(text, c.text);
    EXPECT_LE(text.size(), 79u);
}

INSTANTIATE_TEST_SUITE_P(Cases, Format, ::testing::ValuesIn(kFormats), testing_support::RowName{});

TEST(FormatLimit, LargestMagnitudesFitIn79Characters) {
    const double belowLimit = std::nextafter(1e68, 0.0); // 68 integer digits
    const std::string positive = FormatProfileNumber(belowLimit, 18, 9);
    EXPECT_EQ(positive.size(), 78u);
    EXPECT_EQ(positive.substr(positive.size() - 10), ".000000000");
    const std::string negative = FormatProfileNumber(-belowLimit, 18, 9);
    EXPECT_EQ(negative, "-" + positive);
    EXPECT_EQ(negative.size(), 79u);
    EXPECT_EQ(FormatProfileNumber(std::nextafter(1e68, 1e69), 18, 9), "INVALID");
    // Fewer decimals leave room for more digits, but not beyond 79 characters.
    EXPECT_EQ(FormatProfileNumber(1e30, 16, 0), "1000000000000000019884624838656");
    EXPECT_EQ(FormatProfileNumber(1e67, 18, 30), "INVALID");
}

TEST(FormatLocale, FullStopWhateverTheLocale) {
    const char* const commaLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"};
    const char* chosen = nullptr;
    for (const char* name : commaLocales)
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            chosen = name;
            break;
        }
    if (chosen == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    const std::string text = FormatProfileNumber(0.1, 18, 9);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(text, "0.100000000");
}

} // namespace
