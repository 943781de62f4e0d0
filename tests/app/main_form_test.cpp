// The main window: first start, layout by name, the slider path, right-click
// menus, shut-down and the user's decimal separator.
#include "form_fixture.h"

#include "link_calculation.h"

#include <QContextMenuEvent>
#include <QFrame>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

#include <exception>

namespace {

const QStringList kDefaultValues = {"10.0", "2250.0", "5.0",  "1000.0", "15.0", "0.1",  "6.0",
                                    "0.1",  "1.0",    "1.10", "0.1",    "0.1",  "10.0", "0.1"};
const QStringList kDefaultResults = {"-123.6", "37.0", "60.0", "-173.9", "-173.8",
                                     "-136.9", "36.9", "21.9", "99.4"};
const QStringList kDefaultPositions = {"10", "22500", "50", "10000", "15", "1",   "60",
                                       "1",  "10",    "11", "1",     "1",  "100", "1"};

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT
  private slots:
    void firstStartShowsDefaults() {
        FORM_RUN(run);
        std::set_terminate(nullptr);
        TQuillstoneMainForm* form = run.start();
        QVERIFY(std::get_terminate() == &TerminateHandler);
        QCOMPARE(QuillstoneMainForm, form);

        QCOMPARE(form->windowTitle(), QStringLiteral("Quillstone  Ver 2.01"));
        QCOMPARE(testing_support::valueTexts(run), kDefaultValues);
        QCOMPARE(run.text("LabelMinBepDesired"), QStringLiteral("1.0E-7"));
        QCOMPARE(testing_support::resultTexts(run), kDefaultResults);
        QCOMPARE(testing_support::sliderPositions(run), kDefaultPositions);
        QCOMPARE(form->pos(), QPoint(688, 171));
        QCOMPARE(form->SettingsPath,
                 QDir(run.path("")).absolutePath().toStdString() + "/Quillstone.Cfg");
        QCOMPARE(form->HardcopyCount, 0);
        QVERIFY(!form->Updating);
        QCOMPARE(AppContext().ShuttingDown, uint8_t{0});
        // The start-up creates no settings file and no options file.
        QVERIFY(!run.exists("Quillstone.Cfg"));
        QVERIFY(!run.exists("ServerOptions.Opt"));
        QCOMPARE(run.unexpectedPrompts, 0);
    }

