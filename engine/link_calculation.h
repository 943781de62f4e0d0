#pragma once
// The link budget: fourteen factors in, nine results and the bit error
// performance text out. No Qt.
#include "link_factors.h"

#include <array>
#include <string>

constexpr double FailureSentinel = 9.9999999999e26;
constexpr double kFreeSpaceConstant = 36.6;  // dB, miles and MHz
constexpr double kMilliwatt = 0.001;         // W
constexpr double kKilo = 1000.0;             // kbit/s to bit/s
constexpr double kNoiseDensity290K = -173.9; // dBm/Hz

// log10(x) for x > 0, FailureSentinel otherwise (zero, negative, NaN).
double SafeLog10(double x);

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

// FormatFixed(7, 1, value * displayScale).
std::string ResultText(const ResultRow& row, double value);
