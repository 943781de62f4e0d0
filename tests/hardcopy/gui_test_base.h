#pragma once
// One private base directory per test function: created, made current and
// set as the application context's base directory. A simulated driver stands
// in for the hardware, so that sound cues are recorded instead of played.
#include "app_context.h"
#include "driver_device.h"
#include "simulated_driver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <string>

class GuiTestBase {
  public:
    using Mode = platform::SimulatedDriver::Mode;

    // False when the directory could not be made.
    bool Open(Mode mode = Mode::Absent) {
        m_previous = QDir::currentPath();
        m_dir = std::make_unique<QTemporaryDir>();
        if (!m_dir->isValid() || !QDir::setCurrent(m_dir->path()))
            return false;
        ResetAppContext();
        AppContext().BaseDirectory = m_dir->path().toStdString();
        m_driver = platform::SimulatedDriver(mode, 700);
        platform::SetDriverBackend(std::make_shared<platform::SimulatedDriver>(m_driver));
        return true;
    }

    void Close() {
        ResetAppContext();
        platform::SetDriverBackend(std::make_shared<platform::SimulatedDriver>());
        QDir::setCurrent(m_previous);
        m_dir.reset();
    }

    QString Dir() const { return m_dir->path(); }
    QString Path(const QString& relative) const { return m_dir->path() + "/" + relative; }
    std::string StdPath(const QString& relative) const { return Path(relative).toStdString(); }

    bool MakeDir(const QString& relative) const { return QDir(Dir()).mkpath(relative); }

    bool WriteFile(const QString& relative, const QByteArray& contents) const {
        QFile file(Path(relative));
        return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
    }

    QByteArray ReadFile(const QString& relative) const {
        QFile file(Path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Tone starts on the speaker: each writes the timer command 0xB6 to 0x43.
    int ToneStarts() const {
        const auto& transfers = m_driver.Transfers();
        return static_cast<int>(
            std::count_if(transfers.begin(), transfers.end(), [](const auto& t) {
                return t.write && t.port == 0x43 && t.value == 0xB6;
            }));
    }

    platform::SimulatedDriver& Driver() { return m_driver; }

  private:
    QString m_previous;
    std::unique_ptr<QTemporaryDir> m_dir;
    platform::SimulatedDriver m_driver;
};
