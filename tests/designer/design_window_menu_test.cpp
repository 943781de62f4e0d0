// The design window's charts, menus, exports, solve and command line on its
// real widgets, keys and mouse sent for real: each chart's axis over the
// values the design's path and features accept, availability on a
// logarithmic axis of unavailability, crossing labels apart, the verdict
// against the margin asked, the fade margin over the year, the budget table
// as CSV, the exports' names and status messages, the solve in the field's
// unit with its message on the undo stack, the Help menu, and
// quillstone-design's --help, --version and a missing FILE.
#include "availability_curve.h"
#include "budget_explain.h"
#include "design_fields.h"
#include "design_fixture.h"
#include "link_settings.h"
#include "margin_chart.h"
#include "verdict.h"
#include "waterfall_chart.h"

#include <QAction>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QUndoStack>

#include <cmath>
#include <sstream>

using testing_support::DesignRun;

namespace {

QString caption(ParamId id) {
    return QString::fromUtf8(ParamCaption(ParamRowOf(id)));
}

// Picks an item of a combo box with the arrow keys, as a user does.
void pick(QComboBox* combo, const QString& text) {
    const int target = combo->findText(text);
    QVERIFY2(target >= 0, qPrintable(text));
    combo->setFocus();
    while (combo->currentIndex() != target)
        QTest::keyClick(combo, combo->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
}

// "Field=text" entries typed in order; a choice field is picked.
void enter(DesignRun& run, const QStringList& entries) {
    for (const QString& entry : entries) {
        const QString key = entry.section('=', 0, 0);
        const QString text = entry.section('=', 1);
        if (auto* choice = run.find<QComboBox>("Field" + key))
            pick(choice, text);
        else
            DesignRun::type(run.field(key.toUtf8().constData()), text);
    }
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The fields of CSV lines, quotes undone (RFC 4180).
QList<QStringList> parseCsv(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += c, ++i;
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row << field, field.clear();
        } else if (c == '\n') {
            row << field, field.clear();
            rows << row, row.clear();
        } else {
            field += c;
        }
    }
    return rows;
}

void activate(DesignWindow* window) {
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

QString status(DesignWindow* window) {
    return window->statusBar()->currentMessage();
}

const QStringList kEarthSpace{"Path=earth-space", "Elevation=30"};

} // namespace

class DesignWindowMenuTest : public QObject {
    Q_OBJECT
  private slots:
    // Each chart's axis runs over the values the design's path and features
    // accept (in the curve's unit), around the design's own point.
    void chartStaysInTheDomain_data() {
        QTest::addColumn<QStringList>("design");
        QTest::addColumn<int>("axis");
        QTest::addColumn<double>("low");  // the least value accepted
        QTest::addColumn<double>("high"); // the largest
        QTest::addColumn<bool>("whole");  // the whole domain is drawn
        const double none = INFINITY;
        QTest::newRow("elevation, Earth-space")
            << kEarthSpace << int(ParamId::Elevation) << 5.0 << 90.0 << true;
        QTest::newRow("availability, terrestrial rain")
            << QStringList{"RainRate=30"} << int(ParamId::Availability) << 99.0 << 99.999 << true;
        QTest::newRow("availability, Earth-space")
            << kEarthSpace << int(ParamId::Availability) << 95.0 << 99.999 << true;
        QTest::newRow("frequency beyond the prompt's")
            << QStringList{"Freq=18 GHz"} << int(ParamId::Freq) << 0.0 << none << false;
        QTest::newRow("range below the prompt's")
            << QStringList{"Range=0.05"} << int(ParamId::Range) << 0.0 << none << false;
        QTest::newRow("frequency, Earth-space atmosphere")
            << (kEarthSpace + QStringList{"Freq=20 GHz"}) << int(ParamId::Freq) << 1.0 << 350.0
            << false;
        QTest::newRow("rain rate around its value")
            << QStringList{"RainRate=30"} << int(ParamId::RainRate) << 0.0 << 1000.0 << false;
        QTest::newRow("dish around its size")
            << QStringList{"RxDishDiameter=0.6"} << int(ParamId::RxDishDiameter) << 0.01 << 1000.0
            << false;
    }

