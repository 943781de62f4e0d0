#pragma once
// One model of a link design: a design is evaluated once into a budget sheet
// (the factors as given and as the budget uses them, the nine results, and
// what each feature worked out); every output renders that sheet. The
// features (rain, clearance, dishes, modulation) are rows of a table: each
// says when it applies, what it does to the factors before the calculation,
// and which lines it adds under the budget. No Qt.
#include "design.h"
#include "diffraction.h"
#include "dish_antenna.h"
#include "earth_space_atmosphere.h"
#include "link_calculation.h"
#include "look_angles.h"
#include "multipath.h"
#include "path_clearance.h"
#include "profile_clearance.h"
#include "rain_attenuation.h"
#include "receiver_budget.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A line a feature adds under the budget, as the outputs print it.
struct SheetLine {
    std::string key;
    std::string caption;
    double value;
    std::string text; // the value as shown
    std::string unit;
};

// A member of a section's JSON object that is no line: a name and a number
// or a text.
struct SheetField {
    std::string name;
    double number = 0.0;
    std::optional<std::string> text; // a text in place of the number
};

// The lines of one output section, then its verdicts in words. A section with
// fields is written to JSON as those fields, else as its lines and notes.
struct SheetSection {
    std::string name;          // the JSON member, e.g. "propagation"
    std::string title;         // its heading, e.g. "Propagation"
    bool followsSolve = false; // in JSON after the solved value and the metric values
    std::vector<SheetLine> lines;
    std::vector<std::string> notes;
    std::vector<SheetField> fields;
};

struct DishEnd {
    double gainDbi;
    double beamwidthDeg;
};

// The atmosphere of the path: on an Earth-space path every part of ITU-R
// P.618-13 section 2.5; on a terrestrial path the gases' loss only (of
// `parts`, the air and the gases' numbers).
struct SheetAtmosphere {
    bool earthSpace = false;
    EarthSpaceResult parts{};
    double pathKm = 0.0;         // the slant path, or the terrestrial path
    double dishDiameterM = 0.0;  // the receiving antenna the scintillation is for
    double dishEfficiency = 0.0; // 0 to 1
    bool dishFromGain = false;   // no Rx dish: the one that gives RxAntGain
    double lossDb = 0.0;         // what it adds to Weather: A_T, or the gases' loss
};

// Where the ends of an Earth-space link are, and how the station sees the
// satellite.
struct SheetSite {
    GeoPlace station;      // the antenna: ground height plus antenna height
    GeoPlace subSatellite; // its height the satellite's altitude
    LookAngles angles;
    std::optional<double> tiltDeg; // with a polarization angle
};

// A terrestrial hop over a terrain profile: the profile, the clearance along
// it at the median and the minimum k, the least antenna heights that meet the
// planning criteria, and the diffraction over it.
struct SheetTerrain {
    std::string source;                 // where the profile came from, in words
    std::optional<double> txAzimuthDeg; // from the sites: true north, toward the other end
    std::optional<double> rxAzimuthDeg;
    HeightCriteria criteria;
    HeightCheck heights;         // heights.median.points: the profile itself
    double leastTxHeightM = 0.0; // with the Rx antenna as it is
    double leastRxHeightM = 0.0; // with the Tx antenna as it is
    std::optional<DeltaBullington> diffraction;
};

// The hop's outage over a year against its clear-air fade margin: multipath
// (worst month, then the year) and rain, and the two together.
struct SheetOutage {
    double fadeMarginDb;       // clear air: the budget's margin with the rain's loss added back
    double dN1;                // N-units/km
    std::string dN1Source;     // "typed" or the map's
    double roughnessM;         // s_a
    double latitudeDeg;        // of the path's middle
    MultipathFading multipath; // at the fade margin
    YearFading year;           // the worst month to the year
    std::optional<double> rainYearPercent; // none without rain
    HopUnavailability total;
};

