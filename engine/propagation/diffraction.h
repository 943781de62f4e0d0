#pragma once
// Diffraction loss over a terrain profile by the delta-Bullington method.
// No Qt, and nothing of the rest of the program.
//
// ITU-R P.526-15 (10/2019) section 4.5, the same method as ITU-R P.452-18
// Annex 1 sections 4.2.1 to 4.2.3:
//   4.5.1  Bullington loss of a profile: the edge of largest knife-edge
//          parameter nu when the path is in line of sight, else the
//          Bullington point where the rays from the two antennas past their
//          horizons meet; Luc = J(nu) and
//          Lbull = Luc + (1 - exp(-Luc / 6)) (10 + 0.02 d);
//   4.5.2  spherical-earth loss Ldsph of the smooth path (section 3.2: the
//          first term of the residue series, scaled by the clearance within
//          line of sight);
//   4.5.3  Ld = Lbulla + max(Ldsph - Lbulls, 0), Lbulla on the actual profile
//          and Lbulls on a profile of zero heights, with the antennas raised
//          above the least-squares smooth surface (ITU-R P.452-18
//          Attachment 2 section 5.1.6.3, heights h_std and h_srd).
// The ground of the spherical-earth loss is land (relative permittivity 22,
// conductivity 0.003 S/m); the wavelength is 0.3 / f m (f in GHz).
#include <optional>
#include <span>
#include <string>

enum class Polarization { Horizontal, Vertical };

struct DiffractionPath {
    std::span<const double> distanceKm; // d_i, increasing; the transmitter at the first
    std::span<const double> heightM;    // h_i, terrain above mean sea level
    double txHeightM;                   // h_tg, transmitting antenna above ground
    double rxHeightM;                   // h_rg, receiving antenna above ground
    double freqGHz;                     // f
    double earthRadiusKm;               // a_e, effective
    Polarization polarization = Polarization::Horizontal;
};

// The edge that sets a Bullington loss: in line of sight the profile point
// of largest nu, beyond the horizon the Bullington point where the rays past
// the two horizons cross (its height is that of the crossing over the curved
// mean sea level).
struct DiffractionEdge {
    double distanceKm;  // along the profile, on the scale of distanceKm
    double heightM;     // above mean sea level
    double nu;          // knife-edge parameter
    bool beyondHorizon; // true: the Bullington point
};

struct BullingtonLoss {
    double knifeEdgeDb; // Luc = J(nu)
    double lossDb;      // Lbull
    DiffractionEdge edge;
};

struct DeltaBullington {
    double txSmoothM;      // h_std, smooth surface under the transmitter, m AMSL
    double rxSmoothM;      // h_srd, under the receiver, m AMSL
    BullingtonLoss actual; // Lbulla; actual.edge is the obstacle of the path
    BullingtonLoss smooth; // Lbulls
    double sphericalDb;    // Ldsph for the path's polarization
    double lossDb;         // Ld
};

// J(nu) of section 4.5.1: 0 for nu <= -0.78.
double KnifeEdgeLossDb(double nu);

// Section 3.2 as used by section 4.5.2: the loss over a smooth earth of
// radius a_e for d km (above 0) between antennas h_te and h_re metres (0 or
// more) above it; inputs are not checked.
double SphericalEarthLossDb(double distanceKm, double txHeightM, double rxHeightM, double freqGHz,
                            double earthRadiusKm, Polarization polarization);

// The whole method; std::nullopt and a one-line reason for a path it cannot
// take (fewer than 3 points, distances not increasing, values not finite,
// negative antenna heights, a frequency or radius not above 0).
std::optional<DeltaBullington> DeltaBullingtonLoss(const DiffractionPath& path, std::string& error);