    void chartStaysInTheDomain() {
        QFETCH(QStringList, design);
        QFETCH(int, axis);
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(bool, whole);
        DesignRun run;
        DesignWindow* window = run.start();
        enter(run, design);
        QVERIFY2(window->evaluation().ok(), window->evaluation().error.c_str());
        pick(run.find<QComboBox>("ChartAxis"), caption(ParamId(axis)));
        const MarginCurve& curve = window->chart()->curve();
        QCOMPARE(int(curve.param), axis);
        QVERIFY(curve.x.size() > 100);
        const double tolerance = 1e-6 * std::max(1.0, std::fabs(high - low));
        QVERIFY2(curve.x.front() >= low - tolerance, qPrintable(QString::number(curve.x.front())));
        QVERIFY2(curve.x.back() <= high + tolerance, qPrintable(QString::number(curve.x.back())));
        // The design's point lies inside; a bounded domain is drawn whole
        // (nothing cut off short of it) or around the design's point.
        QVERIFY(curve.hasCurrent);
        QVERIFY(curve.x.front() <= curve.currentX && curve.currentX < curve.x.back());
        if (whole) {
            QVERIFY(std::fabs(curve.x.front() - low) < 0.02 * (high - low));
            QVERIFY(std::fabs(curve.x.back() - high) < 0.02 * (high - low));
        } else if (std::isfinite(high)) {
            QVERIFY2(curve.x.back() - curve.x.front() < 0.5 * (high - low),
                     qPrintable(QString::number(curve.x.back())));
        }
    }

    // Availability on a logarithmic axis of unavailability: as many points
    // in each decade, the ticks at 0.001, 0.01 ... of the year.
    void availabilityOnALogAxis() {
        DesignRun run;
        DesignWindow* window = run.start();
        enter(run, {"RainRate=30"});
        pick(run.find<QComboBox>("ChartAxis"), caption(ParamId::Availability));
        const MarginCurve& curve = window->chart()->curve();
        const auto inDecade = [&curve](double least, double most) {
            return std::count_if(curve.x.begin(), curve.x.end(), [&](double x) {
                return 100.0 - x >= least * (1 - 1e-9) && 100.0 - x <= most * (1 + 1e-9);
            });
        };
        // 0.001 to 1 % of the year: three decades, a third of the points each.
        const double third = curve.x.size() / 3.0;
        for (const double least : {0.001, 0.01, 0.1})
            QVERIFY2(std::fabs(inDecade(least, least * 10) - third) <= 2,
                     qPrintable(QString::number(inDecade(least, least * 10))));
        const std::vector<double> ticks = window->chart()->ticks();
        QVERIFY(!ticks.empty());
        QCOMPARE(window->chart()->axisText(ticks.front(), 0), QStringLiteral("0.001"));
        QCOMPARE(window->chart()->axisText(ticks.back(), 0), QStringLiteral("1"));
        for (std::size_t i = 1; i < ticks.size(); ++i)
            QVERIFY(ticks[i] < ticks[i - 1]); // unavailability rising to the right
    }

    // Crossings close together: every label that is drawn has a place of
    // its own inside the plot.
    void crossingLabelsNeverOverlap_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("apart"); // of the axis
        QTest::newRow("two far apart") << 2 << 0.5;
        QTest::newRow("six close") << 6 << 0.02;
        QTest::newRow("thirty at one place") << 30 << 0.001;
    }

    void crossingLabelsNeverOverlap() {
        QFETCH(int, count);
        QFETCH(double, apart);
        DesignRun run;
        DesignWindow* window = run.start();
        MarginChart* chart = window->chart();
        chart->resize(480, 300);
        MarginCurve curve = chart->curve();
        curve.crossings.clear();
        const double span = curve.x.back() - curve.x.front();
        for (int i = 0; i < count; ++i)
            curve.crossings.push_back(curve.x.front() + span * (0.2 + apart * i));
        chart->setCurve(curve);
        const std::vector<MarginChart::CrossingLabel> labels = chart->crossingLabels();
        QVERIFY(!labels.empty());
        QCOMPARE(labels.front().x, curve.crossings.front());
        if (apart >= 0.5)
            QCOMPARE(int(labels.size()), count);
        for (std::size_t i = 0; i < labels.size(); ++i) {
            QVERIFY(chart->rect().contains(labels[i].box.toAlignedRect()));
            for (std::size_t j = 0; j < i; ++j)
                QVERIFY2(!labels[i].box.intersects(labels[j].box),
                         qPrintable(labels[i].text + " / " + labels[j].text));
        }
    }

