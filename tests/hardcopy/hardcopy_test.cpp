// The "Hardcopy" command and the image writer: names, folders, the file
// itself read back through libjpeg, and write failures.
#include "gui_error.h"
#include "gui_test_base.h"
#include "hardcopy.h"
#include "jpeg_probe.h"
#include "window_image.h"

#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <climits>
#include <cstdint>

namespace {

const QColor kPanelColour(192, 192, 192);            // silver
const QColor kFactorsColour(200, 40, 40);            // the left group
const QColor kResultsColour(30, 60, 200);            // the results group
const QColor kStripColour(20, 160, 60);              // above the panel, never captured
constexpr int kPanelWidth = 569, kPanelHeight = 401; // pixels

QWidget* colouredBox(QWidget* parent, const QColor& colour, const QRect& place) {
    auto* box = new QWidget(parent);
    box->setAutoFillBackground(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, colour);
    box->setPalette(palette);
    box->setGeometry(place);
    return box;
}

// A window laid out like the main window: a coloured strip above a
// 569 x 401 panel that holds two coloured groups and a hardcopy image.
struct PanelWindow {
    QWidget window;
    QWidget* panel = nullptr;
    QLabel* image = nullptr;

    PanelWindow() {
        window.resize(kPanelWidth, kPanelHeight + 4);
        colouredBox(&window, kStripColour, QRect(0, 0, kPanelWidth, 4));
        panel = colouredBox(&window, kPanelColour, QRect(0, 4, kPanelWidth, kPanelHeight));
        panel->setObjectName("PanelScreen");
        image = new QLabel(panel);
        image->setObjectName("HardcopyImage");
        image->setGeometry(331, 15, 69, 67);
        colouredBox(panel, kFactorsColour, QRect(4, 2, 320, 145));
        colouredBox(panel, kResultsColour, QRect(336, 88, 219, 213));
        window.show();
    }
};

QStringList hardcopyNames(const QString& folder) {
    return QDir(folder).entryList({"QuillstoneHdcpy_*"}, QDir::AllEntries | QDir::System,
                                  QDir::Name);
}

} // namespace

class HardcopyTest : public QObject {
    Q_OBJECT

  private:
    testing_support::GuiTestBase m_base;

    QString hardcopies() const { return m_base.Path("Files/Hardcopies"); }

  private slots:
    void init() { QVERIFY(m_base.Open(testing_support::GuiTestBase::Mode::Present)); }
    void cleanup() { m_base.Close(); }

    void namesAdvancePastTakenNumbers_data() {
        QTest::addColumn<QList<int>>("taken");
        QTest::addColumn<int>("start");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("countAfter");

        QTest::newRow("first run") << QList<int>{} << 0 << QStringList{"0", "1", "2"} << 3;
        QTest::newRow("earlier run's files")
            << QList<int>{0, 1, 2} << 0 << QStringList{"3", "4"} << 5;
        QTest::newRow("gaps") << QList<int>{0, 2, 3, 5} << 0 << QStringList{"1", "4", "6"} << 7;
        QTest::newRow("four to five digits")
            << QList<int>{} << 9999 << QStringList{"9999", "10000", "10001"} << 10002;
        QTest::newRow("counts that a cut text would merge")
            << QList<int>{} << 12345 << QStringList{"12345", "12346"} << 12347;
        QTest::newRow("negative count starts at 0") << QList<int>{} << -5 << QStringList{"0"} << 1;
        QTest::newRow("last count wraps")
            << QList<int>{} << INT_MAX << QStringList{"2147483647", "0"} << 1;
    }
    void namesAdvancePastTakenNumbers() {
        QFETCH(QList<int>, taken);
        QFETCH(int, start);
        QFETCH(QStringList, names);
        QFETCH(int, countAfter);

        QVERIFY(m_base.MakeDir("Files/Hardcopies"));
        for (int n : taken)
            QVERIFY(
                m_base.WriteFile(QString("Files/Hardcopies/QuillstoneHdcpy_%1.jpg").arg(n), "old"));

        int32_t count = start;
        for (const QString& number : names) {
            const std::string expected =
                m_base.StdPath("Files/Hardcopies/QuillstoneHdcpy_" + number + ".jpg");
            QCOMPARE(NextHardcopyName(count), expected);
        }
        QCOMPARE(count, countAfter);
    }

