#include "itu_grid.h"

#include "map_cache.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <utility>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPoleDeg = 90.0;
constexpr double kTurnDeg = 360.0;
constexpr double kStepTolerance = 1e-6; // deg: the files hold steps of 1/8 degree and coarser
constexpr double kBicubicA = -0.5;      // ITU-R P.1144 Annex 1, cubic convolution kernel

std::string NumberText(double value) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return std::string(text.data(), end);
}

std::string FileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// ITU-R P.1144 Annex 1: the cubic convolution kernel W(x) with a = -0.5.
double CubicWeight(double x) {
    const double d = std::fabs(x);
    const double a = kBicubicA;
    if (d <= 1.0) {
        return ((a + 2.0) * d - (a + 3.0)) * d * d + 1.0;
    }
    if (d < 2.0) {
        return ((a * d - 5.0 * a) * d + 8.0 * a) * d - 4.0 * a;
    }
    return 0.0;
}

// One axis of a latitude or longitude file: constant along the other axis,
// in equal nonzero steps along its own. `alongRows` true: the value of row i
// is in every column of row i (a latitude file).
std::string AxisFrom(const NumberTable& t, bool alongRows, double& first, double& step) {
    const std::size_t count = alongRows ? t.rows : t.cols;
    const std::size_t across = alongRows ? t.cols : t.rows;
    const auto value = [&](std::size_t i, std::size_t k) {
        return alongRows ? t.values[i * t.cols + k] : t.values[k * t.cols + i];
    };
    const char* what = alongRows ? "latitude" : "longitude";
    if (count < 2) {
        return std::string("fewer than 2 ") + (alongRows ? "rows" : "columns");
    }
    const auto where = [&](std::size_t i, std::size_t k) {
        return "line " + std::to_string((alongRows ? i : k) + 1) + ": ";
    };
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t k = 0; k < across; ++k) {
            if (std::isnan(value(i, k))) {
                return where(i, k) + "NaN where a " + what + " belongs";
            }
        }
    }
    first = value(0, 0);
    step = value(1, 0) - first;
    for (std::size_t i = 0; i < count; ++i) {
        const double expected = first + static_cast<double>(i) * step;
        for (std::size_t k = 0; k < across; ++k) {
            const double v = value(i, k);
            if (!(std::fabs(v - expected) <= kStepTolerance) || step == 0.0) {
                return where(i, k) + what + " " + NumberText(v) +
                       " breaks the equal steps of the grid";
            }
        }
    }
    return {};
}

} // namespace

namespace {

bool worthCaching(const std::string& path) {
    const std::optional<std::uintmax_t> size = MapTextSize(path);
    return size && *size >= kSmallestCachedMap;
}

// The record of a grid's axes in the cache folder.
struct AxesRecord {
    std::uint64_t rows;
    std::uint64_t cols;
    double firstLatDeg;
    double latStepDeg;
    double firstLonDeg;
    double lonStepDeg;
};
constexpr const char* kAxesRecord = "grid axes 1";

} // namespace

// A large map through its binary cache (map_cache.h), which parses it once.
NumberTable ReadNumberTable(const std::string& path) {
    const std::filesystem::path cache = DefaultMapCacheDir();
    if (!cache.empty() && worthCaching(path)) {
        return ReadNumberTableCached(path, cache);
    }
    return ReadNumberTableText(path);
}