// A new feature's numbers are a member here: every member has its empty value
// by default, as the evaluation starts from a fresh sheet.
struct BudgetSheet {
    LinkFactors given;     // the design's factors
    LinkFactors effective; // what the budget uses: the features' losses and gains applied
    LinkResults results;
    double pathKm = 0.0; // Range in km
    // What the features worked out, each set when it applies.
    std::optional<RainPath> rain;
    bool rainBelowModel = false; // a rain rate under 1 GHz: no rain loss
    std::optional<PathClearance> clearance;
    std::optional<DishEnd> txDish;
    std::optional<DishEnd> rxDish;
    std::optional<double> requiredEbNo; // dB, uncoded, of the modulation at its target
    std::optional<SheetAtmosphere> atmosphere;
    std::optional<ReceiverBudget> receiver;
    std::optional<WaveformBudget> waveform;
    std::optional<SheetSite> site;
    std::optional<SheetTerrain> terrain;
    std::optional<SheetOutage> outage;
};

// Why a design cannot be evaluated: one line, and the parameter it is about
// (ParamId::Count: none in particular).
struct DesignFault {
    ParamId param = ParamId::Count;
    std::string message;
};

// The features of the budget model, one row each: when one applies, what it
// does to the factors before the calculation, which lines it adds.
// A row names its fields; what most features leave out has its default.
struct FeatureRow {
    const char* section;                  // the output section its lines go to
    const char* title;                    // that section's heading
    bool followsSolve = false;            // that section's place in JSON
    bool pathDependent = false;           // its numbers depend on Range and Freq
    ParamId trigger = ParamId::Count;     // applies when this parameter is set ...
    ParamId alternative = ParamId::Count; // ... or this one; neither given:
                                          // appliesOn alone decides
    // A design the feature cannot evaluate: false with a one-line message
    // and the parameter it is about.
    bool (*check)(const DesignPoint& point, DesignFault& fault) = nullptr;
    // Works out its numbers and applies them to sheet.effective, before the
    // calculation.
    void (*adjust)(const DesignPoint& point, BudgetSheet& sheet) = nullptr;
    // Its lines and notes under the budget.
    void (*lines)(const DesignPoint& point, const BudgetSheet& sheet,
                  SheetSection& section) = nullptr;
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

// Every feature, in the order of their lines under the budget.
std::span<const FeatureRow* const> FeatureTable();

class BudgetModel {
  public:
    // The features that apply to the design (they depend on which parameters
    // are set and on the path, not on the other values).
    explicit BudgetModel(const DesignPoint& design);

    // False with a one-line message when the design cannot be evaluated (a
    // modulation that never reaches its target bit error rate).
    bool check(const DesignPoint& point, std::string& error) const;
    bool check(const DesignPoint& point, DesignFault& fault) const;

    void evaluate(const DesignPoint& point, BudgetSheet& sheet) const;
    BudgetSheet evaluate(const DesignPoint& point) const;
    // The same with the point's factors at hand (a sweep changes one of them
    // from point to point: point and factors must agree).
    void evaluate(const DesignPoint& point, const LinkFactors& factors, BudgetSheet& sheet) const;

    // True when a feature's numbers depend on the path (Range, Freq): the
    // solver then searches rather than using the closed forms.
    bool pathDependent() const { return m_pathDependent; }

    // The features that apply, in the order they work.
    const std::vector<const FeatureRow*>& features() const { return m_features; }

    // The sections under the budget, in order; none without features.
    std::vector<SheetSection> sections(const DesignPoint& point, const BudgetSheet& sheet) const;
    // How many sections() gives, known from the features alone (nothing evaluated).
    std::size_t sectionCount() const;

    // The budget term by term (LinkTerms of the effective factors, as the
    // features change them): they add up to the fade margin.
    std::vector<LinkTerm> terms(const DesignPoint& point, const BudgetSheet& sheet) const;

  private:
    // The point with what the features work out from it filled in.
    DesignPoint resolved(const DesignPoint& point) const;

    std::vector<const FeatureRow*> m_features;
    bool m_pathDependent = false;
    bool m_resolves = false; // some feature fills in parameters
};

// The link closes when its fade margin is at least the margin asked (the
// Required Fade Margin, dB).
bool LinkCloses(double fadeMargin, double marginAsked);

// "The link closes with 21.9 dB fade margin" / "The link falls 3.2 dB short"
// (none asked) / "The link falls 6.9 dB short of the 25.0 dB fade margin asked".
std::string Verdict(double fadeMargin, double marginAsked,
                    const std::function<std::string(double)>& number = {});

// The note for standard error when rain was asked for under 1 GHz: for one
// budget, or for a sweep with such points.
std::string RainBelowModelNote(bool sweep);
