#pragma once
// The operating-system version as the driver installer and the choice of the
// driver load script ask for it: a platform family and a version. Linux is
// neither of the Windows families, so this host has no driver installer.
#include <cstdint>
#include <functional>

namespace platform {

enum OsPlatformId : uint32_t {
    kPlatformWindows9x = 1, // Windows 95, 98 and Me
    kPlatformWindowsNt = 2,
    kPlatformLinux = 0x4C78, // any value but the two above means "no Windows family"
};

struct OsVersion {
    uint32_t platformId = 0;
    uint32_t major = 0;
    uint32_t minor = 0;
};

// False when the version cannot be read (the record is then unchanged).
bool GetOsVersion(OsVersion& version);

// Replaces the answer of GetOsVersion (tests); an empty function restores the
// host's own answer.
using OsVersionSource = std::function<bool(OsVersion&)>;
void SetOsVersionSource(OsVersionSource source);

} // namespace platform
