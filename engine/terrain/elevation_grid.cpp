#include "elevation_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

std::optional<double> InterpolateGrid(const ElevationGrid& grid, double latDeg, double lonDeg) {
    if (grid.cols < 2 || grid.rows < 2) {
        return std::nullopt;
    }
    const double maxX = grid.cols - 1;
    const double maxY = grid.rows - 1;
    const double x = std::clamp((lonDeg - grid.westLonDeg) / grid.lonStepDeg, 0.0, maxX);
    const double y = std::clamp((grid.northLatDeg - latDeg) / grid.latStepDeg, 0.0, maxY);
    if (!std::isfinite(x) || !std::isfinite(y)) {
        return std::nullopt;
    }
    const int col = std::min(static_cast<int>(x), grid.cols - 2);
    const int row = std::min(static_cast<int>(y), grid.rows - 2);
    const double fx = x - col;
    const double fy = y - row;
    const double corners[4] = {grid.sample(col, row), grid.sample(col + 1, row),
                               grid.sample(col, row + 1), grid.sample(col + 1, row + 1)};
    const double weights[4] = {(1.0 - fx) * (1.0 - fy), fx * (1.0 - fy), (1.0 - fx) * fy, fx * fy};
    double sum = 0.0;
    double weight = 0.0;
    bool any = false;
    for (int i = 0; i < 4; ++i) {
        if (!std::isnan(corners[i])) {
            sum += weights[i] * corners[i];
            weight += weights[i];
            any = true;
        }
    }
    if (!any) {
        return std::nullopt;
    }
    if (weight <= 0.0) {
        // The place sits on the valid corners' opposite edge or corner, where
        // their weights vanish: take the nearest valid corner.
        double best = 0.0;
        double nearest = std::numeric_limits<double>::infinity();
        const double dx[4] = {fx, 1.0 - fx, fx, 1.0 - fx};
        const double dy[4] = {fy, fy, 1.0 - fy, 1.0 - fy};
        for (int i = 0; i < 4; ++i) {
            if (!std::isnan(corners[i]) && dx[i] + dy[i] < nearest) {
                nearest = dx[i] + dy[i];
                best = corners[i];
            }
        }
        return best;
    }
    return sum / weight;
}
