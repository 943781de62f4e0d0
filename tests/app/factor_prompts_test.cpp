// The fourteen pop-up items: what each one asks, which factor it sets, and
// the edge cases of typed values (bounds, cancel, empty text, not a number).
#include "form_fixture.h"

#include <QTest>

#include <algorithm>

namespace {

constexpr const char* kCancel = "<cancel>";

} // namespace

class FactorPromptsTest : public QObject {
    Q_OBJECT
  private slots:
    void everyItemSetsOnlyItsFactor_data() {
        QTest::addColumn<int>("row"); // of FactorTable, whose pop-up item is chosen
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("defaultText");
        // clang-format off
        QTest::newRow("range") << 0 << "Enter the range (miles)" << "Input Value between 0.1 & 10000.0" << "10.0";
        QTest::newRow("freq") << 1 << "Enter the frequency (MHz)" << "Input Value between 0.1 & 10000.0" << "2250.0";
        QTest::newRow("power") << 2 << "Enter the transmit power (watts)" << "Input Value between 0.1 & 10000.0" << "5.0";
        QTest::newRow("bit rate") << 3 << "Enter the bit rate" << "Input Value between 1 & 500000000" << "1000";
        QTest::newRow("min eb/no") << 4 << "Enter the minimum Eb/No desired" << "Input Value between 1 & 50" << "15";
        QTest::newRow("lna nf") << 5 << "Enter the LNA Noise Figure" << "Input Value between 0.0 & 300.0" << "0.1";
        QTest::newRow("lna gain") << 6 << "Enter the LNA Gain" << "Input Value between 0.0 & 400.0" << "6.0";
        QTest::newRow("rx nf") << 7 << "Enter Rx Noise Figure" << "Input Value between 0.0 & 300.0" << "0.1";
        QTest::newRow("tx feed") << 8 << "Enter Tx Feed Loss" << "Input Value between 0.0 & 300.0" << "1.0";
        QTest::newRow("tx ant") << 9 << "Enter Tx Ant Gain" << "Input Value between -500.0 & 500.0" << "1.1";
        QTest::newRow("weather") << 10 << "Enter Weather Loss" << "Input Value between 0.0 & 200.0" << "0.1";
        QTest::newRow("polarization") << 11 << "Enter Polarization Loss" << "Input Value between 0.0 & 200.0" << "0.1";
        QTest::newRow("rx ant") << 12 << "Enter Rx Antenna Gain" << "Input Value between 0.0 & 500.0" << "10.0";
        QTest::newRow("rx feed") << 13 << "Enter Rx Feed Loss" << "Input Value between 0.0 & 300.0" << "0.1";
        // clang-format on
    }
    void everyItemSetsOnlyItsFactor() {
        QFETCH(int, row);
        QFETCH(QString, prompt);
        QFETCH(QString, title);
        QFETCH(QString, defaultText);
        FORM_RUN(run);
        TQuillstoneMainForm* form = run.start();
        const LinkResults before = form->LinkResults;

        run.prompt(FactorTable[row].menuItem, "7");

        QCOMPARE(run.asked.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(run.asked[0].prompt), prompt);
        QCOMPARE(QString::fromStdString(run.asked[0].title), title);
        QCOMPARE(QString::fromStdString(run.asked[0].defaultText), defaultText);
        LinkFactors expected{};
        SetDefaultFactors(expected);
        expected.*FactorTable[row].field = 7.0;
        for (const FactorRow& factor : FactorTable) {
            QCOMPARE(form->LinkFactors.*factor.field, expected.*factor.field);
        }
        const FactorRow& changed = FactorTable[row];
        QCOMPARE(run.text(changed.valueLabel),
                 changed.decimals == 2 ? QStringLiteral("7.00") : QStringLiteral("7.0"));
        QCOMPARE(run.slider(changed.slider)->value(),
                 std::clamp(7 * changed.scale, changed.min, changed.max));
        // Every factor enters the budget: the results were recalculated.
        QVERIFY(form->LinkResults.NoisePbitNo != before.NoisePbitNo ||
                form->LinkResults.RxPbitEb != before.RxPbitEb ||
                form->LinkResults.FadeMargin != before.FadeMargin);
        QCOMPARE(run.text("LabelFadeMargin"),
                 QString::fromStdString(FormatFixed(7, 1, form->LinkResults.FadeMargin)));
    }

