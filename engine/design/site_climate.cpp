#include "site_climate.h"

#include "climate_maps.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <utility>

namespace {

constexpr double kPercent = 100.0;
constexpr double kGasCloudPercent = 1.0; // ITU-R P.618-13 section 2.5

struct MapsState {
    std::mutex mutex;
    std::filesystem::path named;
    bool looked = false;
    std::filesystem::path base;
    std::unique_ptr<MapFolder> maps;
};

MapsState& state() {
    static MapsState s;
    return s;
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::filesystem::path findBase(const std::filesystem::path& named) {
    if (!named.empty()) {
        return named;
    }
    if (const std::string env = environment("QUILLSTONE_ITU_MAPS"); !env.empty()) {
        return env;
    }
    std::string data = environment("XDG_DATA_HOME");
    if (data.empty() && !environment("HOME").empty()) {
        data = environment("HOME") + "/.local/share";
    }
    std::error_code ec;
    for (const std::filesystem::path& candidate :
         {data.empty() ? std::filesystem::path()
                       : std::filesystem::path(data) / "quillstone" / "itu-maps",
          std::filesystem::path("/usr/share/quillstone/itu-maps")}) {
        if (!candidate.empty() && std::filesystem::is_directory(candidate, ec)) {
            return candidate;
        }
    }
    return {};
}

MapFolder* mapsLocked(MapsState& s) {
    if (!s.looked) {
        s.looked = true;
        s.base = findBase(s.named);
        s.maps = s.base.empty() ? nullptr : std::make_unique<MapFolder>(s.base);
    }
    return s.maps.get();
}

} // namespace

void SetItuMapsFolder(std::filesystem::path base) {
    MapsState& s = state();
    const std::lock_guard lock(s.mutex);
    if (s.looked && base == s.named) {
        return; // the maps read so far stay
    }
    s.named = std::move(base);
    s.looked = false;
    s.maps.reset();
}

std::filesystem::path ItuMapsBase() {
    MapsState& s = state();
    const std::lock_guard lock(s.mutex);
    mapsLocked(s);
    return s.base;
}

MapFolder* ItuMaps() {
    MapsState& s = state();
    const std::lock_guard lock(s.mutex);
    return mapsLocked(s);
}

bool HasSiteClimate(const DesignPoint& point) {
    return OnEarthSpacePath(point) && point.has(ParamId::StationLongitude) &&
           point.has(ParamId::Latitude);
}

namespace {

// 100 - 99.9 is 0.0999...: the percentage as typed, for the maps' levels.
double cleaned(double percent) {
    constexpr double kDigits = 1e9;
    return std::round(percent * kDigits) / kDigits;
}

class Lookups {
  public:
    Lookups(const DesignPoint& point, MapFolder& maps, SiteClimate& climate)
        : m_point(point), m_maps(maps), m_climate(climate), m_lat(point[ParamId::Latitude]),
          m_lon(point[ParamId::StationLongitude]),
          m_p(cleaned(kPercent - point[ParamId::Availability])),
          m_pModel(std::max(m_p, kGasCloudPercent)),
          m_cloudMaps(static_cast<CloudMapsChoice>(point[ParamId::CloudMaps]) ==
                              CloudMapsChoice::P840_9
                          ? CloudMaps::P840_9
                          : CloudMaps::P840_8) {}

    // False once a lookup is refused.
    bool run() {
        if (!m_point.has(ParamId::StationHeight)) {
            if (!take({ParamId::StationHeight, "ClimateStationHeight", "Station Height", "km",
                       "stationHeightKm", 3},
                      TopographicHeight(m_maps, m_lat, m_lon))) {
                return false;
            }
        }
        m_heightKm = height();
        if (!m_point.has(ParamId::Temperature) &&
            !take({ParamId::Temperature, "ClimateTemperature", "Mean Surface Temperature", "K",
                   "temperatureK", 2},
                  SurfaceTemperature(m_maps, m_lat, m_lon))) {
            return false;
        }
        if (!m_point.has(ParamId::RainRate)) {
            if (!take({ParamId::RainRate, "ClimateRainRate001", "Rain Rate R0.01", "mm/h",
                       "rainRate001MmH", 2},
                      RainRate001(m_maps, m_lat, m_lon)) ||
                !take({ParamId::Count, "ClimateRainRateP", "Rain Rate R_p", "mm/h", "rainRatePMmH",
                       2},
                      RainRate(m_maps, m_lat, m_lon, m_p))) {
                return false;
            }
        }
        if (!m_point.has(ParamId::RainHeight) && !m_point.has(ParamId::IsothermHeight) &&
            !take({ParamId::IsothermHeight, "ClimateIsothermHeight", "0 degC Isotherm Height", "km",
                   "isothermHeightKm", 3},
                  IsothermHeight(m_maps, m_lat, m_lon))) {
            return false;
        }
        return atPercent({ParamId::CloudLiquid, "ClimateCloudLiquid", "Cloud Liquid Water", "kg/m2",
                          "cloudLiquidKgM2", 3},
                         [this](double p) {
                             return CloudLiquidWater(m_maps, m_lat, m_lon, p, m_cloudMaps);
                         }) &&
               atPercent({ParamId::VapourDensity, "ClimateVapourDensity", "Water Vapour Density",
                          "g/m3", "vapourDensityGm3", 2},
                         [this](double p) {
                             return SurfaceVapourDensity(m_maps, m_lat, m_lon, p, m_heightKm);
                         }) &&
               atPercent({ParamId::VapourContent, "ClimateVapourContent", "Water Vapour Content",
                          "kg/m2", "vapourContentKgM2", 2},
                         [this](double p) {
                             return ColumnarVapour(m_maps, m_lat, m_lon, p, m_heightKm);
                         }) &&
               (m_point.has(ParamId::WetRefractivity) ||
                take({ParamId::WetRefractivity, "ClimateWetRefractivity",
                      "Wet Refractivity (median)", "N-units", "wetRefractivity", 2},
                     WetRefractivity(m_maps, m_lat, m_lon)));
    }

