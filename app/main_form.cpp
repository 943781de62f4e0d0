// The main window's running part: the slider path and the display step.
#include "main_form.h"

#include "app_context.h"
#include "help_form.h"
#include "link_calculation.h"
#include "link_display.h"
#include "number_text.h"

#include <QLabel>
#include <QLocale>
#include <QScrollBar>
#include <QTextDocument>

TQuillstoneMainForm* QuillstoneMainForm = nullptr;

namespace {

// Fits the label to its text. For a one-line plain text without margin,
// indent or frame (every label the display writes) the size adjustSize()
// would give is the text's own size, found with one layout of the text
// instead of QLabel's three: most of the time of a slider move.
void fitToText(QLabel* label) {
    const QString& text = label->text();
    const bool plainLine = label->margin() == 0 && label->indent() <= 0 &&
                           label->frameWidth() == 0 && !label->wordWrap() &&
                           label->textFormat() != Qt::RichText && !Qt::mightBeRichText(text) &&
                           !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\t')) &&
                           !text.contains(QLatin1Char('&'));
    if (plainLine)
        label->resize(label->fontMetrics().size(0, text));
    else
        label->adjustSize();
}

// Writes the text only when it differs, so that an unchanged label is not
// repainted (and keeps its size). True when it was written.
bool setTextIfChanged(QLabel* label, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (label->text() == shown) {
        return false;
    }
    label->setText(shown);
    fitToText(label);
    return true;
}

// Clears `Updating` however the display step is left.
class UpdatingScope {
  public:
    explicit UpdatingScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~UpdatingScope() { m_flag = false; }
    UpdatingScope(const UpdatingScope&) = delete;
    UpdatingScope& operator=(const UpdatingScope&) = delete;

  private:
    bool& m_flag;
};

} // namespace

TQuillstoneMainForm::TQuillstoneMainForm(QWidget* parent) : QMainWindow(parent) {
    QuillstoneMainForm = this;
    createForm();
    FormCreate();
}

TQuillstoneMainForm::~TQuillstoneMainForm() {
    if (QuillstoneMainForm == this) {
        QuillstoneMainForm = nullptr;
    }
}

void TQuillstoneMainForm::FormCreate() {
    HardcopyImage->setGeometry(PanelScreen->rect());
    // Numbers on the screen follow the user's decimal separator; files never do.
    SetDecimalSeparator(QLocale().decimalPoint().toStdString());
    StartUp();
}

void TQuillstoneMainForm::SetWindowCaption() {
    setWindowTitle(QStringLiteral("%1  Ver %2")
                       .arg(QString::fromLatin1(kProgramName), QString::fromLatin1(kVersionText)));
}

void TQuillstoneMainForm::ScrollBarRangeChange() {
    if (Updating) {
        return;
    }
    SlidersToFactors();
    CalculateLink(LinkFactors, LinkResults);
    ShowAll();
}

void TQuillstoneMainForm::SlidersToFactors() {
    if (Updating || AppContext().ShuttingDown != 0) {
        return;
    }
    SliderPositions positions{};
    for (std::size_t i = 0; i < kFactorCount; ++i) {
        positions[i] = m_sliders[i]->value();
    }
    ::SlidersToFactors(positions, LinkFactors);
}

void TQuillstoneMainForm::ShowFactor(std::size_t row, int position, const std::string& valueText) {
    // Raises valueChanged when the position moves; ScrollBarRangeChange
    // ignores it while `Updating` is true.
    m_sliders[row]->setValue(position);
    QLabel* label = m_valueLabels[row];
    if (setTextIfChanged(label, valueText)) {
        // What a screen reader says of the label: "Range 10.0 Miles".
        const FactorRow& factor = FactorTable[row];
        label->setAccessibleName(QStringLiteral("%1 %2 %3")
                                     .arg(QString::fromLatin1(factor.caption), label->text(),
                                          QString::fromLatin1(factor.unit)));
    }
}

void TQuillstoneMainForm::ShowAll() {
    if (Updating || AppContext().ShuttingDown != 0) {
        return;
    }
    const UpdatingScope updating(Updating);
    LinkDisplay display;
    MakeLinkDisplay(LinkFactors, LinkResults, display);
    for (std::size_t i = 0; i < kFactorCount; ++i) {
        ShowFactor(i, display.positions[i], display.valueTexts[i]);
        if (FactorTable[i].panel == FactorPanel::Panel5) {
            setTextIfChanged(LabelMinBepDesired, display.bepText);
        }
    }
    for (std::size_t i = 0; i < kResultCount; ++i) {
        setTextIfChanged(m_resultLabels[i], display.resultTexts[i]);
    }
}
