#pragma once
// Everything the display step writes, computed without a window: the window's
// ShowAll, the command-line calculator and the benchmarks share it.
#include "link_calculation.h"

#include <array>
#include <string>

struct LinkDisplay {
    SliderPositions positions;                         // table order
    std::array<std::string, kFactorCount> valueTexts;  // table order
    std::string bepText;                               // LabelMinBepDesired
    std::array<std::string, kResultCount> resultTexts; // ResultTable order
};

void MakeLinkDisplay(const LinkFactors& factors, const LinkResults& results, LinkDisplay& out);

// The same texts outside the window (the calculator, the report): a number
// the window's text cannot show in its field keeps its magnitude
// (FactorShownText, ResultShownText); every other text is the window's.
void MakeShownDisplay(const LinkFactors& factors, const LinkResults& results, LinkDisplay& out);
