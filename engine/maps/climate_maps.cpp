#include "climate_maps.h"

#include "map_cache.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <functional>
#include <numbers>
#include <span>
#include <system_error>
#include <utility>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The map families, each sharing one latitude and one longitude file.
constexpr MapSet kRainfall{"P837-7", "ITU-R P.837-7", "LAT_MT.TXT", "LON_MT.TXT"};
constexpr MapSet kRain001{"P837-7", "ITU-R P.837-7", "LAT_R001.TXT", "LON_R001.TXT"};
constexpr MapSet kTemperature{"P1510-1", "ITU-R P.1510-1", "LAT_T.TXT", "LON_T.TXT"};
constexpr MapSet kIsotherm{"P839-4", "ITU-R P.839-4", "Lat.txt", "Lon.txt"};
constexpr MapSet kCloud8{"P840-8", "ITU-R P.840-8", "ESALAT1dot125.txt", "ESALON1dot125.txt"};
constexpr MapSet kCloud9{"P840-9", "ITU-R P.840-9", "lat.txt", "lon.txt"};
constexpr MapSet kVapour{"P836-6", "ITU-R P.836-6", "LAT1dot125.txt", "LON1dot125.txt"};
constexpr MapSet kWetRefractivity{"P453-14", "ITU-R P.453-14", "LAT_N.TXT", "LON_N.TXT"};
constexpr MapSet kGradient{"P453-14", "ITU-R P.453-14", "lat0d75.txt", "lon0d75.txt"};
constexpr MapSet kTopography{"P1511-1", "ITU-R P.1511-1", "TOPOLAT.TXT", "TOPOLON.TXT"};

// The 18 annual levels (%) of P.840-8, P.836-6 and P.453-14 (Nwet).
constexpr std::array<double, 18> kAnnualLevels{0.1, 0.2, 0.3, 0.5, 1,  2,  3,  5,  10,
                                               20,  30,  50,  60,  70, 80, 90, 95, 99};
// The 23 annual levels (%) of P.840-9.
constexpr std::array<double, 23> kCloud9Levels{0.01, 0.02, 0.03, 0.05, 0.1, 0.2, 0.3, 0.5,
                                               1,    2,    3,    5,    10,  20,  30,  50,
                                               60,   70,   80,   90,   95,  99,  100};

// Maps of one quantity at several levels: prefix + level + suffix, the level
// spelt as ITU spells it (0.1 % "01", 0.05 % "005", 3 % "3").
struct LevelMaps {
    LevelMaps(const MapSet& mapSet, std::span<const double> percents, const char* prefix,
              const char* suffix)
        : set(mapSet), levels(percents) {
        for (const double percent : levels) {
            std::array<char, 32> text{};
            std::string digits(text.data(),
                               std::to_chars(text.data(), text.data() + text.size(), percent).ptr);
            std::erase(digits, '.');
            names.push_back(prefix + digits + suffix);
        }
    }
    const std::string& name(std::size_t level) const { return names[level]; }

    const MapSet& set;
    std::span<const double> levels;
    std::vector<std::string> names; // per level
};

const LevelMaps kLred{kCloud8, kAnnualLevels, "Lred_", "_v4.txt"};
const LevelMaps kCloudLiquid{kCloud9, kCloud9Levels, "L_", ".TXT"};
const LevelMaps kVapourDensity{kVapour, kAnnualLevels, "RHO_", "_v4.txt"};
const LevelMaps kColumnarVapour{kVapour, kAnnualLevels, "V_", "_v4.txt"};
const LevelMaps kScaleHeight{kVapour, kAnnualLevels, "VSCH_", "_v4.txt"};
const LevelMaps kNwet{kWetRefractivity, kAnnualLevels, "NWET_Annual_", ".TXT"};

constexpr const char* kIsothermMap = "h0.txt";
constexpr const char* kRain001Map = "R001.TXT";
constexpr const char* kAnnualTemperatureMap = "T_Annual.TXT";
constexpr const char* kTopographyMap = "TOPO_0DOT5.TXT";
constexpr const char* kGradient1Map = "DN65m_01d00_v1.txt"; // the 1 % level
constexpr std::size_t kMonths = 12;

// ITU-R P.837-7 Annex 1.
constexpr std::array<double, kMonths> kDaysInMonth{31.0, 28.25, 31.0, 30.0, 31.0, 30.0,
                                                   31.0, 31.0,  30.0, 31.0, 30.0, 31.0}; // N_ii
constexpr double kDaysInYear = 365.25;
constexpr double kHoursPerDay = 24.0;
constexpr double kZeroCelsiusK = 273.15;
constexpr double kColdRateMmH = 0.5874;          // step 2: r_ii below 0 degC
constexpr double kRateTemperatureSlope = 0.0883; // step 2, per degC
constexpr double kMostRainPercent = 70.0;        // step 3: cap of P0_ii
constexpr double kRateOffset = 0.7938;           // step 5: ln R + 0.7938 - ln r_ii
constexpr double kRateSpread = 1.26;             // step 5: divisor of the Q function's argument

constexpr double kIsothermToRainHeightKm = 0.36; // ITU-R P.839-4: h_R = h0 + 0.36 km

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && Lower(a) == Lower(b);
}

