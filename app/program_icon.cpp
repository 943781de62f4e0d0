#include "program_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

// The package's scalable icon, drawn at whatever size the desktop asks for,
// and only when it asks: nothing of it is read during the start-up.
class SvgIconEngine final : public QIconEngine {
  public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        QSvgRenderer(QStringLiteral(":/quillstone.svg")).render(painter, rect);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap picture(size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        paint(&painter, picture.rect(), mode, state);
        return picture;
    }
    QIconEngine* clone() const override { return new SvgIconEngine; }
};

} // namespace

QIcon ProgramIcon() {
    return QIcon(new SvgIconEngine);
}
