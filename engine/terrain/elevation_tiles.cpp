#include "elevation_tiles.h"

#include "elevation_grid.h"
#include "geotiff_tile.h"
#include "hgt_tile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <numbers>
#include <utility>

namespace {

// The mean earth radius (m) of IUGG, for a tile's spacing on the ground.
constexpr double kEarthRadiusM = 6371008.8;
constexpr double kRadPerDeg = std::numbers::pi / 180.0;
constexpr int kFolderDepth = 2;

std::string fixed(double value, int decimals) {
    std::array<char, 64> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value,
                                      std::chars_format::fixed, decimals);
    return std::string(text.data(), result.ptr);
}

std::string placeText(GeoPoint p) {
    return fixed(std::fabs(p.latDeg), 5) + (p.latDeg < 0.0 ? "S " : "N ") +
           fixed(std::fabs(p.lonDeg), 5) + (p.lonDeg < 0.0 ? "W" : "E");
}

int keyCode(TileKey key) {
    return (key.lat + 90) * 360 + (key.lon + 180);
}

// The whole file mapped read-only; empty with `error` set when it cannot be.
std::shared_ptr<void> mapFile(const std::filesystem::path& file, std::size_t& size,
                              std::string& error) {
    error.clear();
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot read " + file.string() + ": " + std::strerror(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "cannot read " + file.string() + ": not a regular file";
        ::close(fd);
        return nullptr;
    }
    size = static_cast<std::size_t>(st.st_size);
    if (size == 0) {
        ::close(fd);
        return std::shared_ptr<void>(static_cast<void*>(nullptr), [](void*) {});
    }
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (data == MAP_FAILED) {
        error = "cannot map " + file.string() + ": " + std::strerror(errno);
        return nullptr;
    }
    return std::shared_ptr<void>(data, [size](void* p) { ::munmap(p, size); });
}

std::unique_ptr<ElevationGrid> openHgt(const std::filesystem::path& file, std::string& error) {
    std::size_t size = 0;
    std::shared_ptr<void> mapping = mapFile(file, size, error);
    if (!mapping && !error.empty()) {
        return nullptr;
    }
    const auto* bytes = static_cast<const unsigned char*>(mapping.get());
    std::unique_ptr<HgtGrid> grid =
        ReadHgtTile({bytes, size}, file.filename().string(), mapping, error);
    if (!grid) {
        error = file.parent_path().string() + "/" + error;
    }
    return grid;
}

} // namespace

struct ElevationTiles::Index {
    struct Tile {
        std::unique_ptr<ElevationGrid> grid;
        std::string error; // when it could not be opened
    };
    bool listed = false;
    std::map<int, std::vector<std::pair<int, std::filesystem::path>>> files; // by preference
    std::map<int, Tile> open;
    int lastCode = -1;
    const ElevationGrid* last = nullptr;

    // The tile of `key`, opened on its first use.
    const ElevationGrid* tile(const std::filesystem::path& folder, TileKey key, std::string& error);

    void list(const std::filesystem::path& folder) {
        listed = true;
        std::error_code ec;
        auto it = std::filesystem::recursive_directory_iterator(
            folder, std::filesystem::directory_options::skip_permission_denied, ec);
        for (; !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (it.depth() >= kFolderDepth) {
                it.disable_recursion_pending();
            }
            std::error_code typeError;
            if (!it->is_regular_file(typeError)) {
                continue;
            }
            if (const auto named = TileFromFileName(it->path().filename().string())) {
                files[keyCode(named->key)].emplace_back(named->preference, it->path());
            }
        }
        for (auto& [code, candidates] : files) {
            std::sort(candidates.begin(), candidates.end());
        }
    }
};

ElevationTiles::ElevationTiles(std::filesystem::path folder)
    : m_folder(std::move(folder)), m_index(std::make_unique<Index>()) {}

ElevationTiles::~ElevationTiles() = default;

