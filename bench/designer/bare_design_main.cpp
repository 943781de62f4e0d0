// The design window's start-up reference: a plain Qt application that shows
// the bare window of the design window's census and runs its message loop.
#include "bare_design_window.h"
#include "design_window_census.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const std::unique_ptr<QMainWindow> window(MakeBareDesignWindow(kDesignWindowCensus));
    window->show();
    return QApplication::exec();
}
