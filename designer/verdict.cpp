#include "verdict.h"

#include "budget_sheet.h"

#include <cmath>

namespace {

constexpr int kDarkWindow = 128;        // lightness below which the palette is a dark one
constexpr double kLargestFixedDb = 1e6; // dB: larger magnitudes are written with an exponent
constexpr int kExponentDigits = 4;      // after the decimal point of the exponent form

} // namespace

QString DecibelText(double value, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    // Beyond what a column of decibels holds, the exponent form keeps the
    // magnitude in sight: -1.1635e+37, never a row of digits.
    if (std::fabs(value) >= kLargestFixedDb)
        return plain.toString(value, 'e', kExponentDigits);
    return plain.toString(value, 'f', 1);
}

QString VerdictText(double fadeMargin, double marginAsked, const QLocale& locale) {
    // The engine's words, its numbers as the sheet shows decibels.
    return QString::fromStdString(Verdict(fadeMargin, marginAsked, [&locale](double value) {
        return DecibelText(value, locale).toStdString();
    }));
}

QColor VerdictColour(const QPalette& palette, bool closes) {
    const bool dark = palette.color(QPalette::Window).lightness() < kDarkWindow;
    if (closes)
        return dark ? QColor(120, 220, 120) : QColor(0, 115, 0);
    return dark ? QColor(255, 125, 115) : QColor(185, 0, 0);
}
