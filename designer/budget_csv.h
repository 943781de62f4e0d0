#pragma once
// The budget as a table for a spreadsheet: every term from the transmit
// power to the fade margin (the calculator's --explain terms, the bars of
// the waterfall) with its value, unit, contribution and published source,
// then the fade margin, the margin asked and every result. Numbers with a
// full stop, fields quoted where they hold a comma or a quote (RFC 4180).
#include "design_document.h"

#include <string>

std::string BudgetCsv(const Evaluation& evaluation);
