#pragma once
// A folder of elevation tiles, and the terrain profile along a path from
// them. A leaf: it knows nothing of designs. No Qt.
//
// Tiles are one degree squares named after their south-west corner (see
// hgt_tile.h): SRTM's .hgt tiles, read natively through a memory mapping, and
// GeoTIFF tiles (Copernicus DEM GLO-30 and GLO-90, or N45E007.tif), read
// through the GeoTIFF module (geotiff_tile.h). The folder and the folders in
// it (two levels deep, as Copernicus's downloads come) are listed once, when
// a tile is first needed; each tile is opened once, on its first use, and
// kept. Where a folder holds more than one file of a tile, .hgt comes first,
// then GLO-30, GLO-90 and a plain .tif.
//
// Heights are in metres above mean sea level (the tiles' EGM96 or EGM2008
// geoid), bilinear between the samples. A GeoTIFF tile's samples are at its
// pixels' centres; a place beyond its last row or column (within one
// sample of the next tile) takes that row's or column's height.
#include "geodesic_path.h"
#include "terrain_profile.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

// One thread at a time: the tiles are opened and kept as they are met.
class ElevationTiles {
  public:
    explicit ElevationTiles(std::filesystem::path folder);
    ~ElevationTiles();
    ElevationTiles(const ElevationTiles&) = delete;
    ElevationTiles& operator=(const ElevationTiles&) = delete;

    // The height (m AMSL) at `p`, bilinear; a void corner of the cell is left
    // out. Refused with one line: a place not on the globe, a tile missing
    // (naming the file expected and the folder) or unreadable, all four
    // corners void (naming the place).
    std::optional<double> heightAt(GeoPoint p, std::string& error);
    // The sample spacing (degrees of latitude) of the tile at `p`; 0 with
    // `error` set when the tile cannot be had.
    double spacingDeg(GeoPoint p, std::string& error);

    const std::filesystem::path& folder() const { return m_folder; }

  private:
    struct Index;
    std::filesystem::path m_folder;
    std::unique_ptr<Index> m_index;
};

// The most points a profile from tiles has.
constexpr std::size_t kMostTileProfilePoints = 100000;

// The ground from `a` to `b`: points equally spaced along the geodesic at
// the finer of the two end tiles' sample spacing (in metres on the ground),
// at least 4 and at most kMostTileProfilePoints; distances in km from A,
// bilinear heights. Refused with one line as PathBetween and heightAt are.
std::optional<TerrainProfile> ProfileFromTiles(ElevationTiles& tiles, GeoPoint a, GeoPoint b,
                                               std::string& error);

// $XDG_DATA_HOME/quillstone/terrain, else ~/.local/share/quillstone/terrain;
// empty when neither is known.
std::filesystem::path DefaultTerrainFolder();
