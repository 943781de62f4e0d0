#pragma once
// What every GUI test runs in: a TestBase, the GUI seams (input dialog,
// exception display, log viewer folder) at their defaults when it goes, and
// a watchdog that fails the test when a modal dialog it did not expect opens
// instead of letting the dialog wait for a user forever.
#include "app_context.h"
#include "simulated_driver.h"
#include "test_base.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace testing_support {

class GuiSeamGuard {
  public:
    GuiSeamGuard() = default;
    ~GuiSeamGuard();
    GuiSeamGuard(const GuiSeamGuard&) = delete;
    GuiSeamGuard& operator=(const GuiSeamGuard&) = delete;
};

// Polls the active modal widget. A test that expects a modal dialog answers
// it as soon as it opens; one still open after `grace` is unexpected: it is
// reported (a Qt Test failure unless told otherwise) and closed.
class ModalWatchdog {
  public:
    using Report = std::function<void(const QString& what)>;

    explicit ModalWatchdog(Report report = {},
                           std::chrono::milliseconds grace = std::chrono::seconds(3));
    const QStringList& closed() const { return m_closed; } // "Class 'title'" each

  private:
    void poll();

    Report m_report;
    std::chrono::milliseconds m_grace;
    QTimer m_timer;
    QPointer<QWidget> m_open;
    int m_openPolls = 0;
    QStringList m_closed;
};

class GuiTestScope {
  public:
    explicit GuiTestScope(TestBase::ContextBase base = TestBase::ContextBase::Unset)
        : m_base(base) {}
    const TestBase& base() const { return m_base; }

  private:
    TestBase m_base;
    GuiSeamGuard m_gui;
    ModalWatchdog m_watchdog;
};

// A Qt Test's scope per test function (Open in init, Close in cleanup), with
// the context's base directory set and a simulated driver that records the
// sound cues.
class GuiTestBase {
  public:
    using Mode = platform::SimulatedDriver::Mode;

    bool Open(Mode mode = Mode::Absent) { // false: no directory
        m_scope.emplace(TestBase::ContextBase::Set);
        m_driver = platform::SimulatedDriver(mode, 700);
        platform::SetDriverBackend(std::make_shared<platform::SimulatedDriver>(m_driver));
        return m_scope->base().ready();
    }
    void Close() { m_scope.reset(); }

    QString Dir() const { return QString::fromStdString(m_scope->base().dir()); }
    QString Path(const QString& relative) const { return Dir() + "/" + relative; }
    std::string StdPath(const QString& relative) const { return Path(relative).toStdString(); }
    bool MakeDir(const QString& relative) const { return QDir(Dir()).mkpath(relative); }
    bool WriteFile(const QString& relative, const QByteArray& contents) const {
        return WriteAll(StdPath(relative), contents.toStdString());
    }
    QByteArray ReadFile(const QString& relative) const {
        return QByteArray::fromStdString(ReadAll(StdPath(relative)));
    }

    // Tone starts on the speaker: each writes the timer command 0xB6 to 0x43.
    int ToneStarts() const { return static_cast<int>(ToneDivisors(m_driver).size()); }
    platform::SimulatedDriver& Driver() { return m_driver; }

  private:
    std::optional<GuiTestScope> m_scope;
    platform::SimulatedDriver m_driver;
};

} // namespace testing_support
