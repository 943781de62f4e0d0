#include "hop_terrain.h"

#include "elevation_tiles.h"
#include "number_text.h"
#include "profile_csv.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <system_error>
#include <vector>

namespace {

// The sites' distance and a file's profile length may differ by a sample's
// rounding: this much of the path, or 100 m.
constexpr double kLengthTolerance = 0.02;
constexpr double kLengthToleranceKm = 0.1;
constexpr std::size_t kKeptProfiles = 4;

struct Kept {
    std::string key;
    HopProfile profile;
};

// The profiles read last, newest first, and the tile folders opened.
struct Store {
    std::mutex mutex;
    std::vector<Kept> profiles;
    std::vector<std::unique_ptr<ElevationTiles>> folders;
};

Store& store() {
    static Store s;
    return s;
}

// A file's identity for the cache: its name, size and time.
std::string fileKey(const std::filesystem::path& file) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    const auto time = std::filesystem::last_write_time(file, ec);
    return "file\n" + file.string() + "\n" + std::to_string(size) + "\n" +
           std::to_string(time.time_since_epoch().count());
}

std::string tilesKey(const std::filesystem::path& folder, const HopSites& sites) {
    return "tiles\n" + folder.string() + "\n" + ShortestText(sites.tx.latDeg) + "," +
           ShortestText(sites.tx.lonDeg) + "," + ShortestText(sites.rx.latDeg) + "," +
           ShortestText(sites.rx.lonDeg);
}

ElevationTiles& tilesIn(Store& s, const std::filesystem::path& folder) {
    for (const auto& tiles : s.folders) {
        if (tiles->folder() == folder) {
            return *tiles;
        }
    }
    s.folders.push_back(std::make_unique<ElevationTiles>(folder));
    return *s.folders.back();
}

// The design's profile from its file, else from the tiles between its sites.
std::optional<HopProfile> readProfile(const DesignPoint& point,
                                      const std::optional<HopSites>& sites, std::string& error) {
    if (point.has(ParamId::Profile)) {
        const std::filesystem::path file = point.list(ParamId::Profile).front();
        auto profile = ReadProfileFile(file, error);
        if (!profile) {
            return std::nullopt;
        }
        return HopProfile{std::make_shared<const TerrainProfile>(std::move(*profile)),
                          file.string()};
    }
    const std::filesystem::path folder = HopTerrainFolder(point);
    auto profile = ProfileFromTiles(tilesIn(store(), folder), sites->tx, sites->rx, error);
    if (!profile) {
        return std::nullopt;
    }
    return HopProfile{std::make_shared<const TerrainProfile>(std::move(*profile)),
                      "elevation tiles in " + folder.string()};
}

} // namespace

bool HasHopSites(const DesignPoint& point) {
    return point.has(ParamId::TxLongitude) && point.has(ParamId::RxLongitude);
}

std::optional<HopSites> HopSitesOf(const DesignPoint& point, std::string& error) {
    const GeoPoint tx{point[ParamId::TxLatitude], point[ParamId::TxLongitude]};
    const GeoPoint rx{point[ParamId::RxLatitude], point[ParamId::RxLongitude]};
    auto path = PathBetween(tx, rx, error);
    if (!path) {
        return std::nullopt;
    }
    return HopSites{tx, rx, *path};
}

std::filesystem::path HopTerrainFolder(const DesignPoint& point) {
    if (!HasHopSites(point)) {
        return {};
    }
    if (point.has(ParamId::Terrain)) {
        return point.list(ParamId::Terrain).front();
    }
    std::error_code ec;
    std::filesystem::path folder = DefaultTerrainFolder();
    return !folder.empty() && std::filesystem::is_directory(folder, ec) ? folder
                                                                        : std::filesystem::path{};
}

bool HasHopProfile(const DesignPoint& point) {
    return point.has(ParamId::Profile) || !HopTerrainFolder(point).empty();
}

std::optional<HopProfile> LoadHopProfile(const DesignPoint& point, std::string& error) {
    std::string key;
    std::optional<HopSites> sites;
    if (HasHopSites(point)) {
        sites = HopSitesOf(point, error);
        if (!sites) {
            return std::nullopt;
        }
    }
    if (point.has(ParamId::Profile)) {
        if (point.list(ParamId::Profile).size() != 1) {
            error = "give one profile file";
            return std::nullopt;
        }
        key = fileKey(point.list(ParamId::Profile).front());
    } else if (sites) {
        if (point.has(ParamId::Terrain) && point.list(ParamId::Terrain).size() != 1) {
            error = "give one folder of elevation tiles";
            return std::nullopt;
        }
        key = tilesKey(HopTerrainFolder(point), *sites);
    } else {
        error = "the hop has no profile: give a profile file, or both sites and elevation tiles";
        return std::nullopt;
    }

    Store& s = store();
    std::optional<HopProfile> profile;
    {
        const std::lock_guard lock(s.mutex);
        for (auto kept = s.profiles.begin(); kept != s.profiles.end(); ++kept) {
            if (kept->key == key) {
                profile = kept->profile;
                std::rotate(s.profiles.begin(), kept, kept + 1);
                break;
            }
        }
        if (!profile) {
            profile = readProfile(point, sites, error);
            if (!profile) {
                return std::nullopt;
            }
            s.profiles.insert(s.profiles.begin(), {key, *profile});
            if (s.profiles.size() > kKeptProfiles) {
                s.profiles.pop_back();
            }
        }
    }
    if (sites && point.has(ParamId::Profile)) {
        const auto& d = profile->profile->distanceKm;
        const double length = d.back() - d.front();
        const double between = sites->path.distanceKm;
        if (std::fabs(length - between) >
            std::max(kLengthToleranceKm, kLengthTolerance * between)) {
            error = "the profile is " + FormatFixed(12, 2, length) +
                    " km long, but the sites are " + FormatFixed(12, 2, between) + " km apart";
            return std::nullopt;
        }
    }
    return profile;
}

double HopGroundM(const DesignPoint& point, const TerrainProfile& profile, bool txEnd) {
    const ParamId typed = txEnd ? ParamId::TxGround : ParamId::RxGround;
    if (point.has(typed)) {
        return point[typed];
    }
    return txEnd ? profile.heightM.front() : profile.heightM.back();
}
