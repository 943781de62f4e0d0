#include "profile_table.h"

#include "units.h"

std::string ProfileTableCsv(const SheetTerrain& terrain) {
    const ProfileClearance& median = terrain.heights.median;
    const ProfileClearance& minimum = terrain.heights.minimum;
    std::string out = "distance_km,ground_m,bulge_m,ray_m,fresnel_m,clearance_m,clearance_f1,"
                      "min_k_bulge_m,min_k_clearance_m,min_k_clearance_f1\n";
    const auto add = [&out](double value, char after) {
        out += ShortestText(value);
        out += after;
    };
    for (std::size_t i = 0; i < median.points.size(); ++i) {
        const ClearancePoint& p = median.points[i];
        const ClearancePoint& q = minimum.points[i];
        add(p.distanceKm, ',');
        add(p.groundM, ',');
        add(p.bulgeM, ',');
        add(p.rayM, ',');
        add(p.fresnelM, ',');
        add(p.clearanceM, ',');
        add(p.clearanceF1, ',');
        add(q.bulgeM, ',');
        add(q.clearanceM, ',');
        add(q.clearanceF1, '\n');
    }
    return out;
}
