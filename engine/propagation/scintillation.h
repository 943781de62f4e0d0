#pragma once
// Tropospheric scintillation on an Earth-space path. No Qt.
//
// ITU-R P.453-14 (08/2019), the wet term of the radio refractivity:
//   N_wet = 72 e / T + 3.75e5 e / T^2, e = rho T / 216.7 hPa.
// ITU-R P.618-13 (12/2017), section 2.4.1, the fade depth exceeded for p %
// of the time, elevations of 5 degrees and more, in eight steps:
//   1-2  sigma_ref = 3.6e-3 + 1e-4 N_wet dB;
//   3    the effective path length L = 2 h_L / (sqrt(sin^2 theta + 2.35e-4)
//        + sin theta), h_L = 1000 m;
//   4    the effective antenna diameter D_eff = sqrt(eta) D m;
//   5    the antenna averaging factor g(x) = sqrt(3.86 (x^2 + 1)^(11/12)
//        sin(11/6 arctan(1/x)) - 7.08 x^(5/6)), x = 1.22 D_eff^2 f / L; a
//        negative argument (x >= 7.0) predicts no fade at all;
//   6    sigma = sigma_ref f^(7/12) g(x) / (sin theta)^1.2;
//   7    a(p) = -0.061 log^3 p + 0.072 log^2 p - 1.71 log p + 3.0, given for
//        0.01 < p <= 50; the total of section 2.5 carries it down to 0.001 %
//        as the recommendation's own validation examples do;
//   8    A_S(p) = a(p) sigma.

constexpr double kScintillationLowestPercent = 0.01;
constexpr double kScintillationHighestPercent = 50.0;
constexpr double kDefaultScintillationEfficiency = 0.5; // step 4, when eta is not known

// N_wet (N-units) from T (K) and rho (g/m3).
double WetRefractivity(double temperatureK, double vapourDensityGm3);

struct ScintillationInput {
    double freqGHz;
    double elevationDeg;      // theta
    double percentOfTime;     // p
    double wetRefractivity;   // N_wet, the median at the site
    double antennaDiameterM;  // D
    double antennaEfficiency; // eta, 0 to 1
};

// A_S(p), dB.
double ScintillationFadeDb(const ScintillationInput& in);
