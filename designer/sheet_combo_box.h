#pragma once
// A drop-down of the input sheet (a choice, a unit), whose items are all
// there before it is first sized and never change. QComboBox measures every item's text for
// its size, again when it is first shown (the sheet sizes its rows before
// that), and again for its minimum size, which without a minimum contents
// length it works out the same way. This one measures them once for its
// items and font, and answers that size for both. Thirty are in the sheet.
#include <QComboBox>
#include <QStringList>

class SheetComboBox : public QComboBox {
  public:
    explicit SheetComboBox(QWidget* parent = nullptr) : QComboBox(parent) {}

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  private:
    mutable QStringList m_sizedItems;
    mutable QFont m_sizedFont;
    mutable QSize m_size;
};
