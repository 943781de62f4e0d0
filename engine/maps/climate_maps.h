#pragma once
// The climate of a place from ITU-R's digital maps. Standard library and zlib
// only: no other header of the program.
//
// The maps sit in a base folder with one subfolder per Recommendation, named
// as ITU numbers it (P837-7, P839-4, P840-8, P840-9, P836-6, P453-14, P1510-1,
// P1511-1), each holding ITU's files under ITU's names, in any letter case,
// plain or gzip-compressed (NAME.gz). A map is read on first use and kept;
// after that a lookup is arithmetic only.
//
// Every lookup returns its value with a source text ("ITU-R P.837-7 Annex 1
// at 45.07°N 7.69°E"), or one line telling why there is none: a missing file
// (named, with the Recommendation that distributes it), a damaged one (named,
// with what is wrong), a latitude outside -90..90 or a coordinate that is not
// a number, a probability outside the maps' levels. Any longitude is wrapped.
//
//   quantity                         Recommendation  interpolation
//   R_p, P0, monthly totals MT       P.837-7 Annex 1 bilinear per month, then steps 2-5
//   monthly and annual temperature   P.1510-1        bilinear
//   h0, h_R = h0 + 0.36 km           P.839-4         bilinear
//   cloud liquid water L(p)          P.840-8, -9     bilinear, semi-log in p
//   vapour density rho(p), V(p)      P.836-6         heights scaled, bilinear, semi-log in p
//   Nwet(p), dN1                     P.453-14        bilinear (Nwet semi-log in p)
//   topographic height               P.1511-1        bicubic
#include "itu_grid.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct MapValue {
    double value = std::numeric_limits<double>::quiet_NaN();
    std::string source; // Recommendation, section and place
    std::string error;  // one line; empty when the value holds

    explicit operator bool() const { return error.empty(); }
};

// A family of maps sharing one latitude and one longitude file.
struct MapSet {
    const char* folder;         // "P837-7"
    const char* recommendation; // "ITU-R P.837-7"
    const char* latFile;        // ITU's names
    const char* lonFile;
};

class MapFolder {
  public:
    explicit MapFolder(std::filesystem::path base);
    MapFolder(const MapFolder&) = delete;
    MapFolder& operator=(const MapFolder&) = delete;

    const std::filesystem::path& base() const { return m_base; }
    // Different for every folder object a process makes: what a lookup keeps
    // of one folder's maps is never taken for another's.
    std::uint64_t serial() const { return m_serial; }

    struct Found {
        std::filesystem::path path;
        std::string error; // names the file, its folder and the Recommendation
    };
    // ITU's file `name` of the set's folder, in any letter case, plain
    // preferred to NAME.gz.
    Found find(const MapSet& set, std::string_view name) const;
    bool hasFolder(std::string_view folder); // kept after the first look

    // The map `name` of the set, read and checked against the set's
    // latitude and longitude files on first use; null with `error` set when
    // it cannot be had. Safe from several threads.
    const ItuGrid* grid(const MapSet& set, std::string_view name, std::string& error);
    // The twelve maps prefix01.TXT .. prefix12.TXT as the layers 0 to 11 of
    // one grid.
    const ItuGrid* monthly(const MapSet& set, std::string_view prefix, std::string& error);
    // False only when the file is missing (a damaged one is there).
    bool has(const MapSet& set, std::string_view name);

    // Where the maps' binary caches are kept (map_cache.h); empty: nowhere.
    const std::filesystem::path& cacheDir() const { return m_cacheDir; }

    // The map files read so far ("P837-7/MT_Month01.TXT.gz"), latitude and
    // longitude files apart, in the order they were first read: only the maps
    // a lookup needs are ever opened.
    std::vector<std::string> opened() const;

  private:
    struct Axes {
        std::optional<GridAxes> axes;
        std::string error;
    };
    struct Grid {
        std::unique_ptr<const ItuGrid> grid;
        std::string error;
        bool missing = false;
    };

    const Grid& slot(const MapSet& set, std::string_view name, std::size_t layers);
    Grid load(const MapSet& set, std::string_view name, std::size_t layers);
    const Axes& axesOf(const MapSet& set);
    // The files of a subfolder, by lower-case name, listed once.
    const std::map<std::string, std::filesystem::path, std::less<>>&
    listing(std::string_view folder) const;

