#pragma once
// GeoTIFF elevation tiles, read through the GeoTIFF module (see
// geotiff_module.h), which is loaded on the first GeoTIFF tile a process
// needs. The module is looked for:
//   - at $QUILLSTONE_GEOTIFF_MODULE when that is set (and only there);
//   - in ../lib/quillstone/ from the running program (the installed layout:
//     /usr/bin/quillstone-calc, /usr/lib/quillstone/quillstone-geotiff.so);
//   - beside the running program;
//   - where this build made it, for the programs of its build tree.
#include "elevation_grid.h"
#include "hgt_tile.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

constexpr const char* kGeoTiffModuleName = "quillstone-geotiff.so";
constexpr const char* kGeoTiffModuleVariable = "QUILLSTONE_GEOTIFF_MODULE";

// The places the module is looked for, in order.
std::vector<std::filesystem::path> GeoTiffModuleCandidates();

// The grid of the GeoTIFF `file`, which should be the tile `key`. Refused
// with one line: the module missing, a file GDAL cannot read, a grid not in
// latitude and longitude or not covering the tile.
std::unique_ptr<ElevationGrid> ReadGeoTiffTile(const std::filesystem::path& file, TileKey key,
                                               std::string& error);
