#include "base_dir_test.h"
#include "cmn_color_defines.h"
#include "table_test.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

using testing_support::PrintTo;

// The built-in colours, field by field.
CmnColorDefines defaults() {
    // clang-format off
    return {.MainColor = 12632256, .DeviceBackgroundColor = 12632256, .DeviceGuiColor = 5131854,
            .SetupColor = 10790052, .ProjectColor = 16744448, .DisplayPageColor = 12632256,
            .MainDataColor = 16711680, .MainLabelColor = 16777215,
            .DeviceBackgroundDataColor = -2147483640, .DeviceBackgroundLabelColor = 16777215,
            .DeviceGuiDataColor = 65280, .DeviceGuiLabelColor = 16777215,
            .SetupDataColor = 4194368, .SetupLabelColor = 16777215,
            .ProjectDataColor = 16777215, .ProjectLabelColor = 0,
            .DisplayPageDataColor = 16711680, .DisplayPageLabelColor = 0};
    // clang-format on
}

void expectSameColors(const CmnColorDefines& expected, const CmnColorDefines& actual) {
    for (const ColorKey& entry : ColorTable) {
        EXPECT_EQ(expected.*entry.field, actual.*entry.field) << entry.key;
    }
}

using testing_support::ReadAll;

class ColorDefinesTest : public testing_support::BaseDirTest {
  protected:
    void SetUp() override {
        BaseDirTest::SetUp();
        m_path = Path(kOptionsFileName);
    }

    std::string m_path;
};

TEST_F(ColorDefinesTest, DefaultsAreTheBuiltInColours) {
    CmnColorDefines colors{};
    SetDefaultColors(colors);
    expectSameColors(defaults(), colors);
    EXPECT_EQ(static_cast<uint32_t>(colors.DeviceBackgroundDataColor), 0x80000008u);
}

TEST_F(ColorDefinesTest, TableHoldsEveryFieldOnceInTheFilesOrder) {
    // clang-format off
    const char* const order[] = {
        "MainColor", "DeviceBackgroundColor", "SetupColor", "DeviceGuiColor", "ProjectColor",
        "DisplayPageColor", "MainDataColor", "MainLabelColor", "DeviceBackgroundDataColor",
        "DeviceBackgroundLabelColor", "DeviceGuiDataColor", "DeviceGuiLabelColor",
        "SetupDataColor", "SetupLabelColor", "ProjectDataColor", "ProjectLabelColor",
        "DisplayPageDataColor", "DisplayPageLabelColor"};
    // clang-format on
    static_assert(std::size(order) == kColorCount);
    for (std::size_t i = 0; i < kColorCount; ++i) {
        EXPECT_STREQ(ColorTable[i].key, order[i]);
        for (std::size_t j = i + 1; j < kColorCount; ++j) {
            EXPECT_NE(ColorTable[i].field, ColorTable[j].field) << order[i] << " " << order[j];
        }
    }
}

TEST_F(ColorDefinesTest, NoFileKeepsTheRecordAndCreatesNothing) {
    CmnColorDefines colors = defaults();
    colors.SetupColor = 7; // not a default: the record is left as the caller had it
    ReadColorDefines(m_path, colors);
    CmnColorDefines expected = defaults();
    expected.SetupColor = 7;
    expectSameColors(expected, colors);
    EXPECT_FALSE(fs::exists(m_path));
    EXPECT_TRUE(fs::is_empty(Dir()));
}

struct ColorCase {
    const char* name;
    const char* file;
    void (*expect)(CmnColorDefines&); // applied to the defaults
};

class ColorCaseTest : public ColorDefinesTest, public ::testing::WithParamInterface<ColorCase> {};

TEST_P(ColorCaseTest, OverlaysValidKeysOnly) {
    std::ofstream(m_path, std::ios::binary) << GetParam().file;
    CmnColorDefines colors{};
    SetDefaultColors(colors);
    ReadColorDefines(m_path, colors);

    CmnColorDefines expected = defaults();
    GetParam().expect(expected);
    expectSameColors(expected, colors);
    EXPECT_EQ(ReadAll(m_path), GetParam().file) << "the options file is only read";
}

