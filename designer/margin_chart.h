#pragma once
// The fade margin against one input, drawn with QPainter: the curve, the
// 0 dB line, each 0 dB crossing and the design's own point marked, and the
// margin under the pointer. Colours from the desktop's palette.
#include "margin_sweep.h"

#include <QWidget>

#include <optional>

class MarginChart : public QWidget {
  public:
    explicit MarginChart(QWidget* parent = nullptr);

    void setCurve(MarginCurve curve);
    const MarginCurve& curve() const { return m_curve; }

    // What the chart says of the point under the pointer ("" when none).
    QString hoverText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    struct Frame; // the plot area and the axes' ranges of one paint
    Frame frame() const;

    MarginCurve m_curve;
    std::optional<double> m_hoverX; // in the curve's x unit
    QLocale m_locale;
};
