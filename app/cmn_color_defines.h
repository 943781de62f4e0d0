#pragma once
// The colour record shared by the maker's programs: a background, a data-text
// and a label-text colour for each kind of screen, read from the section
// "COLORS" of the options file. No widgets: the main window applies them.
//
// A colour value is the GUI encoding 0x00BBGGRR (low byte red) with bit 31
// clear; with bit 31 set its low byte indexes the desktop's system colours
// (0x80000008, decimal -2147483640, is the window-text colour).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// In record order, which is not quite the file's reading order.
struct CmnColorDefines {
    int32_t MainColor;
    int32_t DeviceBackgroundColor;
    int32_t DeviceGuiColor;
    int32_t SetupColor;
    int32_t ProjectColor;
    int32_t DisplayPageColor;
    int32_t MainDataColor;
    int32_t MainLabelColor;
    int32_t DeviceBackgroundDataColor;
    int32_t DeviceBackgroundLabelColor;
    int32_t DeviceGuiDataColor;
    int32_t DeviceGuiLabelColor;
    int32_t SetupDataColor;
    int32_t SetupLabelColor;
    int32_t ProjectDataColor;
    int32_t ProjectLabelColor;
    int32_t DisplayPageDataColor;
    int32_t DisplayPageLabelColor;
};

constexpr const char* kColorSection = "COLORS";
constexpr const char* kOptionsFileName = "ServerOptions.Opt";

struct ColorKey {
    const char* key; // = the field's name
    int32_t CmnColorDefines::*field;
    int32_t defaultValue;
};

constexpr std::size_t kColorCount = 18;

// In the order the options file is read.
extern const std::array<ColorKey, kColorCount> ColorTable;

// The eighteen built-in colours.
void SetDefaultColors(CmnColorDefines& colors);

// Overlays `colors` with every key of "COLORS" in the file at `path` that holds
// a whole decimal integer; other fields keep their values. The file is only
// read: when it is absent nothing happens and nothing is created.
void ReadColorDefines(const std::string& path, CmnColorDefines& colors);
