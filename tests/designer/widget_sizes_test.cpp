// The window's own labels and drop-downs size themselves as Qt's do. A
// one-line label: the same size and minimum size as QLabel's for every kind
// of text, alignment, mnemonic and font the window uses, after its text or
// font changes too, and for every such label of the window itself; a text it
// does not lay out (rich, tabbed, wrapped, selectable) is left to QLabel. A
// drop-down of the sheet: QComboBox's own minimum size, in the window.
#include "design_fixture.h"
#include "input_sheet.h"
#include "one_line_label.h"
#include "sheet_combo_box.h"

#include <QLineEdit>

using testing_support::DesignRun;

namespace {

// A plain QLabel set up as `label` is.
std::unique_ptr<QLabel> twinOf(const QLabel& label, QWidget* buddy) {
    auto twin = std::make_unique<QLabel>(label.text());
    twin->setFont(label.font());
    twin->setAlignment(label.alignment());
    twin->setWordWrap(label.wordWrap());
    twin->setTextInteractionFlags(label.textInteractionFlags());
    if (label.buddy() != nullptr)
        twin->setBuddy(buddy);
    return twin;
}

} // namespace

class WidgetSizesTest : public QObject {
    Q_OBJECT
  private slots:
    void sizedAsQLabel_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<bool>("withBuddy");
        QTest::addColumn<double>("scale");
        QTest::addColumn<bool>("bold");
        const QStringList texts = {"Range",
                                   "Free Space Attenuation",
                                   "-123.6 dB",
                                   "+173.9 dB",
                                   "dBm/Hz",
                                   "\u00b0C \u00b5s",
                                   "Sol&ve for",
                                   "at a fade margin &of",
                                   "",
                                   "a < b & c",
                                   "<b>bold</b>",
                                   "tab\tbed",
                                   "two\nlines"};
        const int left = int(Qt::AlignLeft | Qt::AlignVCenter);
        const int right = int(Qt::AlignRight | Qt::AlignVCenter);
        for (const QString& text : texts)
            for (const int alignment : {left, right})
                for (const bool withBuddy : {false, true})
                    QTest::addRow("%s %s%s", qPrintable(text), alignment == left ? "left" : "right",
                                  withBuddy ? " buddy" : "")
                        << text << alignment << withBuddy << 1.0 << false;
        QTest::newRow("larger") << "Fade Margin" << left << false << 1.25 << false;
        QTest::newRow("bold") << "Fade Margin" << right << false << 1.0 << true;
        QTest::newRow("larger mnemonic") << "&Against:" << left << true << 1.5 << true;
    }

    void sizedAsQLabel() {
        QFETCH(QString, text);
        QFETCH(int, alignment);
        QFETCH(bool, withBuddy);
        QFETCH(double, scale);
        QFETCH(bool, bold);
        QWidget window;
        QLineEdit buddy(&window);
        OneLineLabel label(text, &window);
        label.setAlignment(Qt::Alignment(alignment));
        QFont font = label.font();
        font.setPointSizeF(font.pointSizeF() * scale);
        font.setBold(bold);
        label.setFont(font);
        if (withBuddy)
            label.setBuddy(&buddy);
        const auto twin = twinOf(label, &buddy);
        QCOMPARE(label.sizeHint(), twin->sizeHint());
        QCOMPARE(label.minimumSizeHint(), twin->minimumSizeHint());

        // A new text and a new font are sized again.
        label.setText(text + QStringLiteral(" and more"));
        twin->setText(label.text());
        QCOMPARE(label.sizeHint(), twin->sizeHint());
        font.setPointSizeF(font.pointSizeF() * 2);
        label.setFont(font);
        twin->setFont(font);
        QCOMPARE(label.sizeHint(), twin->sizeHint());
        QCOMPARE(label.minimumSizeHint(), twin->minimumSizeHint());
    }

    // The kinds it leaves to QLabel still get QLabel's sizes.
    void otherKindsLeftToQLabel_data() {
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<bool>("selectable");
        QTest::newRow("wrapped") << true << false;
        QTest::newRow("selectable") << false << true;
    }

    void otherKindsLeftToQLabel() {
        QFETCH(bool, wrap);
        QFETCH(bool, selectable);
        OneLineLabel label(QStringLiteral("Results for the last design evaluated, at some length"));
        label.setWordWrap(wrap);
        if (selectable)
            label.setTextInteractionFlags(Qt::TextSelectableByMouse);
        const auto twin = twinOf(label, nullptr);
        QCOMPARE(label.sizeHint(), twin->sizeHint());
        QCOMPARE(label.minimumSizeHint(), twin->minimumSizeHint());
    }

    // Every one-line label of the window, as the window set it up and filled
    // it (captions, units, budget terms and results, the solve bar).
    void windowLabelsSizedAsQLabel() {
        DesignRun run;
        DesignWindow* window = run.start();
        DesignRun::type(run.field("RainRate"), "60");
        int compared = 0;
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (dynamic_cast<OneLineLabel*>(label) == nullptr)
                continue;
            QLineEdit buddy;
            const auto twin = twinOf(*label, &buddy);
            QCOMPARE(label->sizeHint(), twin->sizeHint());
            QCOMPARE(label->minimumSizeHint(), twin->minimumSizeHint());
            ++compared;
        }
        QVERIFY2(compared > 100, qPrintable(QString::number(compared)));
    }

    // Every drop-down of the sheet, as the window filled it and showed it;
    // one given another font, then a minimum contents length (QComboBox's
    // minimum is narrower then).
    void sheetDropDownsSizedAsQComboBox() {
        DesignRun run;
        DesignWindow* window = run.start();
        DesignRun::type(run.field("RainRate"), "60");
        int compared = 0;
        for (auto* box : window->inputs()->findChildren<SheetComboBox*>()) {
            QCOMPARE(box->sizeHint(), box->QComboBox::sizeHint());
            QCOMPARE(box->minimumSizeHint(), box->QComboBox::minimumSizeHint());
            ++compared;
        }
        QVERIFY2(compared >= 20, qPrintable(QString::number(compared)));

        // Sized again for another font.
        SheetComboBox box;
        box.addItems({QStringLiteral("a rather long item of a list"), QStringLiteral("km")});
        const QSize before = box.sizeHint();
        QFont font = box.font();
        font.setPointSizeF(font.pointSizeF() * 2);
        box.setFont(font);
        QCOMPARE(box.sizeHint(), box.QComboBox::sizeHint());
        QVERIFY(box.sizeHint().width() > before.width());
        box.setMinimumContentsLength(3);
        QCOMPARE(box.minimumSizeHint(), box.QComboBox::minimumSizeHint());
        QVERIFY(box.minimumSizeHint().width() < box.sizeHint().width());
    }
};

QTEST_MAIN(WidgetSizesTest)
#include "widget_sizes_test.moc"
