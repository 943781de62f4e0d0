#pragma once
// The reference window for the design window's start-up: plain Qt widgets of
// the same kinds and number (its census), in splitters, scroll areas, group
// boxes with grids and a tab widget, as many hidden as there; nothing of the
// program's own: no model, no evaluation, no painting of charts.
#include "widget_census.h"

#include <QMainWindow>

// Builds the window (not shown); the caller owns it.
QMainWindow* MakeBareDesignWindow(const WidgetCensus& census);