  private:
    double height() const {
        for (const ClimateEntry& entry : m_climate.entries) {
            if (entry.id == ParamId::StationHeight) {
                return entry.value;
            }
        }
        return m_point[ParamId::StationHeight];
    }

    bool take(ClimateEntry entry, MapValue value) {
        if (!value) {
            m_climate.fault = DesignFault{entry.id, std::move(value.error)};
            return false;
        }
        entry.value = value.value;
        entry.source = std::move(value.source);
        m_climate.entries.push_back(std::move(entry));
        return true;
    }

    // At p, or at 1 % where p is less (and at p as well where the maps reach).
    template <typename Lookup> bool atPercent(ClimateEntry entry, Lookup lookup) {
        if (m_point.has(entry.id)) {
            return true;
        }
        if (!take(entry, lookup(m_pModel))) {
            return false;
        }
        if (m_p < m_pModel) {
            if (const MapValue atP = lookup(m_p)) {
                m_climate.entries.back().atP = atP.value;
            }
        }
        return true;
    }

    const DesignPoint& m_point;
    MapFolder& m_maps;
    SiteClimate& m_climate;
    double m_lat;
    double m_lon;
    double m_p;
    double m_pModel;
    CloudMaps m_cloudMaps;
    double m_heightKm = 0.0;
};

} // namespace

SiteClimate LookUpClimate(const DesignPoint& point) {
    SiteClimate climate;
    if (!HasSiteClimate(point)) {
        return climate;
    }
    MapFolder* maps = ItuMaps();
    if (maps == nullptr) {
        climate.noMaps = true;
        return climate;
    }
    constexpr std::size_t kMostEntries = 10;
    climate.entries.reserve(kMostEntries);
    Lookups(point, *maps, climate).run();
    return climate;
}

std::string ItuMapsAdvice(const SiteClimate& climate) {
    constexpr std::string_view kMissing = "missing map ";
    if (climate.noMaps) {
        std::string data = environment("XDG_DATA_HOME");
        if (data.empty() && !environment("HOME").empty()) {
            data = environment("HOME") + "/.local/share";
        }
        const std::string folder =
            data.empty() ? "/usr/share/quillstone/itu-maps" : data + "/quillstone/itu-maps";
        return "No ITU-R maps for the site's climate: put ITU's map files in " + folder +
               ", one folder per Recommendation (P837-7, P1510-1, P839-4, P840-8, P836-6, "
               "P453-14, P1511-1)";
    }
    if (climate.fault && climate.fault->message.rfind(kMissing, 0) == 0) {
        return "Missing ITU-R map " + climate.fault->message.substr(kMissing.size()) +
               ": put ITU's file there, plain or .gz";
    }
    return {};
}

std::vector<std::string> ItuMapsStatus() {
    std::vector<std::string> lines;
    MapFolder* maps = ItuMaps();
    if (maps == nullptr) {
        lines.emplace_back("no folder of ITU-R maps (--itu-maps DIR, QUILLSTONE_ITU_MAPS, "
                           "$XDG_DATA_HOME/quillstone/itu-maps or "
                           "/usr/share/quillstone/itu-maps)");
        return lines;
    }
    lines.push_back("folder: " + maps->base().string());
    for (const MapFileStatus& file : MapFilesStatus(*maps)) {
        lines.push_back(file.line());
    }
    return lines;
}
