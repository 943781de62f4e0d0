#include "margin_chart.h"

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

} // namespace

struct MarginChart::Frame {
    QRectF plot;
    double x0 = 0.0, x1 = 1.0, y0 = -1.0, y1 = 1.0; // the axes' ends
    double xStep = 1.0, yStep = 1.0;

    double px(double x) const { return plot.left() + (x - x0) / (x1 - x0) * plot.width(); }
    double py(double y) const { return plot.bottom() - (y - y0) / (y1 - y0) * plot.height(); }
    double xAt(double pixel) const { return x0 + (pixel - plot.left()) / plot.width() * (x1 - x0); }
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

void MarginChart::setCurve(MarginCurve curve) {
    m_curve = std::move(curve);
    QString summary;
    if (!m_curve.x.empty())
        summary = QStringLiteral("Fade margin against %1 from %2 to %3 %4")
                      .arg(m_curve.caption, NumberText(m_curve.x.front(), m_locale),
                           NumberText(m_curve.x.back(), m_locale), m_curve.unit);
    for (const double x : m_curve.crossings)
        summary += QStringLiteral("; 0 dB at %1").arg(m_locale.toString(x, 'g', 6));
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
    if (m_curve.x.empty())
        return f;
    f.x0 = m_curve.x.front();
    f.x1 = m_curve.x.back() > f.x0 ? m_curve.x.back() : f.x0 + 1.0;
    const auto [low, high] = std::minmax_element(m_curve.margin.begin(), m_curve.margin.end());
    const double least = std::min({*low, 0.0, m_curve.hasCurrent ? m_curve.currentMargin : 0.0});
    const double most = std::max({*high, 0.0, m_curve.hasCurrent ? m_curve.currentMargin : 0.0});
    const double room = std::max(1.0, (most - least) * kHeadroom);
    f.y0 = least - room;
    f.y1 = most + room;
    f.xStep = niceStep(f.x1 - f.x0);
    f.yStep = niceStep(f.y1 - f.y0);
    return f;
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
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No margin to draw"));
        return;
    }
    // The grid and the axes' numbers.
    QPen grid(colours.color(QPalette::Mid), 0, Qt::DotLine);
    for (double x = std::ceil(f.x0 / f.xStep) * f.xStep; x <= f.x1 + f.xStep * 1e-9; x += f.xStep) {
        painter.setPen(grid);
        painter.drawLine(QPointF(f.px(x), f.plot.top()), QPointF(f.px(x), f.plot.bottom()));
        painter.setPen(text);
        const QString label = m_locale.toString(x, 'f', decimalsOf(f.xStep));
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
                     Qt::AlignHCenter,
                     QStringLiteral("%1 (%2)").arg(m_curve.caption, m_curve.unit));
    painter.drawText(QPointF(4, metrics.ascent() + 2), QStringLiteral("Fade margin (dB)"));
    painter.setPen(QPen(text, 0, Qt::DashLine));
    painter.drawLine(QPointF(f.plot.left(), f.py(0.0)), QPointF(f.plot.right(), f.py(0.0)));

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(f.plot);
    QPainterPath path;
    for (std::size_t i = 0; i < m_curve.x.size(); ++i) {
        const QPointF point(f.px(m_curve.x[i]), f.py(m_curve.margin[i]));
        i == 0 ? path.moveTo(point) : path.lineTo(point);
    }
    painter.strokePath(path, QPen(colours.color(QPalette::Highlight), 2));

    const QColor shortColour = VerdictColour(colours, false);
    for (const double x : m_curve.crossings) {
        painter.setPen(QPen(shortColour, 1, Qt::DashLine));
        painter.drawLine(QPointF(f.px(x), f.plot.top()), QPointF(f.px(x), f.plot.bottom()));
        painter.drawText(
            QPointF(f.px(x) + 4, f.plot.top() + metrics.ascent() + 2),
            QStringLiteral("0 dB at %1").arg(m_locale.toString(x, 'f', decimalsOf(f.xStep) + 1)));
    }
    if (m_curve.hasCurrent) {
        const QPointF at(f.px(m_curve.currentX), f.py(m_curve.currentMargin));
        const QColor mark = VerdictColour(colours, m_curve.currentMargin >= 0.0);
        painter.setPen(QPen(text, 1));
        painter.setBrush(mark);
        painter.drawEllipse(at, kMarkRadius, kMarkRadius);
        painter.setPen(text);
        painter.drawText(at + QPointF(kMarkRadius + 3, -kMarkRadius - 2),
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
    // One decimal more than the axis's ticks.
    const int decimals = decimalsOf(frame().xStep) + 1;
    return QStringLiteral("%1 %2 %3: fade margin %4 dB")
        .arg(m_curve.caption, m_locale.toString(*m_hoverX, 'f', decimals), m_curve.unit,
             DecibelText(*margin, m_locale));
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
