#include "earth_space_atmosphere.h"

#include "cloud_attenuation.h"
#include "path_clearance.h"
#include "reference_atmosphere.h"
#include "scintillation.h"
#include "slant_rain.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kLowestStationKm = -0.5;  // the shores of the Dead Sea
constexpr double kHighestStationKm = 10.0; // the equivalent heights hold to about 10 km
constexpr double kLowestPercent = 0.001;
constexpr double kHighestPercent = 50.0;
constexpr double kGasCloudPercent = 1.0; // section 2.5

// False for a value that is not a number.
bool within(double x, double low, double high) {
    return x >= low && x <= high;
}

bool typedNegative(const std::optional<double>& x) {
    return x && !(*x >= 0.0);
}

bool typedNotPositive(const std::optional<double>& x) {
    return x && !(*x > 0.0);
}

bool hasRainHeight(const EarthSpaceInput& in) {
    return in.rainHeightKm || in.isothermHeightKm;
}

std::optional<SourcedValue> rainHeight(const EarthSpaceInput& in) {
    if (in.rainHeightKm) {
        return SourcedValue{*in.rainHeightKm, InputOrigin::Typed};
    }
    if (in.isothermHeightKm) {
        return SourcedValue{RainHeightFromIsothermKm(*in.isothermHeightKm),
                            InputOrigin::FromIsotherm};
    }
    return std::nullopt;
}

SourcedValue typedOr(const std::optional<double>& typed, double reference) {
    return typed ? SourcedValue{*typed, InputOrigin::Typed}
                 : SourcedValue{reference, InputOrigin::ReferenceAtmosphere};
}

struct StationAir {
    SourcedValue temperatureK;
    SourcedValue pressureHpa;
    SourcedValue vapourDensityGm3;

    SurfaceAir air() const {
        return {pressureHpa.value, temperatureK.value, vapourDensityGm3.value};
    }
};

StationAir stationAir(const EarthSpaceInput& in) {
    const ReferenceAtmosphere reference = ReferenceAtmosphereAt(in.stationHeightKm);
    return {typedOr(in.temperatureK, reference.temperatureK),
            typedOr(in.pressureHpa, reference.pressureHpa),
            typedOr(in.vapourDensityGm3, reference.vapourDensityGm3)};
}

struct InputCheck {
    bool (*fails)(const EarthSpaceInput&);
    const char* message;
};

// In the order a reader would fix them: the path, the air, then each part.
constexpr InputCheck kInputChecks[] = {
    {[](const EarthSpaceInput& in) {
         return !within(in.freqGHz, kGasLowestGHz, kGasSlantHighestGHz);
     },
     "frequency must be from 1 to 350 GHz"},
    {[](const EarthSpaceInput& in) {
         return !within(in.elevationDeg, kGasSlantLowestElevationDeg, 90.0);
     },
     "elevation must be from 5 to 90 degrees"},
    {[](const EarthSpaceInput& in) { return !within(in.latitudeDeg, -90.0, 90.0); },
     "latitude must be from -90 to 90 degrees"},
    {[](const EarthSpaceInput& in) {
         return !within(in.stationHeightKm, kLowestStationKm, kHighestStationKm);
     },
     "station height must be from -0.5 to 10 km"},
    {[](const EarthSpaceInput& in) {
         return !within(in.percentOfTime, kLowestPercent, kHighestPercent);
     },
     "percentage of time must be from 0.001 to 50 %"},
    {[](const EarthSpaceInput& in) { return typedNotPositive(in.temperatureK); },
     "temperature must be above 0 K"},
    {[](const EarthSpaceInput& in) { return typedNegative(in.vapourDensityGm3); },
     "water-vapour density must not be negative"},
    {[](const EarthSpaceInput& in) {
         const SurfaceAir air = stationAir(in).air();
         // Only once T and rho are right can e say anything about P.
         return air.temperatureK > 0.0 && air.vapourDensityGm3 >= 0.0 &&
                !(air.pressureHpa > VapourPressureHpa(air.vapourDensityGm3, air.temperatureK));
     },
     "pressure must exceed the water-vapour pressure rho T / 216.7 hPa"},
    {[](const EarthSpaceInput& in) { return typedNotPositive(in.columnarVapourKgM2); },
     "total columnar water vapour must be above 0 kg/m2"},
    {[](const EarthSpaceInput& in) { return typedNegative(in.liquidWaterKgM2); },
     "cloud liquid water must not be negative"},
    {[](const EarthSpaceInput& in) { return typedNegative(in.rainRateMmH); },
     "rain rate must not be negative"},
    {[](const EarthSpaceInput& in) { return in.rainHeightKm && in.isothermHeightKm; },
     "give a rain height or a 0 degC isotherm height, not both"},
    {[](const EarthSpaceInput& in) { return in.rainRateMmH && !hasRainHeight(in); },
     "rain needs a rain height or a 0 degC isotherm height"},
    {[](const EarthSpaceInput& in) {
         const auto height = rainHeight(in);
         return height && !std::isfinite(height->value);
     },
     "rain height must be a finite number of km"},
    {[](const EarthSpaceInput& in) {
         const auto height = rainHeight(in);
         return in.rainRateMmH && height &&
                RainHeightBelowStation(height->value, in.stationHeightKm);
     },
     "rain height is below the station"},
    {[](const EarthSpaceInput& in) {
         return in.rainRateMmH && in.percentOfTime > kSlantRainHighestPercent;
     },
     "rain is predicted for 0.001 to 5 % of the time"},
    {[](const EarthSpaceInput& in) { return in.rainRateMmH && in.freqGHz > kSlantRainHighestGHz; },
     "rain is predicted up to 55 GHz"},
    {[](const EarthSpaceInput& in) { return in.tiltDeg && !within(*in.tiltDeg, 0.0, 90.0); },
     "polarization tilt must be from 0 to 90 degrees"},
    {[](const EarthSpaceInput& in) { return typedNegative(in.wetRefractivity); },
     "wet refractivity must not be negative"},
    {[](const EarthSpaceInput& in) { return typedNotPositive(in.antennaDiameterM); },
     "antenna diameter must be above 0 m"},
    {[](const EarthSpaceInput& in) {
         return in.antennaEfficiency &&
                !(*in.antennaEfficiency > 0.0 && *in.antennaEfficiency <= 1.0);
     },
     "antenna efficiency must be above 0 and at most 1"},
};

