#pragma once
// The features of the budget model, one row each (FeatureRow, budget_sheet.h).
// A new feature is a row here and in the feature table
// (features/feature_table.cpp), its numbers in BudgetSheet, and its own
// source file. No Qt.
#include "budget_sheet.h"
#include <vector>

#include <string>

extern const FeatureRow kClimateFeature;
extern const FeatureRow kSiteFeature;
extern const FeatureRow kRainFeature;
extern const FeatureRow kClearanceFeature;
extern const FeatureRow kDishFeature;
extern const FeatureRow kModulationFeature;
extern const FeatureRow kAtmosphereFeature;
extern const FeatureRow kReceiverFeature;
extern const FeatureRow kWaveformFeature;
extern const FeatureRow kHopFeature;
extern const FeatureRow kDiffractionFeature;
extern const FeatureRow kOutageFeature;

// Text helpers the features share: a line with a fixed-decimals text as wide
// as the factors' value texts.
SheetLine FixedLine(std::string key, std::string caption, double value, int decimals,
                    std::string unit);

// A loss a feature adds to Weather, as a term of its own right after Weather
// (whose term then keeps the value given): `term.value` is the loss in dB,
// its contribution to the fade margin is set here. Nothing without a Weather
// term.
void AddLossAfterWeather(std::vector<LinkTerm>& terms, LinkTerm term);

// The polarization tilt (degrees) of the RainPolarization choice h, v or c,
// or, with a satellite's PolarizationAngle, at the site.
double PolarizationTiltDeg(const DesignPoint& point);

// The polarization tilt (degrees) at the site of a satellite with a
// PolarizationAngle; none without them.
std::optional<double> SiteTiltDeg(const DesignPoint& point);
