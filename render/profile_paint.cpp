#include "profile_paint.h"

#include "plot_colours.h"
#include "render_fonts.h"
#include "sweep_plot.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kRayWidth = 2.0;      // px
constexpr double kEnvelopeWidth = 1.0; // px, cosmetic: the raster's fast dashes
constexpr double kMarkRadius = 5.0;    // px
constexpr double kLegendLine = 26.0;   // px of a legend's sample line
constexpr double kGap = 6.0;           // px

enum class Sample { Line, Fill, Dot, Triangle };

struct LegendEntry {
    QString name;
    QPen pen;
    Sample sample;
    QColor fill;
};

QPen rayPen() {
    return QPen(kRxEbNoColour, kRayWidth);
}
QPen dashed(const QColor& colour, Qt::PenStyle style) {
    QPen pen(colour, kEnvelopeWidth, style);
    pen.setCosmetic(true);
    return pen;
}
QPen f1Pen() {
    return dashed(kMinEbNoColour, Qt::DashLine);
}
QPen f06Pen() {
    return dashed(kMarginColour, Qt::DashLine);
}
QPen earthPen() {
    return dashed(kEarthColour, Qt::DashDotLine);
}

std::vector<LegendEntry> legendOf(const ProfileDrawing& d) {
    std::vector<LegendEntry> entries;
    entries.push_back({QStringLiteral("Terrain + earth bulge"), QPen(kTerrainEdgeColour, 1.0),
                       Sample::Fill, kTerrainColour});
    if (d.earthShown)
        entries.push_back({QStringLiteral("Sea level"), earthPen(), Sample::Line, {}});
    entries.push_back({QStringLiteral("Line of sight"), rayPen(), Sample::Line, {}});
    entries.push_back({QStringLiteral("F1"), f1Pen(), Sample::Line, {}});
    entries.push_back({QStringLiteral("0.6 F1"), f06Pen(), Sample::Line, {}});
    entries.push_back(
        {QStringLiteral("Critical point"), QPen(kCrossingColour), Sample::Dot, kCrossingColour});
    if (d.obstacle)
        entries.push_back(
            {QStringLiteral("Obstacle"), QPen(kObstacleColour), Sample::Triangle, kObstacleColour});
    return entries;
}

double entryWidth(const LegendEntry& entry, const QFontMetricsF& metrics) {
    return kLegendLine + kGap + metrics.horizontalAdvance(entry.name) + 3.0 * kGap;
}

// The legend's rows when it is laid out across `width`.
int legendRows(const std::vector<LegendEntry>& entries, const QFontMetricsF& metrics,
               double width) {
    int rows = 1;
    double used = 0.0;
    for (const LegendEntry& entry : entries) {
        const double w = entryWidth(entry, metrics);
        if (used > 0.0 && used + w > width) {
            ++rows;
            used = 0.0;
        }
        used += w;
    }
    return rows;
}

// A smooth series (the ray, the envelopes, the earth's curve) needs no more
// than a point every few pixels; a profile of arc-second samples has several
// a pixel.
constexpr double kSmoothStep = 3.0; // px

QPainterPath pathOf(const ProfileLayout& layout, const std::vector<double>& km,
                    const std::vector<double>& m) {
    QPainterPath path;
    double lastX = 0.0;
    for (std::size_t i = 0; i < km.size(); ++i) {
        const QPointF p = layout.at(km[i], m[i]);
        if (i == 0) {
            path.moveTo(p);
            lastX = p.x();
        } else if (i + 1 == km.size() || p.x() - lastX >= kSmoothStep) {
            path.lineTo(p);
            lastX = p.x();
        }
    }
    return path;
}

// The terrain's outline at the pixels' resolution: where several points fall
// in one pixel column, its first, lowest, highest and last point, in their
// order, so that no peak and no valley is lost.
QPolygonF outlineOf(const ProfileLayout& layout, const std::vector<double>& km,
                    const std::vector<double>& m) {
    QPolygonF outline;
    outline.reserve(int(std::min<std::size_t>(km.size(), 4 * std::size_t(layout.plot.width()))));
    std::size_t i = 0;
    while (i < km.size()) {
        const double column = std::floor(layout.at(km[i], 0.0).x());
        std::size_t end = i + 1;
        std::size_t low = i;
        std::size_t high = i;
        while (end < km.size() && std::floor(layout.at(km[end], 0.0).x()) == column) {
            low = m[end] < m[low] ? end : low;
            high = m[end] > m[high] ? end : high;
            ++end;
        }
        std::size_t kept[] = {i, std::min(low, high), std::max(low, high), end - 1};
        std::size_t previous = km.size();
        for (const std::size_t k : kept) {
            if (k != previous)
                outline << layout.at(km[k], m[k]);
            previous = k;
        }
        i = end;
    }
    return outline;
}

void paintTriangle(QPainter& painter, const QPointF& apex, double size) {
    const QPolygonF triangle{apex, apex + QPointF(-size, -1.6 * size),
                             apex + QPointF(size, -1.6 * size)};
    painter.drawPolygon(triangle);
}

