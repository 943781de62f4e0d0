// Process entry: the application, the main window, the message loop.
#include "gui_error.h"
#include "main_form.h"
#include "quillstone_application.h"
#include "termination_signals.h"

#include <QEvent>

#include <functional>

namespace {

// Runs an action once, as soon as the first frame of a window is out: it is
// posted from that frame's first paint event, so it runs when the whole
// paint-and-flush pass has returned.
class AfterFirstFrame final : public QObject {
  public:
    AfterFirstFrame(QWidget* window, std::function<void()> action)
        : m_window(window), m_action(std::move(action)) {
        QCoreApplication::instance()->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == m_window) {
            QCoreApplication::instance()->removeEventFilter(this);
            QMetaObject::invokeMethod(this, m_action, Qt::QueuedConnection);
        }
        return false;
    }

  private:
    QWidget* m_window;
    std::function<void()> m_action;
};

} // namespace

int main(int argc, char** argv) {
    QuillstoneApplication application(argc, argv);
    // Closing any other window must not end the run behind the main window's
    // back: closing the main window ends it.
    QuillstoneApplication::setQuitOnLastWindowClosed(false);
    try {
        TQuillstoneMainForm mainForm;
        // The help window: created hidden, after the main window's start-up,
        // and loaded at once; but only once the main window's first frame is
        // out, since nothing of it is on that frame (its text box, fonts and
        // text cost about a tenth of the time to the first frame). A "Help"
        // before then creates it itself. The window's icon waits as well.
        AfterFirstFrame finish(&mainForm, [&mainForm] { mainForm.FinishAfterFirstFrame(); });
        // A request to end the process closes the window like its close box.
        TerminationSignals endRequests(&mainForm);
        QObject::connect(&mainForm, &TQuillstoneMainForm::closed, &application,
                         &QCoreApplication::quit, Qt::QueuedConnection);
        mainForm.show();
        QuillstoneApplication::exec();
    } catch (const GuiError& error) {
        ShowException(error.what());
    }
    return 0;
}
