#pragma once
// The link budget: fourteen factors in, nine results and the bit error
// performance text out. No Qt.
#include "link_factors.h"

#include <array>
#include <string>
#include <string_view>

constexpr double FailureSentinel = 9.9999999999e26;
constexpr double kFreeSpaceConstant = 36.6;  // dB, miles and MHz
constexpr double kMilliwatt = 0.001;         // W
constexpr double kKilo = 1000.0;             // kbit/s to bit/s
constexpr double kNoiseDensity290K = -173.9; // dBm/Hz

// log10(x) for x > 0, FailureSentinel otherwise (zero, negative, NaN).
double SafeLog10(double x);

// A power in dBm: 10 log10(W / 1 mW), the sentinel for 0 W or less.
double WattsToDbm(double watts);

// base^exponent; FailureSentinel on overflow or an invalid result. An
// underflow gives the true tiny value or 0.
double SafePow(double base, double exponent);

// Reads every factor, writes all nine results; no other effect.
void CalculateLink(const LinkFactors& factors, LinkResults& results);

// Piecewise-linear look-up in n points (xs ascending), held at the ends.
double InterpolateTable(int n, const double* xs, const double* ys, double x);

struct BepPoint {
    double ebNo; // dB
    double bep;  // errors per bit
};
extern const std::array<BepPoint, 8> BepTable;

// The bit error performance that goes with a minimum Eb/No (errors per bit):
// the table's look-up.
double BitErrorPerformance(double minEbNo);

// Caption of the bit error performance row, as on the window.
constexpr const char* kBepCaption = "Minimum BEP Desired";

// Text of LabelMinBepDesired: FormatExponent(2, 1, bep) with "< " below the
// first table point and "> " above the last.
std::string BepText(double minEbNo);

struct ResultRow {
    double LinkResults::*field;
    const char* label;   // objectName, e.g. "LabelFreeSpaceAtten"
    const char* caption; // row caption, e.g. "Free Space Attenuation"
    const char* unit;    // unit label text
    double displayScale; // 100 for the reliability (shown in percent), else 1
};
extern const std::array<ResultRow, kResultCount> ResultTable;

// The row of a result's field.
const ResultRow& ResultRowOf(double LinkResults::*field);

// The results' field names ("FreeSpaceAtten", ...), in ResultTable order:
// the label's name without "Label". The CSV header and the JSON keys.
std::string_view ResultKey(std::size_t index);

// FormatFixed(7, 1, value * displayScale).
std::string ResultText(const ResultRow& row, double value);

// The result's text outside the window: ResultText, except that a value it
// cannot show in its 7 characters keeps its magnitude (FormatInWidth).
std::string ResultShownText(const ResultRow& row, double value);

// The budget term by term, from the transmit power to the fade margin, in
// the order a signal meets them: the signal's terms (transmit power, the
// path, the antennas, the bit rate) give Eb; the noise's terms (the noise
// density and the receiver's noise figure) give No; the requirement is
// subtracted last. `db` is each term's signed contribution to the fade
// margin: the terms add up to it. The signs are written here and nowhere
// else; every output renders them.
enum class TermSide { Signal, Noise, Requirement };

struct LinkTerm {
    const char* key;     // a factor's or a result's key, or "NoiseFigure"
    const char* caption; // the factor's or the result's caption
    double value;        // the term in dB units: dBm, dB, dB(bit/s), dBm/Hz
    const char* unit;
    double db; // its contribution to the fade margin, dB
    TermSide side;
    const char* source; // where its formula comes from
};

constexpr std::size_t kLinkTermCount = 12;
std::array<LinkTerm, kLinkTermCount> LinkTerms(const LinkFactors& factors,
                                               const LinkResults& results);