AxesRead ReadGridAxes(const std::string& latPath, const std::string& lonPath) {
    AxesRead out;
    const std::filesystem::path cache = DefaultMapCacheDir();
    const std::array<std::string, 2> sources{latPath, lonPath};
    if (const std::optional<std::string> bytes = LoadCachedRecord(sources, kAxesRecord, cache);
        bytes && bytes->size() == sizeof(AxesRecord)) {
        AxesRecord record{};
        std::memcpy(&record, bytes->data(), sizeof record);
        out.axes = {record.rows,        record.cols,       record.firstLatDeg, record.latStepDeg,
                    record.firstLonDeg, record.lonStepDeg, FileName(latPath),  FileName(lonPath)};
        return out;
    }
    const NumberTable lat = ReadNumberTableText(latPath);
    if (!lat.error.empty()) {
        out.error = lat.error;
        return out;
    }
    const NumberTable lon = ReadNumberTableText(lonPath);
    if (!lon.error.empty()) {
        out.error = lon.error;
        return out;
    }
    if (lat.rows != lon.rows || lat.cols != lon.cols) {
        out.error = lonPath + ": " + std::to_string(lon.rows) + " x " + std::to_string(lon.cols) +
                    " values where " + FileName(latPath) + " has " + std::to_string(lat.rows) +
                    " x " + std::to_string(lat.cols);
        return out;
    }
    GridAxes& axes = out.axes;
    axes.rows = lat.rows;
    axes.cols = lat.cols;
    axes.latFile = FileName(latPath);
    axes.lonFile = FileName(lonPath);
    if (std::string why = AxisFrom(lat, true, axes.firstLatDeg, axes.latStepDeg); !why.empty()) {
        out.error = latPath + ": " + why;
    } else if (why = AxisFrom(lon, false, axes.firstLonDeg, axes.lonStepDeg); !why.empty()) {
        out.error = lonPath + ": " + why;
    } else if (axes.lonStepDeg < 0.0) {
        out.error = lonPath + ": longitudes decrease along a row (they must grow to the east)";
    } else if (!cache.empty() && (worthCaching(latPath) || worthCaching(lonPath))) {
        const AxesRecord record{axes.rows,       axes.cols,        axes.firstLatDeg,
                                axes.latStepDeg, axes.firstLonDeg, axes.lonStepDeg};
        StoreCachedRecord(sources, kAxesRecord,
                          std::string_view(reinterpret_cast<const char*>(&record), sizeof record),
                          cache);
    }
    return out;
}

namespace {

std::string ShapeError(const std::string& path, std::size_t rows, std::size_t cols,
                       const GridAxes& axes) {
    return path + ": " + std::to_string(rows) + " rows of " + std::to_string(cols) +
           " values where " + axes.latFile + " and " + axes.lonFile + " give " +
           std::to_string(axes.rows) + " x " + std::to_string(axes.cols);
}

} // namespace

GridRead ReadGridValues(const std::string& path, const GridAxes& axes) {
    GridRead out;
    NumberTable table = ReadNumberTable(path);
    if (!table.error.empty()) {
        out.error = std::move(table.error);
    } else if (table.rows != axes.rows || table.cols != axes.cols) {
        out.error = ShapeError(path, table.rows, table.cols, axes);
    } else {
        out.values = std::move(table.values);
    }
    return out;
}

LayerRead ReadGridLayer(const std::string& path, const GridAxes& axes,
                        const std::filesystem::path& cacheDir) {
    LayerRead out;
    if (!cacheDir.empty()) {
        if (std::shared_ptr<const CachedTable> cached = CachedTable::open(path, cacheDir);
            cached && cached->rows() == axes.rows && cached->cols() == axes.cols) {
            out.layer = std::make_shared<const MapLayer>(std::move(cached), path, cacheDir);
            return out;
        }
    }
    NumberTable table = ReadNumberTableText(path);
    if (!table.error.empty()) {
        out.error = std::move(table.error);
    } else if (table.rows != axes.rows || table.cols != axes.cols) {
        out.error = ShapeError(path, table.rows, table.cols, axes);
    } else {
        if (!cacheDir.empty() && worthCaching(path)) {
            StoreCachedTable(path, table, cacheDir);
        }
        out.layer = std::make_shared<const MapLayer>(std::move(table.values));
    }
    return out;
}

std::string CheckGridFile(const std::string& path, const GridAxes* axes,
                          const std::filesystem::path& cacheDir) {
    const auto shapeHolds = [axes](std::size_t rows, std::size_t cols) {
        return axes == nullptr || (rows == axes->rows && cols == axes->cols);
    };
    if (!cacheDir.empty()) {
        if (const std::shared_ptr<const CachedTable> cached = CachedTable::open(path, cacheDir);
            cached && shapeHolds(cached->rows(), cached->cols())) {
            return {};
        }
    }
    const NumberTable table = ReadNumberTableText(path);
    if (!table.error.empty()) {
        return table.error;
    }
    if (!shapeHolds(table.rows, table.cols)) {
        return ShapeError(path, table.rows, table.cols, *axes);
    }
    if (!cacheDir.empty() && worthCaching(path)) {
        StoreCachedTable(path, table, cacheDir);
    }
    return {};
}

