#pragma once
// What the drawing of a hop's terrain profile shows, as plain numbers: the
// series in metres against km, the antennas, the critical point and the
// obstacle, the axes with their ticks, and the read-out of each profile
// point. The design window's profile view and the report paint the same
// drawing (profile_paint.h). No Qt.
//
// The heights are those of the clearance over the profile
// (profile_clearance.h, ITU-R P.530-17 section 2.2.2.1): the terrain raised
// by the earth bulge of the k shown, so that the line of sight between the
// antennas is straight; the earth's curve is mean sea level raised the same
// way (the bulge itself). The Fresnel envelopes hang from the ray: the ray
// minus F1 and minus 0.6 F1 (the clearances the planning criteria ask for),
// and the ray plus F1.
#include "budget_sheet.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Which effective earth radius factor the drawing is for.
enum class ProfileK { Median, Minimum };

struct ProfileTick {
    double value;
    std::string text; // as the screen shows numbers (the decimal separator set)
};

struct ProfileAxis {
    double low;
    double high;
    double step; // between ticks
    std::vector<ProfileTick> ticks;
};

// An antenna: its mast from the ground (raised, at the path's end the bulge
// is 0) to its altitude.
struct ProfileMast {
    double km;
    double groundM;  // above mean sea level
    double antennaM; // above mean sea level
};

struct ProfileMark {
    double km;
    double m; // on the drawing's heights (raised by the bulge)
};

struct ProfileDrawing {
    ProfileK k = ProfileK::Median;
    double earthFactor = 0.0;
    // One entry per profile point.
    std::vector<double> km;
    std::vector<double> groundM;    // the terrain as given, above mean sea level
    std::vector<double> terrainM;   // raised by the earth bulge
    std::vector<double> earthM;     // the bulge: mean sea level on the curved earth
    std::vector<double> rayM;       // the line of sight between the antennas
    std::vector<double> lowerF1M;   // ray - F1
    std::vector<double> lower06F1M; // ray - 0.6 F1
    std::vector<double> upperF1M;   // ray + F1
    std::vector<double> clearanceM; // ray - terrain
    std::vector<double> clearanceF1;
    ProfileMast tx{};
    ProfileMast rx{};
    std::size_t critical = 0; // the inner point of least clearance in F1
    ProfileMark criticalMark{};
    std::optional<ProfileMark> obstacle; // the diffraction's edge, when worked out
    std::optional<double> obstacleNu;
    bool earthShown = false; // mean sea level within the height axis
    ProfileAxis x{};         // km
    ProfileAxis y{};         // m
    std::string title;       // "Terrain profile at the median k = 4/3"
};

// The drawing of a terrain at its median k or its minimum k. A terrain
// without points gives a drawing without points.
ProfileDrawing BuildProfileDrawing(const SheetTerrain& terrain, ProfileK k = ProfileK::Median);

// The profile point nearest `km` (0 for a drawing without points).
std::size_t NearestProfilePoint(const ProfileDrawing& drawing, double km);

// "12.40 km: ground 412.0 m, ray 455.3 m, clearance 31.2 m = 1.42 F1"; at the
// ends, where F1 is 0, without the fraction. Numbers with the decimal
// separator set (the screen's in the window, a full stop in files).
std::string ProfilePointText(const ProfileDrawing& drawing, std::size_t index);

// "4/3", "2/3", "1.20": k as engineers write it.
std::string EarthFactorText(double k);

// The figure's caption: the k, the critical point and the clearance there,
// and the obstacle when there is one.
std::string ProfileCaption(const ProfileDrawing& drawing);