void paintLegend(QPainter& painter, const QRectF& target, double top,
                 const std::vector<LegendEntry>& entries, const ProfileStyle& style) {
    const QFontMetricsF metrics(painter.font());
    const double line = metrics.height() * 1.2;
    double x = target.left() + kGap;
    double y = top + line / 2.0;
    for (const LegendEntry& entry : entries) {
        const double w = entryWidth(entry, metrics);
        if (x > target.left() + kGap && x + w > target.right()) {
            x = target.left() + kGap;
            y += line;
        }
        painter.setPen(entry.pen);
        switch (entry.sample) {
        case Sample::Line:
            painter.drawLine(QPointF(x, y), QPointF(x + kLegendLine, y));
            break;
        case Sample::Fill:
            painter.setBrush(entry.fill);
            painter.drawRect(
                QRectF(x, y - metrics.ascent() / 3.0, kLegendLine, 2.0 * metrics.ascent() / 3.0));
            break;
        case Sample::Dot:
            painter.setBrush(entry.fill);
            painter.drawEllipse(QPointF(x + kLegendLine / 2.0, y), kMarkRadius - 1.0,
                                kMarkRadius - 1.0);
            break;
        case Sample::Triangle:
            painter.setBrush(entry.fill);
            paintTriangle(painter, QPointF(x + kLegendLine / 2.0, y + kMarkRadius / 2.0),
                          kMarkRadius - 1.0);
            break;
        }
        painter.setBrush(Qt::NoBrush);
        painter.setPen(style.text);
        painter.drawText(QPointF(x + kLegendLine + kGap, y + metrics.ascent() / 2.0 - 1.0),
                         entry.name);
        x += w;
    }
}

