#pragma once
// The engine's factor table as the engine and calculator tests use it.
#include "link_factors.h"

#include <cstddef>

namespace testing_support {

inline LinkFactors DefaultFactors() {
    LinkFactors factors{};
    SetDefaultFactors(factors);
    return factors;
}

// The row of `field` in FactorTable (the table's size when none).
inline std::size_t FactorIndex(double LinkFactors::*field) {
    std::size_t i = 0;
    while (i < FactorTable.size() && FactorTable[i].field != field)
        ++i;
    return i;
}

} // namespace testing_support
