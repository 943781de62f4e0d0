// The start-up reference: a plain Qt application that shows the bare window
// and runs its message loop, with nothing of the program's own.
#include "bare_window.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const std::unique_ptr<QMainWindow> window(MakeBareWindow().window);
    window->show();
    return QApplication::exec();
}