    // The verdict, its colour, the chart's line and crossings, the solve's
    // default and the report all use the Required Fade Margin.
    void verdictAgainstTheMarginAsked_data() {
        QTest::addColumn<QString>("asked");
        QTest::addColumn<double>("margin");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("none asked")
            << "" << 0.0 << true << "The link closes with 21.9 dB fade margin";
        QTest::newRow("less than the margin")
            << "10" << 10.0 << true << "The link closes with 21.9 dB fade margin";
        QTest::newRow("a negative margin")
            << "-5" << -5.0 << true << "The link closes with 21.9 dB fade margin";
        QTest::newRow("more than the margin") << "25" << 25.0 << false
                                              << "The link falls 3.1 dB short of the 25.0 dB "
                                                 "fade margin asked";
    }

    void verdictAgainstTheMarginAsked() {
        QFETCH(QString, asked);
        QFETCH(double, margin);
        QFETCH(bool, closes);
        QFETCH(QString, verdict);
        DesignRun run;
        DesignWindow* window = run.start();
        enter(run, {"Margin=" + asked});
        QCOMPARE(run.text("Verdict"), verdict);
        QCOMPARE(run.find<QLabel>("Verdict")->palette().color(QPalette::WindowText),
                 VerdictColour(window->palette(), closes));

        const MarginCurve& curve = window->chart()->curve();
        QCOMPARE(curve.required, margin);
        QVERIFY(!curve.crossings.empty());
        for (const double x : curve.crossings)
            QVERIFY(std::fabs(*CurveMarginAt(curve, x) - margin) < 0.05);

        run.chooseFile("report.html");
        window->exportReport();
        QVERIFY(QString::fromUtf8(readFile(run.path("report.html"))).contains(verdict));

        // The solve aims at the margin asked without being told again.
        QCOMPARE(run.find<QLineEdit>("SolveMargin")->text(), asked.isEmpty() ? "0" : asked);
        pick(run.find<QComboBox>("SolveFactor"), caption(ParamId::Range));
        QTest::mouseClick(run.find<QPushButton>("SolveButton"), Qt::LeftButton);
        QCOMPARE(run.text("ResultFadeMargin"), QString::number(margin, 'f', 1));
        QVERIFY(run.text("Verdict").startsWith("The link closes"));
        QVERIFY(run.errors.isEmpty());
    }

    // The fade margin over the year: the calculator's --availability-curve
    // on an Earth-space path, and why it is empty elsewhere.
    void fadeMarginOverTheYear() {
        DesignRun run;
        DesignWindow* window = run.start();
        auto* chart = run.find<MarginChart>("UnavailabilityChart");
        QVERIFY(chart != nullptr);
        auto* views = run.find<QTabWidget>("Views");
        QVERIFY(views->indexOf(chart) >= 0);
        QVERIFY(views->indexOf(window->chart()->parentWidget()) >= 0);
        QVERIFY(chart->curve().x.empty());
        QVERIFY2(chart->emptyText().contains("Earth-space"), qPrintable(chart->emptyText()));

        enter(run, kEarthSpace + QStringList{"Freq=20 GHz", "Margin=3"});
        const Evaluation& e = window->evaluation();
        QVERIFY(e.ok());
        const AvailabilityCurve year = EvaluateAvailabilityCurve(*e.model, e.point);
        const MarginCurve& curve = chart->curve();
        QCOMPARE(curve.x.size(), year.points.size());
        QCOMPARE(curve.required, 3.0);
        for (const AvailabilityPoint& point : year.points) {
            const auto at = std::find_if(curve.x.begin(), curve.x.end(), [&](double x) {
                return std::fabs(100.0 - x - point.percent) < 1e-9;
            });
            QVERIFY(at != curve.x.end());
            QCOMPARE(curve.margin[std::size_t(at - curve.x.begin())], point.fadeMarginDb);
        }
        const std::vector<double> ticks = chart->ticks();
        QCOMPARE(chart->axisText(ticks.front(), 0), QStringLiteral("0.001"));
        QCOMPARE(chart->axisText(ticks.back(), 0), QStringLiteral("5"));
        QVERIFY(curve.hasCurrent);
        QCOMPARE(curve.currentMargin, e.sheet.results.FadeMargin);

        enter(run, {"Path=terrestrial"});
        QVERIFY(chart->curve().x.empty());
        QVERIFY(!chart->emptyText().isEmpty());
    }

