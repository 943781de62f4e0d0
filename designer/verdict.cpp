#include "verdict.h"

#include "budget_sheet.h"

namespace {

constexpr int kDarkWindow = 128; // lightness below which the palette is a dark one

} // namespace

QString DecibelText(double value, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'f', 1);
}

QString VerdictText(double fadeMargin, double marginAsked) {
    // The engine's words, with the screen's decimal separator it was given.
    return QString::fromStdString(Verdict(fadeMargin, marginAsked));
}

QColor VerdictColour(const QPalette& palette, bool closes) {
    const bool dark = palette.color(QPalette::Window).lightness() < kDarkWindow;
    if (closes)
        return dark ? QColor(120, 220, 120) : QColor(0, 115, 0);
    return dark ? QColor(255, 125, 115) : QColor(185, 0, 0);
}