    void windowIsFixedAndLaidOutByName() {
        FORM_RUN(run);
        TQuillstoneMainForm* form = run.start();

        QCOMPARE(form->centralWidget()->size(), QSize(569, 405));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        // A normal window with caption, minimise and close buttons, and an icon.
        QCOMPARE(form->windowType(), Qt::Window);
        const Qt::WindowFlags buttons = Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                        Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
        QCOMPARE(form->windowFlags() & (buttons | Qt::WindowMaximizeButtonHint), buttons);
        form->FinishAfterFirstFrame();
        QVERIFY(form->windowIcon().pixmap(32).toImage().pixelColor(16, 16).alpha() == 255);
        QCOMPARE(form->PanelScreen->objectName(), QStringLiteral("PanelScreen"));
        QCOMPARE(form->PanelScreen->geometry(), QRect(0, 4, 569, 401));
        QCOMPARE(form->HardcopyImage->geometry(), form->PanelScreen->rect());
        // Beneath every group panel.
        QCOMPARE(form->PanelScreen->children().indexOf(form->HardcopyImage), 0);

        struct Place {
            const char* name;
            const char* parent;
            QRect geometry;
        };
        const Place panels[] = {
            {"Panel1", "PanelScreen", {4, 2, 320, 145}},
            {"Panel4", "PanelScreen", {4, 149, 320, 95}},
            {"Panel3", "PanelScreen", {4, 246, 318, 151}},
            {"Panel2", "PanelScreen", {336, 88, 219, 213}},
            {"Panel5", "Panel1", {1, 106, 318, 38}},
            {"Panel6", "Panel2", {2, 184, 215, 27}},
        };
        for (const Place& p : panels) {
            auto* panel = run.find<QFrame>(p.name);
            QVERIFY2(panel != nullptr, p.name);
            QCOMPARE(panel->parentWidget()->objectName(), QString::fromLatin1(p.parent));
            QCOMPARE(panel->geometry(), p.geometry);
        }

        struct Caption {
            const char* name;
            const char* parent;
            const char* text;
            bool bold;
        };
        const Caption captions[] = {
            {"Label34", "PanelScreen", "Link Budget", true},
            {"Label23", "Panel1", "Main Factors", true},
            {"Label20", "Panel4", "Noise Factors", true},
            {"Label19", "Panel3", "Antenna Factors", true},
            {"Label22", "Panel2", "Calculation Results", true},
            {"Label24", "Panel5", "Minimum Eb/No Desired", false},
            {"Label35", "Panel5", "Minimum BEP Desired", false},
            {"Label36", "Panel5", "or", false},
            {"Label55", "Panel5", "dB", false},
            {"Label49", "Panel6", "Link Reliability", false},
            {"Label33", "Panel6", "Percent", false},
            {"LabelMinBepDesired", "Panel5", "1.0E-7", false},
            {"LabelReliability", "Panel6", "99.4", false},
        };
        for (const Caption& c : captions) {
            QLabel* label = run.label(c.name);
            QVERIFY2(label != nullptr, c.name);
            QCOMPARE(label->parentWidget()->objectName(), QString::fromLatin1(c.parent));
            QCOMPARE(label->text(), QString::fromLatin1(c.text));
            QCOMPARE(label->font().bold(), c.bold);
        }
        QCOMPARE(run.label("Label34")->font().pixelSize(), 21);
        QCOMPARE(run.label("Label23")->font().pixelSize(), 11);
        QCOMPARE(run.label("LabelRange")->font().pixelSize(), 11);
        QCOMPARE(run.label("LabelRange")->font().family(), QStringLiteral("Arial"));
        QCOMPARE(run.label("Label34")->pos(), QPoint(400, 26));

        // Panel2's frame is etched: a lowered outer line, a raised inner one.
        const QImage frame = form->Panel2->grab().toImage();
        const int middle = frame.height() / 2, right = frame.width() - 1;
        QVERIFY(qGray(frame.pixel(0, middle)) < qGray(frame.pixel(1, middle)));
        QVERIFY(qGray(frame.pixel(right, middle)) > qGray(frame.pixel(right - 1, middle)));

        // The result rows stand in Panel2 in the order of the results.
        int previousTop = -1;
        for (std::size_t i = 0; i + 1 < kResultCount; ++i) {
            QLabel* value = run.label(ResultTable[i].label);
            QCOMPARE(value->parentWidget(), form->Panel2);
            QCOMPARE(value->x(), 134);
            QVERIFY(value->y() > previousTop);
            previousTop = value->y();
        }
    }

    void slidersAreConfiguredFromTheirTable() {
        FORM_RUN(run);
        run.start();
        const char* panels[kFactorCount] = {"Panel1", "Panel1", "Panel1", "Panel1", "Panel5",
                                            "Panel4", "Panel4", "Panel4", "Panel3", "Panel3",
                                            "Panel3", "Panel3", "Panel3", "Panel3"};
        for (std::size_t i = 0; i < kFactorCount; ++i) {
            const FactorRow& factor = FactorTable[i];
            QScrollBar* slider = run.slider(factor.slider);
            QVERIFY2(slider != nullptr, factor.slider);
            QCOMPARE(slider->orientation(), Qt::Horizontal);
            QCOMPARE(slider->minimum(), factor.min);
            QCOMPARE(slider->maximum(), factor.max);
            QCOMPARE(slider->singleStep(), 1);
            QCOMPARE(slider->pageStep(), 10);
            QCOMPARE(slider->contextMenuPolicy(), Qt::NoContextMenu);
            QCOMPARE(slider->parentWidget()->objectName(), QString::fromLatin1(panels[i]));
            QLabel* value = run.label(factor.valueLabel);
            QCOMPARE(value->parentWidget(), slider->parentWidget());
            QCOMPARE(value->y(), slider->y() - 1); // on the slider's row
        }
    }

