#pragma once
// A window's widgets counted by kind, so that a bare Qt window of the same
// make-up can be built beside it: the design window's census is taken at
// build time (design_census), the bare window is built from it.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>

#include <array>

struct WidgetCensus {
    int lineEdits = 0;
    int comboBoxes = 0;
    int pushButtons = 0;
    int groupBoxes = 0;
    int labels = 0;
    int scrollAreas = 0;
    int splitters = 0;
    int tabWidgets = 0;
    int menus = 0;
    int total = 0;  // every widget, the window and the widgets Qt makes inside others included
    int hidden = 0; // of the kinds above, those not shown
};

// The kinds, most special first: a widget counts once, as the first it is.
template <typename Visit> void ForEachKind(WidgetCensus& census, Visit visit) {
    visit(census.lineEdits, static_cast<QLineEdit*>(nullptr), "lineEdits");
    visit(census.comboBoxes, static_cast<QComboBox*>(nullptr), "comboBoxes");
    visit(census.pushButtons, static_cast<QPushButton*>(nullptr), "pushButtons");
    visit(census.groupBoxes, static_cast<QGroupBox*>(nullptr), "groupBoxes");
    visit(census.labels, static_cast<QLabel*>(nullptr), "labels");
    visit(census.scrollAreas, static_cast<QScrollArea*>(nullptr), "scrollAreas");
    visit(census.splitters, static_cast<QSplitter*>(nullptr), "splitters");
    visit(census.tabWidgets, static_cast<QTabWidget*>(nullptr), "tabWidgets");
    visit(census.menus, static_cast<QMenu*>(nullptr), "menus");
}

inline WidgetCensus TakeCensus(QWidget* window) {
    WidgetCensus census;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    census.total = static_cast<int>(widgets.size());
    for (QWidget* widget : widgets) {
        bool counted = false;
        ForEachKind(census, [&](int& count, auto* kind, const char*) {
            if (!counted && qobject_cast<decltype(kind)>(widget) != nullptr) {
                ++count;
                counted = true;
                census.hidden += widget->isVisibleTo(window) ? 0 : 1;
            }
        });
    }
    return census;
}
