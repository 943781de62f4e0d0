#pragma once
// The features of the budget model, one row each. A new feature is a row here
// and in kFeatures (budget_sheet.cpp), its numbers in BudgetSheet, and its own
// source file. No Qt.
#include "budget_sheet.h"
#include <vector>

#include <string>

struct FeatureRow {
    const char* section; // the output section its lines go to
    const char* title;   // that section's heading
    bool followsSolve;   // that section's place in JSON
    bool pathDependent;  // its numbers depend on Range and Freq
    ParamId trigger;     // applies when this parameter is set ...
    ParamId alternative; // ... or this one (itself when there is none);
                         // ParamId::Count for neither: appliesOn alone decides
    // A design the feature cannot evaluate: false with a one-line message
    // and the parameter it is about.
    bool (*check)(const DesignPoint& point, DesignFault& fault);
    // Works out its numbers and applies them to sheet.effective, before the
    // calculation.
    void (*adjust)(const DesignPoint& point, BudgetSheet& sheet);
    // Its lines and notes under the budget.
    void (*lines)(const DesignPoint& point, const BudgetSheet& sheet, SheetSection& section);
    // After the calculation: what it changes of the results (none: nothing).
    void (*finish)(const DesignPoint& point, BudgetSheet& sheet) = nullptr;
    // What it changes of the budget's terms (none: nothing); the terms must
    // still add up to the fade margin.
    void (*terms)(const DesignPoint& point, const BudgetSheet& sheet,
                  std::vector<LinkTerm>& terms) = nullptr;
    // Besides its trigger, what the design must be for it to apply (none:
    // nothing more), e.g. the path it is for.
    bool (*appliesOn)(const DesignPoint& point) = nullptr;
    // Before anything else: fills in the parameters it works out from others
    // (none: none), e.g. the elevation from the site. Every other feature,
    // check and line then sees them as if set.
    void (*resolve)(DesignPoint& point) = nullptr;
};

extern const FeatureRow kClimateFeature;
extern const FeatureRow kSiteFeature;
extern const FeatureRow kRainFeature;
extern const FeatureRow kClearanceFeature;
extern const FeatureRow kDishFeature;
extern const FeatureRow kModulationFeature;
extern const FeatureRow kAtmosphereFeature;
extern const FeatureRow kReceiverFeature;
extern const FeatureRow kWaveformFeature;

// Text helpers the features share: a line with a fixed-decimals text as wide
// as the factors' value texts.
SheetLine FixedLine(std::string key, std::string caption, double value, int decimals,
                    std::string unit);

// The polarization tilt (degrees) of the RainPolarization choice h, v or c,
// or, with a satellite's PolarizationAngle, at the site.
double PolarizationTiltDeg(const DesignPoint& point);

// The polarization tilt (degrees) at the site of a satellite with a
// PolarizationAngle; none without them.
std::optional<double> SiteTiltDeg(const DesignPoint& point);