    void popupMenusHoldTheirItems() {
        FORM_RUN(run);
        run.start();
        struct Menu {
            const char* name;
            QStringList items; // objectName=caption, "N1" for the separator
        };
        const Menu menus[] = {
            {"PopupMenuMainFactors",
             {"PopMenuRange=Range", "PopMenuFrequency=Frequency", "PopMenuTxPower=Tx Power",
              "PopMenuBitRate=Bit Rate", "N1=", "MinEbNoDesired1=Min Eb/No Desired"}},
            {"PopupMenuNoise",
             {"PopLNANoiseFigure=LNA Noise Figure", "PopLNAGain=LNA Gain",
              "PopRxNoiseFigure=Rx Noise Figure"}},
            {"PopupMenuAnttena",
             {"PopTxFeedLoss=Tx Feed Loss", "PopTxAntGain=Tx Ant Gain", "PopWeather=Weather",
              "PopPolarization=Polarization", "RxAntGain1=Rx Ant Gain",
              "PopRxFeedLoss=Rx Feed Loss"}},
        };
        for (const Menu& m : menus) {
            auto* menu = run.find<QMenu>(m.name);
            QVERIFY2(menu != nullptr, m.name);
            QStringList items;
            for (QAction* action : menu->actions()) {
                items << action->objectName() + "=" +
                             (action->isSeparator() ? QString() : action->text());
            }
            QCOMPARE(items, m.items);
        }
        auto* bar = run.find<QMenuBar>("MainMenu1");
        QVERIFY(bar != nullptr);
        QStringList top;
        for (QAction* action : bar->actions()) {
            top << action->objectName() + "=" + action->text();
            QVERIFY(action->menu() == nullptr);
        }
        QCOMPARE(top, (QStringList{"Hardcopy1=&Hardcopy", "MenuAbout=&About", "MenuHelp=H&elp"}));
    }

    void sliderMoveRereadsEverySlider() {
        FORM_RUN(run);
        TQuillstoneMainForm* form = run.start();

        run.prompt("PopMenuRange", "1000");
        QCOMPARE(form->LinkFactors.Range, 1000.0);
        QCOMPARE(run.text("LabelRange"), QStringLiteral("1000.0"));
        QCOMPARE(run.slider("ScrollBarRange")->value(), 200);

        // Moving Tx Power re-reads Range from its slider as well.
        run.slider("ScrollBarTxPower")->setValue(100);
        QCOMPARE(form->LinkFactors.Range, 200.0);
        QCOMPARE(form->LinkFactors.TxPower, 10.0);
        QCOMPARE(run.text("LabelRange"), QStringLiteral("200.0"));
        QCOMPARE(run.text("LabelTxPower"), QStringLiteral("10.0"));
        QVERIFY(!form->Updating);
    }