std::optional<double> ElevationTiles::heightAt(GeoPoint p, std::string& error) {
    if (!std::isfinite(p.latDeg) || !std::isfinite(p.lonDeg) || std::fabs(p.latDeg) > 90.0) {
        error = "the place is not on the globe (a latitude within -90 to 90, finite numbers)";
        return std::nullopt;
    }
    p.lonDeg = WrappedLongitudeDeg(p.lonDeg);
    const TileKey key = TileOf(p.latDeg, p.lonDeg);
    const int code = keyCode(key);
    const ElevationGrid* grid = code == m_index->lastCode ? m_index->last : nullptr;
    if (grid == nullptr) {
        grid = m_index->tile(m_folder, key, error);
        if (grid == nullptr) {
            return std::nullopt;
        }
        m_index->lastCode = code;
        m_index->last = grid;
    }
    const std::optional<double> height = InterpolateGrid(*grid, p.latDeg, p.lonDeg);
    if (!height) {
        error = "the elevation tile " + TileName(key) + " has no height at " + placeText(p) +
                " (a void)";
        return std::nullopt;
    }
    error.clear();
    return height;
}

double ElevationTiles::spacingDeg(GeoPoint p, std::string& error) {
    if (!std::isfinite(p.latDeg) || !std::isfinite(p.lonDeg) || std::fabs(p.latDeg) > 90.0) {
        error = "the place is not on the globe (a latitude within -90 to 90, finite numbers)";
        return 0.0;
    }
    p.lonDeg = WrappedLongitudeDeg(p.lonDeg);
    const ElevationGrid* grid = m_index->tile(m_folder, TileOf(p.latDeg, p.lonDeg), error);
    if (grid == nullptr) {
        return 0.0;
    }
    error.clear();
    return grid->latStepDeg;
}

const ElevationGrid* ElevationTiles::Index::tile(const std::filesystem::path& folder, TileKey key,
                                                 std::string& error) {
    Index& index = *this;
    const int code = keyCode(key);
    if (const auto open = index.open.find(code); open != index.open.end()) {
        error = open->second.error;
        return open->second.grid.get();
    }
    if (!index.listed) {
        index.list(folder);
    }
    const auto found = index.files.find(code);
    if (found == index.files.end()) {
        // Not kept as a failure: the tile may be added while the program runs.
        error = "no elevation tile " + TileName(key) + ".hgt (or a GeoTIFF of " + TileName(key) +
                ") in " + folder.string();
        index.listed = false;
        index.files.clear();
        return nullptr;
    }
    ElevationTiles::Index::Tile tile;
    const std::filesystem::path& file = found->second.front().second;
    const std::optional<NamedTile> named = TileFromFileName(file.filename().string());
    if (named && named->format == TileFormat::Hgt) {
        tile.grid = openHgt(file, tile.error);
    } else {
        tile.grid = ReadGeoTiffTile(file, key, tile.error);
    }
    error = tile.error;
    return index.open.emplace(code, std::move(tile)).first->second.grid.get();
}

std::optional<TerrainProfile> ProfileFromTiles(ElevationTiles& tiles, GeoPoint a, GeoPoint b,
                                               std::string& error) {
    const std::optional<GeodesicPath> path = PathBetween(a, b, error);
    if (!path) {
        return std::nullopt;
    }
    const double spacingA = tiles.spacingDeg(a, error);
    if (spacingA <= 0.0) {
        return std::nullopt;
    }
    const double spacingB = tiles.spacingDeg(b, error);
    if (spacingB <= 0.0) {
        return std::nullopt;
    }
    const double stepKm = std::min(spacingA, spacingB) * kRadPerDeg * kEarthRadiusM / 1000.0;
    const double steps = std::ceil(path->distanceKm / stepKm);
    const std::size_t count = static_cast<std::size_t>(
        std::clamp(steps + 1.0, 4.0, static_cast<double>(kMostTileProfilePoints)));
    const std::vector<GeoPoint> points = PointsAlong(a, b, count);
    TerrainProfile profile;
    profile.distanceKm.reserve(count);
    profile.heightM.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::optional<double> height = tiles.heightAt(points[i], error);
        if (!height) {
            return std::nullopt;
        }
        profile.distanceKm.push_back(path->distanceKm * static_cast<double>(i) /
                                     static_cast<double>(count - 1));
        profile.heightM.push_back(*height);
    }
    error.clear();
    return profile;
}

std::filesystem::path DefaultTerrainFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && *data == '/') {
        return std::filesystem::path(data) / "quillstone" / "terrain";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home == '/') {
        return std::filesystem::path(home) / ".local" / "share" / "quillstone" / "terrain";
    }
    return {};
}
