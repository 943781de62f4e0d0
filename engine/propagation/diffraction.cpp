#include "diffraction.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

namespace {

// Wavelength in metres times f in GHz. With 0.3 (and a_e = 8500 km) the
// ITU-R validation examples of the method come out to 0.0001 dB for the
// Bullington losses; the speed of light, 0.29979, moves them by 0.003 dB.
constexpr double kWavelengthMGHz = 0.3;
constexpr double kLandPermittivity = 22.0;  // P.526-15 section 4.5.2, land
constexpr double kLandConductivity = 0.003; // S/m
constexpr double kLowestNu = -0.78;         // P.526-15 section 4.5.1, J(nu) = 0 below

// A profile with its distances counted from its first point.
struct Profile {
    std::span<const double> x; // km
    std::span<const double> h; // m AMSL
    double at(std::size_t i) const { return x[i] - x[0]; }
    double length() const { return at(x.size() - 1); }
};

// P.526-15 section 4.5.1 (P.452-18 Annex 1 section 4.2.1): nu of an edge
// `height` m high at di km, in the frame where the earth's bulge is added to
// the terrain and the line from hts to hrs is straight.
double edgeNu(double height, double di, double d, double hts, double hrs, double lambda) {
    return (height - (hts * (d - di) + hrs * di) / d) *
           std::sqrt(0.002 * d / (lambda * di * (d - di)));
}

// P.526-15 section 4.5.1 (P.452-18 Annex 1 section 4.2.1). `flat`: every
// height taken as 0 (the smooth path of section 4.5.3).
BullingtonLoss bullington(const Profile& p, bool flat, double hts, double hrs, double lambda,
                          double ae) {
    const std::size_t n = p.x.size();
    const double d = p.length();
    const double ce = 1.0 / ae; // effective earth curvature, 1/km
    auto bulge = [&](double di) { return 500.0 * ce * di * (d - di); }; // m, section 4.5.1
    auto edge = [&](std::size_t i) { return (flat ? 0.0 : p.h[i]) + bulge(p.at(i)); };
    // Section 4.5.1: the steepest slope Stim from the transmitter to a profile point, m/km,
    // and the slope Str to the receiver.
    double stim = -std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i + 1 < n; ++i) {
        stim = std::max(stim, (edge(i) - hts) / p.at(i));
    }
    const double str = (hrs - hts) / d;
    DiffractionEdge found{};
    if (stim >= str) {
        // Section 4.5.1, beyond the horizon: the steepest slope Srim from the receiver, and
        // the Bullington point dbp where the two meet.
        double srim = -std::numeric_limits<double>::infinity();
        for (std::size_t i = 1; i + 1 < n; ++i) {
            srim = std::max(srim, (edge(i) - hrs) / (d - p.at(i)));
        }
        const double dbp = (hrs - hts + srim * d) / (stim + srim);
        if (dbp > 0.0 && dbp < d) {
            const double height = hts + stim * dbp;
            found = {p.x[0] + dbp, height - bulge(dbp), edgeNu(height, dbp, d, hts, hrs, lambda),
                     true};
        }
    }
    if (!found.beyondHorizon) {
        // Section 4.5.1, in line of sight (and grazing, where the Bullington point is not
        // defined): the profile point of largest nu.
        found.nu = -std::numeric_limits<double>::infinity();
        for (std::size_t i = 1; i + 1 < n; ++i) {
            const double nu = edgeNu(edge(i), p.at(i), d, hts, hrs, lambda);
            if (nu > found.nu) {
                found = {p.x[i], flat ? 0.0 : p.h[i], nu, false};
            }
        }
    }
    const double luc = KnifeEdgeLossDb(found.nu);
    // Section 4.5.1: Lbull, the knife-edge loss Luc with the correction for the path length.
    return {luc, luc + (1.0 - std::exp(-luc / 6.0)) * (10.0 + 0.02 * d), found};
}

