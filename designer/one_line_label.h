#pragma once
// A QLabel for one line of plain text (a caption, a value, a unit) that
// works out its size with one text layout where QLabel makes three (its size
// for the widths -1, 0 and "unbounded" are the same for such a text), and
// keeps it until its text, font or alignment change. The sheet and the
// results hold well over a hundred of them, and their sizes were a third of
// the window's start-up beyond a bare window's. Any other kind of label
// (rich text, wrapped, selectable, framed, indented) is sized by QLabel.
#include <QLabel>

class OneLineLabel : public QLabel {
  public:
    explicit OneLineLabel(QWidget* parent = nullptr) : QLabel(parent) {}
    explicit OneLineLabel(const QString& text, QWidget* parent = nullptr) : QLabel(text, parent) {}

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  private:
    bool plain() const; // sized here, not by QLabel

    mutable QString m_sizedText;
    mutable QFont m_sizedFont;
    mutable int m_sizedFlags = -1;
    mutable QSize m_size;
};
