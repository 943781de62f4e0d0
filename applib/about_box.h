#pragma once
// The About box of the in-house library: program name and version, the
// maker's texts and logo, and "View Logs", which starts the log viewer.
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QFrame;

class TPelKorAboutBoxForm : public QDialog {
    Q_OBJECT
public:
    explicit TPelKorAboutBoxForm(QWidget* owner);

    // Fills the box, shows it modally, and stops the viewer when it closes.
    void ShowAboutBox(const QString& programName, const QString& versionText,
                      const QString& logName, const QString& logSubdirectory,
                      const QString& comments);

    void ButtonWexalorClick();

protected:
    void showEvent(QShowEvent* event) override; // FormShow

private:
    QString m_logSubdirectory;
    QString m_logName;
};
