#pragma once
// Elevation tiles written by the tests: an .hgt tile of 1201 x 1201 (3")
// or 3601 x 3601 (1") samples whose heights are a function of the samples'
// places, rounded to whole metres.
#include "hgt_tile.h"
#include "test_base.h"

#include <cmath>
#include <string>

namespace terrain_test {

constexpr int kThreeSeconds = 1201;
constexpr int kOneSecond = 3601;

// The tile's bytes: big-endian 16-bit heights, rows from north to south;
// `height(latDeg, lonDeg)` gives each sample (a NaN is a void).
template <typename Height> std::string HgtBytes(TileKey key, int samples, Height height) {
    std::string bytes(2 * static_cast<std::size_t>(samples) * samples, '\0');
    for (int row = 0; row < samples; ++row) {
        const double lat = key.lat + 1.0 - static_cast<double>(row) / (samples - 1);
        for (int col = 0; col < samples; ++col) {
            const double lon = key.lon + static_cast<double>(col) / (samples - 1);
            const double h = height(lat, lon);
            const auto value = std::isnan(h) ? kHgtVoid : static_cast<std::int16_t>(std::lround(h));
            const auto bits = static_cast<std::uint16_t>(value);
            const std::size_t at = 2 * (static_cast<std::size_t>(row) * samples + col);
            bytes[at] = static_cast<char>(bits >> 8);
            bytes[at + 1] = static_cast<char>(bits & 0xFF);
        }
    }
    return bytes;
}

// Writes the tile as `name` (TileName(key) + ".hgt" unless given) in `dir`.
template <typename Height>
std::string WriteHgt(const testing_support::TempDir& dir, TileKey key, int samples, Height height,
                     std::string name = {}) {
    return dir.write(name.empty() ? TileName(key) + ".hgt" : name, HgtBytes(key, samples, height));
}

} // namespace terrain_test