    void neverReplacesAnEarlierRunsHardcopy() {
        QVERIFY(m_base.MakeDir("Files/Hardcopies"));
        QVERIFY(m_base.WriteFile("Files/Hardcopies/QuillstoneHdcpy_0.jpg", "earlier run"));
        QVERIFY(m_base.MakeDir("Files/Hardcopies/QuillstoneHdcpy_1.jpg")); // taken by a folder
        PanelWindow form;
        int32_t count = 0; // a new run counts from 0 again
        SaveHardcopy(form.panel, form.image, count);
        QCOMPARE(count, 3);
        QCOMPARE(m_base.ReadFile("Files/Hardcopies/QuillstoneHdcpy_0.jpg"),
                 QByteArray("earlier run"));
        QVERIFY(QFileInfo(hardcopies() + "/QuillstoneHdcpy_1.jpg").isDir());
        QVERIFY(
            jpeg_probe::read(m_base.ReadFile("Files/Hardcopies/QuillstoneHdcpy_2.jpg")).decoded);
    }

    void withoutTheFolderWritesToTheCurrentDirectory() {
        int32_t count = 0;
        QCOMPARE(NextHardcopyName(count), std::string("QuillstoneHdcpy_0.jpg"));

        PanelWindow form;
        SaveHardcopy(form.panel, form.image, count);
        QCOMPARE(hardcopyNames(m_base.Dir()), QStringList{"QuillstoneHdcpy_1.jpg"});
        QVERIFY(!QFileInfo::exists(m_base.Path("Files")));
    }

    void baseFolderNameWithAFullStop() {
        const QString base = m_base.Path("Quillstone.v2.01");
        QVERIFY(QDir().mkpath(base + "/Files/Hardcopies"));
        AppContext().BaseDirectory = base.toStdString();
        PanelWindow form;
        int32_t count = 0;
        SaveHardcopy(form.panel, form.image, count);
        QCOMPARE(hardcopyNames(base + "/Files/Hardcopies"), QStringList{"QuillstoneHdcpy_0.jpg"});
        QVERIFY(!QFileInfo::exists(m_base.Path("Quillstone.jpg")));
    }

    void fileNameRule_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<bool>("asJpeg");
        QTest::addColumn<QString>("final");