    // File > Export Budget Table: the terms of the waterfall and of the
    // calculator's --explain, with units and sources, then the results; full
    // stops whatever the screen's separator.
    void budgetTableAsCsv() {
        DesignRun run;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        DesignWindow* window = run.start();
        enter(run, {"RainRate=30", "Freq=11 GHz", "Margin=2,5"});
        activate(window);
        run.chooseFile("budget");
        QTest::keyClick(window, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
        const QList<QStringList> rows =
            parseCsv(QString::fromUtf8(readFile(run.path("budget.csv"))));
        QVERIFY(rows.size() > 1);
        QCOMPARE(rows[0], (QStringList{"Kind", "Key", "Caption", "Value", "Unit",
                                       "Contribution (dB)", "Source"}));
        const Evaluation& e = window->evaluation();
        const BudgetExplanation explained = ExplainBudget(*e.model, e.point, e.sheet);
        const auto& bars = window->waterfall()->bars();
        QCOMPARE(explained.terms.size() + 1, bars.size());
        for (std::size_t i = 0; i < explained.terms.size(); ++i) {
            const QStringList& row = rows[int(i) + 1];
            const LinkTerm& term = explained.terms[i];
            QCOMPARE(row.size(), 7);
            QCOMPARE(row[1], QString::fromUtf8(term.key));
            QCOMPARE(row[2], bars[i].caption);
            QCOMPARE(row[3].toDouble(), term.value);
            QCOMPARE(row[4], QString::fromUtf8(term.unit));
            QVERIFY(std::fabs(row[5].toDouble() - (bars[i].to - bars[i].from)) < 1e-9);
            QCOMPARE(row[6], QString::fromUtf8(term.source));
        }
        const QStringList& fade = rows[int(explained.terms.size()) + 1];
        QCOMPARE(fade[1], QStringLiteral("FadeMargin"));
        QCOMPARE(fade[3].toDouble(), e.sheet.results.FadeMargin);
        QCOMPARE(rows[int(explained.terms.size()) + 2][3], QStringLiteral("2.5"));
        // Every result once, with its unit.
        for (const ResultRow& result : ResultTable)
            QVERIFY2(std::count_if(rows.begin(), rows.end(),
                                   [&](const QStringList& row) {
                                       return row.value(0) == "result" &&
                                              row.value(2) == result.caption &&
                                              row.value(4) == result.unit;
                                   }) == 1,
                     result.caption);
        QVERIFY(status(window).contains(run.path("budget.csv")));
        QVERIFY(run.errors.isEmpty());
    }

    // A name without an extension gets the filter's; every export says in
    // the status bar what it wrote.
    void exportsNameTheirFiles_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter"); // picked in the dialog
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("starts");
        QTest::addColumn<QString>("said");
        const int shift = int(Qt::ControlModifier | Qt::ShiftModifier);
        QTest::newRow("report, PDF picked")
            << int(Qt::Key_P) << int(Qt::ControlModifier) << "report"
            << "PDF report (*.pdf)"
            << "report.pdf" << QByteArray("%PDF") << "PDF";
        QTest::newRow("report, HTML picked")
            << int(Qt::Key_P) << int(Qt::ControlModifier) << "report"
            << "HTML report (*.html)"
            << "report.html" << QByteArray("<!DOCTYPE html>") << "HTML";
        QTest::newRow("report named .html, PDF picked")
            << int(Qt::Key_P) << int(Qt::ControlModifier) << "mine.html"
            << "PDF report (*.pdf)"
            << "mine.html" << QByteArray("<!DOCTYPE html>") << "HTML";
        QTest::newRow("chart points") << int(Qt::Key_E) << shift << "points"
                                      << ""
                                      << "points.csv" << QByteArray("Range (Miles),")
                                      << "points of the fade margin against Range";
        QTest::newRow("budget table") << int(Qt::Key_B) << shift << "budget"
                                      << ""
                                      << "budget.csv" << QByteArray("Kind,Key,") << "budget table";
    }