    std::filesystem::path m_base;
    std::uint64_t m_serial;
    std::filesystem::path m_cacheDir;
    mutable std::mutex m_listingMutex;
    mutable std::map<std::string, std::map<std::string, std::filesystem::path, std::less<>>,
                     std::less<>>
        m_listings;
    std::vector<std::string> m_opened;
    mutable std::mutex m_mutex;
    std::map<std::string, Axes, std::less<>> m_axes;
    std::map<std::string, Grid, std::less<>> m_grids;
    std::map<std::string, bool, std::less<>> m_folders;
};

// Each map file the lookups can read, in a fixed order (Recommendation by
// Recommendation, its latitude and longitude files first), and what its
// folder holds of it: found, missing (with the Recommendation whose ITU-R
// page distributes it) or damaged (wrong shape, a value that is not a
// number, cut-short compressed data: the reason, one line).
struct MapFileStatus {
    enum class State { Found, Missing, Damaged };
    std::string folder; // "P837-7"
    std::string name;   // ITU's name, "MT_Month01.TXT"
    State state = State::Found;
    std::string detail;    // missing: "ITU-R P.837-7"; damaged: why
    bool optional = false; // a lookup does without it (P.837-7's R001)

    // "P837-7/MT_Month01.TXT: found", ": missing (ITU-R P.837-7)",
    // ": damaged (...)".
    std::string line() const;
};
std::vector<MapFileStatus> MapFilesStatus(MapFolder& maps);

// ITU-R P.837-7 Annex 1, steps 2 to 4: the monthly mean rain rate r_ii and
// probability of rain P0_ii, and the annual P0, of a place's monthly mean
// total rainfall MT_ii and monthly mean surface temperature T_ii.
struct MonthlyRain {
    std::array<double, 12> rateMmH{};            // r_ii
    std::array<double, 12> probabilityPercent{}; // P0_ii
    double annualProbabilityPercent = 0.0;       // P0
};
MonthlyRain MonthlyRainStatistics(const std::array<double, 12>& totalMm,
                                  const std::array<double, 12>& temperatureK);
// Step 5: the rain rate R_p (mm/h) exceeded for p % of an average year; 0
// where p is at or above P0. NaN for p outside (0, 100].
double RainRateExceeded(const MonthlyRain& rain, double percent);

MapValue RainRate(MapFolder& maps, double latDeg, double lonDeg, double percent); // R_p, mm/h
// R0.01 (mm/h): P.837-7's R001 map where it is present, else Annex 1.
MapValue RainRate001(MapFolder& maps, double latDeg, double lonDeg);
MapValue RainProbability(MapFolder& maps, double latDeg, double lonDeg);            // P0, %
MapValue MonthlyRainfall(MapFolder& maps, double latDeg, double lonDeg, int month); // MT, mm

MapValue IsothermHeight(MapFolder& maps, double latDeg, double lonDeg); // h0, km
MapValue RainHeight(MapFolder& maps, double latDeg, double lonDeg);     // h_R, km

// Newest: P.840-9 where its folder is present, else P.840-8.
enum class CloudMaps { P840_8, P840_9, Newest };
// P.840-8: reduced columnar cloud liquid water (Lred maps), p 0.1 to 99 %;
// P.840-9: columnar cloud liquid water (L maps), p 0.01 to 100 %. kg/m2.
MapValue CloudLiquidWater(MapFolder& maps, double latDeg, double lonDeg, double percent,
                          CloudMaps which = CloudMaps::Newest);

// P.836-6, p 0.1 to 99 %, at the station's height above mean sea level (km;
// by default the P.1511-1 topographic height of the place).
MapValue SurfaceVapourDensity(MapFolder& maps, double latDeg, double lonDeg, double percent,
                              std::optional<double> stationHeightKm = {}); // rho, g/m3
MapValue ColumnarVapour(MapFolder& maps, double latDeg, double lonDeg, double percent,
                        std::optional<double> stationHeightKm = {}); // V, kg/m2

// P.453-14: the wet term of the surface refractivity exceeded for p % (0.1 to
// 99 %; the median by default), N-units.
MapValue WetRefractivity(MapFolder& maps, double latDeg, double lonDeg, double percent = 50.0);
// P.453-14: dN1, the point refractivity gradient in the lowest 65 m not
// exceeded for 1 % of an average year, N-units/km.
MapValue RefractivityGradient1(MapFolder& maps, double latDeg, double lonDeg);

MapValue SurfaceTemperature(MapFolder& maps, double latDeg, double lonDeg); // annual mean, K
MapValue MonthlySurfaceTemperature(MapFolder& maps, double latDeg, double lonDeg, int month);
MapValue TopographicHeight(MapFolder& maps, double latDeg, double lonDeg); // km above MSL
