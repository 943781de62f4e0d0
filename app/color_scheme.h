#pragma once
// Colour values of the options file on the screen: decoding and painting.
#include <QColor>
#include <QPalette>
#include <cstdint>

class QWidget;

// A colour value as the GUI shows it. Bit 31 clear: 0x00BBGGRR, low byte red
// (the high byte is ignored). Bit 31 set: the desktop colour whose index is
// the low byte, taken from QApplication::palette() (8 is the window-text
// colour); an index the desktop does not have gives black.
QColor colorFromValue(int32_t value);

// Sets one role of the widget's own palette in every colour group; roles it
// has not set keep following its parent.
void setRoleColor(QWidget* widget, QPalette::ColorRole role, const QColor& color);