    void exportsNameTheirFiles() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        QFETCH(QByteArray, starts);
        QFETCH(QString, said);
        DesignRun run;
        DesignWindow* window = run.start();
        activate(window);
        run.chooseFile(typed, filter);
        QTest::keyClick(window, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY2(run.errors.isEmpty(), qPrintable(run.errors.join('\n')));
        QVERIFY2(readFile(run.path(written)).startsWith(starts),
                 qPrintable(QDir(run.path("")).entryList(QDir::Files).join(' ')));
        QCOMPARE(QDir(run.path("")).entryList({"*.pdf", "*.html", "*.csv", typed}, QDir::Files),
                 QStringList{written});
        QVERIFY2(status(window).contains(run.path(written)), qPrintable(status(window)));
        QVERIFY2(status(window).contains(said), qPrintable(status(window)));
    }

    // Export Factors says which parts of the design the settings file
    // cannot hold; Import and Open say what they did.
    void factorsFileSaysWhatItHolds_data() {
        QTest::addColumn<QStringList>("design");
        QTest::addColumn<QString>("left"); // "" when nothing is left out
        QTest::newRow("factors only") << QStringList{"Range=30", "TxAntGain=3 dBd"} << "";
        QTest::newRow("rain and a dish")
            << QStringList{"RainRate=20", "RxDishDiameter=1.2"}
            << "Quillstone.Cfg holds the fourteen factors only: Rain Rate, Rx Dish Diameter "
               "not written";
    }

    void factorsFileSaysWhatItHolds() {
        QFETCH(QStringList, design);
        QFETCH(QString, left);
        DesignRun run;
        DesignWindow* window = run.start();
        enter(run, design);
        run.chooseFile(kSettingsFileName);
        window->exportFactors();
        QVERIFY(QFile::exists(run.path(kSettingsFileName)));
        QVERIFY(status(window).startsWith("Wrote the fourteen factors to " +
                                          run.path(kSettingsFileName)));
        QCOMPARE(status(window).contains("only"), !left.isEmpty());
        if (!left.isEmpty())
            QVERIFY2(status(window).endsWith(left), qPrintable(status(window)));

        run.chooseFile(kSettingsFileName);
        window->importFactors();
        QCOMPARE(status(window),
                 "Imported the fourteen factors from " + run.path(kSettingsFileName));
        QVERIFY(window->saveTo(run.path("link.json")));
        QVERIFY(window->openFile(run.path("link.json")));
        QVERIFY(status(window).startsWith("Opened " + run.path("link.json")));
        QVERIFY(run.errors.isEmpty());
    }

    // The answer goes into the field in the field's unit at five significant
    // digits, on the side that keeps the margin; the Required Fade Margin
    // changes only when one was typed in the solve bar; the message goes and
    // comes back with undo and redo.
    void solveInTheFieldsUnit_data() {
        QTest::addColumn<QString>("factor");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("unit");
        QTest::newRow("range in km") << "Range"
                                     << "25 km"
                                     << "km";
        QTest::newRow("frequency in GHz") << "Freq"
                                          << "5.8 GHz"
                                          << "GHz";
        QTest::newRow("power in dBm") << "TxPower"
                                      << "40 dBm"
                                      << "dBm";
        // A bare number is in the unit picked beside it: a new design's km.
        QTest::newRow("range bare") << "Range"
                                    << "12"
                                    << "km";
        QTest::newRow("weather bare") << "Weather"
                                      << "3"
                                      << "";
    }

    void solveInTheFieldsUnit() {
        QFETCH(QString, factor);
        QFETCH(QString, given);
        QFETCH(QString, unit);
        DesignRun run;
        DesignWindow* window = run.start();
        const ParamId param = FindParam(factor.toStdString())->id;
        enter(run, {factor + "=" + given});
        pick(run.find<QComboBox>("SolveFactor"), caption(param));
        QTest::mouseClick(run.find<QPushButton>("SolveButton"), Qt::LeftButton);

        const QString text = run.field(factor.toUtf8().constData())->text();
        QString digits = text;
        digits.remove('.').remove('-');
        while (digits.startsWith('0'))
            digits.remove(0, 1);
        QVERIFY2(!text.isEmpty() && digits.size() <= 5, qPrintable(text));
        const std::optional<ParamSetting>& setting = window->document().design().setting(param);
        QCOMPARE(QString::fromStdString(setting->unit), unit);
        QCOMPARE(QLocale::c().toDouble(text), setting->given);
        const QString unitLabel =
            unit.isEmpty() ? QString::fromUtf8(ParamUnitLabel(ParamRowOf(param))) : unit;
        QVERIFY2(run.text("SolveAnswer").endsWith(": " + text + " " + unitLabel),
                 qPrintable(run.text("SolveAnswer")));
        QVERIFY(window->evaluation().sheet.results.FadeMargin >= 0.0);
        QVERIFY(window->evaluation().sheet.results.FadeMargin < 0.05);
        QVERIFY(!window->document().design().has(ParamId::Margin));

        // A margin typed in the solve bar becomes the design's, and says so.
        DesignRun::type(run.find<QLineEdit>("SolveMargin"), "5");
        QCOMPARE(window->document().design().value(ParamId::Margin), 5.0);
        const QString said = run.text("SolveAnswer");
        QVERIFY2(said.endsWith("(Required Fade Margin set to 5.0 dB)"), qPrintable(said));
        QVERIFY(window->evaluation().sheet.results.FadeMargin >= 5.0);
        activate(window);
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(run.text("SolveAnswer"), QString());
        QVERIFY(!window->document().design().has(ParamId::Margin));
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(run.text("SolveAnswer"), said);
        // A new edit after an undo is not the solve: no message comes back.
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
        enter(run, {"RxAntGain=12"});
        QCOMPARE(window->document().undoStack()->index(), 3);
        QCOMPARE(run.text("SolveAnswer"), QString());
    }

