#pragma once
/* The interface of the GeoTIFF module, quillstone-geotiff.so: the one part of
 * Quillstone that links GDAL, loaded with dlopen only when a GeoTIFF tile is
 * needed (GDAL costs a program about 32 ms at every start). Plain C, so that
 * the module and the programs share no C++ library state.
 *
 * qs_geotiff_open reads the first band of a raster into a grid of floats,
 * rows from the top (north) down; it returns 1, or 0 with a one-line message
 * in `error`. qs_geotiff_free releases what an open gave (also after a
 * failed open). */
#ifdef __cplusplus
extern "C" {
#endif

#define QS_GEOTIFF_ABI 1

struct QsGeoTiffGrid {
    int width;
    int height;
    /* GDAL's affine transform: x = t[0] + col * t[1] + row * t[2],
     * y = t[3] + col * t[4] + row * t[5], at the pixels' corners. */
    double geoTransform[6];
    int isGeographic; /* 1: the coordinates are longitude and latitude */
    int hasNoData;
    double noData;
    float* heights; /* width * height, malloc'ed by the module */
    char error[512];
};

typedef int (*QsGeoTiffAbiFn)(void);
typedef int (*QsGeoTiffOpenFn)(const char* path, struct QsGeoTiffGrid* grid);
typedef void (*QsGeoTiffFreeFn)(struct QsGeoTiffGrid* grid);

int qs_geotiff_abi(void);
int qs_geotiff_open(const char* path, struct QsGeoTiffGrid* grid);
void qs_geotiff_free(struct QsGeoTiffGrid* grid);

#ifdef __cplusplus
}
#endif
