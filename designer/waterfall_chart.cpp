#include "waterfall_chart.h"

#include "budget_explain.h"
#include "design_document.h"
#include "verdict.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kWholePercent = 100.0;
constexpr int kHueStep = 67; // degrees between neighbouring parts' hues
constexpr int kPad = 6;      // px

QString signedDb(double db, const QLocale& locale) {
    return (db >= 0.0 ? QStringLiteral("+") : QString()) + DecibelText(db, locale) +
           QStringLiteral(" dB");
}

} // namespace

WaterfallChart::WaterfallChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("WaterfallChart"));
    setAccessibleName(QStringLiteral("Where every dB went"));
}

void WaterfallChart::showEvaluation(const Evaluation& evaluation) {
    const QSize before = sizeHint();
    m_bars.clear();
    m_breakdowns.clear();
    if (evaluation.ok()) {
        double sum = 0.0;
        for (const LinkTerm& term : evaluation.terms) {
            m_bars.push_back({QString::fromUtf8(term.caption), sum, sum + term.db, false});
            sum += term.db;
        }
        m_bars.push_back(
            {QString::fromUtf8(ResultRowOf(&LinkResults::FadeMargin).caption), 0.0, sum, true});
        const ReceiverBudget receiver = ReceiverOf(evaluation.sheet);
        Breakdown noise{QStringLiteral("Shares of the system noise temperature, %1 K")
                            .arg(DecibelText(receiver.noise.temperatureK, m_locale)),
                        {}};
        for (const NoiseContribution& part : receiver.noise.contributions)
            noise.shares.push_back({QString::fromStdString(part.name), part.percent});
        m_breakdowns.push_back(std::move(noise));
    }
    QString summary;
    for (const Bar& bar : m_bars)
        summary += bar.caption + QStringLiteral(" ") + signedDb(bar.to - bar.from, m_locale) +
                   QStringLiteral("; ");
    for (const Breakdown& breakdown : m_breakdowns)
        for (const Share& share : breakdown.shares)
            summary += QStringLiteral("%1 %2 %; ")
                           .arg(share.caption, DecibelText(share.percent, m_locale));
    setAccessibleDescription(summary);
    if (sizeHint() != before)
        updateGeometry();
    update();
}

QSize WaterfallChart::sizeHint() const {
    const int line = fontMetrics().height() + 4;
    const int rows = static_cast<int>(m_bars.size()) + 3 * static_cast<int>(m_breakdowns.size());
    return {480, std::max(120, rows * line + 2 * kPad)};
}

QSize WaterfallChart::minimumSizeHint() const {
    return {240, sizeHint().height()};
}

void WaterfallChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(rect(), colours.color(QPalette::Base));
    const QColor text = colours.color(QPalette::Text);
    painter.setPen(text);
    if (m_bars.empty()) {
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("No budget to show"));
        return;
    }
    const QFontMetrics metrics(font());
    const int line = metrics.height() + 4;
    int captionWidth = 0;
    for (const Bar& bar : m_bars)
        captionWidth = std::max(captionWidth, metrics.horizontalAdvance(bar.caption));
    const int valueWidth = metrics.horizontalAdvance(QStringLiteral("+-000.0 dB"));
    const double left = kPad + captionWidth + kPad;
    const double span = std::max(10, width() - int(left) - valueWidth - 2 * kPad);
    double low = 0.0;
    double high = 0.0;
    for (const Bar& bar : m_bars) {
        low = std::min({low, bar.from, bar.to});
        high = std::max({high, bar.from, bar.to});
    }
    const auto px = [&](double db) {
        return left + (db - low) / std::max(1e-9, high - low) * span;
    };

    painter.setPen(QPen(colours.color(QPalette::Mid), 0, Qt::DashLine));
    painter.drawLine(QPointF(px(0.0), kPad), QPointF(px(0.0), kPad + line * int(m_bars.size())));
    for (std::size_t i = 0; i < m_bars.size(); ++i) {
        const Bar& bar = m_bars[i];
        const double top = kPad + line * double(i);
        const QRectF box(
            QPointF(px(std::min(bar.from, bar.to)), top + 2),
            QPointF(std::max(px(std::max(bar.from, bar.to)), px(std::min(bar.from, bar.to)) + 1.0),
                    top + line - 2));
        const QColor fill = bar.total ? colours.color(QPalette::Highlight)
                                      : VerdictColour(colours, bar.to >= bar.from);
        painter.fillRect(box, fill);
        painter.setPen(text);
        painter.drawText(QRectF(kPad, top, captionWidth, line), Qt::AlignVCenter | Qt::AlignLeft,
                         bar.caption);
        painter.drawText(QRectF(left + span + kPad, top, valueWidth, line),
                         Qt::AlignVCenter | Qt::AlignRight,
                         bar.total ? DecibelText(bar.to, m_locale) + QStringLiteral(" dB")
                                   : signedDb(bar.to - bar.from, m_locale));
    }

    double top = kPad + line * double(m_bars.size()) + line / 2.0;
    for (const Breakdown& breakdown : m_breakdowns) {
        painter.setPen(text);
        painter.drawText(QPointF(kPad, top + metrics.ascent()), breakdown.title);
        top += line;
        // The bar of parts, then a swatch and the share of each under it.
        double x = left;
        double legendX = kPad;
        const int value = colours.color(QPalette::Base).value() > 127 ? 200 : 150;
        for (std::size_t i = 0; i < breakdown.shares.size(); ++i) {
            const Share& share = breakdown.shares[i];
            const QColor hue = QColor::fromHsv(int(i) * kHueStep % 360, 140, value);
            const double w = span * share.percent / kWholePercent;
            painter.fillRect(QRectF(x, top + 2, w, line - 4), hue);
            x += w;
            const QString label =
                QStringLiteral("%1 %2 %").arg(share.caption, DecibelText(share.percent, m_locale));
            painter.fillRect(QRectF(legendX, top + line + 4, line - 8, line - 8), hue);
            painter.drawText(QPointF(legendX + line - 4, top + line + metrics.ascent() + 2), label);
            legendX += line + metrics.horizontalAdvance(label) + 2 * kPad;
        }
        top += 2.0 * line; // the bar and the legend
    }
}
