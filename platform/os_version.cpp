#include "os_version.h"

#include <sys/utsname.h>

#include <cstdio>

namespace platform {

namespace {

OsVersionSource& versionSource() {
    static OsVersionSource source;
    return source;
}

// The kernel release ("6.1.0-18-amd64") gives the major and minor version.
bool hostVersion(OsVersion& version) {
    utsname name{};
    if (::uname(&name) != 0)
        return false;
    unsigned major = 0, minor = 0;
    if (std::sscanf(name.release, "%u.%u", &major, &minor) < 1)
        return false;
    version = {kPlatformLinux, major, minor};
    return true;
}

} // namespace

bool GetOsVersion(OsVersion& version) {
    return versionSource() ? versionSource()(version) : hostVersion(version);
}

void SetOsVersionSource(OsVersionSource source) {
    versionSource() = std::move(source);
}

} // namespace platform
