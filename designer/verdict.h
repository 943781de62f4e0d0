#pragma once
// The verdict of a budget in words and its colour: "The link closes with
// 12.3 dB fade margin" in a green, "The link falls 4.1 dB short" in a red, each
// dark on a light desktop palette and light on a dark one.
#include <QColor>
#include <QLocale>
#include <QPalette>
#include <QString>

// The engine's verdict of a fade margin against the margin asked (dB), its
// numbers in the locale.
QString VerdictText(double fadeMargin, double marginAsked, const QLocale& locale);

// The colour of a link that closes (or falls short) on this palette.
QColor VerdictColour(const QPalette& palette, bool closes);

// A number with one decimal, in the locale, as the sheet shows decibels; a
// magnitude of a million dB or more in the exponent form (-1.1635e+37), so
// that no digit before the decimal point is ever lost.
QString DecibelText(double value, const QLocale& locale);
