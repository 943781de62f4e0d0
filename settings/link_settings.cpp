#include "link_settings.h"

#include "app_context.h"
#include "files.h"
#include "profile.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
void EnterBaseDirectory() {
    ChangeDirectory(AppContext().BaseDirectory);
}

// Every key, in the order the file holds them. False as soon as one write
// fails: the caller then throws the partly written file away.
bool WriteAllKeys(const std::string& file, const LinkFactors& factors,
                  const WindowPosition& position) {
    for (const FactorRow& row : FactorTable) {
        if (!WriteProfileDouble(file, kFactorSection, row.key, factors.*row.field)) {
            return false;
        }
    }
    for (const PositionKey& entry : kPositionKeys) {
        if (!WriteProfileInt(file, kPositionSection, entry.key, position.*entry.field)) {
            return false;
        }
    }
    return true;
}

// The new file takes over the old one's permissions (a user may have made the
// settings private); without an old file it keeps the ones it was made with.
bool KeepPermissions(const std::string& oldFile, const std::string& newFile) {
    struct stat old {};
    return ::stat(oldFile.c_str(), &old) != 0 || ::chmod(newFile.c_str(), old.st_mode & 07777) == 0;
}

// Pushes the new contents to the disk before the rename makes them the
// settings file, so that a power cut cannot leave an empty file behind.
bool FlushToDisk(const std::string& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL; // EINVAL: no sync on this file system
    ::close(fd);
    return synced;
}

} // namespace

std::string MakeSettingsPath(const std::string& baseDirectory) {
    return baseDirectory + "/" + kSettingsFileName;
}

std::string SettingsTempPath(const std::string& path) {
    return path + "." + std::to_string(::getpid()) + ".tmp";
}

bool LoadLinkSettings(const std::string& path, LinkFactors& factors, WindowPosition& position) {
    EnterBaseDirectory();
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
    EnterBaseDirectory();
    BackupFile(path);

    // The old file stays in place until the complete new one is on disk: a
    // failed or interrupted save must never cost the user every setting.
    const std::string temp = SettingsTempPath(path);
    std::remove(temp.c_str()); // a leftover of an earlier, interrupted save
    if (!WriteAllKeys(temp, factors, position) || !KeepPermissions(path, temp) ||
        !FlushToDisk(temp) || std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}
