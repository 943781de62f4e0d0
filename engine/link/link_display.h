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
