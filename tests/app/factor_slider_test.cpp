// The sliders by keyboard and as they are seen on the real window: focus by
// click and Tab, the desktop's scroll-bar keys, the group menu by the
// context-menu key, names for screen readers, and pixels that tell the arrows
// and the thumb from the groove whatever the panels are painted with.
#include "form_fixture.h"
#include "help_form.h"

#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

using testing_support::FormRun;

namespace {

// The window shown and active, as a user meets it.
TQuillstoneMainForm* showForm(FormRun& run) {
    TQuillstoneMainForm* form = run.start();
    form->show();
    QApplication::setActiveWindow(form);
    return QTest::qWaitForWindowActive(form) ? form : nullptr;
}

QString focusName() {
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr ? focus->objectName() : QStringLiteral("<none>");
}

// Where the style puts a part of the slider (arrows, thumb, groove).
QRect partRect(const QScrollBar* slider, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = 0; // the fixed thumb
    return slider->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, slider);
}

int colourDistance(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}

// The largest colour distance from `reference` inside `area` of `image`.
int strongestContrast(const QImage& image, const QRect& area, QRgb reference) {
    int strongest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            strongest = std::max(strongest, colourDistance(image.pixel(x, y), reference));
    return strongest;
}

// The value label, the bit error label and every result agree with the
// factors, and the factors with the sliders.
void checkDisplayFollowsSliders(const FormRun& run) {
    const LinkFactors& factors = run.form()->LinkFactors;
    for (const FactorRow& row : FactorTable) {
        const double value = SliderValue(row, run.slider(row.slider)->value());
        QCOMPARE(factors.*row.field, value);
        QCOMPARE(run.text(row.valueLabel), QString::fromStdString(FactorValueText(row, value)));
    }
    QCOMPARE(run.text("LabelMinBepDesired"),
             QString::fromStdString(BepText(factors.MinEbNoDesired)));
    LinkResults results{};
    CalculateLink(factors, results);
    for (const ResultRow& row : ResultTable)
        QCOMPARE(run.text(row.label), QString::fromStdString(ResultText(row, results.*row.field)));
}

} // namespace

class FactorSliderTest : public QObject {
    Q_OBJECT
  private slots:
    void keysMoveAsOnTheDesktop_data() {
        QTest::addColumn<int>("row"); // of FactorTable
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("position");
        // Range starts at 10 (1 ... 200), Tx Ant Gain at 11 (-500 ... 500),
        // Minimum Eb/No at 15 (1 ... 50).
        const int none = Qt::NoModifier;
        QTest::newRow("Right") << 0 << int(Qt::Key_Right) << none << 11;
        QTest::newRow("Down") << 0 << int(Qt::Key_Down) << none << 11;
        QTest::newRow("Left") << 0 << int(Qt::Key_Left) << none << 9;
        QTest::newRow("Up") << 0 << int(Qt::Key_Up) << none << 9;
        QTest::newRow("Page Down") << 0 << int(Qt::Key_PageDown) << none << 20;
        QTest::newRow("Page Up") << 9 << int(Qt::Key_PageUp) << none << 1;
        QTest::newRow("Page Up stops at Min") << 0 << int(Qt::Key_PageUp) << none << 1;
        QTest::newRow("End") << 9 << int(Qt::Key_End) << none << 500;
        QTest::newRow("Home") << 9 << int(Qt::Key_Home) << none << -500;
        QTest::newRow("keypad Right") << 0 << int(Qt::Key_Right) << int(Qt::KeypadModifier) << 11;
        QTest::newRow("Right on the bit error row") << 4 << int(Qt::Key_Right) << none << 16;
        QTest::newRow("Ctrl+Right is not a slider key")
            << 0 << int(Qt::Key_Right) << int(Qt::ControlModifier) << 10;
    }
    void keysMoveAsOnTheDesktop() {
        QFETCH(int, row);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, position);
        FORM_RUN(run);
        QVERIFY(showForm(run) != nullptr);
        QScrollBar* slider = run.slider(FactorTable[row].slider);
        slider->setFocus();
        const int start = slider->value();
        const QStringList before = testing_support::resultTexts(run);