        QTest::newRow("bitmap name as JPEG") << "report.bmp" << true << "report.jpg";
        QTest::newRow("bare name as bitmap") << "shot" << false << "shot.bmp";
        QTest::newRow("folder with a full stop") << "dir.v2/name" << true << "dir.v2/name.jpg";
        QTest::newRow("from the first full stop") << "dir.v2/a.b.c" << false << "dir.v2/a.bmp";
        QTest::newRow("absolute path")
            << "/x.y/Files/QuillstoneHdcpy_12.jpg" << true << "/x.y/Files/QuillstoneHdcpy_12.jpg";
        QTest::newRow("hidden name") << "dir/.name" << true << "dir/.jpg";
        QTest::newRow("folder only") << "dir.v2/" << true << "dir.v2/.jpg";
        QTest::newRow("empty") << "" << false << ".bmp";
    }
    void fileNameRule() {
        QFETCH(QString, given);
        QFETCH(bool, asJpeg);
        QFETCH(QString, final);
        QCOMPARE(QString::fromStdString(WindowImageFileName(given.toStdString(), asJpeg)), final);
    }

    void writerReplacesExtensionAndExistingFile() {
        PanelWindow form;
        QVERIFY(m_base.WriteFile("report.jpg", "older picture"));
        SaveWindowImage(form.panel, form.image, 40, m_base.StdPath("report.bmp"), true, 50);
        QVERIFY(!QFileInfo::exists(m_base.Path("report.bmp")));
        const JpegFacts facts = jpeg_probe::read(m_base.ReadFile("report.jpg"));
        QVERIFY2(facts.decoded, facts.error.c_str());
        QCOMPARE(facts.width, 50);
        QCOMPARE(facts.height, 40);

        SaveWindowImage(form.panel, form.image, 40, m_base.StdPath("shot"), false, 50);
        QCOMPARE(QImage(m_base.Path("shot.bmp"), "BMP").size(), QSize(50, 40));
        QCOMPARE(QDir(m_base.Dir()).entryList(QDir::Files),
                 (QStringList{"report.jpg", "shot.bmp"}));
    }

    void savesThePanelInSequenceAsBaselineQuality90Jpeg() {
        QVERIFY(m_base.MakeDir("Files/Hardcopies"));
        PanelWindow form;
        int32_t count = 0;
        SaveHardcopy(form.panel, form.image, count);
        const QByteArray bytes = m_base.ReadFile("Files/Hardcopies/QuillstoneHdcpy_0.jpg");
        SaveHardcopy(form.panel, form.image, count);
        QCOMPARE(count, 2);
        QCOMPARE(hardcopyNames(hardcopies()),
                 (QStringList{"QuillstoneHdcpy_0.jpg", "QuillstoneHdcpy_1.jpg"}));
        QVERIFY(hardcopyNames(m_base.Dir()).isEmpty());
        // Two clicks from the writer and one from the command, per hardcopy.
        QCOMPARE(m_base.ToneStarts(), 6);

        const JpegFacts facts = jpeg_probe::read(bytes);
        QVERIFY2(facts.decoded, facts.error.c_str());
        QCOMPARE(facts.width, kPanelWidth);
        QCOMPARE(facts.height, kPanelHeight);
        QCOMPARE(facts.components, 3);
        QCOMPARE(facts.colorSpace, JCS_YCbCr);
        QVERIFY(!facts.progressive);
        QVERIFY(jpeg_probe::hasFrameMarker(bytes, 0xC0));
        QVERIFY(!jpeg_probe::hasFrameMarker(bytes, 0xC2));

        const auto quality90 = jpeg_probe::qualityTables(90);
        QVERIFY(quality90 != jpeg_probe::qualityTables(75)); // the comparison can tell them apart
        QVERIFY(facts.quant == quality90);

        struct Sample {
            QPoint at;
            QColor colour;
        };
        // Sampled inside 16 x 16 blocks of one colour, where JPEG keeps flat
        // colour; the top row shows that the strip above the panel is left out.
        const Sample samples[] = {
            {{100, 70}, kFactorsColour}, {{445, 190}, kResultsColour}, {{500, 40}, kPanelColour},
            {{340, 0}, kPanelColour},    {{450, 0}, kPanelColour},     {{567, 0}, kPanelColour},
            {{160, 350}, kPanelColour},  {{560, 395}, kPanelColour},
        };
        for (const Sample& s : samples)
            QVERIFY2(jpeg_probe::closeTo(facts.pixels.pixelColor(s.at), s.colour),
                     qPrintable(QString("pixel %1,%2 is %3")
                                    .arg(s.at.x())
                                    .arg(s.at.y())
                                    .arg(facts.pixels.pixelColor(s.at).name())));

        // The image control holds the capture at the panel's size.
        QCOMPARE(form.image->size(), QSize(kPanelWidth, kPanelHeight));
        const QImage held = form.image->pixmap().toImage();
        QCOMPARE(held.size(), QSize(kPanelWidth, kPanelHeight));
        QCOMPARE(held.pixelColor(100, 70), kFactorsColour);
    }

    void bitmapIsAWindowsBitmap() {
        // 5 pixels wide: 15 bytes of pixels padded to 16 per row.
        QWidget picture;
        picture.resize(5, 4);
        colouredBox(&picture, QColor(255, 0, 0), QRect(0, 0, 5, 2));
        colouredBox(&picture, QColor(0, 0, 255), QRect(0, 2, 5, 2));
        QLabel image;
        SaveWindowImage(&picture, &image, 4, m_base.StdPath("tiny.png"), false, 5);

        const QByteArray bmp = m_base.ReadFile("tiny.bmp");
        auto word = [&bmp](int at, int bytes) {
            uint32_t v = 0;
            for (int i = bytes - 1; i >= 0; --i)
                v = (v << 8) | static_cast<uint8_t>(bmp[at + i]);
            return v;
        };
        QCOMPARE(bmp.left(2), QByteArray("BM"));
        QCOMPARE(bmp.size(), 54 + 16 * 4);
        QCOMPARE(word(2, 4), uint32_t(bmp.size()));
        QCOMPARE(word(10, 4), 54u); // pixel offset
        QCOMPARE(word(14, 4), 40u); // info header size
        QCOMPARE(word(18, 4), 5u);
        QCOMPARE(word(22, 4), 4u); // positive: bottom row first
        QCOMPARE(word(26, 2), 1u);
        QCOMPARE(word(28, 2), 24u);
        QCOMPARE(word(30, 4), 0u);
        QCOMPARE(word(34, 4), 64u);
        // First stored row is the bottom one (blue), in B, G, R order.
        QCOMPARE(bmp.mid(54, 3), QByteArray("\xFF\x00\x00", 3));
        QCOMPARE(bmp.mid(54 + 15, 1), QByteArray("\x00", 1)); // padding
        QCOMPARE(bmp.mid(54 + 16 * 3, 3), QByteArray("\x00\x00\xFF", 3));
    }

    void unwritableTargetThrowsAndNamesTheFile() {
        PanelWindow form;
        QVERIFY(m_base.WriteFile("plain", "a file, not a folder"));
        const std::string target = m_base.StdPath("plain/shot");
        try {
            SaveWindowImage(form.panel, form.image, kPanelHeight, target, true, kPanelWidth);
            QFAIL("a file under a regular file was written");
        } catch (const GuiError& error) {
            QVERIFY2(QString(error.what()).contains(QString::fromStdString(target + ".jpg")),
                     error.what());
        }
        QCOMPARE(m_base.ToneStarts(), 0); // the clicks do not run
        QCOMPARE(m_base.ReadFile("plain"), QByteArray("a file, not a folder"));
    }

    void failedRenameLeavesNoPartialFile() {
        // The final name is a folder: the picture is written beside it, but it
        // cannot take the folder's place.
        QVERIFY(m_base.MakeDir("out/taken.jpg"));
        PanelWindow form;
        QVERIFY_THROWS_EXCEPTION(GuiError, SaveWindowImage(form.panel, form.image, 30,
                                                           m_base.StdPath("out/taken"), true, 30));
        QCOMPARE(QDir(m_base.Path("out"))
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"taken.jpg"});
        QVERIFY(QFileInfo(m_base.Path("out/taken.jpg")).isDir());
    }

    void emptyPanelIsRefused() {
        QWidget empty;
        empty.resize(0, 0);
        QVERIFY_THROWS_EXCEPTION(
            GuiError, SaveWindowImage(&empty, nullptr, 0, m_base.StdPath("none"), true, 0));
        QVERIFY_THROWS_EXCEPTION(
            GuiError, SaveWindowImage(nullptr, nullptr, 10, m_base.StdPath("none"), true, 10));
        QVERIFY(!QFileInfo::exists(m_base.Path("none.jpg")));
    }
};

QTEST_MAIN(HardcopyTest)
#include "hardcopy_test.moc"