// The subfolder of `base` named `folder` in any letter case; empty when none.
std::filesystem::path Subfolder(const std::filesystem::path& base, std::string_view folder) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(base, ec)) {
        if (SameName(entry.path().filename().string(), folder) && entry.is_directory(ec)) {
            return entry.path();
        }
    }
    return {};
}

// "45.07", "3.133", "0": up to four decimals, no trailing zeros, appended.
void AppendDegrees(std::string& out, double deg) {
    std::array<char, 32> text{};
    const char* end =
        std::to_chars(text.data(), text.data() + text.size(), deg, std::chars_format::fixed, 4).ptr;
    while (end[-1] == '0') {
        --end;
    }
    if (end[-1] == '.') {
        --end;
    }
    const std::string_view digits(text.data(), static_cast<std::size_t>(end - text.data()));
    out += digits == "-0" ? "0" : digits;
}

std::string DegreesText(double deg) {
    std::string out;
    AppendDegrees(out, deg);
    return out;
}

std::string NumberText(double value) {
    std::array<char, 32> text{};
    return std::string(text.data(),
                       std::to_chars(text.data(), text.data() + text.size(), value).ptr);
}

// Longitude into (-180, 180].
double WrappedLongitude(double lonDeg) {
    double lon = std::fmod(lonDeg, 360.0);
    lon = lon > 180.0 ? lon - 360.0 : lon;
    return lon <= -180.0 ? lon + 360.0 : lon;
}

constexpr const char* kDegreeSign = "\xC2\xB0";

// "45.07°N 7.69°E", appended. The last place's text is kept per thread: a
// site's dozen lookups name the same place, and the decimals cost more than
// the lookup.
void AppendPlace(std::string& out, double latDeg, double lonDeg) {
    struct Last {
        double latDeg = kNaN;
        double lonDeg = kNaN;
        std::string text;
    };
    thread_local Last last;
    if (latDeg != last.latDeg || lonDeg != last.lonDeg) {
        const double lon = WrappedLongitude(lonDeg);
        last.text.clear();
        AppendDegrees(last.text, std::fabs(latDeg));
        last.text += kDegreeSign;
        last.text += latDeg < 0.0 ? "S " : "N ";
        AppendDegrees(last.text, std::fabs(lon));
        last.text += kDegreeSign;
        last.text += lon < 0.0 ? "W" : "E";
        last.latDeg = latDeg;
        last.lonDeg = lonDeg;
    }
    out += last.text;
}

std::string PlaceText(double latDeg, double lonDeg) {
    std::string out;
    AppendPlace(out, latDeg, lonDeg);
    return out;
}

// No value yet, or the error of a place that cannot be looked up.
MapValue Checked(double latDeg, double lonDeg) {
    MapValue out;
    if (!std::isfinite(latDeg) || !std::isfinite(lonDeg)) {
        out.error = "latitude " + NumberText(latDeg) + " and longitude " + NumberText(lonDeg) +
                    ": both must be numbers";
    } else if (latDeg < -90.0 || latDeg > 90.0) {
        out.error = "latitude " + NumberText(latDeg) + " is outside -90 to 90 degrees";
    }
    return out;
}

// The value's source, or the error of a place that cannot be looked up.
MapValue Start(std::string_view what, double latDeg, double lonDeg) {
    MapValue out = Checked(latDeg, lonDeg);
    if (out) {
        out.source.reserve(what.size() + 32);
        out.source += what;
        out.source += " at ";
        AppendPlace(out.source, latDeg, lonDeg);
    }
    return out;
}

MapValue& Fail(MapValue& out, std::string error) {
    out.value = kNaN;
    out.error = std::move(error);
    return out;
}

// The value, or an error where the map has none at the place.
MapValue& Finish(MapValue& out, double value, const MapSet& set, std::string_view map,
                 double latDeg, double lonDeg) {
    if (std::isnan(value)) {
        return Fail(out, std::string(set.recommendation) + " map " + std::string(map) +
                             " has no value at " + PlaceText(latDeg, lonDeg));
    }
    out.value = value;
    return out;
}

// The levels below and above p (the same one when p is a level); false when
// p is outside the levels.
bool Bracket(std::span<const double> levels, double percent, std::size_t& below,
             std::size_t& above) {
    if (!(percent >= levels.front() && percent <= levels.back())) {
        return false;
    }
    above = 0;
    while (levels[above] < percent) {
        ++above;
    }
    below = levels[above] == percent ? above : above - 1;
    return true;
}

std::string LevelRangeError(const LevelMaps& maps, double percent) {
    return "p = " + NumberText(percent) + " % is outside " + NumberText(maps.levels.front()) +
           " % to " + NumberText(maps.levels.back()) + " %, the levels of " +
           maps.set.recommendation + "'s maps";
}

std::string MonthMap(std::string_view prefix, int month) {
    return std::string(prefix) + (month < 10 ? "0" : "") + std::to_string(month) + ".TXT";
}

constexpr const char* kRainfallMonth = "MT_Month";
constexpr const char* kTemperatureMonth = "T_Month";

