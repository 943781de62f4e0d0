// The design window's files: New, Open, Save, Save As, the recent files and
// the question before unsaved changes are dropped.
#include "design_dialogs.h"
#include "design_file.h"
#include "design_window.h"
#include "input_sheet.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>

#include <algorithm>
#include <ostream>

namespace {

constexpr int kRecentCount = 8;
constexpr const char* kRecentKey = "recentFiles";
constexpr const char* kDesignFilter = "Quillstone designs (*.json);;All files (*)";

// The window's own settings (the recent files): the desktop's settings
// folder, ~/.config/Tarnwick/quillstone-design.conf.
QSettings designerSettings() {
    return QSettings(QStringLiteral("Tarnwick"), QStringLiteral("quillstone-design"));
}

QString absolute(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

// A refused entry is no part of the design: before the design is saved or
// put away, the entry being typed is finished and the user says whether to
// drop what is refused (false: keep it and go no further).
bool settleEntries(QWidget* parent, InputSheet& inputs) {
    inputs.finishEntry();
    const QStringList refused = inputs.refusedCaptions();
    if (refused.isEmpty())
        return true;
    if (CurrentDesignDialogs().askRefused(parent, refused.join(QStringLiteral(", "))) ==
        RefusedAnswer::Cancel)
        return false;
    inputs.discardRefused();
    return true;
}

} // namespace

QString DesignWindow::displayName() const {
    return m_document.path().isEmpty() ? QStringLiteral("Untitled")
                                       : QFileInfo(m_document.path()).fileName();
}

QString DesignWindow::chooseFile(const QString& caption, const QString& filter, bool save,
                                 QString* chosenFilter) const {
    const QString suggested =
        m_document.path().isEmpty() ? QString() : QFileInfo(m_document.path()).absolutePath();
    QString chosen;
    const QString path = CurrentDesignDialogs().chooseFile(const_cast<DesignWindow*>(this), caption,
                                                           filter, suggested, save, &chosen);
    if (chosenFilter != nullptr)
        *chosenFilter = chosen.isEmpty() ? filter.section(QStringLiteral(";;"), 0, 0) : chosen;
    return path;
}

QString DesignWindow::withExtension(const QString& path, const QString& filter) {
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    // "PDF report (*.pdf)": its first pattern's extension.
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    return match.hasMatch() ? path + QLatin1Char('.') + match.captured(1) : path;
}

void DesignWindow::reportDone(const QString& message) {
    statusBar()->showMessage(message);
}

void DesignWindow::showError(const QString& message) {
    CurrentDesignDialogs().showError(this, message);
}

bool DesignWindow::maybeSave() {
    if (!settleEntries(this, *m_inputs))
        return false;
    if (!m_document.modified())
        return true;
    switch (CurrentDesignDialogs().askUnsaved(this, displayName())) {
    case UnsavedAnswer::Save:
        return save();
    case UnsavedAnswer::Discard:
        return true;
    case UnsavedAnswer::Cancel:
        break;
    }
    return false;
}

void DesignWindow::newDesign() {
    if (maybeSave())
        m_document.reset(Design(), QString());
}

void DesignWindow::open() {
    if (!maybeSave())
        return;
    const QString path = chooseFile(QStringLiteral("Open Design"), kDesignFilter, false);
    if (!path.isEmpty())
        openFile(path);
}

bool DesignWindow::openFile(const QString& path) {
    Design design;
    std::string error;
    if (!ReadDesignFile(path.toStdString(), design, error)) {
        showError(QString::fromStdString(DesignReadFailure(path.toStdString(), error)));
        return false;
    }
    m_document.reset(design, absolute(path));
    addRecent(absolute(path));
    reportDone(
        QStringLiteral("Opened %1: %2 parameters set")
            .arg(absolute(path))
            .arg(std::count_if(ParamTable.begin(), ParamTable.end(),
                               [&design](const ParamRow& row) { return design.has(row.id); })));
    return true;
}

void DesignWindow::openFromCommandLine(const QString& path, std::ostream& err) {
    Design design;
    std::string error;
    if (ReadDesignFile(path.toStdString(), design, error)) {
        openFile(path);
        return;
    }
    const std::string message = DesignReadFailure(path.toStdString(), error);
    err << "quillstone-design: " << message << "; a new design is open\n" << std::flush;
    m_document.reset(Design(), QString());
    showError(QString::fromStdString(message) + QStringLiteral("; a new design is open"));
}

bool DesignWindow::save() {
    if (!settleEntries(this, *m_inputs))
        return false;
    return m_document.path().isEmpty() ? saveAs() : saveTo(m_document.path());
}

bool DesignWindow::saveAs() {
    if (!settleEntries(this, *m_inputs))
        return false;
    QString filter;
    const QString path = chooseFile(QStringLiteral("Save Design As"), kDesignFilter, true, &filter);
    if (path.isEmpty())
        return false;
    // A name without an extension gets a design file's, whatever the filter.
    return saveTo(withExtension(path, QString::fromLatin1(kDesignFilter)));
}

bool DesignWindow::saveTo(const QString& path) {
    std::string error;
    // One durable replace: on failure the old file is whole and the design,
    // still unsaved, stays in the window.
    if (!WriteDesignFile(path.toStdString(), m_document.design(), error)) {
        showError(QStringLiteral("cannot write design file '%1': %2")
                      .arg(path, QString::fromStdString(error)));
        return false;
    }
    m_document.setPath(absolute(path));
    m_document.markSaved();
    addRecent(absolute(path));
    refreshTitle();
    statusBar()->showMessage(QStringLiteral("Saved %1").arg(absolute(path)));
    return true;
}

QStringList DesignWindow::recentFiles() const {
    return designerSettings().value(QString::fromLatin1(kRecentKey)).toStringList();
}

void DesignWindow::addRecent(const QString& path) {
    QStringList files = recentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kRecentCount)
        files.removeLast();
    designerSettings().setValue(QString::fromLatin1(kRecentKey), files);
    refreshRecentMenu();
}

void DesignWindow::refreshRecentMenu() {
    m_recentMenu->clear();
    const QStringList files = recentFiles();
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        QAction* item = m_recentMenu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()));
        item->setObjectName(QStringLiteral("Recent%1").arg(i + 1));
        item->setStatusTip(path);
        connect(item, &QAction::triggered, this, [this, path] {
            if (maybeSave())
                openFile(path);
        });
    }
    m_recentMenu->setEnabled(!files.isEmpty());
}

void DesignWindow::closeEvent(QCloseEvent* event) {
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}
