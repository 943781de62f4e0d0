#pragma once
// A factor slider: a horizontal scroll bar that takes focus, answers the
// desktop's scroll-bar keys, keeps the desktop's scroll-bar colours whatever
// its panel is painted with, and draws a thumb of fixed size.
#include <QScrollBar>

class FactorScrollBar final : public QScrollBar {
  public:
    explicit FactorScrollBar(QWidget* parent);

  protected:
    void initStyleOption(QStyleOptionSlider* option) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