    // The window's Solve and the calculator's --solve are one solver: the
    // same answer for the same design file and margin.
    void solveIsTheCalculators_data() {
        QTest::addColumn<QStringList>("design");
        QTest::addColumn<QString>("factor");
        QTest::addColumn<QString>("margin");
        QTest::newRow("range, plain budget") << QStringList{} << "Range"
                                             << "10";
        QTest::newRow("range under rain") << QStringList{"RainRate=40", "Freq=18 GHz"} << "Range"
                                          << "6";
        QTest::newRow("power to a dish")
            << QStringList{"RxDishDiameter=0.9", "Freq=11 GHz"} << "TxPower"
            << "15";
        QTest::newRow("power, Earth-space")
            << (kEarthSpace + QStringList{"Range=36000 km", "Freq=12 GHz", "RxAntGain=40"})
            << "TxPower"
            << "3";
    }

    void solveIsTheCalculators() {
        QFETCH(QStringList, design);
        QFETCH(QString, factor);
        QFETCH(QString, margin);
        DesignRun run;
        DesignWindow* window = run.start();
        enter(run, design);
        QVERIFY2(window->evaluation().ok(), window->evaluation().error.c_str());
        QVERIFY(window->saveTo(run.path("design.json")));
        QProcess calc;
        calc.start(QUILLSTONE_CALC_PATH, {"--design", run.path("design.json"), "--solve", factor,
                                          "--margin", margin, "--json"});
        QVERIFY(calc.waitForFinished(60000));
        QVERIFY2(calc.exitCode() == 0, calc.readAllStandardError().constData());
        const QJsonObject solved =
            QJsonDocument::fromJson(calc.readAllStandardOutput()).object()["solve"].toObject();
        const double expected = solved["factor"].toObject()["value"].toDouble();

        const ParamId param = FindParam(factor.toStdString())->id;
        pick(run.find<QComboBox>("SolveFactor"), caption(param));
        DesignRun::type(run.find<QLineEdit>("SolveMargin"), margin);
        const double answer = window->document().design().value(param);
        QVERIFY2(std::fabs(answer - expected) <= 1e-4 * std::fabs(expected),
                 qPrintable(QString("%1 / %2").arg(answer).arg(expected)));
        QVERIFY(window->evaluation().sheet.results.FadeMargin >= margin.toDouble());
    }

    // A design whose MODCOD follows the margin (dvbs2:auto) has no factor
    // value for a margin: refused alike, in the calculator's words, and
    // nothing changed.
    void solveRefusedLikeTheCalculator() {
        DesignRun run;
        DesignWindow* window = run.start();
        enter(run, {"Freq=20 GHz", "Waveform=dvbs2:auto", "SymbolRate=30 MBd"});
        QVERIFY2(window->evaluation().ok(), window->evaluation().error.c_str());
        QVERIFY(window->saveTo(run.path("auto.json")));
        const int edits = window->document().undoStack()->count();
        pick(run.find<QComboBox>("SolveFactor"), caption(ParamId::TxPower));
        DesignRun::type(run.find<QLineEdit>("SolveMargin"), "3");
        QProcess calc;
        calc.start(QUILLSTONE_CALC_PATH,
                   {"--design", run.path("auto.json"), "--solve", "TxPower", "--margin", "3"});
        QVERIFY(calc.waitForFinished(60000));
        QCOMPARE(calc.exitCode(), 3);
        QCOMPARE(QString::fromUtf8(calc.readAllStandardError()).trimmed(),
                 "quillstone-calc: --solve " + run.text("SolveAnswer"));
        QVERIFY(run.text("SolveAnswer").contains("dvbs2:auto"));
        QCOMPARE(window->document().undoStack()->count(), edits);
        QVERIFY(!window->document().design().has(ParamId::Margin));
    }