// Step 1 of P.837-7 Annex 1: the monthly MT and T at a place, bilinear.
bool MonthlyRainInputsAt(MapFolder& maps, double latDeg, double lonDeg,
                         std::array<double, kMonths>& totalMm,
                         std::array<double, kMonths>& temperatureK, std::string& error);

// Steps 1 to 4 at a place, the last place's kept per thread: a site asks for
// R0.01, R_p and P0 at one place, 96 values and 12 exponentials each time.
// Null with `error` set where the maps cannot give them.
const MonthlyRain* MonthlyRainAt(MapFolder& maps, double latDeg, double lonDeg,
                                 std::string& error) {
    struct Last {
        std::uint64_t folder = 0;
        double latDeg = 0.0;
        double lonDeg = 0.0;
        MonthlyRain rain;
    };
    thread_local Last last;
    if (last.folder == maps.serial() && last.latDeg == latDeg && last.lonDeg == lonDeg) {
        return &last.rain;
    }
    std::array<double, kMonths> totalMm{};
    std::array<double, kMonths> temperatureK{};
    if (!MonthlyRainInputsAt(maps, latDeg, lonDeg, totalMm, temperatureK, error)) {
        return nullptr;
    }
    last = {maps.serial(), latDeg, lonDeg, MonthlyRainStatistics(totalMm, temperatureK)};
    return &last.rain;
}

bool MonthlyRainInputsAt(MapFolder& maps, double latDeg, double lonDeg,
                         std::array<double, kMonths>& totalMm,
                         std::array<double, kMonths>& temperatureK, std::string& error) {
    const ItuGrid* rain = maps.monthly(kRainfall, kRainfallMonth, error);
    const ItuGrid* temperature =
        rain == nullptr ? nullptr : maps.monthly(kTemperature, kTemperatureMonth, error);
    if (temperature == nullptr) {
        return false;
    }
    const GridCell rainCell = rain->cell(latDeg, lonDeg);
    const GridCell temperatureCell = temperature->cell(latDeg, lonDeg);
    for (std::size_t m = 0; m < kMonths; ++m) {
        totalMm[m] = rain->sum(rainCell, m);
        temperatureK[m] = temperature->sum(temperatureCell, m);
        const bool noRain = std::isnan(totalMm[m]);
        if (noRain || std::isnan(temperatureK[m])) {
            const int month = static_cast<int>(m) + 1;
            error =
                std::string(noRain ? kRainfall.recommendation : kTemperature.recommendation) +
                " map " +
                (noRain ? MonthMap(kRainfallMonth, month) : MonthMap(kTemperatureMonth, month)) +
                " has no value at " + PlaceText(latDeg, lonDeg);
            return false;
        }
    }
    return true;
}

// One month of a monthly family, bilinear.
MapValue MonthlyBilinear(MapFolder& maps, std::string_view what, const MapSet& set,
                         const char* prefix, double latDeg, double lonDeg, int month) {
    if (month < 1 || month > static_cast<int>(kMonths)) {
        return {kNaN, {}, "month " + std::to_string(month) + " is not 1 to 12"};
    }
    MapValue out = Start(what, latDeg, lonDeg);
    if (!out) {
        return out;
    }
    std::string error;
    const ItuGrid* grid = maps.monthly(set, prefix, error);
    if (grid == nullptr) {
        return Fail(out, error);
    }
    return Finish(out, grid->bilinear(latDeg, lonDeg, static_cast<std::size_t>(month - 1)), set,
                  MonthMap(prefix, month), latDeg, lonDeg);
}

// A bilinear lookup in one map.
MapValue Bilinear(MapFolder& maps, std::string_view what, const MapSet& set, std::string_view map,
                  double latDeg, double lonDeg) {
    MapValue out = Start(what, latDeg, lonDeg);
    if (!out) {
        return out;
    }
    std::string error;
    const ItuGrid* grid = maps.grid(set, map, error);
    if (grid == nullptr) {
        return Fail(out, error);
    }
    return Finish(out, grid->bilinear(latDeg, lonDeg), set, map, latDeg, lonDeg);
}

// A quantity mapped at levels of p, semi-log in p between the two levels
// around it; `atLevel(level, cell, error)` gives the value at one level.
// `out` holds the value's source, the place already checked (Start).
template <typename AtLevel>
MapValue SemiLogInP(MapFolder& maps, MapValue out, const LevelMaps& levels, double latDeg,
                    double lonDeg, double percent, AtLevel atLevel) {
    std::size_t below = 0;
    std::size_t above = 0;
    if (!Bracket(levels.levels, percent, below, above)) {
        return Fail(out, LevelRangeError(levels, percent));
    }
    std::string error;
    const ItuGrid* first = maps.grid(levels.set, levels.name(below), error);
    if (first == nullptr) {
        return Fail(out, error);
    }
    const GridCell cell = first->cell(latDeg, lonDeg);
    const double x1 = atLevel(below, cell, error);
    const double x2 = above == below ? x1 : atLevel(above, cell, error);
    if (!error.empty()) {
        return Fail(out, error);
    }
    out.value = SemiLogInterpolate(percent, levels.levels[below], x1, levels.levels[above], x2);
    if (!std::isnan(out.value)) {
        return out;
    }
    return Finish(out, kNaN, levels.set, levels.name(std::isnan(x1) ? below : above), latDeg,
                  lonDeg);
}

