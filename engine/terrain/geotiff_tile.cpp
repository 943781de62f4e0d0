#include "geotiff_tile.h"

#include "geotiff_module.h"

#include <dlfcn.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <mutex>

namespace {

struct Module {
    QsGeoTiffOpenFn open = nullptr;
    QsGeoTiffFreeFn release = nullptr;
    std::string error; // why it is not there
};

std::filesystem::path runningProgramFolder() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : exe.parent_path();
}

const Module& module() {
    static Module loaded;
    static std::once_flag once;
    std::call_once(once, [] {
        std::string tried;
        for (const std::filesystem::path& candidate : GeoTiffModuleCandidates()) {
            std::error_code ec;
            if (!std::filesystem::is_regular_file(candidate, ec)) {
                tried += (tried.empty() ? "" : ", ") + candidate.string();
                continue;
            }
            void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (handle == nullptr) {
                const char* why = ::dlerror();
                loaded.error = "GeoTIFF tiles need " + candidate.string() +
                               ", which cannot be loaded: " + (why != nullptr ? why : "");
                return;
            }
            const auto abi = reinterpret_cast<QsGeoTiffAbiFn>(::dlsym(handle, "qs_geotiff_abi"));
            loaded.open = reinterpret_cast<QsGeoTiffOpenFn>(::dlsym(handle, "qs_geotiff_open"));
            loaded.release = reinterpret_cast<QsGeoTiffFreeFn>(::dlsym(handle, "qs_geotiff_free"));
            if (abi == nullptr || abi() != QS_GEOTIFF_ABI || loaded.open == nullptr ||
                loaded.release == nullptr) {
                loaded.open = nullptr;
                loaded.error = "GeoTIFF tiles need " + candidate.string() +
                               ", which is of another version of Quillstone";
            }
            return; // the handle stays open for the process's life
        }
        loaded.error = std::string("GeoTIFF tiles need the module ") + kGeoTiffModuleName +
                       " (GDAL), which is not installed (looked for " + tried + ")";
    });
    return loaded;
}

class GeoTiffGrid final : public ElevationGrid {
  public:
    GeoTiffGrid(const QsGeoTiffGrid& grid, QsGeoTiffFreeFn release)
        : m_grid(grid), m_release(release) {}
    ~GeoTiffGrid() override { m_release(&m_grid); }
    GeoTiffGrid(const GeoTiffGrid&) = delete;
    GeoTiffGrid& operator=(const GeoTiffGrid&) = delete;

    double sample(int col, int row) const override {
        const float value = m_grid.heights[static_cast<std::size_t>(row) * cols + col];
        if (std::isnan(value) || (m_grid.hasNoData && value == static_cast<float>(m_grid.noData))) {
            return std::numeric_limits<double>::quiet_NaN();
        }
        return value;
    }

  private:
    QsGeoTiffGrid m_grid;
    QsGeoTiffFreeFn m_release;
};

} // namespace

std::vector<std::filesystem::path> GeoTiffModuleCandidates() {
    const char* chosen = std::getenv(kGeoTiffModuleVariable);
    if (chosen != nullptr && *chosen != '\0') {
        return {chosen};
    }
    std::vector<std::filesystem::path> candidates;
    const std::filesystem::path folder = runningProgramFolder();
    if (!folder.empty()) {
        candidates.push_back(folder.parent_path() / "lib" / "quillstone" / kGeoTiffModuleName);
        candidates.push_back(folder / kGeoTiffModuleName);
    }
#if defined(QUILLSTONE_GEOTIFF_BUILD_PATH) && defined(QUILLSTONE_BUILD_DIR)
    // Only for a program of this build tree: an installed one never reaches
    // into the tree it was built in.
    const std::string build = QUILLSTONE_BUILD_DIR "/";
    if (folder.string().rfind(build, 0) == 0) {
        candidates.emplace_back(QUILLSTONE_GEOTIFF_BUILD_PATH);
    }
#endif
    return candidates;
}

std::unique_ptr<ElevationGrid> ReadGeoTiffTile(const std::filesystem::path& file, TileKey key,
                                               std::string& error) {
    const Module& m = module();
    if (m.open == nullptr) {
        error = m.error;
        return nullptr;
    }
    QsGeoTiffGrid raw{};
    if (m.open(file.c_str(), &raw) == 0) {
        error = raw.error;
        m.release(&raw);
        return nullptr;
    }
    auto grid = std::make_unique<GeoTiffGrid>(raw, m.release);
    const double* t = raw.geoTransform;
    if (!raw.isGeographic || t[2] != 0.0 || t[4] != 0.0 || !(t[1] > 0.0) || !(t[5] < 0.0)) {
        error = file.string() + " is not a grid in latitude and longitude, north up";
        return nullptr;
    }
    grid->cols = raw.width;
    grid->rows = raw.height;
    grid->lonStepDeg = t[1];
    grid->latStepDeg = -t[5];
    // The transform gives the pixels' corners; the samples are at their centres.
    grid->westLonDeg = t[0] + 0.5 * t[1];
    grid->northLatDeg = t[3] + 0.5 * t[5];
    // The tile's square must lie within the grid, give or take a sample.
    const double east = t[0] + raw.width * t[1];
    const double south = t[3] + raw.height * t[5];
    const double slack = 1.5 * std::max(t[1], -t[5]);
    if (t[0] > key.lon + slack || east < key.lon + 1 - slack || t[3] < key.lat + 1 - slack ||
        south > key.lat + slack) {
        error = file.string() + " does not cover the tile " + TileName(key) + " its name gives";
        return nullptr;
    }
    error.clear();
    return grid;
}
