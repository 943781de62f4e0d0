#pragma once
// The ground along a terrestrial path, from site A to site B.
#include <string>
#include <vector>

struct TerrainProfile {
    std::vector<double> distanceKm; // from A, increasing, the first >= 0
    std::vector<double> heightM;    // ground above mean sea level
    std::vector<std::string> zone;  // empty, or one per point (a zone or clutter name)
};
