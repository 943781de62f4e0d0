#include "link_display.h"

void MakeLinkDisplay(const LinkFactors& factors, const LinkResults& results, LinkDisplay& out) {
    for (std::size_t i = 0; i < kFactorCount; ++i) {
        const FactorRow& row = FactorTable[i];
        const double value = factors.*row.field;
        out.positions[i] = SliderPosition(row, value);
        out.valueTexts[i] = FactorValueText(row, value);
    }
    out.bepText = BepText(factors.MinEbNoDesired);
    for (std::size_t i = 0; i < kResultCount; ++i) {
        const ResultRow& row = ResultTable[i];
        out.resultTexts[i] = ResultText(row, results.*row.field);
    }
}

void MakeShownDisplay(const LinkFactors& factors, const LinkResults& results, LinkDisplay& out) {
    MakeLinkDisplay(factors, results, out);
    for (std::size_t i = 0; i < kFactorCount; ++i) {
        const FactorRow& row = FactorTable[i];
        out.valueTexts[i] = FactorShownText(row, factors.*row.field);
    }
    for (std::size_t i = 0; i < kResultCount; ++i) {
        const ResultRow& row = ResultTable[i];
        out.resultTexts[i] = ResultShownText(row, results.*row.field);
    }
}
