// A request to end the process closes the main window through its close query:
// the settings are saved and the log ends with the end banner.
#include "form_fixture.h"
#include "termination_signals.h"

#include <QtTest>

#include <csignal>

using namespace testing_support;

namespace {

using Handler = void (*)(int);

Handler currentHandler(int signal) {
    struct sigaction current {};
    ::sigaction(signal, nullptr, &current);
    return current.sa_handler;
}

} // namespace

class TerminationSignalsTest : public QObject {
    Q_OBJECT
  private slots:
    void closesTheWindowAndSaves_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }

    void closesTheWindowAndSaves() {
        QFETCH(int, signal);
        FORM_RUN(run);
        TQuillstoneMainForm* form = run.start();
        form->show();
        TerminationSignals endRequests(form);
        QVERIFY(!run.exists("Quillstone.Cfg"));

        ::raise(signal);

        QTRY_VERIFY(!form->isVisible());
        QCOMPARE(run.readFile("Quillstone.Cfg"), kSampleSettings);
        QVERIFY(run.readFile("Quillstone.Log")
                    .trimmed()
                    .endsWith("------------------PROGRAM END--------------------"));
    }

    // Once the watcher is gone, the signals have their earlier actions again.
    // (The test library has handlers of its own for some of them.)
    void restoresEarlierActions() {
        ::signal(SIGHUP, SIG_IGN);
        const Handler term = currentHandler(SIGTERM);
        {
            FormRun run;
            TerminationSignals endRequests(run.start());
            QVERIFY(currentHandler(SIGHUP) != SIG_IGN);
            QVERIFY(currentHandler(SIGTERM) != term);
        }
        QVERIFY(currentHandler(SIGHUP) == SIG_IGN);
        QVERIFY(currentHandler(SIGTERM) == term);
        ::signal(SIGHUP, SIG_DFL);
    }
};

QTEST_MAIN(TerminationSignalsTest)
#include "termination_signals_test.moc"
