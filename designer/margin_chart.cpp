#include "margin_chart.h"

#include "budget_sheet.h"
#include "design_fields.h"
#include "verdict.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kTicks = 5;           // about this many ticks on an axis
constexpr double kHeadroom = 0.08;  // of the margin's range, above and below
constexpr double kMarkRadius = 4.0; // px

// A round step near `range / kTicks`: 1, 2 or 5 times a power of ten.
double niceStep(double range) {
    if (!(range > 0.0) || !std::isfinite(range))
        return 1.0;
    const double rough = range / kTicks;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    const double mantissa = rough / power;
    return (mantissa <= 1.0 ? 1.0 : mantissa <= 2.0 ? 2.0 : mantissa <= 5.0 ? 5.0 : 10.0) * power;
}

int decimalsOf(double step) {
    return std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
}

constexpr double kPercentOfYear = 100.0;

// Where x sits on the axis: itself, or the logarithm of the unavailability.
double axisOf(AxisScale scale, double x) {
    return scale == AxisScale::Linear ? x : std::log10(kPercentOfYear - x);
}

double valueOf(AxisScale scale, double axis) {
    return scale == AxisScale::Linear ? axis : kPercentOfYear - std::pow(10.0, axis);
}

} // namespace

struct MarginChart::Frame {
    QRectF plot;
    AxisScale scale = AxisScale::Linear;
    double a0 = 0.0, a1 = 1.0, y0 = -1.0, y1 = 1.0; // the axes' ends (a: on the axis)
    double xStep = 1.0, yStep = 1.0;

    double px(double x) const {
        return plot.left() + (axisOf(scale, x) - a0) / (a1 - a0) * plot.width();
    }
    double py(double y) const { return plot.bottom() - (y - y0) / (y1 - y0) * plot.height(); }
    double xAt(double pixel) const {
        return valueOf(scale, a0 + (pixel - plot.left()) / plot.width() * (a1 - a0));
    }
    // The x of every tick, left to right.
    std::vector<double> ticks() const {
        std::vector<double> at;
        if (scale == AxisScale::Linear) {
            for (double x = std::ceil(a0 / xStep) * xStep; x <= a1 + xStep * 1e-9; x += xStep)
                at.push_back(x);
            return at;
        }
        if (!std::isfinite(a0) || !std::isfinite(a1))
            return at;
        // 1, 2 and 5 of each decade of the unavailability.
        for (double decade = std::floor(a0); decade <= a1; ++decade)
            for (const double digit : {1.0, 2.0, 5.0}) {
                const double axis = decade + std::log10(digit);
                if (axis >= a0 - 1e-9 && axis <= a1 + 1e-9)
                    at.push_back(valueOf(scale, axis));
            }
        return at;
    }
};

MarginChart::MarginChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MarginChart"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Fade margin chart"));
    setFocusPolicy(Qt::NoFocus);
}

QSize MarginChart::sizeHint() const {
    return {480, 300};
}

QSize MarginChart::minimumSizeHint() const {
    return {240, 160};
}

void MarginChart::setCurve(MarginCurve curve, const QString& emptyText) {
    m_curve = std::move(curve);
    m_emptyText = emptyText;
    QString summary;
    if (!m_curve.x.empty())
        summary = QStringLiteral("Fade margin against %1 from %2 to %3 %4")
                      .arg(m_curve.caption, NumberText(m_curve.x.front(), m_locale),
                           NumberText(m_curve.x.back(), m_locale), m_curve.unit);
    for (const double x : m_curve.crossings)
        summary += QStringLiteral("; %1 dB at %2")
                       .arg(DecibelText(m_curve.required, m_locale), m_locale.toString(x, 'g', 6));
    if (accessibleDescription() != summary)
        setAccessibleDescription(summary);
    update();
}

