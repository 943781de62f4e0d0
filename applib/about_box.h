#pragma once
// The About box of the in-house library: program name and version, the
// maker's texts and logo, and "View Logs", which starts the log viewer.
#include <QDialog>
#include <QString>

#include <string>

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

    // The box closes: a viewer it started ends with it.
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override; // FormShow
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void fillTexts(const QString& programName, const QString& versionText, const QString& comments);
    void centreOnScreen();
    std::string viewerLogPath() const;

    QString m_logSubdirectory;
    QString m_logName;
};

// The maker's development copy of the log viewer, tried when there is none in
// the current directory. Tests point it at a folder of their own.
void SetDevelopmentViewerPath(const std::string& path); // "" restores the default
const std::string& DevelopmentViewerPath();
