// The standard exception display of the GUI library.
#include "gui_error.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <utility>

namespace {

ExceptionDisplay& currentDisplay() {
    static ExceptionDisplay display;
    return display;
}

void showInMessageBox(const std::string& message) {
    if (QApplication::instance() == nullptr) {
        // No GUI to show it in: the message still reaches the user.
        std::fprintf(stderr, "%s\n", message.c_str());
        return;
    }
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(),
                    QString::fromLocal8Bit(message.c_str()), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("ExceptionMessageBox"));
    box.exec();
}

} // namespace

void SetExceptionDisplay(ExceptionDisplay display) {
    currentDisplay() = std::move(display);
}

void ShowException(const std::string& message) {
    const ExceptionDisplay& display = currentDisplay();
    if (display) {
        display(message);
    } else {
        showInMessageBox(message);
    }
}