        QTest::keyClick(slider, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

        QCOMPARE(slider->value(), position);
        checkDisplayFollowsSliders(run);
        QCOMPARE(testing_support::resultTexts(run) != before, position != start);
    }

    void tabWalksTheSlidersInTableOrder() {
        FORM_RUN(run);
        QVERIFY(showForm(run) != nullptr);
        run.slider(FactorTable[0].slider)->setFocus();
        QStringList forward{focusName()}, backward{focusName()};
        for (std::size_t i = 0; i < kFactorCount; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            forward << focusName();
        }
        for (std::size_t i = 0; i < kFactorCount; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
            backward << focusName();
        }
        QStringList order;
        for (const FactorRow& row : FactorTable)
            order << QString::fromLatin1(row.slider);
        QCOMPARE(forward, order + QStringList{order.first()}); // and round again
        std::reverse(order.begin(), order.end());
        QCOMPARE(backward, QStringList{order.last()} + order);
    }

    void clickFocusesAndMarksTheSlider() {
        FORM_RUN(run);
        QVERIFY(showForm(run) != nullptr);
        QScrollBar* other = run.slider("ScrollBarRange");
        other->setFocus();
        QScrollBar* slider = run.slider("ScrollBarLnaGain");
        const QImage unfocused = slider->grab().toImage();

        // A click on the left arrow: focus, and one position towards Min.
        QTest::mouseClick(slider, Qt::LeftButton, {},
                          partRect(slider, QStyle::SC_ScrollBarSubLine).center());
        QCOMPARE(focusName(), QStringLiteral("ScrollBarLnaGain"));
        QCOMPARE(slider->value(), 59);
        // A click on the groove beyond the thumb: one page towards Max.
        const QRect groove = partRect(slider, QStyle::SC_ScrollBarGroove);
        QTest::mouseClick(slider, Qt::LeftButton, {},
                          QPoint(groove.right() - 2, groove.center().y()));
        QCOMPARE(slider->value(), 69);
        checkDisplayFollowsSliders(run);

        // The focus shows: the same slider at the same place, drawn otherwise.
        slider->setValue(60);
        QCOMPARE(slider->grab().toImage() == unfocused, false);
        other->setFocus();
        QTRY_COMPARE(slider->grab().toImage(), unfocused);
    }

    void contextMenuKeyOpensTheGroupMenu_data() {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("menu");
        QTest::newRow("Shift+F10, main")
            << "ScrollBarBitRate" << int(Qt::Key_F10) << "PopupMenuMainFactors";
        QTest::newRow("Shift+F10, strip")
            << "ScrollBarMinEbNoDesired" << int(Qt::Key_F10) << "PopupMenuMainFactors";
        QTest::newRow("Shift+F10, noise")
            << "ScrollBarLnaGain" << int(Qt::Key_F10) << "PopupMenuNoise";
        QTest::newRow("menu key, antenna")
            << "ScrollBarWeather" << int(Qt::Key_Menu) << "PopupMenuAnttena";
    }
    void contextMenuKeyOpensTheGroupMenu() {
        QFETCH(QString, slider);
        QFETCH(int, key);
        QFETCH(QString, menu);
        FORM_RUN(run);
        TQuillstoneMainForm* form = showForm(run);
        QVERIFY(form != nullptr);
        QScrollBar* focused = run.slider(qPrintable(slider));
        focused->setFocus();
        const int before = focused->value();

        QTest::keyClick(focused, Qt::Key(key),
                        key == Qt::Key_F10 ? Qt::ShiftModifier : Qt::NoModifier);

        QMenu* opened = testing_support::visibleMenu(form);
        QCOMPARE(opened != nullptr ? opened->objectName() : QString(), menu);
        QCOMPARE(focused->value(), before);
        if (opened != nullptr)
            opened->hide();
    }