MapLayer::MapLayer(std::vector<double> values) : m_values(std::move(values)), m_parsed(true) {}

MapLayer::MapLayer(std::shared_ptr<const CachedTable> cache, std::string source,
                   std::filesystem::path cacheDir)
    : m_cache(std::move(cache)), m_source(std::move(source)), m_cacheDir(std::move(cacheDir)) {}

MapLayer::~MapLayer() = default;

// A block of the cache is damaged: the map from its text, and its cache anew.
double MapLayer::reparsed(std::size_t index) const {
    std::call_once(m_parseOnce, [this] {
        NumberTable table = ReadNumberTableText(m_source);
        if (table.error.empty() && table.rows == m_cache->rows() && table.cols == m_cache->cols()) {
            StoreCachedTable(m_source, table, m_cacheDir);
            m_values = std::move(table.values);
        } else {
            // The source changed under the run: no value rather than a wrong one.
            m_values.assign(m_cache->rows() * m_cache->cols(), kNaN);
        }
        m_parsed.store(true, std::memory_order_release);
    });
    return index < m_values.size() ? m_values[index] : kNaN;
}

ItuGrid::ItuGrid(GridAxes axes, std::vector<double> values, std::size_t layers)
    : m_axes(std::move(axes)) {
    layers = std::max<std::size_t>(layers, 1);
    const std::size_t points = m_axes.rows * m_axes.cols;
    values.resize(points * layers, kNaN);
    for (std::size_t layer = 0; layer < layers; ++layer) {
        std::vector<double> own(points);
        for (std::size_t point = 0; point < points; ++point) {
            own[point] = values[point * layers + layer];
        }
        m_layers.push_back(std::make_shared<const MapLayer>(std::move(own)));
    }
    findTurn();
}

ItuGrid::ItuGrid(GridAxes axes, std::vector<std::shared_ptr<const MapLayer>> layers)
    : m_axes(std::move(axes)), m_layers(std::move(layers)) {
    findTurn();
}

void ItuGrid::findTurn() {
    const double perTurn = kTurnDeg / m_axes.lonStepDeg;
    const long turn = std::lround(perTurn);
    if (turn > 0 && std::fabs(perTurn - static_cast<double>(turn)) < kStepTolerance &&
        static_cast<std::size_t>(turn) <= m_axes.cols) {
        m_turn = turn;
    }
}

double ItuGrid::columnOf(double lonDeg) const {
    // Into [first, first + 360) before the column is found.
    const double shifted = std::fmod(lonDeg - m_axes.firstLonDeg, kTurnDeg);
    const double column = (shifted < 0.0 ? shifted + kTurnDeg : shifted) / m_axes.lonStepDeg;
    if (m_turn > 0) {
        const double turn = static_cast<double>(m_turn);
        return column >= turn ? column - turn : column;
    }
    return column;
}

bool ItuGrid::indexOf(long row, long col, std::size_t& index) const {
    const long rows = static_cast<long>(m_axes.rows);
    const long cols = static_cast<long>(m_axes.cols);
    if (row < 0 || row >= rows) {
        const double lat = m_axes.firstLatDeg + static_cast<double>(row) * m_axes.latStepDeg;
        if (std::fabs(lat) <= kPoleDeg + kStepTolerance || m_turn == 0 || m_turn % 2 != 0) {
            return false; // short of the pole: the grid does not reach there
        }
        const double mirrored = std::copysign(2.0 * kPoleDeg, lat) - lat;
        const double mirroredRow = rowOf(mirrored);
        const long whole = std::lround(mirroredRow);
        if (std::fabs(mirroredRow - static_cast<double>(whole)) > kStepTolerance || whole < 0 ||
            whole >= rows) {
            return false;
        }
        row = whole;
        col += m_turn / 2;
    }
    if (m_turn > 0) {
        col %= m_turn;
        col = col < 0 ? col + m_turn : col;
    } else if (col < 0 || col >= cols) {
        return false;
    }
    index = static_cast<std::size_t>(row * cols + col);
    return true;
}