// One map of `levels` summed over the cell.
double LevelSum(MapFolder& maps, const LevelMaps& levels, std::size_t level, const GridCell& cell,
                std::string& error) {
    const ItuGrid* grid = maps.grid(levels.set, levels.name(level), error);
    return grid == nullptr ? kNaN : grid->sum(cell);
}

MapValue ValueAtLevels(MapFolder& maps, std::string_view what, const LevelMaps& levels,
                       double latDeg, double lonDeg, double percent) {
    MapValue out = Start(what, latDeg, lonDeg);
    if (!out) {
        return out;
    }
    return SemiLogInP(maps, std::move(out), levels, latDeg, lonDeg, percent,
                      [&](std::size_t level, const GridCell& cell, std::string& error) {
                          return LevelSum(maps, levels, level, cell, error);
                      });
}

// ITU-R P.836-6: rho or V at p, each of the four grid points' values first
// scaled from the point's height alt_i (P.1511-1, bicubic) to the station's
// alt with the scale height VSCH_i of the same level:
// X_i' = X_i exp(-(alt - alt_i) / VSCH_i); then bilinear, then semi-log in p.
MapValue VapourAtHeight(MapFolder& maps, const LevelMaps& quantity, double latDeg, double lonDeg,
                        double percent, std::optional<double> stationHeightKm) {
    MapValue place = Checked(latDeg, lonDeg);
    if (!place) {
        return place;
    }
    std::string error;
    const ItuGrid* topography = maps.grid(kTopography, kTopographyMap, error);
    if (topography == nullptr) {
        return Fail(place, error);
    }
    if (stationHeightKm && !std::isfinite(*stationHeightKm)) {
        return Fail(place, "the station height must be a number");
    }
    const double heightKm =
        stationHeightKm ? *stationHeightKm : topography->bicubic(latDeg, lonDeg);
    if (std::isnan(heightKm)) {
        return Finish(place, kNaN, kTopography, kTopographyMap, latDeg, lonDeg);
    }
    // "ITU-R P.836-6 at 45.07°N 7.69°E, station height 0.262 km": the last
    // one kept per thread (rho and V, each at two p).
    struct Source {
        double latDeg = kNaN;
        double lonDeg = kNaN;
        double heightKm = kNaN;
        std::string text;
    };
    thread_local Source source;
    if (latDeg != source.latDeg || lonDeg != source.lonDeg || heightKm != source.heightKm) {
        source.text = std::string(kVapour.recommendation) + " at " + PlaceText(latDeg, lonDeg) +
                      ", station height " + DegreesText(heightKm) + " km";
        source.latDeg = latDeg;
        source.lonDeg = lonDeg;
        source.heightKm = heightKm;
    }
    place.source = source.text;
    // alt_i of the cell's points, the same for every level and quantity: the
    // last cell's kept per thread (a site asks for rho and V, each at two p).
    struct Heights {
        std::uint64_t folder = 0;
        std::array<std::size_t, 4> index{};
        std::array<bool, 4> weighs{};
        std::array<double, 4> heightKm{};
    };
    thread_local Heights heights;
    bool heightsKnown = false;
    const auto atLevel = [&](std::size_t level, const GridCell& cell, std::string& err) {
        const ItuGrid* values = maps.grid(kVapour, quantity.name(level), err);
        const ItuGrid* scale = maps.grid(kVapour, kScaleHeight.name(level), err);
        if (values == nullptr || scale == nullptr || !cell.inside) {
            return kNaN;
        }
        std::array<bool, 4> weighs{};
        for (std::size_t k = 0; k < weighs.size(); ++k) {
            weighs[k] = cell.weight[k] != 0.0;
        }
        if (!heightsKnown && (heights.folder != maps.serial() || heights.index != cell.index ||
                              heights.weighs != weighs)) {
            for (std::size_t k = 0; k < cell.index.size(); ++k) {
                heights.heightKm[k] =
                    weighs[k] ? topography->bicubic(cell.latDeg[k], cell.lonDeg[k]) : 0.0;
            }
            heights.folder = maps.serial();
            heights.index = cell.index;
            heights.weighs = weighs;
        }
        heightsKnown = true;
        const std::array<double, 4>& pointHeightKm = heights.heightKm;
        double total = 0.0;
        for (std::size_t k = 0; k < cell.index.size(); ++k) {
            if (cell.weight[k] == 0.0) {
                continue;
            }
            const std::size_t i = cell.index[k];
            total += cell.weight[k] * values->at(i) *
                     std::exp(-(heightKm - pointHeightKm[k]) / scale->at(i));
        }
        return total;
    };
    return SemiLogInP(maps, std::move(place), quantity, latDeg, lonDeg, percent, atLevel);
}

// Q(z), the complementary standard normal distribution, and its density.
double NormalTail(double z) {
    return 0.5 * std::erfc(z / std::numbers::sqrt2);
}

double NormalDensity(double z) {
    return std::exp(-0.5 * z * z) / std::sqrt(2.0 * std::numbers::pi);
}

