#include "factor_scroll_bar.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionSlider>

#include <array>
#include <utility>

namespace {

// The desktop's horizontal scroll-bar keys. QScrollBar's own mapping inverts
// Up/Down and Page Up/Page Down for vertical use, so every key is named here.
constexpr std::array<std::pair<int, QAbstractSlider::SliderAction>, 8> kKeyActions = {{
    {Qt::Key_Right, QAbstractSlider::SliderSingleStepAdd},
    {Qt::Key_Down, QAbstractSlider::SliderSingleStepAdd},
    {Qt::Key_Left, QAbstractSlider::SliderSingleStepSub},
    {Qt::Key_Up, QAbstractSlider::SliderSingleStepSub},
    {Qt::Key_PageDown, QAbstractSlider::SliderPageStepAdd},
    {Qt::Key_PageUp, QAbstractSlider::SliderPageStepSub},
    {Qt::Key_End, QAbstractSlider::SliderToMaximum},
    {Qt::Key_Home, QAbstractSlider::SliderToMinimum},
}};

// The application's palette with every entry marked as the widget's own, so
// that nothing of the parent panel's colours reaches the slider.
QPalette desktopPalette() {
    QPalette palette = QApplication::palette();
    palette.setResolveMask(~QPalette::ResolveMask(0));
    return palette;
}

bool isContextMenuKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_Menu ||
           (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
}

} // namespace

FactorScrollBar::FactorScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {
    setFocusPolicy(Qt::StrongFocus);
    setPalette(desktopPalette());
}

void FactorScrollBar::initStyleOption(QStyleOptionSlider* option) const {
    QScrollBar::initStyleOption(option);
    // Drawn and hit-tested as with page size 0: a thumb of the style's fixed
    // size. Page moves still use pageStep().
    option->pageStep = 0;
}

void FactorScrollBar::keyPressEvent(QKeyEvent* event) {
    if (isContextMenuKey(event)) {
        // Handed on as the right click is: the slider's panel opens its menu.
        const QPoint at = rect().center();
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, at, mapToGlobal(at));
        QCoreApplication::sendEvent(this, &menuEvent);
        event->accept();
        return;
    }
    if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        for (const auto& [key, action] : kKeyActions) {
            if (event->key() == key) {
                triggerAction(action);
                event->accept();
                return;
            }
        }
    }
    event->ignore();
}

void FactorScrollBar::paintEvent(QPaintEvent* event) {
    QScrollBar::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
