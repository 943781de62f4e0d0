#pragma once
// One ITU-R digital map and the interpolations on it. Standard library and
// zlib only: no other header of the program.
//
// A map is ITU's text layout: one grid row per line, values separated by
// blanks, "NaN" where the map has no value; plain or gzip-compressed (zlib
// reads both). Its folder's latitude and longitude files, of the same shape,
// give the place of each value: latitude constant along a row, longitude
// constant down a column and growing to the east, both in equal steps. Rows
// run south to north or north to south; the first longitude may be -180, 0,
// -0.5 or any other.
//
// Interpolation, ITU-R P.1144 Annex 1, at the place's fractional row R and
// column C (r, c their whole parts, dR = R - r, dC = C - c):
//   bilinear, from the four surrounding points:
//     I = I(r,c)(1-dR)(1-dC) + I(r+1,c) dR (1-dC) + I(r,c+1)(1-dR) dC
//         + I(r+1,c+1) dR dC
//   bicubic, from the 4 x 4 surrounding points (rows r-1..r+2, columns
//   c-1..c+2), with the cubic convolution kernel (a = -0.5)
//     W(x) = (a+2)|x|^3 - (a+3)|x|^2 + 1        for |x| <= 1
//     W(x) = a|x|^3 - 5a|x|^2 + 8a|x| - 4a       for 1 < |x| < 2
//     I = sum over i of W(R - i) * sum over j of W(C - j) I(i, j)
// A grid that goes round the globe wraps: the column 360 degrees on is the
// same column. A row beyond a pole is the row as far on the other side of
// it, half a turn round in longitude. A point of zero weight is not read, so
// a value at a grid point never depends on a missing neighbour.
//
// A grid may hold several maps of the same axes as layers (the twelve months
// of a Recommendation), each its own map.
#include "map_cache.h"
#include "map_text.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <filesystem>
#include <limits>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// The error names the file. A large map is read through its binary cache
// (map_cache.h); ReadNumberTableText always parses the text.
NumberTable ReadNumberTable(const std::string& path);

// The values of one map: parsed into memory, or a view of its binary cache
// (map_cache.h) whose blocks are checked as they are read. Where a block
// turns out damaged, the map is parsed from its text there and then (and
// its cache written anew), so a damaged cache never gives a value. Safe to
// read from several threads.
class MapLayer {
  public:
    explicit MapLayer(std::vector<double> values);
    MapLayer(std::shared_ptr<const CachedTable> cache, std::string source,
             std::filesystem::path cacheDir);
    ~MapLayer();
    MapLayer(const MapLayer&) = delete;
    MapLayer& operator=(const MapLayer&) = delete;

    double at(std::size_t index) const {
        if (m_parsed.load(std::memory_order_acquire)) {
            return index < m_values.size() ? m_values[index]
                                           : std::numeric_limits<double>::quiet_NaN();
        }
        double value = 0.0;
        return m_cache->read(index, value) ? value : reparsed(index);
    }
    bool mapped() const { return m_cache != nullptr; }

  private:
    double reparsed(std::size_t index) const;

    std::shared_ptr<const CachedTable> m_cache;
    std::string m_source;
    std::filesystem::path m_cacheDir;
    mutable std::vector<double> m_values;
    mutable std::atomic<bool> m_parsed{false};
    mutable std::once_flag m_parseOnce;
};

// The places of a grid's rows and columns, from its latitude and longitude
// files.
struct GridAxes {
    std::size_t rows = 0;
    std::size_t cols = 0;
    double firstLatDeg = 0.0; // row 0
    double latStepDeg = 0.0;  // per row; negative when row 0 is the northernmost
    double firstLonDeg = 0.0; // column 0
    double lonStepDeg = 0.0;  // per column, positive
    std::string latFile;      // file names, for messages
    std::string lonFile;
};

