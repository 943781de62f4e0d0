// An abnormal end of the process: the terminate handler sounds the alarm,
// logs the termination, saves the settings through the main window's
// shut-down and aborts. Each case runs in a forked child.
#include "app_context.h"
#include "base_dir_test.h"
#include "main_form.h"
#include "simulated_driver.h"

#include <QApplication>
#include <QDir>

#include <gtest/gtest.h>

#include <csignal>
#include <exception>

namespace {

class TerminateTest : public testing_support::BaseDirTest {
  protected:
    void SetUp() override {
        // Forked children keep the parent's current directory and backend;
        // the parent has started no thread, so forking is safe.
        GTEST_FLAG_SET(death_test_style, "fast");
        BaseDirTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(QStringLiteral("SYSTEM/ERLOGS")));
        platform::SetDriverBackend(
            std::make_shared<platform::SimulatedDriver>(platform::SimulatedDriver::Mode::Absent));
    }

    QByteArray read(const std::string& name) const {
        return QByteArray::fromStdString(testing_support::ReadAll(Path(name)));
    }
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

    const QByteArray settings = read("Quillstone.Cfg");
    EXPECT_TRUE(settings.startsWith("[UserInfo]\r\nRange=42.000000000\r\n"))
        << settings.constData();
    EXPECT_TRUE(settings.endsWith("ScreenPosX=300\r\nScreenPosY=200\r\n")) << settings.constData();

    const QByteArray log = read("SYSTEM/ERLOGS/Quillstone.Log");
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
