// Every label the display writes fits its text exactly, as QLabel itself
// would size it, after slider moves across the whole range of every factor;
// a label that is not a plain one-liner any more is sized by QLabel.
#include "form_fixture.h"

#include <QTest>

namespace {

// The labels the display writes: fourteen values, the bit error text and
// the nine results.
std::vector<QLabel*> shownLabels(const TQuillstoneMainForm& form) {
    std::vector<QLabel*> labels;
    for (std::size_t i = 0; i < kFactorCount; ++i)
        labels.push_back(form.FactorValueLabel(i));
    labels.push_back(form.LabelMinBepDesired);
    for (std::size_t i = 0; i < kResultCount; ++i)
        labels.push_back(form.ResultLabel(i));
    return labels;
}

// Empty when every label has the size QLabel would give it, else the first
// that has not.
QString misfit(const TQuillstoneMainForm& form) {
    for (QLabel* label : shownLabels(form)) {
        if (label->size() != label->sizeHint())
            return QStringLiteral("%1 \"%2\": %3 x %4, fits %5 x %6")
                .arg(label->objectName(), label->text())
                .arg(label->width())
                .arg(label->height())
                .arg(label->sizeHint().width())
                .arg(label->sizeHint().height());
    }
    return {};
}

} // namespace

class LabelFitTest : public QObject {
    Q_OBJECT

  private slots:
    void labelsFitTheirTextsAcrossEveryRange() {
        FORM_RUN(run);
        TQuillstoneMainForm* form = run.start();
        QCOMPARE(misfit(*form), QString());

        constexpr int kSteps = 12; // positions visited per slider, ends included
        int changes = 0;
        for (std::size_t row = 0; row < kFactorCount; ++row) {
            QScrollBar* slider = form->FactorSlider(row);
            const int first = slider->minimum();
            const int last = slider->maximum();
            for (int step = 0; step <= kSteps; ++step) {
                const QString before = form->ResultLabel(0)->text();
                slider->setValue(first + (last - first) * step / kSteps);
                changes += form->ResultLabel(0)->text() != before ? 1 : 0;
                const QString wrong = misfit(*form);
                QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
            }
        }
        QVERIFY(changes > kSteps); // the texts did change along the way
    }

    void labelWithAMarginIsSizedByQLabel() {
        FORM_RUN(run);
        TQuillstoneMainForm* form = run.start();
        form->ResultLabel(0)->setMargin(3);
        form->FactorValueLabel(0)->setIndent(5);

        QScrollBar* range = form->FactorSlider(0);
        range->setValue(range->value() == range->maximum() ? range->minimum() : range->maximum());
        const QString wrong = misfit(*form);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
};

QTEST_MAIN(LabelFitTest)
#include "label_fit_test.moc"
