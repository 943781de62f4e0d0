// The design window on its real widgets, keys and mouse sent for real: the
// sheet is the parameter registry, values typed with units, refused values,
// solve and undo, save and reopen, a failed save, the unsaved-changes
// question, the calculator reading the window's file, the screen's locale
// and the files' full stop, the chart and the waterfall.
#include "design_fields.h"
#include "design_fixture.h"
#include "design_solve.h"
#include "file_calls.h"
#include "input_sheet.h"
#include "link_settings.h"
#include "margin_chart.h"
#include "number_text.h"
#include "result_panel.h"
#include "waterfall_chart.h"

#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLayout>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QUndoStack>

#include <cmath>

using testing_support::DesignRun;

namespace {

QString key(ParamId id) {
    return QString::fromUtf8(ParamKey(ParamRowOf(id)));
}

// Every text the results show, by label name: what must survive a file.
QMap<QString, QString> shownResults(const DesignRun& run) {
    QMap<QString, QString> texts;
    for (QLabel* label : run.window()->findChildren<QLabel*>())
        if (label->objectName().startsWith("Result") || label->objectName().startsWith("Line") ||
            label->objectName() == "Verdict")
            texts[label->objectName()] = label->text();
    return texts;
}

// Picks an item of a combo box with the arrow keys, as a user does.
void pick(QComboBox* combo, const QString& text) {
    const int target = combo->findText(text);
    QVERIFY2(target >= 0, qPrintable(text));
    combo->setFocus();
    while (combo->currentIndex() != target)
        QTest::keyClick(combo, combo->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class DesignWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void sheetIsTheRegistry() {
        DesignRun run;
        DesignWindow* window = run.start();
        // The accessible names come after the first frame (InputSheet::nameRows).
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTRY_VERIFY(!window->inputs()->field(ParamTable.front().id)->accessibleName().isEmpty());
        std::vector<QString> groups;
        for (const ParamRow& row : ParamTable) {
            QWidget* field = window->inputs()->field(row.id);
            QVERIFY(field != nullptr);
            QCOMPARE(field->objectName(), "Field" + key(row.id));
            const QString caption = QString::fromUtf8(ParamCaption(row));
            QCOMPARE(field->accessibleName(), caption);
            QCOMPARE(run.find<QLabel>("Problem" + key(row.id))->accessibleName(),
                     caption + " refused");
            if (auto* unit = window->findChild<QComboBox*>("Unit" + key(row.id)))
                QCOMPARE(unit->accessibleName(), caption + " unit");
            QVERIFY(field->toolTip().startsWith(QString::fromUtf8(row.help)));
            if (row.source != nullptr)
                QVERIFY(field->toolTip().contains(QString::fromUtf8(row.source)));
            const QString title = QString::fromUtf8(ParamGroupTitle(row.group));
            if (std::find(groups.begin(), groups.end(), title) == groups.end())
                groups.push_back(title);
        }
        // The groups in the registry's order of groups, whatever the rows' order.
        std::sort(groups.begin(), groups.end(), [](const QString& a, const QString& b) {
            const auto rank = [](const QString& title) {
                for (const ParamRow& row : ParamTable)
                    if (title == ParamGroupTitle(row.group))
                        return int(row.group);
                return -1;
            };
            return rank(a) < rank(b);
        });
        std::vector<QString> shown;
        QLayout* layout = window->inputs()->layout();
        for (int i = 0; i < layout->count(); ++i)
            if (auto* box = qobject_cast<QGroupBox*>(layout->itemAt(i)->widget()))
                shown.push_back(box->title());
        QVERIFY(shown == groups);

        // A row shows exactly when it applies; a rain rate brings the rain rows.
        for (const char* rate : {"", "25"}) {
            DesignRun::type(run.field("RainRate"), rate);
            const DesignPoint point = window->document().design().point();
            for (const ParamRow& row : ParamTable)
                QVERIFY2(window->inputs()->field(row.id)->isVisibleTo(window) ==
                             ParamApplies(row, point),
                         ParamKey(row));
        }
        QVERIFY(window->inputs()->field(ParamId::Availability)->isVisibleTo(window));
    }

    // A row whose value is no number (a list) reads its text with the
    // registry's own reader and says what that reader says.
    void textRowsReadByTheRegistry() {
        DesignRun run;
        DesignWindow* window = run.start();
        int rows = 0;
        for (const ParamRow& row : ParamTable) {
            if (FieldKindOf(row) != FieldKind::Text || !ParamApplies(row, DesignPoint{}))
                continue;
            ++rows;
            ParamSetting expected;
            std::string error;
            const bool read = ReadListSetting(row, "?", expected, error);
            DesignRun::paste(window->inputs()->field(row.id), "?");
            QCOMPARE(window->inputs()->refused(row.id), !read);
            if (!read)
                QCOMPARE(run.text("Problem" + key(row.id)), QString::fromStdString(error));
        }
        QVERIFY(rows > 0 || std::none_of(ParamTable.begin(), ParamTable.end(), [](auto& row) {
                    return FieldKindOf(row) == FieldKind::Text;
                }));
    }

    void typedValueWithUnit_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("picked"); // a unit picked first, "" for none
        QTest::addColumn<double>("value");   // the base unit's
        QTest::addColumn<QString>("unit");
        QTest::newRow("km typed") << "Range"
                                  << "25 km"
                                  << "" << 25 / 1.609344 << "km";
        QTest::newRow("GHz typed") << "Freq"
                                   << "5.8 GHz"
                                   << "" << 5800.0 << "GHz";
        QTest::newRow("dBm typed") << "TxPower"
                                   << "40dBm"
                                   << "" << 10.0 << "dBm";
        QTest::newRow("km picked") << "Range"
                                   << "40"
                                   << "km" << 40 / 1.609344 << "km";
        QTest::newRow("bare") << "Range"
                              << "12.5"
                              << "Miles" << 12.5 << "";
        QTest::newRow("rain") << "RainRate"
                              << "42 mm/h"
                              << "" << 42.0 << "mm/h";
    }

    void typedValueWithUnit() {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, picked);
        QFETCH(double, value);
        QFETCH(QString, unit);
        DesignRun run;
        DesignWindow* window = run.start();
        const QString before = run.text("ResultFadeMargin");
        if (!picked.isEmpty())
            pick(run.find<QComboBox>("Unit" + key), picked);
        DesignRun::type(run.find<QLineEdit>("Field" + key), text);

        const ParamId id = FindParam(key.toStdString())->id;
        const std::optional<ParamSetting>& setting = window->document().design().setting(id);
        QVERIFY(setting.has_value());
        QVERIFY(std::fabs(setting->value - value) <= 1e-12 * value);
        QCOMPARE(QString::fromStdString(setting->unit), unit);
        if (auto* picker = run.find<QComboBox>("Unit" + key); picker && !unit.isEmpty())
            QCOMPARE(picker->currentText(), unit);
        const double margin = Evaluate(window->document().design()).sheet.results.FadeMargin;
        QCOMPARE(run.text("ResultFadeMargin"), QString::fromStdString(FormatFixed(7, 1, margin)));
        QVERIFY(run.text("ResultFadeMargin") != before);
        QVERIFY(run.text("Verdict").contains(QString::number(std::fabs(margin), 'f', 1)));
    }

