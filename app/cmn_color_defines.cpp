#include "cmn_color_defines.h"

#include "files.h"
#include "profile.h"

namespace {

// The system-colour flag (bit 31) with desktop colour index 8, window text.
constexpr int32_t kSystemWindowText = static_cast<int32_t>(0x80000008u);

using C = CmnColorDefines;

} // namespace

// SetupColor is read before DeviceGuiColor although the record holds them the
// other way round; each key still lands in its own field.
const std::array<ColorKey, kColorCount> ColorTable{{
    {"MainColor", &C::MainColor, 0x00C0C0C0}, // silver
    {"DeviceBackgroundColor", &C::DeviceBackgroundColor, 0x00C0C0C0},
    {"SetupColor", &C::SetupColor, 0x00A4A4A4},         // grey 164
    {"DeviceGuiColor", &C::DeviceGuiColor, 0x004E4E4E}, // dark grey 78
    {"ProjectColor", &C::ProjectColor, 0x00FF8000},     // R 0, G 128, B 255
    {"DisplayPageColor", &C::DisplayPageColor, 0x00C0C0C0},
    {"MainDataColor", &C::MainDataColor, 0x00FF0000},   // blue
    {"MainLabelColor", &C::MainLabelColor, 0x00FFFFFF}, // white
    {"DeviceBackgroundDataColor", &C::DeviceBackgroundDataColor, kSystemWindowText},
    {"DeviceBackgroundLabelColor", &C::DeviceBackgroundLabelColor, 0x00FFFFFF},
    {"DeviceGuiDataColor", &C::DeviceGuiDataColor, 0x0000FF00}, // green
    {"DeviceGuiLabelColor", &C::DeviceGuiLabelColor, 0x00FFFFFF},
    {"SetupDataColor", &C::SetupDataColor, 0x00400040}, // R 64, G 0, B 64
    {"SetupLabelColor", &C::SetupLabelColor, 0x00FFFFFF},
    {"ProjectDataColor", &C::ProjectDataColor, 0x00FFFFFF},
    {"ProjectLabelColor", &C::ProjectLabelColor, 0x00000000}, // black
    {"DisplayPageDataColor", &C::DisplayPageDataColor, 0x00FF0000},
    {"DisplayPageLabelColor", &C::DisplayPageLabelColor, 0x00000000},
}};

void SetDefaultColors(CmnColorDefines& colors) {
    for (const ColorKey& entry : ColorTable) {
        colors.*entry.field = entry.defaultValue;
    }
}

void ReadColorDefines(const std::string& path, CmnColorDefines& colors) {
    if (!FileIsPresent(path)) {
        return;
    }
    for (const ColorKey& entry : ColorTable) {
        int32_t value = 0;
        if (ReadProfileInt(path, kColorSection, entry.key, value)) {
            colors.*entry.field = value;
        }
    }
}
