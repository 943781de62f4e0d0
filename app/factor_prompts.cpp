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

// One row per factor, in the factor table's order: the table names the pop-up
// item it handles and gives the prompt's bounds (promptLow, promptHigh).
struct PromptRow {
    Handler handler;
    const char* promptText;
    int decimals; // of the default text and of the bounds in the title
    double LinkFactors::*field;
};

// clang-format off
const std::array<PromptRow, kFactorCount> kPromptTable = {{
    {&TQuillstoneMainForm::PopMenuRangeClick,
     "Enter the range (miles)", 1, &LinkFactors::Range},
    {&TQuillstoneMainForm::PopMenuFrequencyClick,
     "Enter the frequency (MHz)", 1, &LinkFactors::Freq},
    {&TQuillstoneMainForm::PopMenuTxPowerClick,
     "Enter the transmit power (watts)", 1, &LinkFactors::TxPower},
    {&TQuillstoneMainForm::PopMenuBitRateClick,
     "Enter the bit rate", 0, &LinkFactors::BitRate},
    {&TQuillstoneMainForm::MinEbNoDesired1Click,
     "Enter the minimum Eb/No desired", 0, &LinkFactors::MinEbNoDesired},
    {&TQuillstoneMainForm::PopLNANoiseFigureClick,
     "Enter the LNA Noise Figure", 1, &LinkFactors::LnaNoiseFigure},
    {&TQuillstoneMainForm::PopLNAGainClick,
     "Enter the LNA Gain", 1, &LinkFactors::LnaGain},
    {&TQuillstoneMainForm::PopRxNoiseFigureClick,
     "Enter Rx Noise Figure", 1, &LinkFactors::RxNoiseFigure},
    {&TQuillstoneMainForm::PopTxFeedLossClick,
     "Enter Tx Feed Loss", 1, &LinkFactors::TxFeedLoss},
    {&TQuillstoneMainForm::PopTxAntGainClick,
     "Enter Tx Ant Gain", 1, &LinkFactors::TxAntGain},
    {&TQuillstoneMainForm::PopWeatherClick,
     "Enter Weather Loss", 1, &LinkFactors::Weather},
    {&TQuillstoneMainForm::PopPolarizationClick,
     "Enter Polarization Loss", 1, &LinkFactors::Polarization},
    {&TQuillstoneMainForm::RxAntGain1Click,
     "Enter Rx Antenna Gain", 1, &LinkFactors::RxAntGain},
    {&TQuillstoneMainForm::PopRxFeedLossClick,
     "Enter Rx Feed Loss", 1, &LinkFactors::RxFeedLoss},
}};
// clang-format on

} // namespace

void TQuillstoneMainForm::connectPromptItems() {
    for (std::size_t i = 0; i < kFactorCount; ++i) {
        Q_ASSERT(kPromptTable[i].field == FactorTable[i].field);
        auto* item = findChild<QAction*>(QString::fromLatin1(FactorTable[i].menuItem));
        connect(item, &QAction::triggered, this,
                [this, handler = kPromptTable[i].handler] { (this->*handler)(); });
    }
}

void TQuillstoneMainForm::runPrompt(double ::LinkFactors::*field) {
    const auto row = std::find_if(kPromptTable.begin(), kPromptTable.end(),
                                  [field](const PromptRow& r) { return r.field == field; });
    const FactorRow& factor =
        *std::find_if(FactorTable.begin(), FactorTable.end(),
                      [field](const FactorRow& r) { return r.field == field; });
    double value = LinkFactors.*field;
    if (PromptForValue(row->promptText, value, row->decimals, factor.promptLow,
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
