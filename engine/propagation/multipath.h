#pragma once
// Multipath fading on a terrestrial line-of-sight hop, and the hop's
// unavailability from multipath and rain together. No Qt, and nothing of the
// rest of the program.
//
// ITU-R P.530-17 (12/2017):
//   2.3.1  the detailed method for small percentages of time: the
//          geoclimatic factor K from the refractivity gradient dN1 (N-units/km,
//          not exceeded for 1 % of an average year) and the terrain roughness
//          s_a (m); the path inclination |eps_p| (mrad) from the antenna
//          altitudes h_e, h_r (m above sea level) over d km; and the
//          percentage p_w of the average worst month in which a fade depth A
//          is exceeded, with f in GHz and h_L the lower antenna's altitude:
//            K = 10^(-4.4 - 0.0027 dN1) (10 + s_a)^-0.46                  step 1
//            |eps_p| = |h_r - h_e| / d                                     step 2
//            p_w = K d^3.4 (1 + |eps_p|)^-1.03 f^0.8 10^(-0.00076 h_L - A/10)  step 3
//   2.3.2  all percentages of time: the multipath occurrence factor p0 (the
//          law of 2.3.1 at A = 0), that law from A_t = 25 + 1.2 log p0 up,
//          and the interpolated shallow-fading law below A_t;
//   2.3.5  the average worst month to the average year:
//            dG = 10.5 - 5.6 log(1.1 +- |cos 2 xi|^0.7) - 2.7 log d
//                 + 1.7 log(1 + |eps_p|), at most 10.8 dB; p = 10^(-dG/10) p_w
//          (+ up to 45 degrees of latitude xi, - beyond).
// The unavailability of the hop adds the yearly percentages of multipath and
// of rain: the two do not fade the hop at the same time.
#include <optional>
#include <span>
#include <string>

constexpr double kMinutesPerYear = 365.25 * 24.0 * 60.0; // the average year
constexpr double kRoughnessWindowKm = 110.0;             // the side of the area of section 2.3.1

struct MultipathHop {
    double distanceKm;  // d
    double freqGHz;     // f
    double txAltitudeM; // h_e, antenna above mean sea level
    double rxAltitudeM; // h_r, antenna above mean sea level
    double dN1;         // N-units/km, not exceeded for 1 % of an average year
    double roughnessM;  // s_a
};

struct MultipathFading {
    double geoclimatic;       // K
    double inclinationMrad;   // |eps_p|
    double occurrencePercent; // p0, % of the average worst month
    double transitionDb;      // A_t
    bool deepFading;          // A >= A_t: the law of section 2.3.1
    double worstMonthPercent; // p_w, % of the average worst month that A is exceeded
};

struct YearFading {
    double conversionDb; // dG
    double yearPercent;  // p, % of the average year
};

struct HopUnavailability {
    double multipathPercent; // % of the year
    double rainPercent;      // % of the year
    double totalPercent;     // % of the year, at most 100
    double availablePercent; // 100 - totalPercent
    double multipathMinutes; // per year
    double rainMinutes;      // per year
    double totalMinutes;     // per year
};

double GeoclimaticFactor(double dN1, double roughnessM);
double PathInclinationMrad(double txAltitudeM, double rxAltitudeM, double distanceKm);

// The percentage of the average worst month in which fadeDepthDb (0 or more)
// is exceeded. std::nullopt and a one-line reason for a hop it cannot take.
std::optional<MultipathFading> MultipathWorstMonth(const MultipathHop& hop, double fadeDepthDb,
                                                   std::string& error);

// s_a from a profile instead of the terrain map: the standard deviation (m)
// of the heights of the points within kRoughnessWindowKm / 2 of the middle of
// the path (the whole of a shorter path).
std::optional<double> TerrainRoughnessM(std::span<const double> distanceKm,
                                        std::span<const double> heightM, std::string& error);

// Section 2.3.5: p_w (0 to 100 %) at a latitude of -90 to 90 degrees on a
// path of d km (above 0) and |eps_p| mrad (0 or more) as a yearly percentage.
std::optional<YearFading> WorstMonthToYear(double worstMonthPercent, double latitudeDeg,
                                           double distanceKm, double inclinationMrad,
                                           std::string& error);

// The hop's unavailability from the yearly percentages (0 to 100) of
// multipath and of rain, each kept beside the total.
std::optional<HopUnavailability> CombineUnavailability(double multipathYearPercent,
                                                       double rainYearPercent, std::string& error);
