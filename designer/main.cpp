// quillstone-design [FILE]: the design window, with FILE opened when given.
#include "design_window.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationName(QStringLiteral("quillstone-design"));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kDesignerName));
    QApplication::setDesktopFileName(QStringLiteral("example.tarnwick.QuillstoneDesign"));
    DesignWindow window;
    const QStringList args = QApplication::arguments();
    if (args.size() > 1)
        window.openFile(args.at(1));
    window.show();
    return QApplication::exec();
}
