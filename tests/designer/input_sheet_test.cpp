// The design window's input sheet on its real widgets: the wheel scrolls the
// sheet and changes no unfocused drop-down; an entry enters the design only
// when it is finished and accepted, a refused one is kept out of the design
// and out of the file; the units a new design starts in; undo back to the
// file and saving only what was set.
#include "design_fields.h"
#include "design_fixture.h"
#include "input_sheet.h"
#include "site_climate.h"
#include "verdict.h"

#include <QStatusBar>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScrollArea>
#include <QScrollBar>
#include <QUndoStack>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

using testing_support::DesignRun;

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The parameters of a design file, by key.
QJsonObject savedParameters(const QString& path) {
    const QJsonObject file = QJsonDocument::fromJson(readFile(path)).object();
    return file.value("parameters").toObject();
}

QScrollBar* sheetScrollBar(DesignWindow* window) {
    for (QWidget* outer = window->inputs()->parentWidget(); outer != nullptr;
         outer = outer->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(outer))
            return area->verticalScrollBar();
    return nullptr;
}

// One notch of the wheel, down the sheet, over the middle of `widget`.
void wheelDown(QWidget* widget) {
    const QPointF at = QRectF(widget->rect()).center();
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

void activate(DesignWindow* window) {
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

constexpr int kColumnWidth = 12; // characters of a number in the result panel

// A folder of small ITU-R maps: 5 x 5 grids (latitudes 90 to -90 every 45,
// longitudes 0 to 360 every 90) of one value each.
void writeMap(const QString& base, const char* folder, const char* lat, const char* lon,
              const char* name, double value) {
    const std::filesystem::path dir = std::filesystem::path(base.toStdString()) / folder;
    std::filesystem::create_directories(dir);
    std::ofstream latFile(dir / lat), lonFile(dir / lon), map(dir / name);
    for (int i = 0; i < 5; ++i) {
        latFile << 90 - 45 * i << " " << 90 - 45 * i << " " << 90 - 45 * i << " " << 90 - 45 * i
                << " " << 90 - 45 * i << "\n";
        lonFile << "0 90 180 270 360\n";
        map << value << " " << value << " " << value << " " << value << " " << value << "\n";
    }
}

enum class Finish { Enter, Tab, FocusOut };

// Ends the entry in `field` as a user does.
void finish(QLineEdit* field, Finish how, QWidget* elsewhere) {
    switch (how) {
    case Finish::Enter:
        QTest::keyClick(field, Qt::Key_Return);
        break;
    case Finish::Tab:
        QTest::keyClick(field, Qt::Key_Tab);
        break;
    case Finish::FocusOut:
        elsewhere->setFocus(Qt::MouseFocusReason);
        break;
    }
}

// Picks an item of a combo box with the arrow keys, as a user does.
void pick(QComboBox* combo, const QString& text) {
    const int target = combo->findText(text);
    QVERIFY2(target >= 0, qPrintable(text));
    combo->setFocus();
    while (combo->currentIndex() != target)
        QTest::keyClick(combo, combo->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
}

// One step of a user: "Key=text" typed into a field and Enter, "Key:name"
// picked in a drop-down.
void act(const DesignRun& run, const QString& step) {
    const qsizetype typed = step.indexOf('=');
    if (typed > 0) {
        DesignRun::type(run.find<QLineEdit>("Field" + step.left(typed)), step.mid(typed + 1));
        return;
    }
    const qsizetype picked = step.indexOf(':');
    pick(run.find<QComboBox>("Field" + step.left(picked)), step.mid(picked + 1));
}

// The fields shown for what they hold (not for a value the budget worked
// out), by name.
QStringList shownFields(DesignWindow* window) {
    const std::vector<DerivedInput>& derived = window->evaluation().derived;
    QStringList names;
    for (const ParamRow& row : ParamTable)
        if (window->inputs()->field(row.id)->isVisibleTo(window) &&
            std::none_of(derived.begin(), derived.end(),
                         [&](const DerivedInput& input) { return input.id == row.id; }))
            names << window->inputs()->field(row.id)->objectName();
    return names;
}

} // namespace

class InputSheetTest : public QObject {
    Q_OBJECT
  private slots:
    void wheelScrollsTheSheet_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("field"); // typed in first, "" for none
        QTest::addColumn<QString>("text");
        QTest::newRow("choice") << "FieldRainPolarization"
                                << "RainRate"
                                << "25";
        QTest::newRow("path") << "FieldPath"
                              << ""
                              << "";
        QTest::newRow("unit picker") << "UnitRange"
                                     << ""
                                     << "";
        QTest::newRow("unit picker of a set row") << "UnitRange"
                                                  << "Range"
                                                  << "25";
    }

    void wheelScrollsTheSheet() {
        QFETCH(QString, box);
        QFETCH(QString, field);
        QFETCH(QString, text);
        DesignRun run;
        DesignWindow* window = run.start();
        activate(window);
        if (!field.isEmpty())
            DesignRun::type(run.find<QLineEdit>("Field" + field), text);
        auto* combo = run.find<QComboBox>(box);
        QVERIFY(combo != nullptr && combo->isVisibleTo(window));
        run.find<QLineEdit>("SolveMargin")->setFocus();
        QScrollBar* bar = sheetScrollBar(window);
        QVERIFY(bar != nullptr && bar->maximum() > 0);
        bar->setValue(0);
        const Design before = window->document().design();
        const int count = window->document().undoStack()->count();
        const int index = combo->currentIndex();

        wheelDown(combo);
        QCOMPARE(combo->currentIndex(), index);
        QVERIFY(window->document().design() == before);
        QCOMPARE(window->document().undoStack()->count(), count);
        QVERIFY(bar->value() > 0);
        QVERIFY(!combo->hasFocus()); // the wheel gives no focus

        // With the keyboard focus the wheel changes it, as in the desktop's forms.
        combo->setFocus();
        wheelDown(combo);
        QCOMPARE(combo->currentIndex(), index + 1);
    }

    // A value the budget refuses is shown as a refused entry is: its field
    // red with the message under it, the verdict naming the field; the rest
    // of the sheet and the last budget stay in sight.
    void stoppingFieldMarked_data() {
        QTest::addColumn<QStringList>("steps"); // "Key=text" typed, "Key:name" picked
        QTest::addColumn<QString>("key");       // the field that stops the budget
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("mend");
        QTest::newRow("elevation, then an Earth-space path")
            << QStringList{"RainRate=25", "Elevation=3", "Path:earth-space"} << "Elevation"
            << "Path Elevation"
            << "out of range (5 to 90 degrees)" << QStringList{"Elevation=30", "RainRate="};
        QTest::newRow("target of a modulation")
            << QStringList{"Modulation:64qam", "TargetBer=0.4"} << "TargetBer"
            << "Target BER"
            << "does not reach a bit error rate of 0.4" << QStringList{"TargetBer=1e-6"};
    }

    void stoppingFieldMarked() {
        QFETCH(QStringList, steps);
        QFETCH(QString, key);
        QFETCH(QString, caption);
        QFETCH(QString, message);
        QFETCH(QStringList, mend);
        DesignRun run;
        DesignWindow* window = run.start();
        QString margin;
        QStringList fields;
        for (const QString& step : steps) {
            margin = run.text("ResultFadeMargin");
            fields = shownFields(window);
            act(run, step);
        }

        QVERIFY(!window->evaluation().ok());
        QLineEdit* field = run.field(key.toLatin1().constData());
        auto* problem = run.find<QLabel>("Problem" + key);
        QVERIFY(problem->isVisibleTo(window));
        QVERIFY2(problem->text().contains(message), qPrintable(problem->text()));
        QCOMPARE(field->accessibleDescription(), problem->text());
        QVERIFY(field->palette().color(QPalette::Base) != window->palette().color(QPalette::Base));
        const QString verdict = run.text("Verdict");
        QVERIFY2(verdict.startsWith(caption + ": ") && verdict.contains(message) &&
                     verdict.endsWith("the budget is not evaluated"),
                 qPrintable(verdict));
        for (const QString& name : fields) // the rest of the sheet stays
            QVERIFY2(run.find<QWidget>(name)->isVisibleTo(window), qPrintable(name));
        QVERIFY(run.find<QLabel>("ResultFadeMargin")->isVisibleTo(window));
        QCOMPARE(run.text("ResultFadeMargin"), margin);
        QVERIFY(run.find<QLabel>("StaleNote")->isVisibleTo(window));

        for (const QString& step : mend)
            act(run, step);
        QVERIFY(window->evaluation().ok());
        QVERIFY(!problem->isVisibleTo(window));
        QCOMPARE(field->palette().color(QPalette::Base), window->palette().color(QPalette::Base));
        QVERIFY(!run.text("Verdict").contains("not evaluated"));
        QVERIFY(!run.find<QLabel>("StaleNote")->isVisibleTo(window));
    }

    // A value set where its row does not apply stays in sight, saying why it
    // is not used, until it is cleared; the file holds what the sheet shows.
    void setRowNeverHidden_data() {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("triggerText");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("why");
        // A rule of the design refuses it: the row says so, as a value
        // the budget refuses.
        QTest::newRow("needs") << "RainRate"
                               << "25"
                               << "Availability"
                               << "99.9"
                               << "Availability needs Rain Rate";
        QTest::newRow("replaced") << "RxDishDiameter"
                                  << "1.2"
                                  << "RxAntGain"
                                  << "30"
                                  << "not used: the budget uses ";
    }

    void setRowNeverHidden() {
        QFETCH(QString, trigger);
        QFETCH(QString, triggerText);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, why);
        DesignRun run;
        DesignWindow* window = run.start();
        const bool needs = why.contains("needs");
        QLineEdit* triggerField = run.field(trigger.toLatin1().constData());
        QLineEdit* field = run.field(key.toLatin1().constData());
        if (needs)
            DesignRun::type(triggerField, triggerText);
        DesignRun::type(field, text);
        DesignRun::type(triggerField, needs ? QString() : triggerText);

        QVERIFY(!ParamApplies(*FindParam(key.toStdString()), window->document().design().point()));
        QVERIFY(field->isVisibleTo(window));
        QCOMPARE(field->text(), text);
        QVERIFY2(run.text("Problem" + key).startsWith(why), qPrintable(run.text("Problem" + key)));
        QVERIFY(run.find<QLabel>("Problem" + key)->isVisibleTo(window));
        QCOMPARE(field->palette().color(QPalette::Base) != window->palette().color(QPalette::Base),
                 !window->evaluation().ok());
        QVERIFY(window->saveTo(run.path("kept.json")));
        QVERIFY(savedParameters(run.path("kept.json")).contains(key));

        // Cleared, a row that needs another goes; one that is replaced shows
        // what replaces it, read-only.
        DesignRun::type(field, "");
        QCOMPARE(field->isVisibleTo(window), !needs);
        QCOMPARE(field->isReadOnly(), !needs);
        QVERIFY(!window->document().design().has(FindParam(key.toStdString())->id));
    }

    // A refused entry stays in sight too when its row stops applying.
    void refusedEntryNeverHidden() {
        DesignRun run;
        DesignWindow* window = run.start();
        DesignRun::type(run.field("RainRate"), "25");
        DesignRun::type(run.field("Availability"), "abc");
        DesignRun::type(run.field("RainRate"), "");
        QVERIFY(run.field("Availability")->isVisibleTo(window));
        QCOMPARE(run.field("Availability")->text(), "abc");
        QVERIFY(run.find<QLabel>("ProblemAvailability")->isVisibleTo(window));
        QVERIFY(window->inputs()->refused(ParamId::Availability));
    }

    // An input the budget works out shows the value used and where it comes
    // from, read-only; it is an input again once nothing works it out.
    void derivedInputsShownReadOnly() {
        DesignRun run;
        DesignWindow* window = run.start();
        activate(window);
        pick(run.find<QComboBox>("FieldPath"), "earth-space");
        DesignRun::type(run.field("Elevation"), "30");
        DesignRun::type(run.field("SatelliteAltitude"), "35786");
        const std::vector<DerivedInput>& derived = window->evaluation().derived;
        QVERIFY(!derived.empty());
        for (const DerivedInput& input : derived) {
            QWidget* field = window->inputs()->field(input.id);
            const QString source = QString::fromStdString(input.source);
            QVERIFY2(field->isVisibleTo(window), ParamKey(ParamRowOf(input.id)));
            QVERIFY(field->toolTip().contains(source));
            QVERIFY(field->accessibleDescription().contains(source));
            if (auto* edit = qobject_cast<QLineEdit*>(field))
                QVERIFY(edit->isReadOnly());
            else
                QVERIFY(!field->isEnabled());
        }
        // Range: the slant range in the unit picked, not the default.
        QLineEdit* range = run.field("Range");
        const auto slant = std::find_if(derived.begin(), derived.end(), [](const auto& input) {
            return input.id == ParamId::Range;
        });
        QVERIFY(slant != derived.end());
        const double km = *FromBaseUnit(ParamRowOf(ParamId::Range), slant->value, "km");
        QVERIFY2(std::fabs(range->text().toDouble() - km) < 1e-5 * km, qPrintable(range->text()));
        QVERIFY(km > 35786.0);
        QVERIFY(run.text("ProblemRange").startsWith(range->text() + " km \u2014 "));
        QCOMPARE(run.find<QComboBox>("FieldGas")->currentText(), "on");
        // Keys do nothing to it.
        range->setFocus();
        QTest::keyClicks(range, "5");
        QTest::keyClick(range, Qt::Key_Return);
        QVERIFY(!window->document().design().has(ParamId::Range));

        pick(run.find<QComboBox>("FieldPath"), "terrestrial");
        QVERIFY(!range->isReadOnly());
        QVERIFY(range->text().isEmpty());
        QVERIFY(run.find<QComboBox>("FieldGas")->isEnabled());
        QCOMPARE(run.find<QComboBox>("FieldGas")->currentIndex(), 0);
    }

    // On an Earth-space design with a station, the climate looked up in the
    // maps shows in its fields as derived, with the map in the tooltip; a
    // value typed over it is set and wins. A missing map is said once in the
    // status bar with the folder to put it in.
    void siteClimateShownAndTypedOver() {
        DesignRun run;
        const QString maps = run.path("itu-maps");
        writeMap(maps, "P1511-1", "TOPOLAT.TXT", "TOPOLON.TXT", "TOPO_0DOT5.TXT", 0.25);
        SetItuMapsFolder(maps.toStdString());
        DesignWindow* window = run.start();
        activate(window);
        pick(run.find<QComboBox>("FieldPath"), "earth-space");
        for (const auto& [key, text] : {std::pair{"Latitude", "45.07"},
                                        {"StationLongitude", "7.69"},
                                        {"SatelliteLongitude", "13"},
                                        {"RainRate", "30"},
                                        {"RainHeight", "3.5"},
                                        {"CloudLiquid", "0.5"},
                                        {"VapourDensity", "10"},
                                        {"VapourContent", "30"},
                                        {"WetRefractivity", "45"}}) {
            QLineEdit* field = run.field(key);
            QVERIFY2(field != nullptr, key);
            DesignRun::type(field, text);
        }
        // The annual temperature's map is missing: one message with the folder.
        QStatusBar* bar = window->statusBar();
        QVERIFY2(bar->currentMessage().contains("P1510-1/T_Annual.TXT"),
                 qPrintable(bar->currentMessage()));
        QVERIFY(bar->currentMessage().contains(maps));
        QVERIFY(bar->currentMessage().contains("put ITU's file there"));
        bar->clearMessage();
        DesignRun::type(run.field("RainRate"), "31");
        QVERIFY2(bar->currentMessage().isEmpty(), "said once, not at every change");

        writeMap(maps, "P1510-1", "LAT_T.TXT", "LON_T.TXT", "T_Annual.TXT", 290.0);
        SetItuMapsFolder({});
        SetItuMapsFolder(maps.toStdString());
        DesignRun::type(run.field("RainRate"), "30");
        for (const auto& [key, place] :
             {std::pair{"StationHeight", "ITU-R P.1511-1 at 45.07\u00B0N 7.69\u00B0E"},
              {"Temperature", "ITU-R P.1510-1 at 45.07\u00B0N 7.69\u00B0E"}}) {
            QLineEdit* field = run.field(key);
            QVERIFY2(field->isVisibleTo(window), key);
            QVERIFY2(!field->text().isEmpty(), key);
            QVERIFY2(field->toolTip().contains(QString::fromUtf8(place)),
                     qPrintable(field->toolTip()));
            QVERIFY2(!field->isReadOnly(), key);
            QVERIFY(!window->document().design().has(FindParam(key)->id));
        }
        const auto temperature = std::find_if(
            window->evaluation().derived.begin(), window->evaluation().derived.end(),
            [](const DerivedInput& input) { return input.id == ParamId::Temperature; });
        QVERIFY(temperature != window->evaluation().derived.end());
        QCOMPARE(temperature->value, 290.0);

        // Typed over: the value set wins, the map's source goes.
        QLineEdit* field = run.field("Temperature");
        DesignRun::type(field, "20");
        QVERIFY(window->document().design().has(ParamId::Temperature));
        QCOMPARE(field->text(), "20");
        QVERIFY(!field->toolTip().contains("ITU-R P.1510-1 at"));
        QVERIFY(std::none_of(
            window->evaluation().derived.begin(), window->evaluation().derived.end(),
            [](const DerivedInput& input) { return input.id == ParamId::Temperature; }));
        SetItuMapsFolder({});
    }

    // Decibels keep their magnitude on the screen, within a column's width:
    // read back, the text is the number to its last digit shown, in the
    // screen's locale.
    void decibelsKeepTheirMagnitude_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("within"); // of the value, relative
        for (const double value : {-1.1635e37, 2.5e12, 999999.94, -123456.7, 21.94, -0.04})
            QTest::addRow("%g", value) << value << (std::fabs(value) >= 1e6 ? 1e-4 : 0.05);
    }

    void decibelsKeepTheirMagnitude() {
        QFETCH(double, value);
        QFETCH(double, within);
        for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany)}) {
            const QString text = DecibelText(value, locale);
            bool read = false;
            const double back = locale.toDouble(text, &read);
            QVERIFY2(read, qPrintable(text));
            QVERIFY2(text.size() <= kColumnWidth, qPrintable(text));
            QVERIFY2(std::fabs(back - value) <= within * std::max(1.0, std::fabs(value)),
                     qPrintable(text));
        }
        QVERIFY(VerdictText(value, 0.0, QLocale::c())
                    .contains(DecibelText(std::fabs(value), QLocale::c())));
    }

    // An entry enters the design when it is finished (Enter, Tab, focus
    // out) and accepted; nothing of it while it is typed.
    void entryAppliedWhenFinished_data() {
        QTest::addColumn<int>("how");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        for (const auto& [name, how] : {std::pair{"Enter", Finish::Enter},
                                        {"Tab", Finish::Tab},
                                        {"focus out", Finish::FocusOut}}) {
            QTest::addRow("%s, good", name) << int(how) << "25 km" << true;
            QTest::addRow("%s, too large", name) << int(how) << "1e999" << false;
            QTest::addRow("%s, letters", name) << int(how) << "abc" << false;
        }
    }

    void entryAppliedWhenFinished() {
        QFETCH(int, how);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        DesignRun run;
        DesignWindow* window = run.start();
        activate(window);
        const QString margin = run.text("ResultFadeMargin");
        const QString verdict = run.text("Verdict");
        QLineEdit* range = run.field("Range");
        DesignRun::type(range, text, false);
        // Typed, not finished: "1e99" of "1e999" on the way is no value.
        QVERIFY(!window->document().design().has(ParamId::Range));
        QCOMPARE(window->document().undoStack()->count(), 0);
        QCOMPARE(run.text("ResultFadeMargin"), margin);

        finish(range, Finish(how), run.field("Freq"));
        QCOMPARE(window->inputs()->refused(ParamId::Range), !accepted);
        QCOMPARE(window->document().design().has(ParamId::Range), accepted);
        QCOMPARE(window->document().undoStack()->count(), accepted ? 1 : 0);
        auto* note = run.find<QLabel>("StaleNote");
        QCOMPARE(note->isVisibleTo(window), !accepted);
        if (accepted) {
            QCOMPARE(window->document().design().setting(ParamId::Range)->unit, "km");
            QVERIFY(run.text("ResultFadeMargin") != margin);
        } else {
            QCOMPARE(range->text(), text); // kept for the user to mend
            QCOMPARE(note->text(), "Results for the last accepted values: Range holds a "
                                   "refused entry");
            QCOMPARE(run.text("Verdict"), verdict);
            QCOMPARE(run.text("ResultFadeMargin"), margin);
            // Mended, the note goes and the value comes in.
            DesignRun::type(range, "12");
            QVERIFY(!note->isVisibleTo(window));
            QCOMPARE(window->document().design().setting(ParamId::Range)->given, 12.0);
        }
    }

    // A refused entry in a field when the design is saved or put away: the
    // user is asked; discarding puts the design's value back, cancelling
    // keeps the entry and goes no further.
    void refusedEntryAskedBeforeSave_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("discard");
        for (const char* action : {"save", "save as", "close"}) {
            QTest::addRow("%s, discard", action) << action << true;
            QTest::addRow("%s, cancel", action) << action << false;
        }
    }

    void refusedEntryAskedBeforeSave() {
        QFETCH(QString, action);
        QFETCH(bool, discard);
        DesignRun run;
        DesignWindow* window = run.start();
        QStringList asked;
        DesignDialogs dialogs = CurrentDesignDialogs();
        dialogs.askRefused = [&](QWidget*, const QString& fields) {
            asked << fields;
            return discard ? RefusedAnswer::Discard : RefusedAnswer::Cancel;
        };
        SetDesignDialogs(dialogs);
        DesignRun::type(run.field("Range"), "25");
        QVERIFY(window->saveTo(run.path("link.json")));
        const QByteArray saved = readFile(run.path("link.json"));
        DesignRun::type(run.field("Freq"), "12 GHz");
        DesignRun::type(run.field("Range"), "1e999");
        QVERIFY(window->inputs()->refused(ParamId::Range));

        run.answerUnsaved(UnsavedAnswer::Discard);
        run.chooseFile("other.json");
        bool done = false;
        if (action == "save")
            done = window->save();
        else if (action == "save as")
            done = window->saveAs();
        else
            done = window->close();
        QCOMPARE(asked, QStringList{"Range"});
        QCOMPARE(done, discard);
        QCOMPARE(window->inputs()->refused(ParamId::Range), !discard);
        QCOMPARE(run.field("Range")->text(), discard ? QString("25") : QString("1e999"));
        QCOMPARE(run.find<QLabel>("StaleNote")->isVisibleTo(window), !discard);
        if (action == "save")
            QCOMPARE(readFile(run.path("link.json")) != saved, discard);
        if (action == "save as")
            QCOMPARE(QFile::exists(run.path("other.json")), discard);
        for (const QString& name : {QString("link.json"), QString("other.json")})
            QVERIFY(!readFile(run.path(name)).contains("1e+99"));
        QVERIFY(run.errors.isEmpty());
    }

    // An entry still being typed when the design is saved is finished first,
    // as Enter would: the file holds what the field shows.
    void entryBeingTypedFinishedBySave() {
        DesignRun run;
        DesignWindow* window = run.start();
        activate(window);
        DesignRun::type(run.field("Range"), "30 km", false);
        QVERIFY(!window->document().design().has(ParamId::Range));
        run.chooseFile("typed.json");
        QTest::keyClick(run.field("Range"), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(savedParameters(run.path("typed.json")).value("Range").toObject().value("value"),
                 QJsonValue(30));
        QVERIFY(!window->isWindowModified());
    }

    // A new design's empty rows start in metric units; a default shows in
    // the unit picked; a file's units stay as saved.
    void newDesignInMetricUnits() {
        DesignRun run;
        DesignWindow* window = run.start();
        QCOMPARE(run.find<QComboBox>("UnitRange")->currentText(), "km");
        QCOMPARE(run.field("Range")->placeholderText(), "16.09344 km (default)");
        QCOMPARE(run.find<QComboBox>("UnitTxHeight")->currentText(), "m");
        QCOMPARE(run.find<QComboBox>("UnitStationHeight")->currentText(), "m");
        QCOMPARE(run.find<QComboBox>("UnitTemperature")->currentText(), "degC");
        QCOMPARE(run.field("Temperature")->placeholderText(), "15 degC (default)");
        DesignRun::type(run.field("Range"), "25");
        QCOMPARE(window->document().design().setting(ParamId::Range)->unit, "km");
        DesignRun::type(run.field("Temperature"), "20");
        QCOMPARE(window->document().design().value(ParamId::Temperature), 293.15);

        DesignRun::type(run.field("Range"), "7 mi");
        QVERIFY(window->saveTo(run.path("miles.json")));
        run.answerUnsaved(UnsavedAnswer::Discard);
        window->newDesign();
        QCOMPARE(run.find<QComboBox>("UnitRange")->currentText(), "km");
        QVERIFY(run.field("Range")->text().isEmpty());
        QVERIFY(window->openFile(run.path("miles.json")));
        QCOMPARE(run.find<QComboBox>("UnitRange")->currentText(), "mi");
        QCOMPARE(run.field("Range")->text(), "7");
    }

    // Undo back to the file's state leaves nothing unsaved; a file saved
    // again holds the same parameters, and nothing for a row left alone.
    void undoToTheFileAndSaveWhatWasSet() {
        DesignRun run;
        DesignWindow* window = run.start();
        activate(window);
        DesignRun::type(run.field("Range"), "25 km");
        DesignRun::type(run.field("Freq"), "11 GHz");
        QVERIFY(window->saveTo(run.path("link.json")));
        const QJsonObject first = savedParameters(run.path("link.json"));
        QCOMPARE(first.keys(), (QStringList{"Freq", "Range"}));

        QVERIFY(window->openFile(run.path("link.json")));
        // Typed in several sessions, one of them in steps, and a unit picked.
        DesignRun::type(run.field("Range"), "3");
        DesignRun::type(run.field("Range"), "30");
        DesignRun::type(run.field("Freq"), "12");
        DesignRun::type(run.field("RainRate"), "20");
        QVERIFY(window->isWindowModified());
        while (window->document().undoStack()->canUndo())
            QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!window->isWindowModified());
        QCOMPARE(run.field("Range")->text(), "25");

        // Every row visited with the keyboard and left as it was.
        QWidget* start = run.field("Range");
        start->setFocus();
        for (int i = 0; i < 200 && !window->isWindowModified(); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(!window->isWindowModified());
        QVERIFY(window->saveTo(run.path("again.json")));
        QCOMPARE(savedParameters(run.path("again.json")), first);

        run.answerUnsaved(UnsavedAnswer::Discard);
        window->newDesign();
        QVERIFY(window->saveTo(run.path("empty.json")));
        QVERIFY(savedParameters(run.path("empty.json")).isEmpty());
    }
};

QTEST_MAIN(InputSheetTest)
#include "input_sheet_test.moc"
