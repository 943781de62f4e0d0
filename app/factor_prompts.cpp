// The fourteen pop-up menu items: each asks for one factor's exact value, then
// recalculates and redisplays, whether or not the value was taken.
#include "main_form.h"

#include "link_calculation.h"
#include "prompts.h"

#include <QAction>

#include <algorithm>
#include <array>

namespace {

using Handler = void (TQuillstoneMainForm::*)();

// The handler of each factor's pop-up item, joined to the factor table by the
// field; the table gives the item's name, the prompt's text, decimals and
// bounds.
struct PromptRow {
    Handler handler;
    double LinkFactors::*field;
};

const std::array<PromptRow, kFactorCount> kPromptTable = {{
    {&TQuillstoneMainForm::PopMenuRangeClick, &LinkFactors::Range},
    {&TQuillstoneMainForm::PopMenuFrequencyClick, &LinkFactors::Freq},
    {&TQuillstoneMainForm::PopMenuTxPowerClick, &LinkFactors::TxPower},
    {&TQuillstoneMainForm::PopMenuBitRateClick, &LinkFactors::BitRate},
    {&TQuillstoneMainForm::MinEbNoDesired1Click, &LinkFactors::MinEbNoDesired},
    {&TQuillstoneMainForm::PopLNANoiseFigureClick, &LinkFactors::LnaNoiseFigure},
    {&TQuillstoneMainForm::PopLNAGainClick, &LinkFactors::LnaGain},
    {&TQuillstoneMainForm::PopRxNoiseFigureClick, &LinkFactors::RxNoiseFigure},
    {&TQuillstoneMainForm::PopTxFeedLossClick, &LinkFactors::TxFeedLoss},
    {&TQuillstoneMainForm::PopTxAntGainClick, &LinkFactors::TxAntGain},
    {&TQuillstoneMainForm::PopWeatherClick, &LinkFactors::Weather},
    {&TQuillstoneMainForm::PopPolarizationClick, &LinkFactors::Polarization},
    {&TQuillstoneMainForm::RxAntGain1Click, &LinkFactors::RxAntGain},
    {&TQuillstoneMainForm::PopRxFeedLossClick, &LinkFactors::RxFeedLoss},
}};

} // namespace

void TQuillstoneMainForm::connectPromptItems() {
    for (const PromptRow& row : kPromptTable) {
        auto* item = findChild<QAction*>(QString::fromLatin1(FactorRowOf(row.field).menuItem));
        connect(item, &QAction::triggered, this,
                [this, handler = row.handler] { (this->*handler)(); });
    }
}

void TQuillstoneMainForm::runPrompt(double ::LinkFactors::*field) {
    const FactorRow& factor = FactorRowOf(field);
    double value = LinkFactors.*field;
    if (PromptForValue(factor.promptText, value, factor.promptDecimals, factor.promptLow,
                       factor.promptHigh)) {
        LinkFactors.*field = value; // this one field only; the sliders are not read
    }
    CalculateLink(LinkFactors, LinkResults);
    ShowAll();
}

void TQuillstoneMainForm::PopMenuRangeClick() {
    runPrompt(&::LinkFactors::Range);
}
void TQuillstoneMainForm::PopMenuFrequencyClick() {
    runPrompt(&::LinkFactors::Freq);
}
void TQuillstoneMainForm::PopMenuTxPowerClick() {
    runPrompt(&::LinkFactors::TxPower);
}
void TQuillstoneMainForm::PopMenuBitRateClick() {
    runPrompt(&::LinkFactors::BitRate);
}
void TQuillstoneMainForm::MinEbNoDesired1Click() {
    runPrompt(&::LinkFactors::MinEbNoDesired);
}
void TQuillstoneMainForm::PopLNANoiseFigureClick() {
    runPrompt(&::LinkFactors::LnaNoiseFigure);
}
void TQuillstoneMainForm::PopLNAGainClick() {
    runPrompt(&::LinkFactors::LnaGain);
}
void TQuillstoneMainForm::PopRxNoiseFigureClick() {
    runPrompt(&::LinkFactors::RxNoiseFigure);
}
void TQuillstoneMainForm::PopTxFeedLossClick() {
    runPrompt(&::LinkFactors::TxFeedLoss);
}
void TQuillstoneMainForm::PopTxAntGainClick() {
    runPrompt(&::LinkFactors::TxAntGain);
}
void TQuillstoneMainForm::PopWeatherClick() {
    runPrompt(&::LinkFactors::Weather);
}
void TQuillstoneMainForm::PopPolarizationClick() {
    runPrompt(&::LinkFactors::Polarization);
}
void TQuillstoneMainForm::RxAntGain1Click() {
    runPrompt(&::LinkFactors::RxAntGain);
}
void TQuillstoneMainForm::PopRxFeedLossClick() {
    runPrompt(&::LinkFactors::RxFeedLoss);
}
