#include "hgt_tile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr int kOneSecondSamples = 3601;
constexpr int kThreeSecondSamples = 1201;

std::string lowered(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool digits(std::string_view s, int& value) {
    if (s.empty() ||
        !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    return std::from_chars(s.data(), s.data() + s.size(), value).ec == std::errc();
}

// "n45e007" (lower case) as a key.
std::optional<TileKey> parseCorner(std::string_view latPart, std::string_view lonPart) {
    if (latPart.size() != 3 || lonPart.size() != 4) {
        return std::nullopt;
    }
    int lat = 0;
    int lon = 0;
    if ((latPart[0] != 'n' && latPart[0] != 's') || (lonPart[0] != 'e' && lonPart[0] != 'w') ||
        !digits(latPart.substr(1), lat) || !digits(lonPart.substr(1), lon)) {
        return std::nullopt;
    }
    lat = latPart[0] == 's' ? -lat : lat;
    lon = lonPart[0] == 'w' ? -lon : lon;
    if (lat < -90 || lat > 89 || lon < -180 || lon > 179) {
        return std::nullopt;
    }
    return TileKey{lat, lon};
}

bool endsWith(std::string_view s, std::string_view end) {
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

} // namespace

TileKey TileOf(double latDeg, double lonDeg) {
    const int lat = std::clamp(static_cast<int>(std::floor(latDeg)), -90, 89);
    const int lon = std::clamp(static_cast<int>(std::floor(lonDeg)), -180, 179);
    return {lat, lon};
}

std::string TileName(TileKey key) {
    char name[32];
    std::snprintf(name, sizeof name, "%c%02d%c%03d", key.lat < 0 ? 'S' : 'N', std::abs(key.lat),
                  key.lon < 0 ? 'W' : 'E', std::abs(key.lon));
    return name;
}

std::optional<NamedTile> TileFromFileName(std::string_view name) {
    const std::string lower = lowered(name);
    const std::string_view s = lower;
    if (s.size() == 11 && endsWith(s, ".hgt")) {
        if (const auto key = parseCorner(s.substr(0, 3), s.substr(3, 4))) {
            return NamedTile{*key, TileFormat::Hgt, 0};
        }
    }
    for (const std::string_view tif : {std::string_view(".tif"), std::string_view(".tiff")}) {
        if (s.size() == 7 + tif.size() && endsWith(s, tif)) {
            if (const auto key = parseCorner(s.substr(0, 3), s.substr(3, 4))) {
                return NamedTile{*key, TileFormat::GeoTiff, 3};
            }
        }
    }
    // Copernicus_DSM_COG_10_N45_00_E007_00_DEM.tif: 10 is 1 arc-second
    // (GLO-30), 30 is 3 arc-seconds (GLO-90).
    constexpr std::string_view kCopernicus = "copernicus_dsm_cog_";
    constexpr std::string_view kEnd = "_dem.tif";
    // "10_" "n45_00_" "e007_00" "_dem.tif"
    if (s.size() == kCopernicus.size() + 3 + 7 + 7 + kEnd.size() && s.starts_with(kCopernicus) &&
        endsWith(s, kEnd)) {
        const std::string_view mid = s.substr(kCopernicus.size());
        const bool fine = mid.starts_with("10_");
        if ((fine || mid.starts_with("30_")) && mid.substr(6, 4) == "_00_" &&
            mid.substr(14, 3) == "_00") {
            if (const auto key = parseCorner(mid.substr(3, 3), mid.substr(10, 4))) {
                return NamedTile{*key, TileFormat::GeoTiff, fine ? 1 : 2};
            }
        }
    }
    return std::nullopt;
}

HgtGrid::HgtGrid(TileKey key, int samples, const unsigned char* bytes, std::shared_ptr<void> owner)
    : m_bytes(bytes), m_owner(std::move(owner)) {
    cols = samples;
    rows = samples;
    westLonDeg = key.lon;
    northLatDeg = key.lat + 1;
    lonStepDeg = 1.0 / (samples - 1);
    latStepDeg = lonStepDeg;
}

double HgtGrid::sample(int col, int row) const {
    const unsigned char* at = m_bytes + 2 * (static_cast<std::size_t>(row) * cols + col);
    const auto value = static_cast<std::int16_t>(static_cast<std::uint16_t>(at[0] << 8 | at[1]));
    return value == kHgtVoid ? std::numeric_limits<double>::quiet_NaN() : value;
}

std::unique_ptr<HgtGrid> ReadHgtTile(std::span<const unsigned char> bytes, std::string_view name,
                                     std::shared_ptr<void> owner, std::string& error) {
    const std::optional<NamedTile> tile = TileFromFileName(name);
    if (!tile || tile->format != TileFormat::Hgt) {
        error =
            "\"" + std::string(name) + "\" is not the name of an .hgt tile (such as N45E007.hgt)";
        return nullptr;
    }
    const auto bytesOf = [](int n) { return 2 * static_cast<std::size_t>(n) * n; };
    int samples = 0;
    if (bytes.size() == bytesOf(kOneSecondSamples)) {
        samples = kOneSecondSamples;
    } else if (bytes.size() == bytesOf(kThreeSecondSamples)) {
        samples = kThreeSecondSamples;
    } else {
        error = std::string(name) + " is " + std::to_string(bytes.size()) +
                " bytes where an .hgt tile has " + std::to_string(bytesOf(kOneSecondSamples)) +
                " (1 arc-second) or " + std::to_string(bytesOf(kThreeSecondSamples)) +
                " (3 arc-seconds): it is truncated or not a tile";
        return nullptr;
    }
    error.clear();
    return std::make_unique<HgtGrid>(tile->key, samples, bytes.data(), std::move(owner));
}
