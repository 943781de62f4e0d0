#include "link_settings.h"

#include "app_context.h"
#include "files.h"
#include "profile.h"

#include <array>

namespace {

constexpr const char* kFactorSection = "UserInfo";
constexpr const char* kPositionSection = "MiscInfo";

struct PositionKey {
    const char* key;
    int32_t WindowPosition::*field;
};

// Read and written after the fourteen factors, in this order.
constexpr std::array<PositionKey, 2> kPositionKeys{{
    {"ScreenPosX", &WindowPosition::x},
    {"ScreenPosY", &WindowPosition::y},
}};

// Both the load and the save work from the base directory; a failure to get
// there is harmless because every path they use is a full one.
void enterBaseDirectory() {
    ChangeDirectory(AppContext().BaseDirectory);
}

} // namespace

std::string MakeSettingsPath(const std::string& baseDirectory) {
    return baseDirectory + "/" + kSettingsFileName;
}

bool LoadLinkSettings(const std::string& path, LinkFactors& factors, WindowPosition& position) {
    enterBaseDirectory();
    if (!FileIsPresent(path)) {
        return false;
    }
    for (const FactorRow& row : FactorTable) {
        double value = 0.0;
        if (ReadProfileDouble(path, kFactorSection, row.key, value)) {
            factors.*row.field = value;
        }
    }
    for (const PositionKey& entry : kPositionKeys) {
        int32_t value = 0;
        if (ReadProfileInt(path, kPositionSection, entry.key, value)) {
            position.*entry.field = value;
        }
    }
    return true;
}

bool SaveLinkSettings(const std::string& path, const LinkFactors& factors,
                      const WindowPosition& position) {
    enterBaseDirectory();
    BackupFile(path);

    // Built in memory, every key in table order as into a deleted file, then
    // put in the old file's place in one step: a failed or interrupted save
    // must never cost the user every setting.
    NewProfileFile file;
    bool written = true;
    for (const FactorRow& row : FactorTable) {
        written = file.WriteDouble(kFactorSection, row.key, factors.*row.field) && written;
    }
    for (const PositionKey& entry : kPositionKeys) {
        written = file.WriteInt(kPositionSection, entry.key, position.*entry.field) && written;
    }
    return written && file.Save(path);
}
