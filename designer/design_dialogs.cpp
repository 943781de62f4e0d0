#include "design_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

UnsavedAnswer askWithMessageBox(QWidget* parent, const QString& name) {
    const QMessageBox::StandardButton button = QMessageBox::warning(
        parent, QStringLiteral("Unsaved changes"),
        QStringLiteral("Save the changes to %1?").arg(name),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    return button == QMessageBox::Save      ? UnsavedAnswer::Save
           : button == QMessageBox::Discard ? UnsavedAnswer::Discard
                                            : UnsavedAnswer::Cancel;
}

RefusedAnswer askRefusedWithMessageBox(QWidget* parent, const QString& fields) {
    const QMessageBox::StandardButton button = QMessageBox::warning(
        parent, QStringLiteral("Refused entry"),
        QStringLiteral("%1 holds an entry that was refused; the design keeps its last accepted "
                       "value. Discard the entry?")
            .arg(fields),
        QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel);
    return button == QMessageBox::Discard ? RefusedAnswer::Discard : RefusedAnswer::Cancel;
}

QString chooseWithFileDialog(QWidget* parent, const QString& caption, const QString& filter,
                             const QString& suggested, bool save, QString* chosenFilter) {
    return save ? QFileDialog::getSaveFileName(parent, caption, suggested, filter, chosenFilter)
                : QFileDialog::getOpenFileName(parent, caption, suggested, filter, chosenFilter);
}

void showWithMessageBox(QWidget* parent, const QString& message) {
    QMessageBox::critical(parent, QStringLiteral("Quillstone Link Designer"), message);
}

DesignDialogs& current() {
    static DesignDialogs dialogs;
    return dialogs;
}

} // namespace

void SetDesignDialogs(DesignDialogs dialogs) {
    if (!dialogs.askUnsaved)
        dialogs.askUnsaved = askWithMessageBox;
    if (!dialogs.askRefused)
        dialogs.askRefused = askRefusedWithMessageBox;
    if (!dialogs.chooseFile)
        dialogs.chooseFile = chooseWithFileDialog;
    if (!dialogs.showError)
        dialogs.showError = showWithMessageBox;
    current() = std::move(dialogs);
}

const DesignDialogs& CurrentDesignDialogs() {
    if (!current().askUnsaved)
        SetDesignDialogs({});
    return current();
}