GridCell ItuGrid::cell(double latDeg, double lonDeg) const {
    GridCell cell;
    if (!std::isfinite(latDeg) || !std::isfinite(lonDeg)) {
        return cell;
    }
    const double r = rowOf(latDeg);
    const double c = columnOf(lonDeg);
    long r0 = static_cast<long>(std::floor(r));
    long c0 = static_cast<long>(std::floor(c));
    double dr = r - static_cast<double>(r0);
    double dc = c - static_cast<double>(c0);
    // On the last row or column the point beyond has zero weight: take the
    // cell before it, where the place is its far corner.
    if (r0 == static_cast<long>(m_axes.rows) - 1 && dr == 0.0) {
        --r0;
        dr = 1.0;
    }
    if (m_turn == 0 && c0 == static_cast<long>(m_axes.cols) - 1 && dc == 0.0) {
        --c0;
        dc = 1.0;
    }
    const std::array<long, 4> rows{r0, r0 + 1, r0, r0 + 1};
    const std::array<long, 4> cols{c0, c0, c0 + 1, c0 + 1};
    cell.weight = {(1.0 - dr) * (1.0 - dc), dr * (1.0 - dc), (1.0 - dr) * dc, dr * dc};
    for (std::size_t k = 0; k < 4; ++k) {
        if (!indexOf(rows[k], cols[k], cell.index[k])) {
            return cell;
        }
        const std::size_t row = cell.index[k] / m_axes.cols;
        const std::size_t col = cell.index[k] % m_axes.cols;
        cell.latDeg[k] = m_axes.firstLatDeg + static_cast<double>(row) * m_axes.latStepDeg;
        cell.lonDeg[k] = m_axes.firstLonDeg + static_cast<double>(col) * m_axes.lonStepDeg;
    }
    cell.inside = true;
    return cell;
}

double ItuGrid::sum(const GridCell& cell, std::size_t layer) const {
    if (!cell.inside || layer >= m_layers.size()) {
        return kNaN;
    }
    double total = 0.0;
    for (std::size_t k = 0; k < 4; ++k) {
        if (cell.weight[k] != 0.0) {
            total += cell.weight[k] * at(cell.index[k], layer);
        }
    }
    return total;
}

double ItuGrid::bicubic(double latDeg, double lonDeg, std::size_t layer) const {
    if (!std::isfinite(latDeg) || !std::isfinite(lonDeg) || layer >= m_layers.size()) {
        return kNaN;
    }
    const double r = rowOf(latDeg);
    const double c = columnOf(lonDeg);
    const long r0 = static_cast<long>(std::floor(r));
    const long c0 = static_cast<long>(std::floor(c));
    double total = 0.0;
    for (long i = r0 - 1; i <= r0 + 2; ++i) {
        const double rowWeight = CubicWeight(r - static_cast<double>(i));
        if (rowWeight == 0.0) {
            continue;
        }
        double rowSum = 0.0;
        for (long j = c0 - 1; j <= c0 + 2; ++j) {
            const double weight = CubicWeight(c - static_cast<double>(j));
            std::size_t index = 0;
            if (weight == 0.0) {
                continue;
            }
            if (!indexOf(i, j, index)) {
                return kNaN;
            }
            rowSum += weight * at(index, layer);
        }
        total += rowWeight * rowSum;
    }
    return total;
}

double SemiLogInterpolate(double p, double p1, double x1, double p2, double x2) {
    if (p == p1) {
        return x1;
    }
    if (p == p2) {
        return x2;
    }
    const double lnP1 = std::log(p1);
    return x1 + (x2 - x1) * (std::log(p) - lnP1) / (std::log(p2) - lnP1);
}