void paintAxes(QPainter& painter, const ProfileLayout& layout, const ProfileDrawing& d,
               const ProfileStyle& style) {
    const QFontMetricsF metrics(painter.font());
    const QRectF& plot = layout.plot;
    for (const ProfileTick& tick : d.x.ticks) {
        const double px = layout.at(tick.value, 0.0).x();
        painter.setPen(QPen(style.grid, 1.0));
        painter.drawLine(QPointF(px, plot.top()), QPointF(px, plot.bottom()));
        painter.setPen(style.text);
        const QString text = QString::fromStdString(tick.text);
        painter.drawText(QPointF(px - metrics.horizontalAdvance(text) / 2.0,
                                 plot.bottom() + metrics.ascent() + 3.0),
                         text);
    }
    for (const ProfileTick& tick : d.y.ticks) {
        const double py = layout.at(layout.x0, tick.value).y();
        painter.setPen(QPen(style.grid, 1.0));
        painter.drawLine(QPointF(plot.left(), py), QPointF(plot.right(), py));
        painter.setPen(style.text);
        const QString text = QString::fromStdString(tick.text);
        painter.drawText(QPointF(plot.left() - metrics.horizontalAdvance(text) - 4.0,
                                 py + metrics.ascent() / 2.0 - 1.0),
                         text);
    }
    painter.setPen(QPen(style.text, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
    const QString xTitle = QStringLiteral("Distance (km)");
    painter.drawText(QPointF(plot.center().x() - metrics.horizontalAdvance(xTitle) / 2.0,
                             plot.bottom() + metrics.height() + metrics.ascent() + 5.0),
                     xTitle);
}

} // namespace

ProfileStyle PaperProfileStyle(double points) {
    ProfileStyle style;
    style.font = QFont(QString::fromLatin1(kSansFamily));
    style.font.setPointSizeF(points);
    style.grid = kGridColour;
    return style;
}

QPointF ProfileLayout::at(double km, double m) const {
    return {plot.left() + (km - x0) / (x1 - x0) * plot.width(),
            plot.bottom() - (m - y0) / (y1 - y0) * plot.height()};
}

double ProfileLayout::kmAt(double px) const {
    return x0 + (px - plot.left()) / plot.width() * (x1 - x0);
}

ProfileLayout LayoutProfile(const QRectF& target, const ProfileDrawing& d,
                            const ProfileStyle& style) {
    const QFontMetricsF metrics(style.font);
    const double line = metrics.height();
    double tickWidth = 0.0;
    for (const ProfileTick& tick : d.y.ticks)
        tickWidth =
            std::max(tickWidth, metrics.horizontalAdvance(QString::fromStdString(tick.text)));
    double lastTick = 0.0;
    if (!d.x.ticks.empty())
        lastTick = metrics.horizontalAdvance(QString::fromStdString(d.x.ticks.back().text));
    ProfileLayout layout;
    layout.legendRows = legendRows(legendOf(d), metrics, target.width() - 2.0 * kGap);
    const double left = target.left() + tickWidth + line * 1.4 + kGap;
    const double top = target.top() + line * 1.5 + layout.legendRows * line * 1.2 + kGap;
    const double right = target.right() - std::max(2.0 * kGap, lastTick / 2.0 + 2.0);
    const double bottom = target.bottom() - (2.0 * line + 8.0);
    layout.plot = QRectF(QPointF(left, top),
                         QPointF(std::max(right, left + 10.0), std::max(bottom, top + 10.0)));
    layout.x0 = d.x.low;
    layout.x1 = d.x.high > d.x.low ? d.x.high : d.x.low + 1.0;
    layout.y0 = d.y.low;
    layout.y1 = d.y.high > d.y.low ? d.y.high : d.y.low + 1.0;
    return layout;
}

void PaintProfile(QPainter& painter, const QRectF& target, const ProfileDrawing& d,
                  const ProfileStyle& style) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(target, style.background);
    painter.setFont(style.font);
    const ProfileLayout layout = LayoutProfile(target, d, style);
    const QFontMetricsF metrics(style.font);
    const double line = metrics.height();

    QFont bold = style.font;
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(style.text);
    painter.drawText(QRectF(target.left(), target.top(), target.width(), line * 1.5),
                     Qt::AlignCenter, QString::fromStdString(d.title));
    painter.setFont(style.font);
    paintLegend(painter, target, target.top() + line * 1.5, legendOf(d), style);
    paintAxes(painter, layout, d, style);
    // The height axis's title, upright along the axis.
    painter.save();
    painter.translate(target.left() + metrics.ascent(), layout.plot.center().y());
    painter.rotate(-90.0);
    const QString yTitle = QStringLiteral("Height (m)");
    painter.setPen(style.text);
    painter.drawText(QPointF(-metrics.horizontalAdvance(yTitle) / 2.0, 0.0), yTitle);
    painter.restore();
    if (d.km.empty()) {
        painter.restore();
        return;
    }

    painter.save();
    painter.setClipRect(layout.plot);
    // The terrain filled down to the plot's floor.
    const QPolygonF outline = outlineOf(layout, d.km, d.terrainM);
    QPolygonF ground = outline;
    ground << QPointF(outline.back().x(), layout.plot.bottom() + 2.0)
           << QPointF(outline.front().x(), layout.plot.bottom() + 2.0);
    // The fill's edge is under the outline: no need to smooth it (a smoothed
    // fill of a thousand edges is most of a repaint's time).
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kTerrainColour);
    painter.drawPolygon(ground);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(kTerrainEdgeColour, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(outline);
    painter.strokePath(pathOf(layout, d.km, d.earthM), earthPen());
    painter.strokePath(pathOf(layout, d.km, d.upperF1M), f1Pen());
    painter.strokePath(pathOf(layout, d.km, d.lowerF1M), f1Pen());
    painter.strokePath(pathOf(layout, d.km, d.lower06F1M), f06Pen());
    painter.strokePath(pathOf(layout, d.km, d.rayM), rayPen());
    painter.restore();

    // The antennas on their masts, then the critical point and the obstacle.
    for (const ProfileMast& mast : {d.tx, d.rx}) {
        painter.setPen(QPen(style.text, 2.0));
        painter.drawLine(layout.at(mast.km, mast.groundM), layout.at(mast.km, mast.antennaM));
        painter.setPen(QPen(style.text, 1.0));
        painter.setBrush(kRxEbNoColour);
        painter.drawEllipse(layout.at(mast.km, mast.antennaM), kMarkRadius - 1.0,
                            kMarkRadius - 1.0);
    }
    const QPointF critical = layout.at(d.criticalMark.km, d.criticalMark.m);
    painter.setPen(QPen(kCrossingColour, 1.5, Qt::DotLine));
    painter.drawLine(critical, layout.at(d.criticalMark.km, d.rayM[d.critical]));
    painter.setPen(QPen(style.text, 1.0));
    painter.setBrush(kCrossingColour);
    painter.drawEllipse(critical, kMarkRadius, kMarkRadius);
    if (d.obstacle) {
        painter.setPen(QPen(style.text, 1.0));
        painter.setBrush(kObstacleColour);
        paintTriangle(painter, layout.at(d.obstacle->km, d.obstacle->m) - QPointF(0.0, 2.0),
                      kMarkRadius);
    }
    if (style.marker && *style.marker < d.km.size()) {
        const std::size_t i = *style.marker;
        const QPointF ground = layout.at(d.km[i], d.terrainM[i]);
        painter.setPen(QPen(style.text, 1.0, Qt::DashLine));
        painter.drawLine(QPointF(ground.x(), layout.plot.top()),
                         QPointF(ground.x(), layout.plot.bottom()));
        painter.setPen(QPen(style.text, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(ground, kMarkRadius + 2.0, kMarkRadius + 2.0);
        painter.drawEllipse(layout.at(d.km[i], d.rayM[i]), kMarkRadius, kMarkRadius);
    }
    painter.restore();
}

std::string ProfileSvg(const ProfileDrawing& drawing) {
    const std::string svg = PaintSvg(
        drawing.title,
        [&drawing](QPainter& painter) {
            PaintProfile(painter, QRectF(0, 0, kProfileWidth, kProfileHeight), drawing);
        },
        kProfileWidth, kProfileHeight);
    const std::size_t start = svg.find("<svg");
    return start == std::string::npos ? std::string() : svg.substr(start);
}
