#include "quillstone_application.h"

#include "gui_error.h"

QuillstoneApplication::QuillstoneApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Quillstone"));
}

bool QuillstoneApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const GuiError& error) {
        // The event counts as not handled; the message loop carries on.
        ShowException(error.what());
        return false;
    }
}
