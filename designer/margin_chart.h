#pragma once
// The fade margin against one input, drawn with QPainter: the curve, the
// margin asked as a dashed line, each crossing of it and the design's own
// point marked, and the margin under the pointer. Availability on a
// logarithmic axis of unavailability. Colours from the desktop's palette.
#include "margin_sweep.h"

#include <QWidget>

#include <optional>
#include <vector>

class MarginChart : public QWidget {
  public:
    explicit MarginChart(QWidget* parent = nullptr);

    // `emptyText` says why a curve without points is empty.
    void setCurve(MarginCurve curve, const QString& emptyText = QString());
    const MarginCurve& curve() const { return m_curve; }

    // What the chart says of the point under the pointer ("" when none).
    QString hoverText() const;
    // What the chart says when it has no curve.
    const QString& emptyText() const { return m_emptyText; }

    // The crossings' labels as drawn at the widget's size: none overlaps
    // another; one with no free place is left out.
    struct CrossingLabel {
        double x;
        QString text;
        QRectF box; // px
    };
    std::vector<CrossingLabel> crossingLabels() const;
    // The x of the axis's ticks, left to right, and their labels.
    std::vector<double> ticks() const;
    QString axisText(double x, int extraDecimals) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    struct Frame; // the plot area and the axes' ranges of one paint
    Frame frame() const;

    QString axisCaption() const;

    MarginCurve m_curve;
    QString m_emptyText;
    std::optional<double> m_hoverX; // in the curve's x unit
    QLocale m_locale;
};
