#pragma once
// The GUI application: a GuiError that escapes an event handler is shown by
// the standard exception display, and the program goes on.
#include <QApplication>

class QuillstoneApplication : public QApplication {
    Q_OBJECT
  public:
    QuillstoneApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
