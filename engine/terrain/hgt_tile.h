#pragma once
// Elevation tiles by name, and SRTM's .hgt tiles read from their bytes.
//
// A tile covers one degree square and is named after its south-west corner:
// N45E007 is 45..46 N, 7..8 E. An .hgt file holds big-endian 16-bit heights
// (m above mean sea level), 3601 x 3601 samples (1 arc-second) or 1201 x
// 1201 (3 arc-seconds), rows from north to south; its edge rows and columns
// are the same samples as its neighbours'. -32768 is a void.
#include "elevation_grid.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// A tile's south-west corner (degrees): -90..89 and -180..179.
struct TileKey {
    int lat = 0;
    int lon = 0;
    bool operator==(const TileKey&) const = default;
};

// The tile that holds a place (latitude -90..90, longitude wrapped to
// [-180, 180)); latitude 90 is in the tiles of 89.
TileKey TileOf(double latDeg, double lonDeg);
// "N45E007", "S01W180".
std::string TileName(TileKey key);

enum class TileFormat { Hgt, GeoTiff };
// The tile a file name is (any letter case): N45E007.hgt, N45E007.tif and
// Copernicus DEM's Copernicus_DSM_COG_10_N45_00_E007_00_DEM.tif (and _30_).
struct NamedTile {
    TileKey key;
    TileFormat format;
    int preference; // lower first, when a folder has more than one file of a tile
};
std::optional<NamedTile> TileFromFileName(std::string_view name);

constexpr std::int16_t kHgtVoid = -32768;

// A .hgt tile over bytes kept by `owner` (may be empty when the caller keeps
// them for the grid's life).
class HgtGrid final : public ElevationGrid {
  public:
    HgtGrid(TileKey key, int samples, const unsigned char* bytes, std::shared_ptr<void> owner);
    double sample(int col, int row) const override;

  private:
    const unsigned char* m_bytes;
    std::shared_ptr<void> m_owner;
};

// The tile `name` (a file name such as N45E007.hgt) with `bytes` as its
// content. Refused with one line: a name that is no tile's, a size that is
// neither tile's (naming the file and its size; a truncated tile likewise).
std::unique_ptr<HgtGrid> ReadHgtTile(std::span<const unsigned char> bytes, std::string_view name,
                                     std::shared_ptr<void> owner, std::string& error);
