// The GeoTIFF module (see geotiff_module.h): GDAL's C API, nothing else.
#include "geotiff_module.h"

#include <cpl_error.h>
#include <gdal.h>
#include <ogr_srs_api.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

// The module is built with hidden symbols but these three.
#define QS_EXPORT __attribute__((visibility("default")))

namespace {

// A tile larger than this many samples is refused (400 MB of floats).
constexpr long long kMostSamples = 100LL * 1000 * 1000;

int fail(QsGeoTiffGrid* grid, const char* path, const char* what) {
    std::snprintf(grid->error, sizeof grid->error, "%s: %s", path, what);
    // One line: GDAL's messages may hold line ends.
    for (char* c = grid->error; *c != '\0'; ++c) {
        if (*c == '\n' || *c == '\r') {
            *c = ' ';
        }
    }
    return 0;
}

} // namespace

extern "C" QS_EXPORT int qs_geotiff_abi(void) {
    return QS_GEOTIFF_ABI;
}

extern "C" QS_EXPORT int qs_geotiff_open(const char* path, QsGeoTiffGrid* grid) {
    std::memset(grid, 0, sizeof *grid);
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
    struct Popper {
        ~Popper() { CPLPopErrorHandler(); }
    } popper;

    const char* const drivers[] = {"GTiff", nullptr};
    GDALDatasetH dataset =
        GDALOpenEx(path, GDAL_OF_RASTER | GDAL_OF_READONLY, drivers, nullptr, nullptr);
    if (dataset == nullptr) {
        const char* why = CPLGetLastErrorMsg();
        return fail(grid, path, why != nullptr && *why != '\0' ? why : "not a GeoTIFF file");
    }
    struct Closer {
        GDALDatasetH dataset;
        ~Closer() { GDALClose(dataset); }
    } closer{dataset};

    grid->width = GDALGetRasterXSize(dataset);
    grid->height = GDALGetRasterYSize(dataset);
    if (GDALGetRasterCount(dataset) < 1 || grid->width < 2 || grid->height < 2) {
        return fail(grid, path, "holds no grid of heights");
    }
    if (static_cast<long long>(grid->width) * grid->height > kMostSamples) {
        return fail(grid, path, "is larger than any elevation tile (over 100 million samples)");
    }
    if (GDALGetGeoTransform(dataset, grid->geoTransform) != CE_None) {
        return fail(grid, path, "has no georeferencing");
    }
    OGRSpatialReferenceH srs = GDALGetSpatialRef(dataset);
    grid->isGeographic = srs != nullptr && OSRIsGeographic(srs) ? 1 : 0;

    GDALRasterBandH band = GDALGetRasterBand(dataset, 1);
    int hasNoData = 0;
    grid->noData = GDALGetRasterNoDataValue(band, &hasNoData);
    grid->hasNoData = hasNoData;

    const std::size_t count = static_cast<std::size_t>(grid->width) * grid->height;
    grid->heights = static_cast<float*>(std::malloc(count * sizeof(float)));
    if (grid->heights == nullptr) {
        return fail(grid, path, "is too large for the memory left");
    }
    if (GDALRasterIO(band, GF_Read, 0, 0, grid->width, grid->height, grid->heights, grid->width,
                     grid->height, GDT_Float32, 0, 0) != CE_None) {
        std::free(grid->heights);
        grid->heights = nullptr;
        const char* why = CPLGetLastErrorMsg();
        return fail(grid, path, why != nullptr && *why != '\0' ? why : "cannot be read");
    }
    return 1;
}

extern "C" QS_EXPORT void qs_geotiff_free(QsGeoTiffGrid* grid) {
    if (grid != nullptr) {
        std::free(grid->heights);
        grid->heights = nullptr;
    }
}