    void badValueRefused_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("why");
        QTest::newRow("letters") << "Range"
                                 << "abc"
                                 << "'abc' is not a number (Miles, or with a unit: mi, km";
        QTest::newRow("wrong unit") << "Range"
                                    << "25 dBm"
                                    << "unit 'dBm' does not fit Range";
        QTest::newRow("out of range") << "RainRate"
                                      << "-5"
                                      << "out of range (0 to 1000 mm/h)";
        QTest::newRow("unit of another") << "Freq"
                                         << "5 ft"
                                         << "'5 ft' is not a number";
    }

    void badValueRefused() {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, why);
        DesignRun run;
        DesignWindow* window = run.start();
        const QString margin = run.text("ResultFadeMargin");
        QLineEdit* field = run.find<QLineEdit>("Field" + key);
        DesignRun::paste(field, text);

        QLabel* problem = run.find<QLabel>("Problem" + key);
        QVERIFY(problem->isVisibleTo(window));
        QVERIFY2(problem->text().contains(why), qPrintable(problem->text()));
        QCOMPARE(field->accessibleDescription(), problem->text());
        QVERIFY(field->palette().color(QPalette::Base) != window->palette().color(QPalette::Base));
        QCOMPARE(field->text(), text); // kept for the user to mend
        QVERIFY(!window->document().design().has(FindParam(key.toStdString())->id));
        QCOMPARE(window->document().undoStack()->count(), 0);
        QCOMPARE(run.text("ResultFadeMargin"), margin);

        DesignRun::type(field, "25");
        QVERIFY(!problem->isVisibleTo(window));
        QVERIFY(window->document().design().has(FindParam(key.toStdString())->id));
    }

    // A design the model cannot evaluate shows the model's reason and the
    // field it concerns; the last budget stays in sight.
    void refusedDesignShowsTheReason() {
        DesignRun run;
        DesignWindow* window = run.start();
        pick(run.find<QComboBox>("FieldModulation"), "64qam");
        DesignRun::type(run.field("TargetBer"), "0.4");
        QVERIFY(!window->evaluation().ok());
        QCOMPARE(run.text("Verdict"), StopText(window->evaluation()));
        QVERIFY(run.text("Verdict").contains("does not reach a bit error rate of 0.4"));
        QVERIFY(run.find<QLabel>("ResultFadeMargin")->isVisibleTo(window));
        QVERIFY(window->chart()->curve().x.empty());
        DesignRun::type(run.field("TargetBer"), "1e-6");
        QVERIFY(run.find<QLabel>("ResultFadeMargin")->isVisibleTo(window));
    }

    void solveAndUndo() {
        DesignRun run;
        DesignWindow* window = run.start();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        pick(run.find<QComboBox>("SolveFactor"), "Rx Ant Gain");
        DesignRun::type(run.find<QLineEdit>("SolveMargin"), "10", false);
        QTest::mouseClick(run.find<QPushButton>("SolveButton"), Qt::LeftButton);

        QCOMPARE(run.text("ResultFadeMargin"), QStringLiteral("10.0"));
        QVERIFY(
            run.text("SolveAnswer").startsWith("Least RxAntGain for a fade margin of 10.0 dB:"));
        QVERIFY(!run.field("RxAntGain")->text().isEmpty());
        QCOMPARE(window->document().undoStack()->count(), 1);
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(run.text("ResultFadeMargin"), QStringLiteral("21.9"));
        QVERIFY(run.field("RxAntGain")->text().isEmpty());
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(run.text("ResultFadeMargin"), QStringLiteral("10.0"));
    }

    // The values wait for the window's first frame to become selectable by
    // mouse: then those there, those of a section an edit adds later and the
    // solve's answer all are, and a drag across one selects its text.
    void valuesSelectableOnceShown() {
        DesignRun run;
        DesignWindow* window = run.start();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTRY_VERIFY(window->results()->valuesSelectable());
        const auto values = [&] {
            QList<QLabel*> found;
            for (QLabel* label : window->results()->findChildren<QLabel*>())
                for (const char* prefix : {"Term", "Result", "Line"})
                    if (label->objectName().startsWith(prefix))
                        found << label;
            return found;
        };
        const qsizetype atStart = values().size();
        DesignRun::type(run.field("RainRate"), "60");
        DesignRun::type(run.field("TxHeight"), "40");
        QVERIFY(values().size() > atStart);
        for (QLabel* label : values())
            QVERIFY2(label->textInteractionFlags().testFlag(Qt::TextSelectableByMouse),
                     qPrintable(label->objectName()));

        QTest::mouseClick(run.find<QPushButton>("SolveButton"), Qt::LeftButton);
        for (const char* name : {"ResultFadeMargin", "SolveAnswer"}) {
            auto* label = run.find<QLabel>(name);
            QVERIFY(!label->text().isEmpty());
            QVERIFY(!label->hasSelectedText());
            // Dragged across its text, which is right-aligned for a value.
            const int wide = label->fontMetrics().horizontalAdvance(label->text());
            const int left = label->alignment().testFlag(Qt::AlignRight)
                                 ? label->contentsRect().right() - wide
                                 : label->contentsRect().left();
            const int middle = label->fontMetrics().height() / 2;
            QTest::mousePress(label, Qt::LeftButton, {}, QPoint(left + 1, middle));
            QTest::mouseMove(label, QPoint(left + wide - 1, middle));
            QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(left + wide - 1, middle));
            QVERIFY2(label->hasSelectedText(), name);
            QVERIFY(label->text().contains(label->selectedText()));
        }
    }

    // The sheet and the results go into their panes after the first design
    // fills them: both are in the window, and the sheet's pane is as wide as
    // its widest row, an edit's longer text included.
    void panesHoldTheFirstDesign() {
        DesignRun run;
        DesignWindow* window = run.start();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        for (QWidget* pane :
             {static_cast<QWidget*>(window->inputs()), static_cast<QWidget*>(window->results())}) {
            QVERIFY(window->isAncestorOf(pane));
            QVERIFY(pane->isVisible());
        }
        const auto fits = [&] {
            auto* area =
                qobject_cast<QScrollArea*>(window->inputs()->parentWidget()->parentWidget());
            return area != nullptr && area->widget() == window->inputs() &&
                   area->viewport()->width() >= window->inputs()->minimumSizeHint().width();
        };
        QVERIFY(fits());
        QVERIFY(!run.find<QLabel>("Verdict")->text().isEmpty());
        DesignRun::type(run.field("RainRate"), "60");
        QVERIFY(fits());
    }

    // The recent files' menu is read from the settings after the first frame:
    // a window opened later lists the files saved before, and one opens.
    void recentFilesListedOnceShown() {
        DesignRun run;
        DesignWindow* window = run.start();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        auto* menu = run.find<QMenu>("MenuRecent");
        QTRY_VERIFY(!menu->isEnabled()); // none saved yet
        DesignRun::type(run.field("Range"), "25");
        for (const char* name : {"first", "second"}) {
            run.chooseFile(name);
            QVERIFY(window->saveAs());
        }

        window = run.start();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        menu = run.find<QMenu>("MenuRecent");
        QTRY_COMPARE(menu->actions().size(), 2);
        QVERIFY(menu->isEnabled());
        QCOMPARE(menu->actions().value(0)->statusTip(), run.path("second.json"));
        QCOMPARE(menu->actions().value(1)->statusTip(), run.path("first.json"));
        menu->actions().value(1)->trigger();
        QCOMPARE(window->document().path(), run.path("first.json"));
        QCOMPARE(run.field("Range")->text(), QStringLiteral("25"));
    }

    // A refusal reads as the calculator's --solve prints it.
    void solveRefusalInCalculatorWords() {
        DesignRun run;
        run.start();
        pick(run.find<QComboBox>("SolveFactor"), "LNA Noise Figure");
        DesignRun::type(run.find<QLineEdit>("SolveMargin"), "60");
        QProcess calc;
        calc.start(QUILLSTONE_CALC_PATH, {"--solve", "LnaNoiseFigure", "--margin", "60"});
        QVERIFY(calc.waitForFinished(60000));
        QCOMPARE(calc.exitCode(), 3);
        const QString said = QString::fromUtf8(calc.readAllStandardError()).trimmed();
        QCOMPARE(said, "quillstone-calc: --solve " + run.text("SolveAnswer"));
        QCOMPARE(run.window()->document().undoStack()->count(), 0);
    }

    void saveReopenSameNumbers() {
        DesignRun run;
        DesignWindow* window = run.start();
        for (const auto& [field, text] : {std::pair{"Range", "25 km"},
                                          {"Freq", "11 GHz"},
                                          {"RainRate", "30"},
                                          {"TxDishDiameter", "2 ft"}})
            DesignRun::type(run.field(field), text);
        QVERIFY(window->windowTitle().startsWith("Untitled[*]"));
        QVERIFY(window->isWindowModified());
        const QMap<QString, QString> before = shownResults(run);

        run.chooseFile("link");
        QVERIFY(window->save());
        QVERIFY(window->windowTitle().startsWith("link.json[*]"));
        QVERIFY(!window->isWindowModified());
        QCOMPARE(window->recentFiles().value(0), run.path("link.json"));

        window->newDesign();
        QVERIFY(run.askedUnsaved.isEmpty());
        QVERIFY(shownResults(run) != before);
        QVERIFY(window->openFile(run.path("link.json")));
        QCOMPARE(shownResults(run), before);
        QCOMPARE(run.field("Range")->text(), QStringLiteral("25"));
        QCOMPARE(run.find<QComboBox>("UnitRange")->currentText(), QStringLiteral("km"));
        QVERIFY(!window->isWindowModified());
        QVERIFY(run.errors.isEmpty());
    }

    void failedSaveKeepsFileAndEdits() {
        DesignRun run;
        DesignWindow* window = run.start();
        DesignRun::type(run.field("Range"), "25");
        QVERIFY(window->saveTo(run.path("link.json")));
        const QByteArray saved = readFile(run.path("link.json"));
        DesignRun::type(run.field("Range"), "30");
        {
            testing_support::ScriptedFileCalls calls;
            calls.Fail(testing_support::ScriptedFileCalls::Rename, ENOSPC);
            QVERIFY(!window->save());
        }
        QCOMPARE(run.errors.size(), 1);
        QVERIFY(run.errors[0].contains(run.path("link.json")));
        QVERIFY(run.errors[0].contains(QString::fromLocal8Bit(std::strerror(ENOSPC))));
        QCOMPARE(readFile(run.path("link.json")), saved);
        QVERIFY(window->isWindowModified());
        QCOMPARE(window->document().design().setting(ParamId::Range)->given, 30.0);
        QCOMPARE(QDir(run.path("")).entryList(QDir::Files), QStringList{"link.json"});
    }

    void unsavedChangesAsked_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("written");
        QTest::newRow("cancel") << int(UnsavedAnswer::Cancel) << false << false;
        QTest::newRow("discard") << int(UnsavedAnswer::Discard) << true << false;
        QTest::newRow("save") << int(UnsavedAnswer::Save) << true << true;
    }

    void unsavedChangesAsked() {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(bool, written);
        DesignRun run;
        DesignWindow* window = run.start();
        QVERIFY(window->close()); // nothing unsaved: no question
        window = run.start();
        DesignRun::type(run.field("Range"), "25");
        run.answerUnsaved(UnsavedAnswer(answer));
        run.chooseFile("kept.json");
        QCOMPARE(window->close(), closed);
        QCOMPARE(run.askedUnsaved, QStringList{"Untitled"});
        QCOMPARE(QFile::exists(run.path("kept.json")), written);
        QCOMPARE(window->isVisible(), !closed);
    }

    // quillstone-calc --design FILE --json gives the texts the window shows.
    void calculatorReadsTheSavedFile() {
        DesignRun run;
        DesignWindow* window = run.start();
        for (const auto& [field, text] : {std::pair{"Range", "40 km"},
                                          {"Freq", "23 GHz"},
                                          {"RainRate", "60"},
                                          {"TxHeight", "40"},
                                          {"RxHeight", "25 ft"},
                                          {"RxDishDiameter", "0.6"}})
            DesignRun::type(run.field(field), text);
        QVERIFY(window->saveTo(run.path("design.json")));
        QProcess calc;
        calc.start(QUILLSTONE_CALC_PATH, {"--design", run.path("design.json"), "--json"});
        QVERIFY(calc.waitForFinished(60000));
        QCOMPARE(calc.exitCode(), 0);
        const QJsonObject json = QJsonDocument::fromJson(calc.readAllStandardOutput()).object();
        int compared = 0;
        const auto compare = [&](const QString& prefix, const QJsonArray& rows) {
            for (const QJsonValue& row : rows) {
                const QString name = prefix + row["key"].toString();
                QCOMPARE(run.text(name), row["text"].toString().trimmed());
                ++compared;
            }
        };
        // The sheet copied as text is the calculator's text of the file.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QProcess text;
        text.start(QUILLSTONE_CALC_PATH, {"--design", run.path("design.json")});
        QVERIFY(text.waitForFinished(60000));
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString::fromUtf8(text.readAllStandardOutput()));
        compare("Result", json["results"].toArray());
        compare("Line", json["propagation"]["rows"].toArray());
        QVERIFY(compared > 20);
        QCOMPARE(run.text("ResultMinBepDesired"), json["bitErrorPerformance"]["text"].toString());
    }

    // The factors to the specified window's settings file give its budget the
    // design's margin, and come back as one edit.
    void factorsThroughTheWindowSettingsFile() {
        DesignRun run;
        DesignWindow* window = run.start();
        for (const auto& [field, text] : {std::pair{"Range", "30"},
                                          {"Freq", "15 GHz"},
                                          {"TxAntGain", "3 dBd"},
                                          {"RainRate", "20"}})
            DesignRun::type(run.field(field), text);
        const QString margin = run.text("ResultFadeMargin");
        run.chooseFile(kSettingsFileName);
        window->exportFactors();
        LinkFactors factors{};
        WindowPosition position;
        QVERIFY(LoadLinkSettings(run.path(kSettingsFileName).toStdString(), factors, position));
        LinkResults results{};
        CalculateLink(factors, results);
        QCOMPARE(QString::fromStdString(FormatFixed(7, 1, results.FadeMargin)), margin);

        run.answerUnsaved(UnsavedAnswer::Discard);
        window->newDesign();
        run.chooseFile(kSettingsFileName);
        window->importFactors();
        QCOMPARE(run.text("ResultFadeMargin"), margin);
        QCOMPARE(window->document().undoStack()->count(), 1);
        QVERIFY(run.errors.isEmpty());
    }

    void localeOnScreenFullStopInFiles() {
        DesignRun run;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        DesignWindow* window = run.start();
        DesignRun::type(run.field("Range"), "25,5 km");
        QCOMPARE(window->document().design().setting(ParamId::Range)->given, 25.5);
        QVERIFY(run.text("ResultFadeMargin").contains(','));
        QVERIFY(run.text("Verdict").contains(','));

        QVERIFY(window->saveTo(run.path("de.json")));
        QVERIFY(readFile(run.path("de.json")).contains("\"value\": 25.5, \"unit\": \"km\""));
        run.chooseFile("points.csv");
        window->exportChartPoints();
        const QList<QByteArray> csv = readFile(run.path("points.csv")).split('\n');
        QCOMPARE(csv.value(0), QByteArray("Range (km),Fade Margin (dB)"));
        QVERIFY(csv.size() > 100 && csv[1].contains('.') && csv[1].count(',') == 1);
        run.chooseFile("report.html");
        window->exportReport();
        const QByteArray html = readFile(run.path("report.html"));
        QVERIFY(QRegularExpression("closes with -?[0-9]+\\.[0-9] dB").match(html).hasMatch());
        run.chooseFile("report.pdf");
        window->exportReport();
        QVERIFY(readFile(run.path("report.pdf")).startsWith("%PDF"));
        QVERIFY(run.errors.isEmpty());
        run.chooseFile("report.txt");
        window->exportReport();
        QCOMPARE(run.errors.size(), 1);
        QVERIFY(run.errors[0].contains("the name must end in .pdf or .html"));
        QVERIFY(!QFile::exists(run.path("report.txt")));
    }

    void chartAndWaterfall() {
        DesignRun run;
        DesignWindow* window = run.start();
        const MarginCurve& curve = window->chart()->curve();
        QCOMPARE(curve.param, ParamId::Range);
        const Evaluation& now = window->evaluation();
        const SolveAnswer largest = SolveDesign(*now.model, now.point, 0, 0.0);
        QCOMPARE(curve.crossings.size(), std::size_t{1});
        QVERIFY(std::fabs(curve.crossings[0] - largest.value) < 0.005 * largest.value);
        QTest::mouseMove(window->chart(), window->chart()->rect().center());
        QVERIFY2(window->chart()->hoverText().startsWith("Range "),
                 qPrintable(window->chart()->hoverText()));

        pick(run.find<QComboBox>("ChartAxis"), "Rx Ant Gain");
        QCOMPARE(window->chart()->curve().caption, QStringLiteral("Rx Ant Gain"));
        QCOMPARE(window->chart()->curve().currentX, 10.0);

        const auto& bars = window->waterfall()->bars();
        QCOMPARE(bars.size(), now.terms.size() + 1);
        for (std::size_t i = 1; i + 1 < bars.size(); ++i)
            QCOMPARE(bars[i].from, bars[i - 1].to);
        QVERIFY(std::fabs(bars.back().to - now.sheet.results.FadeMargin) < 1e-9);
    }
};

QTEST_MAIN(DesignWindowTest)
#include "design_window_test.moc"