    // Help: the manual with every formula's published source, and About;
    // Save As on Ctrl+Shift+S.
    void helpMenuAndSaveAs() {
        DesignRun run;
        DesignWindow* window = run.start();
        auto* help = run.find<QMenu>("MenuHelp");
        QVERIFY(help != nullptr);
        QStringList names;
        for (QAction* action : help->actions())
            names << action->objectName();
        QCOMPARE(names, (QStringList{"ActionManual", "ActionAbout"}));
        activate(window);
        QTest::keyClick(window, Qt::Key_F1);
        auto* manual = run.find<QTextBrowser>("ManualText");
        QVERIFY(manual != nullptr && manual->isVisible());
        int sources = 0;
        for (const ParamRow& row : ParamTable) {
            QVERIFY(manual->toPlainText().contains(QString::fromUtf8(ParamCaption(row))));
            if (row.source != nullptr && *row.source != '\0') {
                QVERIFY2(manual->toPlainText().contains(QString::fromUtf8(row.source)), row.source);
                ++sources;
            }
        }
        QVERIFY(sources > 5);
        run.find<QAction>("ActionAbout")->trigger();
        auto* about = run.find<QWidget>("AboutBox");
        QVERIFY(about != nullptr && about->isVisible());

        activate(window);
        enter(run, {"Range=30"});
        run.chooseFile("copy");
        QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(QFile::exists(run.path("copy.json")));
        QVERIFY(window->windowTitle().startsWith("copy.json"));
        QVERIFY(status(window).contains(run.path("copy.json")));
    }

    // quillstone-design --version and --help print and exit 0 before any
    // window exists.
    void commandLineAnswers_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("starts");
        QTest::addColumn<QString>("holds");
        QTest::newRow("version") << "--version"
                                 << "quillstone-design "
                                 << ".";
        QTest::newRow("help") << "--help"
                              << "Usage: quillstone-design [FILE]"
                              << "--version";
        QTest::newRow("short help") << "-h"
                                    << "Usage: quillstone-design [FILE]"
                                    << "--help";
    }

    void commandLineAnswers() {
        QFETCH(QString, option);
        QFETCH(QString, starts);
        QFETCH(QString, holds);
        QProcess design;
        design.start(QUILLSTONE_DESIGN_PATH, {option});
        const bool finished = design.waitForFinished(20000);
        if (!finished)
            design.kill(), design.waitForFinished();
        QVERIFY(finished);
        QCOMPARE(design.exitStatus(), QProcess::NormalExit);
        QCOMPARE(design.exitCode(), 0);
        const QString out = QString::fromUtf8(design.readAllStandardOutput());
        QVERIFY2(out.startsWith(starts), qPrintable(out));
        QVERIFY(out.contains(holds) && out.endsWith('\n'));
        QCOMPARE(design.readAllStandardError(), QByteArray());
    }

    // A FILE that is not there: said once through the message seam and once
    // on standard error; the window starts with a new design.
    void missingFileOnTheCommandLine() {
        DesignRun run;
        DesignWindow* window = run.start();
        std::ostringstream err;
        window->openFromCommandLine(run.path("gone.json"), err);
        QCOMPARE(run.errors.size(), 1);
        QVERIFY(run.errors[0].contains(run.path("gone.json")));
        const QString said = QString::fromStdString(err.str());
        QCOMPARE(said.count('\n'), 1);
        QVERIFY(said.startsWith("quillstone-design: ") && said.contains(run.path("gone.json")));
        QVERIFY(window->document().path().isEmpty());
        QVERIFY(window->windowTitle().startsWith("Untitled"));
        QVERIFY(!window->isWindowModified());
        QVERIFY(window->evaluation().ok());
    }
};

QTEST_MAIN(DesignWindowMenuTest)
#include "design_window_menu_test.moc"