    void menuKeysStillReachTheMenu() {
        FORM_RUN(run);
        QVERIFY(showForm(run) != nullptr);
        QScrollBar* slider = run.slider("ScrollBarRange");
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_E, Qt::AltModifier); // "H&elp"
        QVERIFY(QuillstoneHelpForm != nullptr && QuillstoneHelpForm->isVisible());
        QCOMPARE(slider->value(), 10);
    }

    void namesAndHintsForEveryone() {
        FORM_RUN(run);
        QVERIFY(showForm(run) != nullptr);
        for (const FactorRow& row : FactorTable) {
            QCOMPARE(run.slider(row.slider)->accessibleName(), QString::fromLatin1(row.caption));
            QCOMPARE(
                run.label(row.valueLabel)->accessibleName(),
                QStringLiteral("%1 %2 %3").arg(row.caption, run.text(row.valueLabel), row.unit));
        }
        const std::pair<const char*, const char*> hints[] = {
            {"ScrollBarRange", "Range: 1 to 200 Miles. Right-click to type an exact value."},
            {"ScrollBarFreq", "Frequency: 200 to 3500 MHz. Right-click to type an exact value."},
            {"ScrollBarBitRate",
             "Bit Rate: 0.1 to 30000 kbps. Right-click to type an exact value."},
            {"ScrollBarTxAntGain",
             "Tx Ant Gain: -50 to 50 dBi. Right-click to type an exact value."},
        };
        for (const auto& [name, hint] : hints)
            QCOMPARE(run.slider(name)->toolTip(), QString::fromLatin1(hint));

        QCOMPARE(run.label("LabelRange")->accessibleName(), QStringLiteral("Range 10.0 Miles"));
        run.slider("ScrollBarRange")->setFocus();
        QTest::keyClick(run.slider("ScrollBarRange"), Qt::Key_End);
        QCOMPARE(run.label("LabelRange")->accessibleName(), QStringLiteral("Range 200.0 Miles"));
        QCOMPARE(run.label("Label35")->toolTip(), QStringLiteral("Bit Error Performance"));
    }

    void arrowsAndThumbStandOutOfTheGroove() {
        FORM_RUN(run);
        // The default scheme: white captions on dark grey panels.
        TQuillstoneMainForm* form = showForm(run);
        QVERIFY(form != nullptr);
        form->setFocus(); // no slider marked
        const QImage window = form->grab().toImage();
        for (const FactorRow& row : FactorTable) {
            QScrollBar* slider = run.slider(row.slider);
            const QImage image =
                window.copy(QRect(slider->mapTo(form, QPoint(0, 0)), slider->size()));
            const QRect thumb = partRect(slider, QStyle::SC_ScrollBarSlider);
            const QRect groove = partRect(slider, QStyle::SC_ScrollBarGroove);
            // The groove's colour, as far from the thumb as the groove goes.
            const int x =
                thumb.center().x() < groove.center().x() ? groove.right() - 2 : groove.left() + 2;
            const QRgb grooveColour = image.pixel(x, groove.center().y());
            QVERIFY2(strongestContrast(image, thumb, grooveColour) >= 60, row.slider);
            // The arrow glyphs, inside their buttons' borders.
            for (QStyle::SubControl arrow :
                 {QStyle::SC_ScrollBarSubLine, QStyle::SC_ScrollBarAddLine}) {
                const QRect glyph = partRect(slider, arrow).adjusted(3, 2, -3, -2);
                QVERIFY2(strongestContrast(image, glyph, grooveColour) >= 200, row.slider);
            }

            // The thumb keeps its size whatever the page step.
            const QImage drawn = slider->grab().toImage();
            slider->setPageStep(slider->maximum() - slider->minimum());
            const QImage widePage = slider->grab().toImage();
            slider->setPageStep(10);
            QVERIFY2(widePage == drawn, row.slider);
        }
    }
};

QTEST_MAIN(FactorSliderTest)
#include "factor_slider_test.moc"
