#pragma once
// One elevation tile's samples: a regular grid in latitude and longitude,
// rows from north to south, and the height at a place between its samples.
#include <optional>

class ElevationGrid {
  public:
    virtual ~ElevationGrid() = default;

    // The height (m) of one sample; NaN where the tile has a void.
    virtual double sample(int col, int row) const = 0;

    int cols = 0;
    int rows = 0;
    double westLonDeg = 0.0;  // the first column's samples
    double northLatDeg = 0.0; // the first row's samples
    double lonStepDeg = 0.0;  // > 0, eastward
    double latStepDeg = 0.0;  // > 0, southward
};

// The height (m) at a place on or beside the grid, bilinear between the four
// samples around it; a place beyond the outer samples takes the edge's. A
// void corner is left out and the other corners' weights scaled up to one;
// none when all four are voids.
std::optional<double> InterpolateGrid(const ElevationGrid& grid, double latDeg, double lonDeg);