    void rightClickOpensTheGroupMenu_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("menu");
        const char* const rows[][2] = {
            {"Panel1", "PopupMenuMainFactors"},
            {"Label23", "PopupMenuMainFactors"}, // heading
            {"ScrollBarRange", "PopupMenuMainFactors"},
            {"LabelBitRate", "PopupMenuMainFactors"}, // value label
            {"Panel5", "PopupMenuMainFactors"},
            {"ScrollBarMinEbNoDesired", "PopupMenuMainFactors"},
            {"LabelMinBepDesired", "PopupMenuMainFactors"},
            {"Panel4", "PopupMenuNoise"},
            {"ScrollBarLnaGain", "PopupMenuNoise"},
            {"Label20", "PopupMenuNoise"}, // caption
            {"Panel3", "PopupMenuAnttena"},
            {"ScrollBarRxFeedLoss", "PopupMenuAnttena"},
            {"LabelTxAntGain", "PopupMenuAnttena"},
            {"Panel2", ""}, // the results and the title have no menu
            {"LabelFadeMargin", ""},
            {"Panel6", ""},
            {"LabelReliability", ""},
            {"Label34", ""},
        };
        for (const auto& [target, menu] : rows) {
            QTest::newRow(target) << QString(target) << QString(menu);
        }
    }
    void rightClickOpensTheGroupMenu() {
        QFETCH(QString, target);
        QFETCH(QString, menu);
        FORM_RUN(run);
        TQuillstoneMainForm* form = run.start();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));

        auto* widget = form->findChild<QWidget*>(target);
        QVERIFY(widget != nullptr);
        const QPoint at(2, 2);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
        QApplication::sendEvent(widget, &event);

        QMenu* opened = testing_support::visibleMenu(form);
        QCOMPARE(opened != nullptr ? opened->objectName() : QString(), menu);
        if (opened != nullptr) {
            opened->hide();
        }
        form->hide();
    }

    // and slider moves after it change nothing
    void shutDownRunsOnceAndEndsTheRun() {
        FORM_RUN(run);
        QVERIFY(QDir().mkpath(run.path("SYSTEM/ERLOGS")));
        TQuillstoneMainForm* form = run.start();
        QSignalSpy closed(form, &TQuillstoneMainForm::closed);
        QVERIFY(AppContext().ProgramLog != nullptr);

        QVERIFY(run.closeForm());
        QCOMPARE(closed.count(), 1);
        QVERIFY(AppContext().ProgramLog == nullptr);
        const QByteArray log = run.readFile("SYSTEM/ERLOGS/Quillstone.Log");
        QVERIFY(log.contains("PROGRAM START"));
        QVERIFY(log.contains("Program Version 2.01"));
        QVERIFY(log.contains("PROGRAM END"));

        QCOMPARE(AppContext().ShuttingDown, uint8_t{1});

        // Slider moves after the shut-down change nothing.
        const QStringList values = testing_support::valueTexts(run);
        const QStringList results = testing_support::resultTexts(run);
        const LinkResults before = form->LinkResults;
        run.slider("ScrollBarRange")->setValue(150);
        run.slider("ScrollBarTxPower")->setValue(200);
        QCOMPARE(form->LinkFactors.Range, 10.0);
        QCOMPARE(form->LinkFactors.TxPower, 5.0);
        QCOMPARE(form->LinkResults.FreeSpaceAtten, before.FreeSpaceAtten);
        QCOMPARE(form->LinkResults.TxPowerdb, before.TxPowerdb);
        QCOMPARE(form->LinkResults.Reliability, before.Reliability);
        QCOMPARE(testing_support::valueTexts(run), values);
        QCOMPARE(testing_support::resultTexts(run), results);

        // A second close (or a later terminate) saves nothing more.
        form->LinkFactors.Range = 99.0;
        form->ShutDown();
        QVERIFY(run.closeForm());
        QCOMPARE(run.readFile("Quillstone.Cfg"), testing_support::kSampleSettings);
        QVERIFY(!run.exists("Quillstone.Cfg.BAK"));
    }

    void decimalCommaOnScreenFullStopInFile() {
        FORM_RUN(run);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        run.start();
        QCOMPARE(run.text("LabelFreq"), QStringLiteral("2250,0"));
        QCOMPARE(run.text("LabelTxAntGain"), QStringLiteral("1,10"));
        QCOMPARE(run.text("LabelFreeSpaceAtten"), QStringLiteral("-123,6"));
        QCOMPARE(run.text("LabelReliability"), QStringLiteral("99,4"));
        QCOMPARE(run.text("LabelMinBepDesired"), QStringLiteral("1,0E-7"));

        run.slider("ScrollBarWeather")->setValue(25);
        QCOMPARE(run.text("LabelWeather"), QStringLiteral("2,5"));
        QVERIFY(run.closeForm());
        QByteArray expected = testing_support::kSampleSettings;
        expected.replace("Weather=0.100000000", "Weather=2.500000000");
        QCOMPARE(run.readFile("Quillstone.Cfg"), expected);
    }
};

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