MarginChart::Frame MarginChart::frame() const {
    Frame f;
    const QFontMetrics metrics(font());
    const double left = metrics.horizontalAdvance(QStringLiteral("-0000.0")) + 10;
    const double top = metrics.height() * 1.5 + 6;
    const double bottom = metrics.height() * 2.5 + 6;
    f.plot = QRectF(left, top, std::max(10.0, width() - left - 14),
                    std::max(10.0, height() - top - bottom));
    f.scale = m_curve.scale;
    if (m_curve.x.empty())
        return f;
    const double front = axisOf(f.scale, m_curve.x.front());
    const double back = axisOf(f.scale, m_curve.x.back());
    f.a0 = std::min(front, back);
    f.a1 = std::max(front, back) > f.a0 ? std::max(front, back) : f.a0 + 1.0;
    const auto [low, high] = std::minmax_element(m_curve.margin.begin(), m_curve.margin.end());
    const double current = m_curve.hasCurrent ? m_curve.currentMargin : m_curve.required;
    const double least = std::min({*low, m_curve.required, current});
    const double most = std::max({*high, m_curve.required, current});
    const double room = std::max(1.0, (most - least) * kHeadroom);
    f.y0 = least - room;
    f.y1 = most + room;
    f.xStep = niceStep(f.a1 - f.a0);
    f.yStep = niceStep(f.y1 - f.y0);
    return f;
}

QString MarginChart::axisText(double x, int extraDecimals) const {
    if (m_curve.scale == AxisScale::Linear)
        return m_locale.toString(x, 'f', decimalsOf(frame().xStep) + extraDecimals);
    // The unavailability, with as many decimals as it needs (0.001, 0.2, 5).
    const double unavailable = kPercentOfYear - x;
    const int decimals =
        std::max(0, extraDecimals - int(std::floor(std::log10(unavailable) + 1e-9)));
    return m_locale.toString(unavailable, 'f', std::min(decimals, 6));
}

QString MarginChart::axisCaption() const {
    if (m_curve.scale == AxisScale::Unavailability)
        return QStringLiteral("Unavailability (% of the year)");
    return QStringLiteral("%1 (%2)").arg(m_curve.caption, m_curve.unit);
}

std::vector<MarginChart::CrossingLabel> MarginChart::crossingLabels() const {
    const Frame f = frame();
    const QFontMetrics metrics(font());
    const double lineHeight = metrics.height() + 2;
    const int rows = std::max(1, int(f.plot.height() / 3 / lineHeight)); // the top third
    std::vector<CrossingLabel> placed;
    for (const double x : m_curve.crossings) {
        const QString text = QStringLiteral("%1 dB at %2")
                                 .arg(DecibelText(m_curve.required, m_locale), axisText(x, 1));
        const double wide = metrics.horizontalAdvance(text) + 2;
        const double line = f.px(x);
        // Right of its line, else left of it, on the first free row; none free: left out.
        std::optional<QRectF> free;
        for (int row = 0; row < rows && !free; ++row) {
            const double top = f.plot.top() + 2 + row * lineHeight;
            for (const double left : {line + 4, line - 4 - wide}) {
                const QRectF box(left, top, wide, lineHeight);
                const bool inside = f.plot.contains(box);
                const bool clear =
                    std::none_of(placed.begin(), placed.end(), [&](const CrossingLabel& other) {
                        return other.box.intersects(box);
                    });
                if (inside && clear) {
                    free = box;
                    break;
                }
            }
        }
        if (free)
            placed.push_back({x, text, *free});
    }
    return placed;
}

void MarginChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(rect(), colours.color(QPalette::Base));
    const Frame f = frame();
    const QColor text = colours.color(QPalette::Text);
    const QFontMetrics metrics(font());
    painter.setPen(text);
    if (m_curve.x.empty()) {
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         m_emptyText.isEmpty() ? QStringLiteral("No margin to draw") : m_emptyText);
        return;
    }
    // The grid and the axes' numbers.
    QPen grid(colours.color(QPalette::Mid), 0, Qt::DotLine);
    for (const double x : f.ticks()) {
        painter.setPen(grid);
        painter.drawLine(QPointF(f.px(x), f.plot.top()), QPointF(f.px(x), f.plot.bottom()));
        painter.setPen(text);
        const QString label = axisText(x, 0);
        painter.drawText(QPointF(f.px(x) - metrics.horizontalAdvance(label) / 2.0,
                                 f.plot.bottom() + metrics.ascent() + 4),
                         label);
    }
    for (double y = std::ceil(f.y0 / f.yStep) * f.yStep; y <= f.y1; y += f.yStep) {
        painter.setPen(grid);
        painter.drawLine(QPointF(f.plot.left(), f.py(y)), QPointF(f.plot.right(), f.py(y)));
        painter.setPen(text);
        const QString label = m_locale.toString(y, 'f', decimalsOf(f.yStep));
        painter.drawText(QPointF(f.plot.left() - metrics.horizontalAdvance(label) - 5,
                                 f.py(y) + metrics.ascent() / 2.0 - 1),
                         label);
    }
    painter.drawRect(f.plot);
    painter.drawText(QRectF(f.plot.left(), f.plot.bottom() + metrics.height() + 6, f.plot.width(),
                            metrics.height()),
                     Qt::AlignHCenter, axisCaption());
    painter.drawText(QPointF(4, metrics.ascent() + 2), QStringLiteral("Fade margin (dB)"));
    // The margin asked, dashed.
    painter.setPen(QPen(text, 0, Qt::DashLine));
    painter.drawLine(QPointF(f.plot.left(), f.py(m_curve.required)),
                     QPointF(f.plot.right(), f.py(m_curve.required)));

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(f.plot);
    QPainterPath path;
    for (std::size_t i = 0; i < m_curve.x.size(); ++i) {
        const QPointF point(f.px(m_curve.x[i]), f.py(m_curve.margin[i]));
        i == 0 ? path.moveTo(point) : path.lineTo(point);
    }
    painter.strokePath(path, QPen(colours.color(QPalette::Highlight), 2));

    const QColor shortColour = VerdictColour(colours, false);
    painter.setPen(QPen(shortColour, 1, Qt::DashLine));
    for (const double x : m_curve.crossings)
        painter.drawLine(QPointF(f.px(x), f.plot.top()), QPointF(f.px(x), f.plot.bottom()));
    for (const CrossingLabel& label : crossingLabels())
        painter.drawText(label.box, Qt::AlignLeft | Qt::AlignVCenter, label.text);
    if (m_curve.hasCurrent) {
        const QPointF at(f.px(m_curve.currentX), f.py(m_curve.currentMargin));
        const QColor mark =
            VerdictColour(colours, LinkCloses(m_curve.currentMargin, m_curve.required));
        painter.setPen(QPen(text, 1));
        painter.setBrush(mark);
        painter.drawEllipse(at, kMarkRadius, kMarkRadius);
        painter.setPen(text);
        // Above the mark, or below it where the plot's top would cut it.
        const bool below = at.y() - kMarkRadius - 2 - metrics.ascent() < f.plot.top();
        painter.drawText(at + QPointF(kMarkRadius + 3, below ? kMarkRadius + 2 + metrics.ascent()
                                                             : -kMarkRadius - 2),
                         DecibelText(m_curve.currentMargin, m_locale) + QStringLiteral(" dB"));
    }
    if (m_hoverX) {
        painter.setPen(QPen(colours.color(QPalette::Mid), 1));
        painter.drawLine(QPointF(f.px(*m_hoverX), f.plot.top()),
                         QPointF(f.px(*m_hoverX), f.plot.bottom()));
        const QString hover = hoverText();
        const QRectF box(f.plot.left() + 4, f.plot.bottom() - metrics.height() - 8,
                         metrics.horizontalAdvance(hover) + 10, metrics.height() + 4);
        painter.setPen(colours.color(QPalette::ToolTipText));
        painter.setBrush(colours.color(QPalette::ToolTipBase));
        painter.drawRect(box);
        painter.drawText(box, Qt::AlignCenter, hover);
    }
}

QString MarginChart::hoverText() const {
    if (!m_hoverX)
        return {};
    const std::optional<double> margin = CurveMarginAt(m_curve, *m_hoverX);
    if (!margin)
        return {};
    if (m_curve.scale == AxisScale::Unavailability)
        return QStringLiteral("Unavailability %1 %: fade margin %2 dB")
            .arg(axisText(*m_hoverX, 1), DecibelText(*margin, m_locale));
    // One decimal more than the axis's ticks.
    return QStringLiteral("%1 %2 %3: fade margin %4 dB")
        .arg(m_curve.caption, axisText(*m_hoverX, 1), m_curve.unit, DecibelText(*margin, m_locale));
}

void MarginChart::mouseMoveEvent(QMouseEvent* event) {
    const Frame f = frame();
    const QPointF at = event->position();
    std::optional<double> x;
    if (!m_curve.x.empty() && f.plot.contains(at))
        x = f.xAt(at.x());
    if (x != m_hoverX) {
        m_hoverX = x;
        update();
    }
}

void MarginChart::leaveEvent(QEvent*) {
    if (m_hoverX) {
        m_hoverX.reset();
        update();
    }
}

std::vector<double> MarginChart::ticks() const {
    return frame().ticks();
}