constexpr const char* kOriginNames[] = {
    "typed",
    "P.835-6 reference atmosphere",
    "P.839-4 from the 0 degC isotherm",
    "P.453-14 from T and rho",
};

} // namespace

const char* InputOriginName(InputOrigin origin) {
    return kOriginNames[static_cast<int>(origin)];
}

std::vector<std::string> EarthSpaceInputErrors(const EarthSpaceInput& in) {
    std::vector<std::string> errors;
    for (const InputCheck& check : kInputChecks) {
        if (check.fails(in)) {
            errors.emplace_back(check.message);
        }
    }
    return errors;
}

std::optional<EarthSpaceResult> EvaluateEarthSpace(const EarthSpaceInput& in) {
    if (std::any_of(std::begin(kInputChecks), std::end(kInputChecks),
                    [&in](const InputCheck& check) { return check.fails(in); })) {
        return std::nullopt;
    }
    EarthSpaceResult result{};
    const StationAir station = stationAir(in);
    result.temperatureK = station.temperatureK;
    result.pressureHpa = station.pressureHpa;
    result.vapourDensityGm3 = station.vapourDensityGm3;
    const SurfaceAir air = station.air();

    const std::optional<SlantGas> gas = SlantGasAttenuation(
        in.freqGHz, in.elevationDeg, air, in.columnarVapourKgM2, in.stationHeightKm);
    if (!gas) {
        return std::nullopt; // the elevation check above rules this out
    }
    result.gammaOxygen = gas->specific.oxygen;
    result.gammaWaterVapour = gas->specific.waterVapour;
    result.heights = gas->heights;
    result.gas = gas->lossDb;
    if (in.columnarVapourKgM2) {
        result.columnarVapourKgM2 = SourcedValue{*in.columnarVapourKgM2, InputOrigin::Typed};
    }

    if (in.liquidWaterKgM2) {
        result.liquidWaterKgM2 = SourcedValue{*in.liquidWaterKgM2, InputOrigin::Typed};
        result.cloud = CloudAttenuationDb(in.freqGHz, in.elevationDeg, *in.liquidWaterKgM2);
    }

    if (in.rainRateMmH) {
        result.rainHeightKm = rainHeight(in);
        const SlantRainInput rain{in.freqGHz,
                                  in.elevationDeg,
                                  in.latitudeDeg,
                                  in.stationHeightKm,
                                  result.rainHeightKm->value,
                                  *in.rainRateMmH,
                                  in.percentOfTime,
                                  in.tiltDeg.value_or(kCircularTiltDeg)};
        result.rain = SlantRainAttenuation(rain).loss;
    }

    if (in.antennaDiameterM) {
        result.wetRefractivity =
            in.wetRefractivity
                ? SourcedValue{*in.wetRefractivity, InputOrigin::Typed}
                : SourcedValue{WetRefractivity(air.temperatureK, air.vapourDensityGm3),
                               InputOrigin::FromSurface};
        const ScintillationInput scintillation{
            in.freqGHz,           in.elevationDeg,
            in.percentOfTime,     result.wetRefractivity->value,
            *in.antennaDiameterM, in.antennaEfficiency.value_or(kDefaultScintillationEfficiency)};
        result.scintillation = ScintillationFadeDb(scintillation);
    }

    // The air, V_t and L are typed (or the reference atmosphere), not
    // statistics of the site: A_G and A_C do not change with p here, so
    // their values "at 1 %" are the same.
    const AttenuationParts parts{result.gas,
                                 result.gas,
                                 result.cloud.value_or(0.0),
                                 result.cloud.value_or(0.0),
                                 result.rain.value_or(0.0),
                                 result.scintillation.value_or(0.0)};
    result.total = TotalAttenuationDb(parts, in.percentOfTime);
    return result;
}

double TotalAttenuationDb(const AttenuationParts& parts, double percentOfTime) {
    const bool belowOnePercent = percentOfTime < kGasCloudPercent;
    const double gas = belowOnePercent ? parts.gasAt1Percent : parts.gas;
    const double cloud = belowOnePercent ? parts.cloudAt1Percent : parts.cloud;
    return gas + std::hypot(parts.rain + cloud, parts.scintillation);
}

double SlantRangeKm(double elevationDeg, double satelliteAltitudeKm, double stationHeightKm) {
    const double station = kEarthRadiusKm + stationHeightKm;
    const double satellite = kEarthRadiusKm + satelliteAltitudeKm;
    const double rise = station * std::sin(elevationDeg * std::numbers::pi / 180.0);
    // satellite^2 = station^2 + d^2 + 2 station d sin(elevation), solved for d > 0.
    return std::sqrt(rise * rise + satellite * satellite - station * station) - rise;
}
