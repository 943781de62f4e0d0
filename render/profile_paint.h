#pragma once
// Paints a terrain profile's drawing (profile_drawing.h) with QPainter: the
// design window's profile view and the report's figure draw it alike. Needs
// a QGuiApplication; no widgets.
#include "profile_drawing.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>

#include <cstddef>
#include <optional>
#include <string>

class QPainter;

// What changes between the screen and paper: the text's font and colours
// (the desktop's palette, or black on white) and the point marked.
struct ProfileStyle {
    QFont font; // of the ticks, legend and titles
    QColor background = Qt::white;
    QColor text = Qt::black;
    QColor grid{0xdd, 0xdd, 0xdd};
    std::optional<std::size_t> marker; // a profile point marked (the pointer's, the keys')
};

// The report's style: DejaVu Sans at `points`.
ProfileStyle PaperProfileStyle(double points = 10.0);

// Where a drawing lands in a target rectangle: the plot area and the axes'
// ends.
struct ProfileLayout {
    QRectF plot;
    double x0 = 0.0, x1 = 1.0; // km
    double y0 = 0.0, y1 = 1.0; // m
    int legendRows = 1;

    QPointF at(double km, double m) const;
    double kmAt(double px) const;
};

ProfileLayout LayoutProfile(const QRectF& target, const ProfileDrawing& drawing,
                            const ProfileStyle& style);

// The whole drawing into `target`: title, legend, grid and axes, the
// terrain, the earth's curve, the envelopes, the ray, the antennas, the
// critical point, the obstacle and the marker.
void PaintProfile(QPainter& painter, const QRectF& target, const ProfileDrawing& drawing,
                  const ProfileStyle& style = PaperProfileStyle());

constexpr int kProfileWidth = 1000; // SVG user units, as the sweep's plot
constexpr int kProfileHeight = 520;

// The drawing as an SVG document's <svg> element, without the XML prologue
// ("" when it could not be drawn).
std::string ProfileSvg(const ProfileDrawing& drawing);