// P.452-18 Attachment 2 section 5.1.6.3: the least-squares smooth surface at
// both ends, lowered by the obstruction above the line between the antennas
// and held at or below the ground there. Returns {h_std, h_srd}, m AMSL.
std::pair<double, double> smoothSurface(const Profile& p, double hts, double hrs) {
    const std::size_t n = p.x.size();
    const double d = p.length();
    double v1 = 0.0;
    double v2 = 0.0;
    for (std::size_t i = 1; i < n; ++i) {
        const double di = p.at(i);
        const double dj = p.at(i - 1);
        v1 += (di - dj) * (p.h[i] + p.h[i - 1]);
        v2 += (di - dj) * (p.h[i] * (2.0 * di + dj) + p.h[i - 1] * (di + 2.0 * dj));
    }
    double hst = (2.0 * v1 * d - v2) / (d * d);
    double hsr = (v2 - v1 * d) / (d * d);
    double hobs = -std::numeric_limits<double>::infinity();
    double aobt = -std::numeric_limits<double>::infinity();
    double aobr = -std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double di = p.at(i);
        const double hi = p.h[i] - (hts * (d - di) + hrs * di) / d;
        hobs = std::max(hobs, hi);
        aobt = std::max(aobt, hi / di);
        aobr = std::max(aobr, hi / (d - di));
    }
    if (hobs > 0.0) {
        hst -= hobs * aobt / (aobt + aobr);
        hsr -= hobs * aobr / (aobt + aobr);
    }
    return {std::min(hst, p.h.front()), std::min(hsr, p.h.back())};
}

// P.526-15 section 3.2 via section 4.5.2 (P.452-18 Annex 1 section
// 4.2.2.1): the first term of the residue series over land, f in GHz, d in
// km, radius a km, heights in m: the normalized surface admittance K, beta,
// the normalized distance X and heights Y, the distance term F(X) and the
// height gain G(Y) = G(B), B = beta Y, not below 2 + 20 log K.
double firstTermDb(double d, double hte, double hre, double f, double a, Polarization pol) {
    const double s = 18.0 * kLandConductivity / f;
    const double er = kLandPermittivity;
    double k = 0.036 * std::cbrt(1.0 / (a * f)) * std::pow((er - 1.0) * (er - 1.0) + s * s, -0.25);
    if (pol == Polarization::Vertical) {
        k *= std::sqrt(er * er + s * s);
    }
    const double k2 = k * k;
    const double beta = (1.0 + 1.6 * k2 + 0.67 * k2 * k2) / (1.0 + 4.5 * k2 + 1.53 * k2 * k2);
    const double ra = std::cbrt(a); // a^(1/3), so that a^2 cannot overflow
    const double x = 21.88 * beta * std::cbrt(f) / (ra * ra) * d;
    const double yScale = 0.9575 * beta * std::cbrt(f * f) / ra;
    const double fx = x >= 1.6 ? 11.0 + 10.0 * std::log10(x) - 17.6 * x
                               : -20.0 * std::log10(x) - 5.6488 * std::pow(x, 1.425);
    auto gain = [&](double h) {
        const double b = beta * yScale * h;
        const double g = b > 2.0 ? 17.6 * std::sqrt(b - 1.1) - 5.0 * std::log10(b - 1.1) - 8.0
                                 : 20.0 * std::log10(b + 0.1 * b * b * b);
        return std::max(g, 2.0 + 20.0 * std::log10(k));
    };
    return -fx - gain(hte) - gain(hre);
}

std::string checkPath(const DiffractionPath& path) {
    const auto& x = path.distanceKm;
    const auto& h = path.heightM;
    if (x.size() != h.size()) {
        return "the profile has " + std::to_string(x.size()) + " distances but " +
               std::to_string(h.size()) + " heights";
    }
    if (x.size() < 3) {
        return "a profile needs at least 3 points, this one has " + std::to_string(x.size());
    }
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (!std::isfinite(x[i]) || !std::isfinite(h[i])) {
            return "profile point " + std::to_string(i + 1) + " is not a finite number";
        }
        if (i > 0 && !(x[i] > x[i - 1])) {
            return "profile distances must increase, point " + std::to_string(i + 1) + " does not";
        }
    }
    if (!(path.txHeightM >= 0.0) || !(path.rxHeightM >= 0.0) || !std::isfinite(path.txHeightM) ||
        !std::isfinite(path.rxHeightM)) {
        return "antenna heights above ground must be finite and not negative";
    }
    if (!(path.freqGHz > 0.0) || !std::isfinite(path.freqGHz)) {
        return "the frequency must be above 0 GHz";
    }
    if (!(path.earthRadiusKm > 0.0) || !std::isfinite(path.earthRadiusKm)) {
        return "the effective earth radius must be above 0 km";
    }
    return {};
}

} // namespace

