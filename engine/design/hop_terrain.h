#pragma once
// The terrain of a terrestrial hop: its two sites and the geodesic between
// them (geodesic_path.h), and its profile, from a CSV file (Profile) or from
// the elevation tiles between the sites (Terrain, else the user's folder of
// tiles where there is one: elevation_tiles.h). A profile is read once per
// source and kept while its file is unchanged: a sweep or the design window
// evaluates a design many times. No Qt.
#include "design.h"
#include "geodesic_path.h"
#include "terrain_profile.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

struct HopSites {
    GeoPoint tx;
    GeoPoint rx;
    GeodesicPath path;
};

// True when the design gives both ends' places.
bool HasHopSites(const DesignPoint& point);
std::optional<HopSites> HopSitesOf(const DesignPoint& point, std::string& error);

// The folder of tiles the design reads: Terrain's, else the user's folder
// where it is one; empty without sites or without a folder.
std::filesystem::path HopTerrainFolder(const DesignPoint& point);

// True when the design has a profile to read: a file, or sites and tiles.
bool HasHopProfile(const DesignPoint& point);

struct HopProfile {
    std::shared_ptr<const TerrainProfile> profile; // as read: the ends' heights the ground's
    std::string source;                            // "profile.csv", "SRTM tiles in /data"
};

// The design's profile; refused with one line (the file's or the tiles'
// message, or a profile whose length is not the sites' distance).
std::optional<HopProfile> LoadHopProfile(const DesignPoint& point, std::string& error);

// The ground under each end: typed (TxGround, RxGround), else the profile's.
double HopGroundM(const DesignPoint& point, const TerrainProfile& profile, bool txEnd);
