#pragma once
// A drop-down of the input sheet (a choice, a unit): its items are all there
// before it is first sized, and without a minimum contents length QComboBox
// works its minimum size out exactly as its size, measuring every item's
// text again; this one answers its size. Thirty of them are in the sheet.
#include <QComboBox>

class SheetComboBox : public QComboBox {
  public:
    explicit SheetComboBox(QWidget* parent = nullptr) : QComboBox(parent) {}

    QSize minimumSizeHint() const override {
        return minimumContentsLength() == 0 ? sizeHint() : QComboBox::minimumSizeHint();
    }
};
