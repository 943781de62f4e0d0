#pragma once
// The design window's questions to the user, behind one seam (as the value
// prompt's input dialog is): whether to save unsaved changes, which file to
// open or write, and a failure to report. Tests install their own answers;
// an empty member is the desktop's own dialog.
#include <QString>

#include <functional>

class QWidget;

enum class UnsavedAnswer { Save, Discard, Cancel };
enum class RefusedAnswer { Discard, Cancel };

struct DesignDialogs {
    // "Save the changes to NAME?"
    std::function<UnsavedAnswer(QWidget* parent, const QString& name)> askUnsaved;
    // A file to open (`save` false) or to write; "" when the user cancels.
    // `filter` is a file dialog's filter, `suggested` a name to start from;
    // the filter the user picked goes to `chosenFilter`.
    std::function<QString(QWidget* parent, const QString& caption, const QString& filter,
                          const QString& suggested, bool save, QString* chosenFilter)>
        chooseFile;
    // "Range holds a refused entry: discard it?" before a save or before
    // the design is closed; `fields` names the fields (captions).
    std::function<RefusedAnswer(QWidget* parent, const QString& fields)> askRefused;
    // One message, e.g. why a save failed.
    std::function<void(QWidget* parent, const QString& message)> showError;
};

// Installs the dialogs used from now on; members left empty use the desktop's.
void SetDesignDialogs(DesignDialogs dialogs);
const DesignDialogs& CurrentDesignDialogs();
