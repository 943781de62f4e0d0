// The colour scheme: what the options file does to the window's background,
// captions and numbers, and how a colour value becomes a screen colour.
#include "form_fixture.h"

#include "color_scheme.h"

#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QTest>

#include <cstdlib>

namespace {

const QColor kDarkGrey(78, 78, 78);
const QColor kWhite(255, 255, 255);
const QColor kGreen(0, 255, 0);
const QColor kBlack(0, 0, 0);
const QColor kDesktopText(1, 2, 3); // installed as the desktop's window-text colour

QColor windowColor(const QWidget* widget) {
    return widget->palette().color(QPalette::Window);
}

QColor textColor(const QWidget* widget) {
    return widget->palette().color(QPalette::WindowText);
}

QLabel* labelWithText(const QWidget* parent, const QString& text) {
    for (QLabel* label : parent->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (label->text() == text) {
            return label;
        }
    }
    return nullptr;
}

// Text is antialiased: its strokes come near the text colour, seldom exactly.
bool imageHasColor(const QImage& image, const QColor& color) {
    constexpr int kTolerance = 40; // sum of the three channel differences
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (std::abs(p.red() - color.red()) + std::abs(p.green() - color.green()) +
                    std::abs(p.blue() - color.blue()) <=
                kTolerance)
                return true;
        }
    return false;
}

} // namespace

class ColorSchemeTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        m_desktop = QApplication::palette();
        QPalette desktop = m_desktop;
        desktop.setColor(QPalette::WindowText, kDesktopText);
        desktop.setColor(QPalette::Active, QPalette::Highlight, QColor(9, 8, 7));
        QApplication::setPalette(desktop);
    }

    void cleanupTestCase() { QApplication::setPalette(m_desktop); }

    void colorValueDecoding_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<QColor>("color");
        QTest::newRow("red is the low byte") << 0x000000FF << QColor(255, 0, 0);
        QTest::newRow("green") << 0x0000FF00 << QColor(0, 255, 0);
        QTest::newRow("blue is the third byte") << 0x00FF0000 << QColor(0, 0, 255);
        QTest::newRow("mixed") << 0x00FF8000 << QColor(0, 128, 255);
        QTest::newRow("high byte ignored") << 0x01102030 << QColor(0x30, 0x20, 0x10);
        QTest::newRow("window text") << int(0x80000008u) << kDesktopText;
        QTest::newRow("active caption") << int(0x80000002u) << QColor(9, 8, 7);
        QTest::newRow("no colour at 25") << int(0x80000019u) << kBlack;
        QTest::newRow("beyond the desktop's") << int(0x800000FFu) << kBlack;
        QTest::newRow("flag with stray bits") << int(0x80FFFF08u) << kDesktopText;
    }
    void colorValueDecoding() {
        QFETCH(int, value);
        QFETCH(QColor, color);
        QCOMPARE(colorFromValue(value), color);
    }

    void optionsFilePaintsTheWindow_data() {
        QTest::addColumn<QByteArray>("options"); // empty: no file
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("captions");
        QTest::addColumn<QColor>("numbers");
        // The file's parsing is the colour record's; these rows are what the window does with it.
        QTest::newRow("no file") << QByteArray() << kDarkGrey << kWhite << kGreen;
        QTest::newRow("background 255") << QByteArray("[COLORS]\r\nDeviceGuiColor=255\r\n")
                                        << QColor(255, 0, 0) << kWhite << kGreen;
        QTest::newRow("desktop window text")
            << QByteArray("[COLORS]\r\nDeviceGuiDataColor=-2147483640\r\n") << kDarkGrey << kWhite
            << kDesktopText;
        QTest::newRow("all three")
            << QByteArray("[COLORS]\r\nDeviceGuiColor=16711680\r\nDeviceGuiLabelColor=65535\r\n"
                          "DeviceGuiDataColor=255\r\nMainColor=0\r\n")
            << QColor(0, 0, 255) << QColor(255, 255, 0) << QColor(255, 0, 0);
    }
    void optionsFilePaintsTheWindow() {
        QFETCH(QByteArray, options);
        QFETCH(QColor, background);
        QFETCH(QColor, captions);
        QFETCH(QColor, numbers);
        FORM_RUN(run);
        if (!options.isEmpty()) {
            run.writeFile("ServerOptions.Opt", options);
        }
        TQuillstoneMainForm* form = run.start();

        QCOMPARE(windowColor(form->centralWidget()), background);
        QCOMPARE(windowColor(form->PanelScreen), background);
        for (const char* name : {"Panel1", "Panel2", "Panel3", "Panel4", "Panel5", "Panel6"}) {
            auto* panel = run.find<QFrame>(name);
            QVERIFY(panel->autoFillBackground());
            QCOMPARE(windowColor(panel), background);
        }
        QVERIFY(form->PanelScreen->autoFillBackground());

        // Title, headings, and the captions and units that follow their panel.
        for (const char* name : {"Label34", "Label23", "Label20", "Label19", "Label22", "Label24",
                                 "Label35", "Label36", "Label55", "Label49", "Label33"}) {
            QCOMPARE(textColor(run.label(name)), captions);
        }
        const std::pair<const char*, const char*> plain[] = {
            {"Panel1", "Frequency"}, {"Panel1", "kbps"}, {"Panel4", "LNA Gain"},
            {"Panel3", "Weather"},   {"Panel3", "dBi"},  {"Panel2", "Fade Margin"},
            {"Panel2", "dBm/Hz"},
        };
        for (const auto& [panel, text] : plain) {
            QLabel* label = labelWithText(run.find<QFrame>(panel), QString::fromLatin1(text));
            QVERIFY2(label != nullptr, text);
            QCOMPARE(textColor(label), captions);
        }

        // Every number the display writes.
        for (const FactorRow& row : FactorTable) {
            QCOMPARE(textColor(run.label(row.valueLabel)), numbers);
        }
        QCOMPARE(textColor(run.label("LabelMinBepDesired")), numbers);
        for (const ResultRow& row : ResultTable) {
            QCOMPARE(textColor(run.label(row.label)), numbers);
        }

        // The options file is only read.
        QCOMPARE(run.readFile("ServerOptions.Opt"), options);
        QCOMPARE(run.exists("ServerOptions.Opt"), !options.isEmpty());
    }

    void paintedPixelsShowTheScheme() {
        FORM_RUN(run);
        run.writeFile("ServerOptions.Opt",
                      "[COLORS]\r\nDeviceGuiColor=255\r\nDeviceGuiDataColor=16711680\r\n");
        TQuillstoneMainForm* form = run.start();
        const QImage screen = form->PanelScreen->grab().toImage();
        // A blank spot of Panel4, and of PanelScreen between the panels.
        QCOMPARE(screen.pixelColor(4 + 300, 149 + 15), QColor(255, 0, 0));
        QCOMPARE(screen.pixelColor(330, 10), QColor(255, 0, 0));
        // Blue digits on the value labels; white in the captions.
        QVERIFY(imageHasColor(run.label("LabelFreq")->grab().toImage(), QColor(0, 0, 255)));
        QVERIFY(imageHasColor(run.label("Label23")->grab().toImage(), kWhite));
        QVERIFY(!imageHasColor(run.label("Label23")->grab().toImage(), QColor(0, 0, 255)));
    }

  private:
    QPalette m_desktop;
};

QTEST_MAIN(ColorSchemeTest)
#include "color_scheme_test.moc"
