// Process entry: the application, the main window, the message loop.
#include "gui_error.h"
#include "help_form.h"
#include "main_form.h"
#include "quillstone_application.h"

int main(int argc, char** argv)
{
    QuillstoneApplication application(argc, argv);
    // The main window is a tool window, which Qt does not count as a last
    // window; and closing any other window must not end the run behind the
    // main window's back. Closing the main window ends it.
    QuillstoneApplication::setQuitOnLastWindowClosed(false);
    try {
        TQuillstoneMainForm mainForm;
        TQuillstoneHelpForm helpForm; // created hidden, after the main window's start-up
        QuillstoneHelpForm = &helpForm;
        QObject::connect(&mainForm, &TQuillstoneMainForm::closed, &application,
                         &QCoreApplication::quit, Qt::QueuedConnection);
        mainForm.show();
        QuillstoneApplication::exec();
    } catch (const GuiError& error) {
        ShowException(error.what());
    }
    return 0;
}
