// An abnormal end of the process: the terminate handler sounds the alarm,
// logs the termination, saves the settings through the main window's
// shut-down and aborts. Each case runs in a forked child.
#include "app_context.h"
#include "main_form.h"
#include "simulated_driver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <exception>

namespace {

class TerminateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Forked children keep the parent's current directory and backend;
        // the parent has started no thread, so forking is safe.
        GTEST_FLAG_SET(death_test_style, "fast");
        ASSERT_TRUE(m_dir.isValid());
        m_previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
        ASSERT_TRUE(QDir().mkpath(QStringLiteral("SYSTEM/ERLOGS")));
        platform::SetDriverBackend(
            std::make_shared<platform::SimulatedDriver>(platform::SimulatedDriver::Mode::Absent));
    }

    void TearDown() override {
        platform::SetDriverBackend(nullptr);
        QDir::setCurrent(m_previous);
    }

    QByteArray read(const QString& name) const {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

  private:
    QTemporaryDir m_dir;
    QString m_previous;
};

[[noreturn]] void runWindowThenTerminate() {
    static int argc = 1;
    static char name[] = "terminate_test";
    static char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    TQuillstoneMainForm form;
    form.LinkFactors.Range = 42.0;
    form.move(300, 200);
    std::terminate();
}

} // namespace

TEST_F(TerminateTest, SavesSettingsLogsAndAborts) {
    EXPECT_EXIT(runWindowThenTerminate(), ::testing::KilledBySignal(SIGABRT), "");

    const QByteArray settings = read(QStringLiteral("Quillstone.Cfg"));
    EXPECT_TRUE(settings.startsWith("[UserInfo]\r\nRange=42.000000000\r\n"))
        << settings.constData();
    EXPECT_TRUE(settings.endsWith("ScreenPosX=300\r\nScreenPosY=200\r\n")) << settings.constData();

    const QByteArray log = read(QStringLiteral("SYSTEM/ERLOGS/Quillstone.Log"));
    const qsizetype abnormal = log.indexOf("Abnormal Program Termination");
    ASSERT_GE(abnormal, 0) << log.constData();
    const qsizetype lineStart = log.lastIndexOf('\n', abnormal) + 1;
    EXPECT_EQ(log.mid(lineStart, 8), QByteArray("005000  "));
    // The shut-down ran after the line: the run's end banner follows it.
    EXPECT_GT(log.indexOf("PROGRAM END", abnormal), abnormal);
}

TEST_F(TerminateTest, WithoutAWindowStillLogsAndAborts) {
    EXPECT_EXIT(
        {
            QuillstoneMainForm = nullptr;
            TerminateHandler();
        },
        ::testing::KilledBySignal(SIGABRT), "");
    EXPECT_FALSE(QFile::exists(QStringLiteral("Quillstone.Cfg")));
}
