#include "sweep_plot.h"

#include "plot_colours.h"
#include "render_fonts.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Crossings beyond this many are not drawn (a link crosses once or twice).
constexpr std::size_t kMaxMarkedCrossings = 8;
constexpr double kMarkerRadius = 5.0; // pixels
constexpr double kTitlePoints = 14.0;
constexpr double kTextPoints = 10.0;
constexpr double kLeft = 80.0; // pixels from the plot's edges to the axes
constexpr double kRight = 30.0;
constexpr double kTop = 50.0;
constexpr double kBottom = 120.0; // tick labels, the axis title and the legend
constexpr double kLegendLine = 30.0;

QFont plotFont(double points, bool bold = false) {
    QFont font(QString::fromLatin1(kSansFamily));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

std::pair<double, double> padded(double low, double high) {
    if (!(low < high)) {
        const double pad = std::max(1.0, std::fabs(low) * 0.05);
        return {low - pad, high + pad};
    }
    const double pad = (high - low) * 0.05;
    return {low - pad, high + pad};
}

struct Axis {
    double low;
    double high;
    double interval; // between ticks; 0 for none
};

// The x axis ends where the sweep ends, its ticks at round values.
Axis xAxisOf(const PlotData& data) {
    double low = 0.0;
    double high = 1.0;
    if (!data.x.empty()) {
        const auto [xMin, xMax] = std::minmax_element(data.x.begin(), data.x.end());
        low = *xMin;
        high = *xMax;
    }
    if (low == high) {
        std::tie(low, high) = padded(low, high);
    }
    const double interval = TickInterval(high - low);
    return {low, high, std::isfinite(interval) && interval > 0.0 ? interval : 0.0};
}

// The y axis holds every curve and 0 dB (the fade margin is judged against
// it), widened to whole ticks.
Axis yAxisOf(const PlotData& data) {
    double low = 0.0;
    double high = 0.0;
    for (const auto* curve : {&data.rxEbNo, &data.fadeMargin, &data.minEbNo}) {
        if (!curve->empty()) {
            const auto [least, most] = std::minmax_element(curve->begin(), curve->end());
            low = std::min(low, *least);
            high = std::max(high, *most);
        }
    }
    std::tie(low, high) = padded(low, high);
    const double interval = TickInterval(high - low);
    if (!(std::isfinite(interval) && interval > 0.0)) {
        return {low, high, 0.0};
    }
    return {std::floor(low / interval) * interval, std::ceil(high / interval) * interval, interval};
}

QString tickText(double value, double interval) {
    // A tick at 0 computed as 1e-17 reads as 0.
    return QString::number(std::fabs(value) < interval * 1e-9 ? 0.0 : value, 'g', 6);
}

class Frame {
  public:
    Frame(const QRectF& area, Axis x, Axis y) : m_area(area), m_x(x), m_y(y) {}
    QPointF at(double x, double y) const {
        return {m_area.left() + (x - m_x.low) / (m_x.high - m_x.low) * m_area.width(),
                m_area.bottom() - (y - m_y.low) / (m_y.high - m_y.low) * m_area.height()};
    }
    const QRectF& area() const { return m_area; }
    const Axis& x() const { return m_x; }
    const Axis& y() const { return m_y; }

  private:
    QRectF m_area;
    Axis m_x;
    Axis m_y;
};

void paintGrid(QPainter& painter, const Frame& frame, const PlotData& data) {
    const QRectF& area = frame.area();
    const QFontMetricsF metrics(painter.font());
    painter.setPen(QPen(kGridColour, 1.0));
    if (frame.x().interval > 0.0) {
        const double first = std::ceil(frame.x().low / frame.x().interval) * frame.x().interval;
        for (double x = first; x <= frame.x().high + frame.x().interval * 1e-9;
             x += frame.x().interval) {
            const QPointF p = frame.at(x, frame.y().low);
            painter.setPen(QPen(kGridColour, 1.0));
            painter.drawLine(QPointF(p.x(), area.top()), QPointF(p.x(), area.bottom()));
            painter.setPen(Qt::black);
            const QString text = tickText(x, frame.x().interval);
            painter.drawText(QPointF(p.x() - metrics.horizontalAdvance(text) / 2.0,
                                     area.bottom() + metrics.height() + 2.0),
                             text);
        }
    }
    if (frame.y().interval > 0.0) {
        for (double y = frame.y().low; y <= frame.y().high + frame.y().interval * 1e-9;
             y += frame.y().interval) {
            const QPointF p = frame.at(frame.x().low, y);
            painter.setPen(QPen(kGridColour, 1.0));
            painter.drawLine(QPointF(area.left(), p.y()), QPointF(area.right(), p.y()));
            painter.setPen(Qt::black);
            const QString text = tickText(y, frame.y().interval);
            painter.drawText(QPointF(area.left() - metrics.horizontalAdvance(text) - 6.0,
                                     p.y() + metrics.ascent() / 2.0 - 1.0),
                             text);
        }
    }
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
    const QString xTitle = QString::fromStdString(data.xTitle);
    painter.drawText(QPointF(area.center().x() - metrics.horizontalAdvance(xTitle) / 2.0,
                             area.bottom() + 2.0 * metrics.height() + 8.0),
                     xTitle);
    painter.save();
    painter.translate(area.left() - 60.0, area.center().y());
    painter.rotate(-90.0);
    const QString yTitle = QStringLiteral("dB");
    painter.drawText(QPointF(-metrics.horizontalAdvance(yTitle) / 2.0, 0.0), yTitle);
    painter.restore();
}

void paintCurve(QPainter& painter, const Frame& frame, const std::vector<double>& xs,
                const std::vector<double>& ys, const QPen& pen) {
    if (xs.empty()) {
        return;
    }
    QPainterPath path(frame.at(xs[0], ys[0]));
    for (std::size_t i = 1; i < xs.size(); ++i) {
        path.lineTo(frame.at(xs[i], ys[i]));
    }
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

void paintCrossings(QPainter& painter, const Frame& frame, const PlotData& data) {
    const std::size_t shown = std::min(data.crossings.size(), kMaxMarkedCrossings);
    const QFontMetricsF metrics(painter.font());
    for (std::size_t i = 0; i < shown; ++i) {
        const QPointF p = frame.at(data.crossings[i], 0.0);
        painter.setPen(QPen(kCrossingColour, 1.5));
        painter.setBrush(kCrossingColour);
        painter.drawEllipse(p, kMarkerRadius, kMarkerRadius);
        const QString label = QString::fromStdString(data.crossingLabels[i]);
        // The label stays inside the plot area, beside its marker.
        double left = p.x() + kMarkerRadius + 4.0;
        if (left + metrics.horizontalAdvance(label) > frame.area().right()) {
            left = p.x() - kMarkerRadius - 4.0 - metrics.horizontalAdvance(label);
        }
        painter.setPen(Qt::black);
        painter.drawText(QPointF(left, p.y() - kMarkerRadius - 2.0 - i * metrics.height()), label);
    }
}

struct LegendEntry {
    QString name;
    QPen pen;
    bool marker;
};

void paintLegend(QPainter& painter, const QRectF& plot, const std::vector<LegendEntry>& entries) {
    const QFontMetricsF metrics(painter.font());
    double width = 0.0;
    for (const LegendEntry& entry : entries) {
        width += kLegendLine + 6.0 + metrics.horizontalAdvance(entry.name) + 20.0;
    }
    double left = plot.left() + std::max(0.0, (plot.width() - width) / 2.0);
    const double y = plot.bottom() - 20.0;
    for (const LegendEntry& entry : entries) {
        painter.setPen(entry.pen);
        if (entry.marker) {
            painter.setBrush(entry.pen.color());
            painter.drawEllipse(QPointF(left + kLegendLine / 2.0, y), kMarkerRadius, kMarkerRadius);
        } else {
            painter.drawLine(QPointF(left, y), QPointF(left + kLegendLine, y));
        }
        left += kLegendLine + 6.0;
        painter.setPen(Qt::black);
        painter.drawText(QPointF(left, y + metrics.ascent() / 2.0 - 1.0), entry.name);
        left += metrics.horizontalAdvance(entry.name) + 20.0;
    }
}

// The plot at kPlotWidth x kPlotHeight: title, grid and axes, the three
// curves, the 0 dB crossings and the legend.
void paintPlot(const PlotData& data, QPainter& painter) {
    const QRectF plot(0, 0, kPlotWidth, kPlotHeight);
    painter.fillRect(plot, Qt::white);
    painter.setFont(plotFont(kTitlePoints, true));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(0, 0, kPlotWidth, kTop), Qt::AlignCenter,
                     QString::fromStdString(data.title));
    painter.setFont(plotFont(kTextPoints));
    const Frame frame(
        QRectF(kLeft, kTop, kPlotWidth - kLeft - kRight, kPlotHeight - kTop - kBottom),
        xAxisOf(data), yAxisOf(data));
    paintGrid(painter, frame, data);
    const QPen rxEbNo(kRxEbNoColour, 2.0);
    const QPen margin(kMarginColour, 2.0);
    const QPen minEbNo(kMinEbNoColour, 2.0, Qt::DashLine);
    painter.save();
    painter.setClipRect(frame.area());
    paintCurve(painter, frame, data.x, data.rxEbNo, rxEbNo);
    paintCurve(painter, frame, data.x, data.fadeMargin, margin);
    paintCurve(painter, frame, data.x, data.minEbNo, minEbNo);
    painter.restore();
    paintCrossings(painter, frame, data);
    std::vector<LegendEntry> legend{{QString::fromStdString(data.rxEbNoName), rxEbNo, false},
                                    {QString::fromStdString(data.fadeMarginName), margin, false},
                                    {QString::fromStdString(data.minEbNoName), minEbNo, false}};
    if (!data.crossings.empty()) {
        legend.push_back({QStringLiteral("Fade margin 0 dB"), QPen(kCrossingColour), true});
    }
    paintLegend(painter, plot, legend);
}

bool renderPng(const PlotData& data, std::string& bytes) {
    QImage image(kPlotWidth, kPlotHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintPlot(data, painter);
    painter.end();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        return false;
    }
    bytes.assign(buffer.data().constData(), static_cast<std::size_t>(buffer.data().size()));
    return true;
}

} // namespace

std::string PaintSvg(const std::string& title, const std::function<void(QPainter&)>& paint,
                     int width, int height) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(width, height));
    generator.setViewBox(QRect(0, 0, width, height));
    generator.setTitle(QString::fromStdString(title));
    QPainter painter;
    if (!painter.begin(&generator)) {
        return {};
    }
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    if (!painter.end()) {
        return {};
    }
    return buffer.data().toStdString();
}

bool RenderSweepPlot(const PlotData& data, PlotFormat format, std::string& bytes,
                     std::string& error) {
    if (format == PlotFormat::Png) {
        if (renderPng(data, bytes)) {
            return true;
        }
    } else {
        bytes = PaintSvg(data.title, [&data](QPainter& painter) { paintPlot(data, painter); });
        if (!bytes.empty()) {
            return true;
        }
    }
    error = "the plot could not be drawn";
    return false;
}

void PaintSweepPlot(const PlotData& data, QPainter& painter, const QRectF& target) {
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / kPlotWidth, target.height() / kPlotHeight);
    paintPlot(data, painter);
    painter.restore();
}