struct AxesRead {
    GridAxes axes;
    std::string error; // one line naming the file at fault
};
// The axes are kept in the cache folder (map_cache.h) once worked out, so
// that a run does not read a million latitudes to find two numbers.
AxesRead ReadGridAxes(const std::string& latPath, const std::string& lonPath);

// The points of a bilinear interpolation at one place and their weights.
// Every grid of the same axes shares it, so a place is found once for all
// the maps of a folder.
struct GridCell {
    bool inside = false;                // false: the grid does not hold the place
    std::array<std::size_t, 4> index{}; // point: row * cols + col
    std::array<double, 4> weight{};     // (1-dR)(1-dC), dR(1-dC), (1-dR)dC, dR dC
    std::array<double, 4> latDeg{};     // of the points
    std::array<double, 4> lonDeg{};
};

class ItuGrid {
  public:
    // `values`: rows * cols * layers, point by point (row by row), a point's
    // layers together.
    ItuGrid(GridAxes axes, std::vector<double> values, std::size_t layers = 1);
    // One map per layer, each rows * cols of the axes.
    ItuGrid(GridAxes axes, std::vector<std::shared_ptr<const MapLayer>> layers);

    const GridAxes& axes() const { return m_axes; }
    std::size_t layers() const { return m_layers.size(); }
    double at(std::size_t point, std::size_t layer = 0) const { return m_layers[layer]->at(point); }
    double at(std::size_t row, std::size_t col, std::size_t layer) const {
        return at(row * m_axes.cols + col, layer);
    }

    GridCell cell(double latDeg, double lonDeg) const;
    // The weighted sum of the cell's points; NaN when the cell is not inside
    // or a point of nonzero weight has no value.
    double sum(const GridCell& cell, std::size_t layer = 0) const;
    double bilinear(double latDeg, double lonDeg, std::size_t layer = 0) const {
        return sum(cell(latDeg, lonDeg), layer);
    }
    double bicubic(double latDeg, double lonDeg, std::size_t layer = 0) const;

  private:
    // The index of (row, col), either of them possibly outside the file: a
    // column wrapped round the globe, a row mirrored over the pole. False
    // when the grid holds no such point.
    bool indexOf(long row, long col, std::size_t& index) const;
    double rowOf(double latDeg) const { return (latDeg - m_axes.firstLatDeg) / m_axes.latStepDeg; }
    double columnOf(double lonDeg) const;

    void findTurn();

    GridAxes m_axes;
    long m_turn = 0; // columns per 360 degrees when the grid goes round the globe, else 0
    std::vector<std::shared_ptr<const MapLayer>> m_layers;
};

struct GridRead {
    std::vector<double> values; // rows * cols of the axes, row by row
    std::string error;          // one line naming the file and what is wrong
};
// The map at `path`, its shape checked against `axes`.
GridRead ReadGridValues(const std::string& path, const GridAxes& axes);

struct LayerRead {
    std::shared_ptr<const MapLayer> layer;
    std::string error; // one line naming the file and what is wrong
};
// The map at `path` as a layer of a grid of `axes`: a view of its cache in
// `cacheDir` when that holds (nothing of the text read), else parsed (and
// its cache written there when it is large enough to be worth one).
LayerRead ReadGridLayer(const std::string& path, const GridAxes& axes,
                        const std::filesystem::path& cacheDir);

// Whether the map at `path` can be read as a grid of `axes` (its shape
// unchecked when `axes` is null): "" when it can, else one line naming the
// file and what is wrong. A map whose cache in `cacheDir` holds for it (the
// same size, time and path as when it was parsed) is not parsed again.
std::string CheckGridFile(const std::string& path, const GridAxes* axes,
                          const std::filesystem::path& cacheDir);

// Semi-log interpolation in a probability p (%) between two map levels
// p1 < p < p2 holding x1 and x2: x1 + (x2 - x1)(ln p - ln p1)/(ln p2 - ln p1).
double SemiLogInterpolate(double p, double p1, double x1, double p2, double x2);
