#pragma once
// The fourteen link factors, the nine results, and the table from which the
// window builds one slider row per factor. No Qt.
#include "units.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Engineering values; the field names are the settings file's keys.
struct LinkFactors {
    double Range;          // statute miles
    double Freq;           // MHz
    double TxPower;        // W
    double BitRate;        // kbit/s
    double MinEbNoDesired; // dB
    double LnaNoiseFigure; // dB
    double LnaGain;        // dB
    double RxNoiseFigure;  // dB
    double TxFeedLoss;     // dB
    double TxAntGain;      // dBi
    double Weather;        // dB
    double Polarization;   // dB
    double RxAntGain;      // dBi
    double RxFeedLoss;     // dB
};

struct LinkResults {
    double FreeSpaceAtten; // dB, negative: added to the budget
    double TxPowerdb;      // dBm
    double BitRatedb;      // dB(bit/s)
    double NoiseTemp;      // dBm/Hz, thermal noise density at 290 K
    double NoisePbitNo;    // dB, noise power per bit
    double RxPbitEb;       // dB, received power per bit
    double RxEbNo;         // dB
    double FadeMargin;     // dB
    double Reliability;    // fraction, 1.0 = 100 %
};

constexpr std::size_t kFactorCount = 14;
constexpr std::size_t kResultCount = 9;

// Where a factor row stands on the window.
enum class FactorPanel { Panel1, Panel5, Panel4, Panel3 };

// How the fade margin depends on a factor, and so how it is solved for.
enum class SolveForm {
    Amplitude, // Range, Freq: margin falls by 20·log10 x (x > 0)
    Power,     // TxPower: margin rises by 10·log10 x (x > 0)
    Rate,      // BitRate: margin falls by 10·log10 x (x > 0)
    Gain,      // a gain in dB, added
    Loss,      // a loss in dB, subtracted
    Search,    // the noise figures and the LNA gain: no closed form
    Reference, // MinEbNoDesired: what the margin is measured against
};

struct FactorRow {
    double LinkFactors::*field;
    const char* key;        // field name = profile key, e.g. "Range"
    double defaultValue;    // engineering unit
    const char* slider;     // objectName, e.g. "ScrollBarRange"
    int min, max;           // slider positions
    int formPosition;       // design-time position, overwritten by the first display
    int scale;              // positions per unit (1 or 10)
    const char* valueLabel; // objectName, e.g. "LabelRange"
    int decimals;           // decimals of the value label
    const char* unit;       // unit label text, e.g. "Miles"
    FactorPanel panel;
    const char* caption;     // caption label text, e.g. "Range"
    const char* popupMenu;   // objectName of the group's pop-up menu
    const char* menuItem;    // objectName of the pop-up item
    const char* menuCaption; // its caption
    // Bounds of the value prompt, engineering unit: wider than most sliders'
    // ranges, since a typed value the slider cannot show stays in the record.
    double promptLow;
    double promptHigh;
    const char* promptText; // the value prompt's question
    int promptDecimals;     // of the prompt's default text and of the bounds in its title
    UnitFamily units;       // what the value measures; its base unit is `unit`
    SolveForm solveForm;
    bool solvesForLargest; // solving gives the largest value (else the least) for a margin
};

// In table order: the order of the record, the display and the settings file.
extern const std::array<FactorRow, kFactorCount> FactorTable;

using SliderPositions = std::array<int, kFactorCount>;

// The row of a field ("which factor row is this field"), its index, and the
// index of a profile key (letter case ignored).
const FactorRow& FactorRowOf(double LinkFactors::*field);
std::size_t FactorIndexOf(double LinkFactors::*field);
std::optional<std::size_t> FindFactor(std::string_view key);

// The defaults of every factor (the table's defaultValue column).
void SetDefaultFactors(LinkFactors& factors);

// Slider to value: position / scale (the double nearest to it).
double SliderValue(const FactorRow& row, int position);

// Value to slider: RoundNearest(value * scale), limited to Min ... Max.
int SliderPosition(const FactorRow& row, double value);

// The value label's text: FormatFixed(12, decimals, value).
std::string FactorValueText(const FactorRow& row, double value);

// The value's text outside the window (the calculator, the report, the
// design window): the label's text, except that a value it cannot show in
// its 12 characters keeps its magnitude (FormatInWidth).
std::string FactorShownText(const FactorRow& row, double value);

// Every field := its slider's position / scale, in table order.
void SlidersToFactors(const SliderPositions& positions, LinkFactors& factors);
