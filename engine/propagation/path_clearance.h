#pragma once
// Line-of-sight clearance of a path over a smooth earth. No Qt.
//
// The refraction of the standard atmosphere is taken as an effective earth
// radius k * a with k = 4/3 and a = 6371 km (the standard effective earth
// radius factor of ITU-R P.310, used by ITU-R P.530-17 for path planning).
//   radio horizon      d = sqrt(2 k a h1) + sqrt(2 k a h2)
//   first Fresnel zone F1 = sqrt(lambda d1 d2 / d) = 17.32 sqrt(d1 d2 / (f d)) m
//                      (d in km, f in GHz; lambda = 0.3 / f m)
//   earth bulge        b = d1 d2 / (12.74 k) m, the height of the earth's
//                      surface at d1, d2 above the chord between the ends
//                      (12.74 = 2 a in thousands of km)
// The planning criteria for path clearance of ITU-R P.530-17 (section 2.2)
// ask for at least 0.6 F1 over the obstacles of the path.

constexpr double kEarthRadiusKm = 6371.0;
constexpr double kStandardEarthFactor = 4.0 / 3.0;
constexpr double kRequiredFresnelFraction = 0.6;

// The distance (km) at which two antennas h1 and h2 metres high see each
// other's horizon.
double RadioHorizonKm(double h1M, double h2M, double earthFactor = kStandardEarthFactor);

// The first Fresnel zone radius (m) d1 and d2 km from the ends.
double FresnelRadiusM(double d1Km, double d2Km, double freqGHz);

// The earth bulge (m) d1 and d2 km from the ends.
double EarthBulgeM(double d1Km, double d2Km, double earthFactor = kStandardEarthFactor);

struct PathClearance {
    double horizonKm;
    double fresnelM;          // F1 at mid-path
    double bulgeM;            // at mid-path
    double clearanceM;        // straight line between the antennas above the earth, mid-path
    double clearanceFraction; // clearanceM / fresnelM
    bool beyondHorizon;
    bool underRequired; // clearance under 0.6 F1
};

// A path of d km at f GHz between antennas h1 and h2 metres above a smooth
// earth of effective radius factor k, at mid-path.
PathClearance MidPathClearance(double distanceKm, double freqGHz, double h1M, double h2M,
                               double earthFactor = kStandardEarthFactor);