    void typedValueEdgeCases_data() {
        QTest::addColumn<int>("row");          // of FactorTable, whose pop-up item is chosen
        QTest::addColumn<int>("presetSlider"); // -1: keep the defaults
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("position");
        // The prompt's own limits and parsing are the prompt's tests; these rows
        // are what the window shows: labels, and sliders at their own limits.
        // clang-format off
        QTest::newRow("range below bound") << 0 << -1 << "0.05" << 0.1 << "0.1" << 1;
        QTest::newRow("range far above slider") << 0 << -1 << "10000" << 10000.0 << "10000.0" << 200;
        QTest::newRow("tx ant gain at slider min") << 9 << -1 << "-50" << -50.0 << "-50.00" << -500;
        QTest::newRow("bit rate cancelled out of bounds") << 3 << 5 << kCancel << 1.0 << "1.0" << 10;
        QTest::newRow("bit rate upper bound") << 3 << -1 << "500000000" << 500000000.0 << "500000000.0" << 300000;
        QTest::newRow("min eb/no half") << 4 << -1 << "15.5" << 15.5 << "15.5" << 15;
        QTest::newRow("weather exact half") << 10 << -1 << "0.25" << 0.25 << "0.3" << 2;
        QTest::newRow("weather above half") << 10 << -1 << "0.26" << 0.26 << "0.3" << 3;
        // clang-format on
    }
    void typedValueEdgeCases() {
        QFETCH(int, row);
        QFETCH(int, presetSlider);
        QFETCH(QString, typed);
        QFETCH(double, value);
        QFETCH(QString, label);
        QFETCH(int, position);
        FORM_RUN(run);
        TQuillstoneMainForm* form = run.start();
        const FactorRow& factor = FactorTable[row];
        if (presetSlider >= 0) {
            run.slider(factor.slider)->setValue(presetSlider);
            QCOMPARE(form->LinkFactors.*factor.field, double(presetSlider) / factor.scale);
        }

        if (typed == kCancel) {
            run.cancel();
        } else {
            run.type(typed.toStdString());
        }
        run.action(factor.menuItem)->trigger();

        QCOMPARE(run.unexpectedPrompts, 0);
        QCOMPARE(form->LinkFactors.*factor.field, value);
        QCOMPARE(run.text(factor.valueLabel), label);
        QCOMPARE(run.slider(factor.slider)->value(), position);
        // The display's own slider moves did not re-read the sliders.
        QVERIFY(!form->Updating);
    }

    void textThatIsNoNumberChangesNothing() {
        FORM_RUN(run);
        TQuillstoneMainForm* form = run.start();
        form->LinkFactors.Range = 1234.5; // beyond the slider: kept only if nothing re-reads it
        CalculateLink(form->LinkFactors, form->LinkResults);
        form->ShowAll();
        const QStringList values = testing_support::valueTexts(run);
        const QStringList results = testing_support::resultTexts(run);

        run.prompt("PopMenuRange", "abc");
        QCOMPARE(form->LinkFactors.Range, 1234.5);
        QCOMPARE(testing_support::valueTexts(run), values);
        QCOMPARE(testing_support::resultTexts(run), results);
        QCOMPARE(run.asked.size(), std::size_t{1});
    }

    void nextDefaultIsTheNewValueRounded() {
        FORM_RUN(run);
        run.start();
        run.prompt("MinEbNoDesired1", "15.5");
        QCOMPARE(run.text("LabelMinBepDesired"), QStringLiteral("> 1.0E-7"));
        // The next prompt offers the window's value (rounded by the prompt).
        run.cancel();
        run.action("MinEbNoDesired1")->trigger();
        QCOMPARE(run.asked.at(1).defaultText, std::string("16"));
    }

    void typedValueSurvivesUntilASliderMoves() {
        FORM_RUN(run);
        TQuillstoneMainForm* form = run.start();
        run.prompt("PopMenuRange", "0.1234567891234");
        run.prompt("PopTxAntGain", "-600");
        QCOMPARE(form->LinkFactors.Range, 0.1234567891234);
        QCOMPARE(run.slider("ScrollBarRange")->value(), 1);
        QVERIFY(run.closeForm());
        const QByteArray file = run.readFile("Quillstone.Cfg");
        QVERIFY(file.contains("\r\nRange=0.123456789\r\n"));
        QVERIFY(file.contains("\r\nTxAntGain=-500.000000000\r\n"));
    }
};

QTEST_MAIN(FactorPromptsTest)
#include "factor_prompts_test.moc"