// z with Q(z) = q, to about 5e-4 (Abramowitz and Stegun 26.2.23): the start
// of the Newton iteration of step 5.
double NormalTailInverse(double q) {
    const double tail = std::min(q, 1.0 - q);
    const double t = std::sqrt(-2.0 * std::log(tail));
    const double z = t - (2.515517 + 0.802853 * t + 0.010328 * t * t) /
                             (1.0 + 1.432788 * t + 0.189269 * t * t + 0.001308 * t * t * t);
    return q < 0.5 ? z : -z;
}

} // namespace

namespace {
std::atomic<std::uint64_t> g_folderSerial{0};
} // namespace

MapFolder::MapFolder(std::filesystem::path base)
    : m_base(std::move(base)), m_serial(++g_folderSerial), m_cacheDir(DefaultMapCacheDir()) {}

const std::map<std::string, std::filesystem::path, std::less<>>&
MapFolder::listing(std::string_view folder) const {
    const std::lock_guard lock(m_listingMutex);
    const std::string key = Lower(folder);
    auto at = m_listings.find(key);
    if (at == m_listings.end()) {
        std::map<std::string, std::filesystem::path, std::less<>> files;
        std::error_code ec;
        for (const auto& entry :
             std::filesystem::directory_iterator(Subfolder(m_base, folder), ec)) {
            files.emplace(Lower(entry.path().filename().string()), entry.path());
        }
        at = m_listings.emplace(key, std::move(files)).first;
    }
    return at->second;
}

std::vector<std::string> MapFolder::opened() const {
    const std::lock_guard lock(m_mutex);
    return m_opened;
}

bool MapFolder::hasFolder(std::string_view folder) {
    const std::lock_guard lock(m_mutex);
    auto at = m_folders.find(folder);
    if (at == m_folders.end()) {
        at = m_folders.emplace(std::string(folder), !Subfolder(m_base, folder).empty()).first;
    }
    return at->second;
}

MapFolder::Found MapFolder::find(const MapSet& set, std::string_view name) const {
    Found found;
    const auto& files = listing(set.folder);
    const std::string plain = Lower(name);
    if (const auto at = files.find(plain); at != files.end()) {
        found.path = at->second; // the plain file wins
    } else if (const auto packed = files.find(plain + ".gz"); packed != files.end()) {
        found.path = packed->second;
    }
    if (found.path.empty()) {
        found.error = "missing map " + std::string(set.folder) + "/" + std::string(name) +
                      " (plain or .gz) in " + m_base.string() +
                      ": ITU distributes it with Recommendation " + set.recommendation;
    }
    return found;
}

const ItuGrid* MapFolder::grid(const MapSet& set, std::string_view name, std::string& error) {
    const Grid& found = slot(set, name, 1);
    if (!found.grid) {
        error = found.error;
    }
    return found.grid.get();
}

const ItuGrid* MapFolder::monthly(const MapSet& set, std::string_view prefix, std::string& error) {
    const Grid& found = slot(set, prefix, kMonths);
    if (!found.grid) {
        error = found.error;
    }
    return found.grid.get();
}

bool MapFolder::has(const MapSet& set, std::string_view name) {
    return !slot(set, name, 1).missing;
}

const MapFolder::Grid& MapFolder::slot(const MapSet& set, std::string_view name,
                                       std::size_t layers) {
    // The maps found so far, per thread and by the set and the name's text:
    // a site's dozen lookups each ask for up to four maps, and the folder's
    // table takes a lock and a dozen comparisons of names. An entry stays
    // good while its folder lives (the table only grows); the serial tells
    // folders apart.
    struct Recent {
        std::uint64_t folder = 0;
        const MapSet* set = nullptr;
        std::size_t layers = 0;
        std::string name;
        const Grid* grid = nullptr;
    };
    constexpr std::size_t kRecent = 64;
    thread_local std::array<Recent, kRecent> recent;
    Recent& mine =
        recent[(std::hash<std::string_view>{}(name) ^ std::hash<const void*>{}(&set) ^ layers) %
               kRecent];
    if (mine.folder == m_serial && mine.set == &set && mine.layers == layers && mine.name == name) {
        return *mine.grid;
    }

    // The key, "P837-7/MT_Month*" for monthly layers, in a buffer kept per
    // thread.
    thread_local std::string key;
    key.assign(set.folder).append("/").append(name).append(layers > 1 ? "*" : "");

    const std::lock_guard lock(m_mutex);
    auto at = m_grids.find(key);
    if (at == m_grids.end()) {
        at = m_grids.emplace(key, load(set, name, layers)).first;
    }
    mine = {m_serial, &set, layers, std::string(name), &at->second};
    return at->second;
}

const MapFolder::Axes& MapFolder::axesOf(const MapSet& set) {
    const std::string key = std::string(set.folder) + "/" + set.latFile + "/" + set.lonFile;
    auto at = m_axes.find(key);
    if (at == m_axes.end()) {
        Axes read;
        const Found lat = find(set, set.latFile);
        const Found lon = find(set, set.lonFile);
        if (!lat.error.empty() || !lon.error.empty()) {
            read.error = !lat.error.empty() ? lat.error : lon.error;
        } else {
            AxesRead axes = ReadGridAxes(lat.path.string(), lon.path.string());
            read.error = std::move(axes.error);
            if (read.error.empty()) {
                read.axes = std::move(axes.axes);
            }
        }
        at = m_axes.emplace(key, std::move(read)).first;
    }
    return at->second;
}

