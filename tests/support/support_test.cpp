// The shared scaffolding itself: a test base leaves nothing behind, and the
// watchdog closes a modal dialog nobody answers while sparing one answered
// at once.
#include "app_context.h"
#include "gui_test_base.h"
#include "number_text.h"
#include "os.h"
#include "prompts.h"
#include "test_base.h"

#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace testing_support;

class SupportTest : public QObject {
    Q_OBJECT

  private slots:
    void testBasePutsEverythingBack() {
        const std::string before = platform::GetCurrentDirectory();
        std::string dir;
        {
            GuiTestScope scope(TestBase::ContextBase::Set);
            QVERIFY(scope.base().ready());
            dir = scope.base().dir();
            QCOMPARE(platform::GetCurrentDirectory(), dir);
            QCOMPARE(AppContext().BaseDirectory, dir);
            QVERIFY(WriteAll(scope.base().path("f"), "x"));
            SetDecimalSeparator(",");
            SetInputDialog([](auto&, auto&, auto&) { return std::string("typed"); });
        }
        QCOMPARE(platform::GetCurrentDirectory(), before);
        QVERIFY(!Exists(dir));
        QCOMPARE(AppContext().BaseDirectory, std::string());
        QCOMPARE(DecimalSeparator(), std::string("."));
    }

    void watchdogClosesAnUnansweredDialogOnly() {
        QStringList reported;
        ModalWatchdog watchdog([&](const QString& what) { reported << what; },
                               std::chrono::milliseconds(200));
        QMessageBox answered(QMessageBox::Information, "Answered", "text");
        QTimer::singleShot(0, &answered, [&] { answered.accept(); });
        answered.exec();
        QVERIFY(reported.isEmpty());

        QMessageBox forgotten(QMessageBox::Information, "Forgotten", "text");
        forgotten.exec(); // returns only because the watchdog closes it
        QCOMPARE(reported, QStringList{"QMessageBox 'Forgotten'"});
        QCOMPARE(watchdog.closed(), reported);
    }
};

QTEST_MAIN(SupportTest)
#include "support_test.moc"
