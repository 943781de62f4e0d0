#pragma once
// A request to end the process (SIGTERM from a session that logs out or a
// `kill`, SIGINT from a terminal, SIGHUP when the terminal goes) closes the
// main window the ordinary way, so its close query saves the settings and
// writes the end banner instead of the run ending without either.
#include <QObject>

class QSocketNotifier;
class QWidget;

class TerminationSignals final : public QObject {
  public:
    // Watches the three signals until destroyed; then their earlier actions
    // are restored.
    explicit TerminationSignals(QWidget* window);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

  private:
    void closeWindow();

    QWidget* m_window;
    QSocketNotifier* m_notifier = nullptr;
};