// One map, or `layers` monthly maps name01.TXT .. as the grid's layers.
MapFolder::Grid MapFolder::load(const MapSet& set, std::string_view name, std::size_t layers) {
    Grid out;
    std::vector<std::shared_ptr<const MapLayer>> read;
    for (std::size_t layer = 0; layer < layers; ++layer) {
        const std::string file =
            layers == 1 ? std::string(name) : MonthMap(name, static_cast<int>(layer) + 1);
        const Found found = find(set, file);
        if (!found.error.empty()) {
            out.error = found.error;
            out.missing = true;
            return out;
        }
        const Axes& axes = axesOf(set);
        if (!axes.axes) {
            out.error = axes.error;
            return out;
        }
        m_opened.push_back(std::string(set.folder) + "/" + found.path.filename().string());
        LayerRead one = ReadGridLayer(found.path.string(), *axes.axes, m_cacheDir);
        if (!one.error.empty()) {
            out.error = std::move(one.error);
            return out;
        }
        read.push_back(std::move(one.layer));
    }
    out.grid = std::make_unique<const ItuGrid>(*axesOf(set).axes, std::move(read));
    return out;
}

// ITU-R P.837-7 Annex 1.
MonthlyRain MonthlyRainStatistics(const std::array<double, 12>& totalMm,
                                  const std::array<double, 12>& temperatureK) {
    MonthlyRain rain;
    for (std::size_t m = 0; m < kDaysInMonth.size(); ++m) {
        // Step 2: r_ii = 0.5874 exp(0.0883 t_ii) from 0 degC up, 0.5874 below (mm/h).
        const double celsius = temperatureK[m] - kZeroCelsiusK;
        double rate = celsius >= 0.0 ? kColdRateMmH * std::exp(kRateTemperatureSlope * celsius)
                                     : kColdRateMmH;
        // Step 3: P0_ii = 100 MT_ii / (24 N_ii r_ii) (%); above 70 %, P0_ii = 70 %
        // and r_ii = 100 MT_ii / (70 x 24 N_ii).
        const double hours = kHoursPerDay * kDaysInMonth[m];
        double probability = 100.0 * totalMm[m] / (hours * rate);
        if (probability > kMostRainPercent) {
            probability = kMostRainPercent;
            rate = 100.0 * totalMm[m] / (kMostRainPercent * hours);
        }
        rain.rateMmH[m] = rate;
        rain.probabilityPercent[m] = probability;
        // Step 4: P0 = sum of N_ii P0_ii / 365.25 (%).
        rain.annualProbabilityPercent += kDaysInMonth[m] * probability / kDaysInYear;
    }
    return rain;
}

// Step 5: R_p solves p = sum of N_ii P0_ii Q((ln R_p + 0.7938 - ln r_ii) / 1.26) / 365.25.
// Halley's method on g(x) = ln P(R > e^x) - ln p, nearly a parabola in x = ln R:
// the months' normal densities give g' and g'' with no further exponential,
// and the steps converge cubically, from a start that takes the months as one
// log-normal; kept inside a bracket that bisection shrinks where a step would
// leave it.
double RainRateExceeded(const MonthlyRain& rain, double percent) {
    if (!(percent > 0.0 && percent <= 100.0)) {
        return kNaN;
    }
    if (!(percent < rain.annualProbabilityPercent)) {
        return 0.0;
    }
    std::array<double, kMonths> weight{}; // N_ii P0_ii / 365.25, %
    std::array<double, kMonths> centre{}; // ln r_ii - 0.7938
    std::size_t count = 0;
    double meanCentre = 0.0;
    for (std::size_t m = 0; m < kMonths; ++m) {
        if (rain.probabilityPercent[m] > 0.0) {
            weight[count] = kDaysInMonth[m] * rain.probabilityPercent[m] / kDaysInYear;
            centre[count] = std::log(rain.rateMmH[m]) - kRateOffset;
            meanCentre += weight[count] * centre[count] / rain.annualProbabilityPercent;
            ++count;
        }
    }
    // P(R > e^x) and its first two derivatives in x.
    struct Exceeded {
        double value = 0.0;
        double slope = 0.0;
        double curvature = 0.0;
    };
    const auto exceeded = [&](double x) {
        Exceeded out;
        for (std::size_t k = 0; k < count; ++k) {
            const double z = (x - centre[k]) / kRateSpread;
            const double density = weight[k] * NormalDensity(z) / kRateSpread;
            out.value += weight[k] * NormalTail(z);
            out.slope -= density;
            out.curvature += density * z / kRateSpread;
        }
        return out;
    };
    const auto [lowest, highest] =
        std::minmax_element(centre.begin(), centre.begin() + static_cast<long>(count));
    double low = *lowest - 40.0 * kRateSpread;   // P(R > e^low) > p
    double high = *highest + 40.0 * kRateSpread; // P(R > e^high) < p
    double x = std::clamp(
        meanCentre + kRateSpread * NormalTailInverse(percent / rain.annualProbabilityPercent), low,
        high);
    const double logPercent = std::log(percent);
    for (int i = 0; i < 200; ++i) {
        const Exceeded f = exceeded(x);
        if (f.value == percent) {
            break;
        }
        (f.value > percent ? low : high) = x;
        const double g = std::log(f.value) - logPercent;
        const double g1 = f.slope / f.value;
        const double g2 = f.curvature / f.value - g1 * g1;
        double next = x - 2.0 * g * g1 / (2.0 * g1 * g1 - g * g2);
        if (!(next >= low && next <= high)) {
            next = 0.5 * (low + high); // also where the tail has underflowed
        }
        // Converging cubically: after a step this small the error is far
        // below the last bit.
        const bool converged = std::fabs(next - x) <= 1e-6 * std::max(1.0, std::fabs(x));
        x = next;
        if (converged || high - low <= 1e-15 * std::max(1.0, std::fabs(x))) {
            break;
        }
    }
    return std::exp(x);
}

