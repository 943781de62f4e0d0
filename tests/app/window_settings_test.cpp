// The link settings file as the window reads it at start and writes it at
// close: hand-edited files, the window position, the backup, and a save that
// cannot be completed.
#include "file_calls.h"
#include "form_fixture.h"

#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

// Settings written with the sample's values except for the given lines.
QByteArray sampleWith(const QList<QPair<QByteArray, QByteArray>>& replacements) {
    QByteArray file = testing_support::kSampleSettings;
    for (const auto& [from, to] : replacements) {
        file.replace("\n" + from + "\r", "\n" + to + "\r");
    }
    return file;
}

// Files larger than `bytes` cannot be written by this process while the
// object lives (a disk that is full, as far as the save can tell).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        m_active = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return m_active; }

  private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
    bool m_active = false;
};

} // namespace

class WindowSettingsTest : public QObject {
    Q_OBJECT
  private slots:
    void handEditedFiles_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("field"); // key whose value is checked ("" none)
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("label"); // its value label's text
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QByteArray>("written");
        // The file's parsing is the settings' tests; the window keeps what it
        // read, beyond a slider, with more decimals than its label shows, or far
        // off the screen, and writes it back.
        QTest::newRow("only ScreenPosY")
            << QByteArray("[MiscInfo]\r\nScreenPosY=50\r\n") << "Range" << 10.0 << "10.0"
            << QPoint(688, 50) << sampleWith({{"ScreenPosY=171", "ScreenPosY=50"}});
        QTest::newRow("lower-case keys")
            << QByteArray("[userinfo]\r\nrange=20\r\n[miscinfo]\r\nscreenposx=-3000\r\n") << "Range"
            << 20.0 << "20.0" << QPoint(-3000, 171)
            << sampleWith({{"Range=10.000000000", "Range=20.000000000"},
                           {"ScreenPosX=688", "ScreenPosX=-3000"}});
        QTest::newRow("beyond its slider")
            << QByteArray("[UserInfo]\r\nRange=1000\r\n") << "Range" << 1000.0 << "1000.0"
            << QPoint(688, 171) << sampleWith({{"Range=10.000000000", "Range=1000.000000000"}});
        QTest::newRow("nine decimals kept")
            << QByteArray("[UserInfo]\r\nWeather=0.1234567891234\r\n") << "Weather"
            << 0.1234567891234 << "0.1" << QPoint(688, 171)
            << sampleWith({{"Weather=0.100000000", "Weather=0.123456789"}});
    }
    void handEditedFiles() {
        QFETCH(QByteArray, file);
        QFETCH(QString, field);
        QFETCH(double, value);
        QFETCH(QString, label);
        QFETCH(QPoint, position);
        QFETCH(QByteArray, written);
        FORM_RUN(run);
        run.writeFile("Quillstone.Cfg", file);
        TQuillstoneMainForm* form = run.start();

        for (const FactorRow& row : FactorTable) {
            if (field == QLatin1String(row.key)) {
                QCOMPARE(form->LinkFactors.*row.field, value);
                QCOMPARE(run.text(row.valueLabel), label);
            }
        }
        QCOMPARE(form->pos(), position);
        QVERIFY(run.closeForm());
        QCOMPARE(run.readFile("Quillstone.Cfg"), written);
        QCOMPARE(run.readFile("Quillstone.Cfg.BAK"), file);
    }

    void failedSaveLeavesTheOldFile() {
        FORM_RUN(run);
        const QByteArray old = "[UserInfo]\r\nRange=20\r\n";
        run.writeFile("Quillstone.Cfg", old);
        TQuillstoneMainForm* form = run.start();
        run.prompt("PopMenuRange", "30");
        QCOMPARE(form->LinkFactors.Range, 30.0);
        {
            // Room for the old file's backup, not for the new file.
            const FileSizeLimit limit(64);
            QVERIFY(limit.active());
            QVERIFY(run.closeForm());
        }
        QCOMPARE(run.readFile("Quillstone.Cfg"), old);
        QCOMPARE(run.readFile("Quillstone.Cfg.BAK"), old);
        const QStringList left = QDir(run.path("")).entryList(QDir::Files);
        QCOMPARE(left, (QStringList{"Quillstone.Cfg", "Quillstone.Cfg.BAK", "Quillstone.Log"}));
    }

    // Every sync and rename of the program goes through the file calls: a close
    // syncs the new settings file and its directory and renames once. The
    // position written is where the window is.
    void closeIsOneDurableReplace() {
        FORM_RUN(run);
        run.writeFile("Quillstone.Cfg", testing_support::kSampleSettings);
        TQuillstoneMainForm* form = run.start();
        form->move(120, 80);
        int fsyncs = 0;
        int renames = 0;
        {
            const testing_support::ScriptedFileCalls calls;
            QVERIFY(run.closeForm());
            fsyncs = calls.Count(calls.Fsync);
            renames = calls.Count(calls.Rename);
        }
        QCOMPARE(fsyncs, 2);
        QCOMPARE(renames, 1);
        QCOMPARE(form->Position.x, 120);
        QCOMPARE(form->Position.y, 80);
        QCOMPARE(run.readFile("Quillstone.Cfg"), sampleWith({{"ScreenPosX=688", "ScreenPosX=120"},
                                                             {"ScreenPosY=171", "ScreenPosY=80"}}));
    }
};

QTEST_MAIN(WindowSettingsTest)
#include "window_settings_test.moc"
