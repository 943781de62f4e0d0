#pragma once
// Line-of-sight clearance over a terrain profile, point by point, and the
// antenna heights a hop needs. No Qt, and nothing of the rest of the program.
//
// The profile's heights are raised by the earth bulge of an effective earth
// radius k a (path_clearance.h): the straight line between the antennas is
// then the ray. At each point d1 km from the transmitter and d2 from the
// receiver:
//   ray height   h_ray = h_tx + (h_rx - h_tx) d1 / d      (antennas above sea level)
//   clearance    c = h_ray - (h_ground + b(d1, d2, k))
//   in F1        c / F1,   F1 = 17.32 sqrt(d1 d2 / (f d)) m
// ITU-R P.530-17 section 2.2.2.1, planning criteria for antenna heights on a
// hop without diversity: the larger of the heights that give
//   step 1: 1.0 F1 over the highest obstacle at the median k (4/3 in the
//           absence of data), and
//   step 3: at the k exceeded for 99.9 % of the worst month (k_e, from the
//           path length by its Fig. 3, typed): 0.0 F1 (grazing) over a single
//           isolated obstruction, 0.3 F1 over an obstruction extended along
//           part of the path (temperate climates), 0.6 F1 on tropical paths
//           longer than about 30 km.
// Clearance is linear in either antenna's height, so the least height at one
// end that meets both steps is found in closed form.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The Fresnel fraction of step 3 for its three kinds of path.
enum class ObstructionKind { Isolated, Extended, Tropical };
double MinimumKFresnelFraction(ObstructionKind kind);
constexpr double kMedianKFresnelFraction = 1.0;

struct ClearanceHop {
    std::span<const double> distanceKm; // increasing; the transmitter at the first
    std::span<const double> groundM;    // terrain above mean sea level
    double txAntennaM;                  // above the ground at the first point
    double rxAntennaM;                  // above the ground at the last point
    double freqGHz;
};

struct ClearancePoint {
    double distanceKm;
    double groundM;     // terrain above mean sea level
    double bulgeM;      // the earth bulge at this point for the hop's k
    double rayM;        // the straight ray between the antennas, above mean sea level
    double fresnelM;    // F1
    double clearanceM;  // rayM - (groundM + bulgeM)
    double clearanceF1; // clearanceM / F1; 0 at the ends
};

struct ProfileClearance {
    double earthFactor;
    std::vector<ClearancePoint> points;
    std::size_t critical; // the inner point of least clearance in F1 (0 without inner points)
    double txAltitudeM;   // the antennas above mean sea level
    double rxAltitudeM;
};

// The clearance at every point for an effective earth radius factor k;
// std::nullopt and a one-line reason for a hop it cannot take (fewer than 3
// points, distances not increasing, values not finite, a negative antenna
// height, a frequency or k not above 0).
std::optional<ProfileClearance> ClearanceAlong(const ClearanceHop& hop, double earthFactor,
                                               std::string& error);

// The antenna-height criteria of section 2.2.2.1 for a hop.
struct HeightCriteria {
    double medianK = 4.0 / 3.0;
    double minimumK = 2.0 / 3.0;
    ObstructionKind obstruction = ObstructionKind::Extended;
};

struct HeightCheck {
    ProfileClearance median;  // at the median k
    ProfileClearance minimum; // at the minimum k
    bool medianMet;           // 1.0 F1 at every inner point at the median k
    bool minimumMet;          // the fraction of step 3 at the minimum k
    bool met() const { return medianMet && minimumMet; }
};

std::optional<HeightCheck> CheckAntennaHeights(const ClearanceHop& hop,
                                               const HeightCriteria& criteria, std::string& error);

// Which antenna to raise, and the least height above its ground (m, 0 or
// more) that meets both steps with the other antenna as it is.
enum class HopEnd { Tx, Rx };
std::optional<double> LeastAntennaHeightM(const ClearanceHop& hop, const HeightCriteria& criteria,
                                          HopEnd end, std::string& error);