MapValue RainRate(MapFolder& maps, double latDeg, double lonDeg, double percent) {
    MapValue out = Start("ITU-R P.837-7 Annex 1", latDeg, lonDeg);
    if (!out) {
        return out;
    }
    if (!(percent > 0.0 && percent <= 100.0)) {
        return Fail(out, "p = " + NumberText(percent) + " % is outside 0 % to 100 %");
    }
    std::string error;
    const MonthlyRain* rain = MonthlyRainAt(maps, latDeg, lonDeg, error);
    if (rain == nullptr) {
        return Fail(out, error);
    }
    out.value = RainRateExceeded(*rain, percent);
    return out;
}

MapValue RainRate001(MapFolder& maps, double latDeg, double lonDeg) {
    if (maps.has(kRain001, kRain001Map)) {
        return Bilinear(maps, "ITU-R P.837-7 map R001", kRain001, kRain001Map, latDeg, lonDeg);
    }
    return RainRate(maps, latDeg, lonDeg, 0.01);
}

MapValue RainProbability(MapFolder& maps, double latDeg, double lonDeg) {
    MapValue out = Start("ITU-R P.837-7 Annex 1", latDeg, lonDeg);
    if (!out) {
        return out;
    }
    std::string error;
    const MonthlyRain* rain = MonthlyRainAt(maps, latDeg, lonDeg, error);
    if (rain == nullptr) {
        return Fail(out, error);
    }
    out.value = rain->annualProbabilityPercent;
    return out;
}

MapValue MonthlyRainfall(MapFolder& maps, double latDeg, double lonDeg, int month) {
    return MonthlyBilinear(maps, kRainfall.recommendation, kRainfall, kRainfallMonth, latDeg,
                           lonDeg, month);
}

MapValue IsothermHeight(MapFolder& maps, double latDeg, double lonDeg) {
    return Bilinear(maps, kIsotherm.recommendation, kIsotherm, kIsothermMap, latDeg, lonDeg);
}

MapValue RainHeight(MapFolder& maps, double latDeg, double lonDeg) {
    MapValue out = IsothermHeight(maps, latDeg, lonDeg);
    if (out) {
        out.value += kIsothermToRainHeightKm;
        out.source = "ITU-R P.839-4 (h0 + 0.36 km)" + out.source.substr(out.source.find(" at "));
    }
    return out;
}

MapValue CloudLiquidWater(MapFolder& maps, double latDeg, double lonDeg, double percent,
                          CloudMaps which) {
    if (which == CloudMaps::Newest) {
        which = maps.hasFolder(kCloud9.folder) ? CloudMaps::P840_9 : CloudMaps::P840_8;
    }
    const LevelMaps& levels = which == CloudMaps::P840_9 ? kCloudLiquid : kLred;
    return ValueAtLevels(maps, levels.set.recommendation, levels, latDeg, lonDeg, percent);
}

MapValue SurfaceVapourDensity(MapFolder& maps, double latDeg, double lonDeg, double percent,
                              std::optional<double> stationHeightKm) {
    return VapourAtHeight(maps, kVapourDensity, latDeg, lonDeg, percent, stationHeightKm);
}

MapValue ColumnarVapour(MapFolder& maps, double latDeg, double lonDeg, double percent,
                        std::optional<double> stationHeightKm) {
    return VapourAtHeight(maps, kColumnarVapour, latDeg, lonDeg, percent, stationHeightKm);
}

MapValue WetRefractivity(MapFolder& maps, double latDeg, double lonDeg, double percent) {
    return ValueAtLevels(maps, kWetRefractivity.recommendation, kNwet, latDeg, lonDeg, percent);
}

MapValue RefractivityGradient1(MapFolder& maps, double latDeg, double lonDeg) {
    return Bilinear(maps, "ITU-R P.453-14 (dN1, lowest 65 m, 1 %)", kGradient, kGradient1Map,
                    latDeg, lonDeg);
}

MapValue SurfaceTemperature(MapFolder& maps, double latDeg, double lonDeg) {
    return Bilinear(maps, kTemperature.recommendation, kTemperature, kAnnualTemperatureMap, latDeg,
                    lonDeg);
}

MapValue MonthlySurfaceTemperature(MapFolder& maps, double latDeg, double lonDeg, int month) {
    return MonthlyBilinear(maps, kTemperature.recommendation, kTemperature, kTemperatureMonth,
                           latDeg, lonDeg, month);
}

