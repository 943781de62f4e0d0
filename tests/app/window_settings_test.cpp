// The link settings file as the window reads it at start and writes it at
// close: hand-edited files, the window position, the backup, and a save that
// cannot be completed.
#include "file_calls.h"
#include "form_fixture.h"

#include <QTest>

#include <csignal>
#include <sys/resource.h>

using testing_support::FormRun;

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
    void init();
    void handEditedFiles_data();
    void handEditedFiles();
    void valueBeyondTheSliderIsKeptUntilASliderMoves();
    void handAddedKeysSurviveOnlyInTheBackup();
    void positionFollowsTheWindow();
    void failedSaveLeavesTheOldFile();
    void closeIsOneDurableReplace();
};

void WindowSettingsTest::init() {
    QLocale::setDefault(QLocale::c());
}

void WindowSettingsTest::handEditedFiles_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("field"); // key whose value is checked ("" none)
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("label"); // its value label's text
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QByteArray>("written");
    const QPoint design(688, 171);
    QTest::newRow("only ScreenPosY")
        << QByteArray("[MiscInfo]\r\nScreenPosY=50\r\n") << "Range" << 10.0 << "10.0"
        << QPoint(688, 50) << sampleWith({{"ScreenPosY=171", "ScreenPosY=50"}});
    QTest::newRow("Freq=abc") << QByteArray("[UserInfo]\r\nFreq=abc\r\nRange=20\r\n") << "Freq"
                              << 2250.0 << "2250.0" << design
                              << sampleWith({{"Range=10.000000000", "Range=20.000000000"}});
    QTest::newRow("Freq=2,250") << QByteArray("[UserInfo]\r\nFreq=2,250\r\n") << "Freq" << 2250.0
                                << "2250.0" << design << testing_support::kSampleSettings;
    QTest::newRow("BitRate empty")
        << QByteArray("[UserInfo]\r\nBitRate=\r\n") << "BitRate" << 0.0 << "0.0" << design
        << sampleWith({{"BitRate=1000.000000000", "BitRate=0.000000000"}});
    QTest::newRow("Freq=2.25e3") << QByteArray("[UserInfo]\r\nFreq=2.25e3\r\n") << "Freq" << 2250.0
                                 << "2250.0" << design << testing_support::kSampleSettings;
    QTest::newRow("lower-case keys")
        << QByteArray("[userinfo]\r\nrange=20\r\n[miscinfo]\r\nscreenposx=-3000\r\n") << "Range"
        << 20.0 << "20.0" << QPoint(-3000, 171)
        << sampleWith({{"Range=10.000000000", "Range=20.000000000"},
                       {"ScreenPosX=688", "ScreenPosX=-3000"}});
    QTest::newRow("blanks and any order")
        << QByteArray("[MiscInfo]\r\nScreenPosX= 12 \r\n[UserInfo]\r\nTxPower = 7.5\r\n")
        << "TxPower" << 7.5 << "7.5" << QPoint(12, 171)
        << sampleWith({{"TxPower=5.000000000", "TxPower=7.500000000"},
                       {"ScreenPosX=688", "ScreenPosX=12"}});
    QTest::newRow("byte-order mark")
        << QByteArray("\xEF\xBB\xBF[UserInfo]\r\nRange=20\r\n") << "Range" << 20.0 << "20.0"
        << design << sampleWith({{"Range=10.000000000", "Range=20.000000000"}});
    QTest::newRow("marker text counts as missing")
        << QByteArray("[UserInfo]\r\nRange=BOGUS SECTION or KEY\r\n") << "Range" << 10.0 << "10.0"
        << design << testing_support::kSampleSettings;
    QTest::newRow("nine decimals kept")
        << QByteArray("[UserInfo]\r\nWeather=0.1234567891234\r\n") << "Weather" << 0.1234567891234
        << "0.1" << design << sampleWith({{"Weather=0.100000000", "Weather=0.123456789"}});
}

void WindowSettingsTest::handEditedFiles() {
    QFETCH(QByteArray, file);
    QFETCH(QString, field);
    QFETCH(double, value);
    QFETCH(QString, label);
    QFETCH(QPoint, position);
    QFETCH(QByteArray, written);
    FormRun run;
    QVERIFY(run.ready());
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

void WindowSettingsTest::valueBeyondTheSliderIsKeptUntilASliderMoves() {
    FormRun run;
    QVERIFY(run.ready());
    run.writeFile("Quillstone.Cfg", "[UserInfo]\r\nRange=1000\r\n");
    TQuillstoneMainForm* form = run.start();
    QCOMPARE(form->LinkFactors.Range, 1000.0);
    QCOMPARE(run.text("LabelRange"), QStringLiteral("1000.0"));
    QCOMPARE(run.slider("ScrollBarRange")->value(), 200);
    QVERIFY(run.closeForm());
    QCOMPARE(run.readFile("Quillstone.Cfg"),
             sampleWith({{"Range=10.000000000", "Range=1000.000000000"}}));

    // Next run: a slider move makes it the slider's 200.
    form = run.start();
    QCOMPARE(form->LinkFactors.Range, 1000.0);
    run.slider("ScrollBarWeather")->setValue(2);
    QCOMPARE(form->LinkFactors.Range, 200.0);
    QVERIFY(run.closeForm());
    QCOMPARE(run.readFile("Quillstone.Cfg"),
             sampleWith({{"Range=10.000000000", "Range=200.000000000"},
                         {"Weather=0.100000000", "Weather=0.200000000"}}));
}

void WindowSettingsTest::handAddedKeysSurviveOnlyInTheBackup() {
    FormRun run;
    QVERIFY(run.ready());
    QByteArray edited = testing_support::kSampleSettings;
    edited.replace("[MiscInfo]\r\n", "Comment=mine\r\n[MiscInfo]\r\n");
    edited.append("[Extra]\r\nKey=1\r\n");
    run.writeFile("Quillstone.Cfg", edited);
    run.start();
    QVERIFY(run.closeForm());
    QCOMPARE(run.readFile("Quillstone.Cfg"), testing_support::kSampleSettings);
    QCOMPARE(run.readFile("Quillstone.Cfg.BAK"), edited);
}

void WindowSettingsTest::positionFollowsTheWindow() {
    FormRun run;
    QVERIFY(run.ready());
    TQuillstoneMainForm* form = run.start();
    form->move(120, 80);
    QVERIFY(run.closeForm());
    QCOMPARE(form->Position.x, 120);
    QCOMPARE(form->Position.y, 80);
    QCOMPARE(run.readFile("Quillstone.Cfg"), sampleWith({{"ScreenPosX=688", "ScreenPosX=120"},
                                                         {"ScreenPosY=171", "ScreenPosY=80"}}));
}

void WindowSettingsTest::failedSaveLeavesTheOldFile() {
    FormRun run;
    QVERIFY(run.ready());
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
// syncs the new settings file and its directory and renames once.
void WindowSettingsTest::closeIsOneDurableReplace() {
    FormRun run;
    QVERIFY(run.ready());
    run.writeFile("Quillstone.Cfg", testing_support::kSampleSettings);
    run.start();
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
    QCOMPARE(run.readFile("Quillstone.Cfg"), testing_support::kSampleSettings);
}

QTEST_MAIN(WindowSettingsTest)
#include "window_settings_test.moc"
