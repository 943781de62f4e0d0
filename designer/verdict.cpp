#include "verdict.h"

namespace {

constexpr int kDarkWindow = 128; // lightness below which the palette is a dark one

} // namespace

QString DecibelText(double value, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'f', 1);
}

QString VerdictText(double fadeMargin, const QLocale& locale) {
    if (fadeMargin >= 0.0)
        return QStringLiteral("The link closes with %1 dB to spare")
            .arg(DecibelText(fadeMargin, locale));
    return QStringLiteral("The link falls %1 dB short").arg(DecibelText(-fadeMargin, locale));
}

QColor VerdictColour(const QPalette& palette, bool closes) {
    const bool dark = palette.color(QPalette::Window).lightness() < kDarkWindow;
    if (closes)
        return dark ? QColor(120, 220, 120) : QColor(0, 115, 0);
    return dark ? QColor(255, 125, 115) : QColor(185, 0, 0);
}