MapValue TopographicHeight(MapFolder& maps, double latDeg, double lonDeg) {
    MapValue out = Start(kTopography.recommendation, latDeg, lonDeg);
    if (!out) {
        return out;
    }
    std::string error;
    const ItuGrid* grid = maps.grid(kTopography, kTopographyMap, error);
    if (grid == nullptr) {
        return Fail(out, error);
    }
    return Finish(out, grid->bicubic(latDeg, lonDeg), kTopography, kTopographyMap, latDeg, lonDeg);
}

namespace {

// A family's data files, by ITU's names: fixed maps, levels, months.
struct FamilyFiles {
    const MapSet* set;
    std::vector<std::string> names;
    bool optional = false;
};

std::vector<FamilyFiles> EveryMapFile() {
    const auto months = [](const char* prefix) {
        std::vector<std::string> names;
        for (int m = 1; m <= static_cast<int>(kMonths); ++m) {
            names.push_back(MonthMap(prefix, m));
        }
        return names;
    };
    const auto levels = [](std::initializer_list<const LevelMaps*> families) {
        std::vector<std::string> names;
        for (const LevelMaps* family : families) {
            names.insert(names.end(), family->names.begin(), family->names.end());
        }
        return names;
    };
    std::vector<std::string> temperature{kAnnualTemperatureMap};
    const std::vector<std::string> monthly = months(kTemperatureMonth);
    temperature.insert(temperature.end(), monthly.begin(), monthly.end());
    return {
        {&kRainfall, months(kRainfallMonth)},
        {&kRain001, {kRain001Map}, true},
        {&kTemperature, temperature},
        {&kIsotherm, {kIsothermMap}},
        {&kCloud8, levels({&kLred})},
        {&kCloud9, levels({&kCloudLiquid})},
        {&kVapour, levels({&kVapourDensity, &kColumnarVapour, &kScaleHeight})},
        {&kWetRefractivity, levels({&kNwet})},
        {&kGradient, {kGradient1Map}},
        {&kTopography, {kTopographyMap}},
    };
}

} // namespace

std::string MapFileStatus::line() const {
    std::string out = folder + "/" + name + ": ";
    switch (state) {
    case State::Found:
        return out + "found";
    case State::Missing:
        return out + "missing (" + detail + (optional ? ", optional" : "") + ")";
    case State::Damaged:
        return out + "damaged (" + detail + ")";
    }
    return out;
}

std::vector<MapFileStatus> MapFilesStatus(MapFolder& maps) {
    std::vector<MapFileStatus> out;
    const auto missing = [&](const MapSet& set, const std::string& name, bool optional) {
        out.push_back(
            {set.folder, name, MapFileStatus::State::Missing, set.recommendation, optional});
    };
    for (const FamilyFiles& family : EveryMapFile()) {
        const MapSet& set = *family.set;
        // The axes: both files found, then read together.
        const MapFolder::Found lat = maps.find(set, set.latFile);
        const MapFolder::Found lon = maps.find(set, set.lonFile);
        std::optional<GridAxes> axes;
        if (lat.error.empty() && lon.error.empty()) {
            const AxesRead read = ReadGridAxes(lat.path.string(), lon.path.string());
            const bool latAtFault = read.error.rfind(lat.path.string(), 0) == 0;
            for (const auto& [name, atFault] :
                 {std::pair{set.latFile, latAtFault}, {set.lonFile, !latAtFault}}) {
                const bool damaged = !read.error.empty() && atFault;
                out.push_back(
                    {set.folder, name,
                     damaged ? MapFileStatus::State::Damaged : MapFileStatus::State::Found,
                     damaged ? read.error : std::string(), family.optional});
            }
            if (read.error.empty()) {
                axes = read.axes;
            }
        } else {
            for (const auto& [name, found] : {std::pair{set.latFile, &lat}, {set.lonFile, &lon}}) {
                if (found->error.empty()) {
                    const std::string why = CheckGridFile(found->path.string(), nullptr, {});
                    out.push_back(
                        {set.folder, name,
                         why.empty() ? MapFileStatus::State::Found : MapFileStatus::State::Damaged,
                         why, family.optional});
                } else {
                    missing(set, name, family.optional);
                }
            }
        }
        for (const std::string& name : family.names) {
            const MapFolder::Found found = maps.find(set, name);
            if (!found.error.empty()) {
                missing(set, name, family.optional);
                continue;
            }
            const std::string why =
                CheckGridFile(found.path.string(), axes ? &*axes : nullptr, maps.cacheDir());
            out.push_back(
                {set.folder, name,
                 why.empty() ? MapFileStatus::State::Found : MapFileStatus::State::Damaged, why,
                 family.optional});
        }
    }
    // A family's latitude and longitude files are listed once (P.453-14 has two grids).
    std::vector<MapFileStatus> unique;
    for (MapFileStatus& status : out) {
        const bool seen = std::any_of(unique.begin(), unique.end(), [&](const MapFileStatus& s) {
            return s.folder == status.folder && s.name == status.name;
        });
        if (!seen) {
            unique.push_back(std::move(status));
        }
    }
    return unique;
}
