#pragma once
// Designs made in the engine's tests: a parameter set to a plain number in
// its base unit, a waveform's choice by name, and the check's message with
// each parameter named by its key.
#include "design_rules.h"
#include "waveform_choice.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace testing_support {

inline void SetValue(Design& design, ParamId id, double value) {
    design.set(id, ParamSetting{value, value, {}});
}

inline double WaveformIndex(const char* name) {
    std::size_t index = 0;
    std::string error;
    EXPECT_TRUE(ParseWaveform(name, index, error)) << error;
    return static_cast<double>(index);
}

inline std::string KeyOf(ParamId id) {
    return ParamKey(ParamRowOf(id));
}

// Turin to a geostationary satellite at 13 degrees east, 20 GHz, on an
// Earth-space path with a 1.2 m dish: the climate left to the maps.
inline Design TurinSiteDesign() {
    Design design;
    SetValue(design, ParamId::Path, static_cast<double>(PathKind::EarthSpace));
    SetValue(design, ParamId::Freq, 20000.0);
    SetValue(design, ParamId::Latitude, 45.07);
    SetValue(design, ParamId::StationLongitude, 7.69);
    SetValue(design, ParamId::SatelliteLongitude, 13.0);
    SetValue(design, ParamId::RxDishDiameter, 1.2);
    return design;
}

// What stops the design's evaluation, its parameters named by their keys;
// empty when nothing does.
inline std::string FaultOf(const Design& design) {
    const std::optional<DesignFault> fault = CheckDesign(design, design.point(), KeyOf);
    return fault ? fault->message : std::string();
}

} // namespace testing_support
