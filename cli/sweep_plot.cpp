#include "sweep_plot.h"

#include <QBuffer>
#include <QGraphicsScene>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPointF>
#include <QSvgGenerator>
#include <QtCharts/QChart>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Crossings beyond this many are not drawn (a link crosses once or twice).
constexpr std::size_t kMaxMarkedCrossings = 8;
constexpr qreal kMarkerSize = 10.0; // pixels

QLineSeries* addCurve(QChart& chart, const QString& name, const std::vector<double>& xs,
                      const std::vector<double>& ys) {
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(xs.size()));
    for (std::size_t i = 0; i < xs.size(); ++i) {
        points.append(QPointF(xs[i], ys[i]));
    }
    auto* series = new QLineSeries;
    series->setName(name);
    series->replace(points);
    chart.addSeries(series);
    return series;
}

void addCrossings(QChart& chart, const PlotData& data) {
    const std::size_t shown = std::min(data.crossings.size(), kMaxMarkedCrossings);
    for (std::size_t i = 0; i < shown; ++i) {
        auto* mark = new QScatterSeries;
        const QString label = QString::fromStdString(data.crossingLabels[i]);
        mark->setName(label);
        mark->setMarkerSize(kMarkerSize);
        mark->append(data.crossings[i], 0.0);
        mark->setPointLabelsFormat(label); // literal text: it holds no @ tags
        mark->setPointLabelsVisible(true);
        mark->setPointLabelsClipping(false);
        chart.addSeries(mark);
    }
}

std::pair<double, double> padded(double low, double high) {
    if (!(low < high)) {
        const double pad = std::max(1.0, std::fabs(low) * 0.05);
        return {low - pad, high + pad};
    }
    const double pad = (high - low) * 0.05;
    return {low - pad, high + pad};
}

// A tick spacing of 1, 2 or 5 times a power of ten that gives a handful of
// ticks over `span`.
double tickInterval(double span) {
    constexpr double kTicks = 6.0;
    const double raw = span / kTicks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double step : {1.0, 2.0, 5.0}) {
        if (step * power >= raw) {
            return step * power;
        }
    }
    return 10.0 * power;
}

void addAxes(QChart& chart, const PlotData& data) {
    auto* xAxis = new QValueAxis;
    xAxis->setTitleText(QString::fromStdString(data.xTitle));
    auto* yAxis = new QValueAxis;
    yAxis->setTitleText(QStringLiteral("dB"));
    double xLow = 0.0;
    double xHigh = 1.0;
    double yLow = 0.0; // 0 dB always shows: the fade margin is judged against it
    double yHigh = 0.0;
    if (!data.x.empty()) {
        const auto [xMin, xMax] = std::minmax_element(data.x.begin(), data.x.end());
        xLow = *xMin;
        xHigh = *xMax;
        for (const auto* curve : {&data.rxEbNo, &data.fadeMargin, &data.minEbNo}) {
            const auto [low, high] = std::minmax_element(curve->begin(), curve->end());
            yLow = std::min(yLow, *low);
            yHigh = std::max(yHigh, *high);
        }
    }
    if (xLow == xHigh) {
        std::tie(xLow, xHigh) = padded(xLow, xHigh);
    }
    std::tie(yLow, yHigh) = padded(yLow, yHigh);
    // The x axis ends where the sweep ends, its ticks at round values.
    xAxis->setRange(xLow, xHigh);
    const double interval = tickInterval(xHigh - xLow);
    if (std::isfinite(interval) && interval > 0.0) {
        xAxis->setTickType(QValueAxis::TicksDynamic);
        xAxis->setTickAnchor(std::ceil(xLow / interval) * interval);
        xAxis->setTickInterval(interval);
    }
    yAxis->setRange(yLow, yHigh);
    yAxis->applyNiceNumbers();
    xAxis->setLabelFormat(QStringLiteral("%g")); // bit rates reach 500000000 kbit/s
    yAxis->setLabelFormat(QStringLiteral("%g"));
    chart.addAxis(xAxis, Qt::AlignBottom);
    chart.addAxis(yAxis, Qt::AlignLeft);
    for (QAbstractSeries* series : chart.series()) {
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
    }
}

void buildChart(QChart& chart, const PlotData& data) {
    chart.setTitle(QString::fromStdString(data.title));
    addCurve(chart, QString::fromStdString(data.rxEbNoName), data.x, data.rxEbNo);
    addCurve(chart, QString::fromStdString(data.fadeMarginName), data.x, data.fadeMargin);
    QLineSeries* floor =
        addCurve(chart, QString::fromStdString(data.minEbNoName), data.x, data.minEbNo);
    QPen pen = floor->pen(); // the theme sets the pen when the series is added
    pen.setStyle(Qt::DashLine);
    floor->setPen(pen);
    addCrossings(chart, data);
    addAxes(chart, data);
    chart.legend()->setAlignment(Qt::AlignBottom);
    chart.resize(kPlotWidth, kPlotHeight);
}

// The chart in a scene of its own, at the plot's size.
class ChartScene {
  public:
    explicit ChartScene(const PlotData& data) {
        auto* chart = new QChart; // owned by the scene
        m_scene.addItem(chart);
        buildChart(*chart, data);
        m_scene.setSceneRect(0, 0, kPlotWidth, kPlotHeight);
    }
    void render(QPainter& painter, const QRectF& target) {
        m_scene.render(&painter, target, QRectF(0, 0, kPlotWidth, kPlotHeight));
    }

  private:
    QGraphicsScene m_scene;
};

bool renderPng(ChartScene& scene, std::string& bytes) {
    QImage image(kPlotWidth, kPlotHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(painter, QRectF(0, 0, kPlotWidth, kPlotHeight));
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

std::string PaintSvg(const std::string& title, const std::function<void(QPainter&)>& paint) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(kPlotWidth, kPlotHeight));
    generator.setViewBox(QRect(0, 0, kPlotWidth, kPlotHeight));
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
    ChartScene scene(data);
    if (format == PlotFormat::Png) {
        if (renderPng(scene, bytes)) {
            return true;
        }
    } else {
        bytes = PaintSvg(data.title, [&scene](QPainter& painter) {
            scene.render(painter, QRectF(0, 0, kPlotWidth, kPlotHeight));
        });
        if (!bytes.empty()) {
            return true;
        }
    }
    error = "the plot could not be drawn";
    return false;
}

void PaintSweepPlot(const PlotData& data, QPainter& painter, const QRectF& target) {
    ChartScene scene(data);
    scene.render(painter, target);
}