const ColorCase kColorCases[] = {
    {"OnlyDeviceGuiColorRed", "[COLORS]\r\nDeviceGuiColor=255\r\n",
     [](CmnColorDefines& c) { c.DeviceGuiColor = 255; }},
    {"HexadecimalRejected", "[COLORS]\r\nDeviceGuiDataColor=0x0000FF00\r\n",
     [](CmnColorDefines&) {}},
    {"ShortHexadecimalRejected", "[COLORS]\r\nDeviceGuiDataColor=0xFF\r\n",
     [](CmnColorDefines&) {}},
    {"ColourNameRejected", "[COLORS]\r\nDeviceGuiLabelColor=clRed\r\n", [](CmnColorDefines&) {}},
    {"TrailingTextRejected", "[COLORS]\r\nDeviceGuiColor=255px\r\n", [](CmnColorDefines&) {}},
    {"FractionRejected", "[COLORS]\r\nDeviceGuiColor=2.5\r\n", [](CmnColorDefines&) {}},
    {"SetupAndDeviceGuiGoToTheirOwnFields", "[COLORS]\r\nSetupColor=1\r\nDeviceGuiColor=2\r\n",
     [](CmnColorDefines& c) {
         c.SetupColor = 1;
         c.DeviceGuiColor = 2;
     }},
    {"SystemColourAccepted", "[COLORS]\r\nDeviceGuiDataColor=-2147483640\r\n",
     [](CmnColorDefines& c) { c.DeviceGuiDataColor = -2147483640; }},
    {"EmptyValueReadsZero", "[COLORS]\r\nDeviceGuiColor=\r\n",
     [](CmnColorDefines& c) { c.DeviceGuiColor = 0; }},
    {"BlanksAroundValue", "[COLORS]\r\nMainColor =  42 \r\n",
     [](CmnColorDefines& c) { c.MainColor = 42; }},
    {"BeyondThirtyTwoBitsSaturates", "[COLORS]\r\nProjectColor=4294967295\r\n",
     [](CmnColorDefines& c) { c.ProjectColor = 2147483647; }},
    {"OtherSectionsIgnored", "[Server]\r\nDeviceGuiColor=5\r\n[COLORS]\r\nMainColor=6\r\n",
     [](CmnColorDefines& c) { c.MainColor = 6; }},
    {"SectionInLowerCase", "[colors]\r\ndeviceguicolor=9\r\n",
     [](CmnColorDefines& c) { c.DeviceGuiColor = 9; }},
    {"NoColoursSection", "[Server]\r\nPort=5000\r\n", [](CmnColorDefines&) {}},
    // A file converted to CR LF twice: each line then ends CR CR LF.
    {"ConvertedTwiceCrCrLf", "[COLORS]\r\r\nMainColor=-3\r\r\nSetupColor=5\r\r\n",
     [](CmnColorDefines& c) {
         c.MainColor = -3;
         c.SetupColor = 5;
     }},
    // Every key with its own value, in reverse: each lands in the field of its name.
    {"EveryKeyInReverseOrder",
     "[COLORS]\r\nDisplayPageLabelColor=18\r\nDisplayPageDataColor=17\r\n"
     "ProjectLabelColor=16\r\nProjectDataColor=15\r\nSetupLabelColor=14\r\n"
     "SetupDataColor=13\r\nDeviceGuiLabelColor=12\r\nDeviceGuiDataColor=11\r\n"
     "DeviceBackgroundLabelColor=10\r\nDeviceBackgroundDataColor=9\r\nMainLabelColor=8\r\n"
     "MainDataColor=7\r\nDisplayPageColor=6\r\nProjectColor=5\r\nDeviceGuiColor=4\r\n"
     "SetupColor=3\r\nDeviceBackgroundColor=2\r\nMainColor=1\r\n",
     [](CmnColorDefines& c) {
         c = {1, 2, 4, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
     }},
};

INSTANTIATE_TEST_SUITE_P(Files, ColorCaseTest, ::testing::ValuesIn(kColorCases),
                         testing_support::RowName{});

} // namespace
