// The real process entry, built from the program's own main(): the window,
// the help window and the icon after the first frame, the message loop, a
// close, and the return value. This file only watches, from a start-up function that Qt runs
// when the application object is made; a fault ends the process with 1.
#include "help_form.h"
#include "main_form.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kPollMs = 10;
constexpr int kLimitMs = 60000; // a run that never gets there fails

bool helpMade = false;
QString baseDirectory;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "process entry: %s\n", what);
    std::fflush(stderr);
    std::_Exit(1);
}

// After main() has returned 0: the close ran the shut-down.
void checkAfterReturn() {
    if (!helpMade)
        fail("the loop ended before the help window was made");
    if (!QFile::exists(baseDirectory + QStringLiteral("/Quillstone.Cfg")))
        fail("the close did not save the settings");
    std::fputs("process entry: window, help window, loop, close, return 0\n", stderr);
}

void poll() {
    TQuillstoneMainForm* form = QuillstoneMainForm;
    if (QuillstoneHelpForm == nullptr) {
        QTimer::singleShot(kPollMs, poll);
        return;
    }
    // The help window comes after the main window's start-up and first frame,
    // hidden; then the user closes the main window.
    if (form == nullptr || !form->isVisible() || form->windowHandle() == nullptr ||
        !form->windowHandle()->isExposed())
        fail("help window made before the main window was on the screen");
    if (QuillstoneHelpForm->isVisible())
        fail("help window shown at start");
    if (form->windowIcon().pixmap(32).toImage().pixelColor(16, 16).alpha() != 255)
        fail("no icon after the first frame");
    helpMade = true;
    form->close();
}

void watchTheRun() {
    static QTemporaryDir directory;
    if (!directory.isValid() || !QDir::setCurrent(directory.path()))
        fail("no base directory");
    baseDirectory = QDir::currentPath();
    std::atexit(checkAfterReturn); // runs before the directory goes
    QTimer::singleShot(0, poll);
    QTimer::singleShot(kLimitMs, [] { fail("no help window, or no close"); });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchTheRun)