double KnifeEdgeLossDb(double nu) {
    if (!(nu > kLowestNu)) {
        return 0.0;
    }
    const double v = nu - 0.1;
    return 6.9 + 20.0 * std::log10(std::sqrt(v * v + 1.0) + v); // P.526-15 section 4.5.1
}

// P.452-18 Annex 1 section 4.2.2 (P.526-15 section 4.5.2).
double SphericalEarthLossDb(double d, double hte, double hre, double f, double ae,
                            Polarization pol) {
    const double lambda = kWavelengthMGHz / f;
    // Section 4.5.2: the marginal line-of-sight distance over the smooth earth, km.
    const double dlos = std::sqrt(2.0 * ae) * (std::sqrt(0.001 * hte) + std::sqrt(0.001 * hre));
    if (d >= dlos) {
        return firstTermDb(d, hte, hre, f, ae, pol);
    }
    // Section 4.5.2, within line of sight: the least clearance hse of the ray, at dse1 from
    // the transmitter (c, m and b solve for it), against the clearance hreq for no loss.
    const double c = (hte - hre) / (hte + hre);
    const double m = 250.0 * d * d / (ae * (hte + hre));
    const double arg = std::clamp(1.5 * c * std::sqrt(3.0 * m / std::pow(m + 1.0, 3)), -1.0, 1.0);
    const double b = 2.0 * std::sqrt((m + 1.0) / (3.0 * m)) *
                     std::cos(std::numbers::pi / 3.0 + std::acos(arg) / 3.0);
    const double dse1 = d * (1.0 + b) / 2.0;
    const double dse2 = d - dse1;
    const double hse =
        ((hte - 500.0 * dse1 * dse1 / ae) * dse2 + (hre - 500.0 * dse2 * dse2 / ae) * dse1) / d;
    const double hreq = 17.456 * std::sqrt(dse1 * dse2 * lambda / d); // m
    if (hse > hreq) {
        return 0.0;
    }
    const double root = d / (std::sqrt(hte) + std::sqrt(hre));
    const double aem = 500.0 * root * root; // section 4.5.2: the radius that just grazes, km
    const double ldft = firstTermDb(d, hte, hre, f, aem, pol);
    return ldft < 0.0 ? 0.0 : (1.0 - hse / hreq) * ldft;
}

std::optional<DeltaBullington> DeltaBullingtonLoss(const DiffractionPath& path,
                                                   std::string& error) {
    error = checkPath(path);
    if (!error.empty()) {
        return std::nullopt;
    }
    const Profile p{path.distanceKm, path.heightM};
    const double lambda = kWavelengthMGHz / path.freqGHz;
    const double hts = p.h.front() + path.txHeightM; // antennas above mean sea level
    const double hrs = p.h.back() + path.rxHeightM;
    DeltaBullington out{};
    const auto [hstd, hsrd] = smoothSurface(p, hts, hrs);
    out.txSmoothM = hstd;
    out.rxSmoothM = hsrd;
    const double hte = hts - out.txSmoothM; // section 4.5.3: antennas above the smooth surface
    const double hre = hrs - out.rxSmoothM;
    out.actual = bullington(p, false, hts, hrs, lambda, path.earthRadiusKm);
    out.smooth = bullington(p, true, hte, hre, lambda, path.earthRadiusKm);
    out.sphericalDb = SphericalEarthLossDb(p.length(), hte, hre, path.freqGHz, path.earthRadiusKm,
                                           path.polarization);
    // P.526-15 section 4.5.3 (P.452-18 Annex 1 section 4.2.3).
    out.lossDb = out.actual.lossDb + std::max(out.sphericalDb - out.smooth.lossDb, 0.0);
    if (!std::isfinite(out.lossDb) || !std::isfinite(out.smooth.lossDb) ||
        !std::isfinite(out.sphericalDb) || !std::isfinite(out.actual.edge.heightM)) {
        error = "the path gives no finite diffraction loss";
        return std::nullopt;
    }
    return out;
}
