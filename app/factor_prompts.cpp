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

// The prompt's bounds are wider than most sliders' ranges: a typed value the
// slider cannot show stays in the record, and the slider stands at its end.
struct PromptRow {
    const char* menuItem; // objectName of the pop-up item
    Handler handler;
    const char* promptText;
    int decimals; // of the default text and of the bounds in the title
    double low;   // engineering unit of the factor
    double high;
    double LinkFactors::*field;
};

// clang-format off
const std::array<PromptRow, kFactorCount> kPromptTable = {{
    {"PopMenuRange", &TQuillstoneMainForm::PopMenuRangeClick,
     "Enter the range (miles)", 1, 0.1, 10000, &LinkFactors::Range},
    {"PopMenuFrequency", &TQuillstoneMainForm::PopMenuFrequencyClick,
     "Enter the frequency (MHz)", 1, 0.1, 10000, &LinkFactors::Freq},
    {"PopMenuTxPower", &TQuillstoneMainForm::PopMenuTxPowerClick,
     "Enter the transmit power (watts)", 1, 0.1, 10000, &LinkFactors::TxPower},
    {"PopMenuBitRate", &TQuillstoneMainForm::PopMenuBitRateClick,
     "Enter the bit rate", 0, 1, 500000000, &LinkFactors::BitRate},
    {"MinEbNoDesired1", &TQuillstoneMainForm::MinEbNoDesired1Click,
     "Enter the minimum Eb/No desired", 0, 1, 50, &LinkFactors::MinEbNoDesired},
    {"PopLNANoiseFigure", &TQuillstoneMainForm::PopLNANoiseFigureClick,
     "Enter the LNA Noise Figure", 1, 0, 300, &LinkFactors::LnaNoiseFigure},
    {"PopLNAGain", &TQuillstoneMainForm::PopLNAGainClick,
     "Enter the LNA Gain", 1, 0, 400, &LinkFactors::LnaGain},
    {"PopRxNoiseFigure", &TQuillstoneMainForm::PopRxNoiseFigureClick,
     "Enter Rx Noise Figure", 1, 0, 300, &LinkFactors::RxNoiseFigure},
    {"PopTxFeedLoss", &TQuillstoneMainForm::PopTxFeedLossClick,
     "Enter Tx Feed Loss", 1, 0, 300, &LinkFactors::TxFeedLoss},
    {"PopTxAntGain", &TQuillstoneMainForm::PopTxAntGainClick,
     "Enter Tx Ant Gain", 1, -500, 500, &LinkFactors::TxAntGain},
    {"PopWeather", &TQuillstoneMainForm::PopWeatherClick,
     "Enter Weather Loss", 1, 0, 200, &LinkFactors::Weather},
    {"PopPolarization", &TQuillstoneMainForm::PopPolarizationClick,
     "Enter Polarization Loss", 1, 0, 200, &LinkFactors::Polarization},
    {"RxAntGain1", &TQuillstoneMainForm::RxAntGain1Click,
     "Enter Rx Antenna Gain", 1, 0, 500, &LinkFactors::RxAntGain},
    {"PopRxFeedLoss", &TQuillstoneMainForm::PopRxFeedLossClick,
     "Enter Rx Feed Loss", 1, 0, 300, &LinkFactors::RxFeedLoss},
}};
// clang-format on

} // namespace

void TQuillstoneMainForm::connectPromptItems() {
    for (const PromptRow& row : kPromptTable) {
        auto* item = findChild<QAction*>(QString::fromLatin1(row.menuItem));
        connect(item, &QAction::triggered, this,
                [this, handler = row.handler] { (this->*handler)(); });
    }
}

void TQuillstoneMainForm::runPrompt(double ::LinkFactors::*field) {
    const auto row = std::find_if(kPromptTable.begin(), kPromptTable.end(),
                                  [field](const PromptRow& r) { return r.field == field; });
    double value = LinkFactors.*field;
    if (PromptForValue(row->promptText, value, row->decimals, row->low, row->high)) {
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
