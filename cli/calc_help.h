#pragma once
// What the option registry is written out as: --help, the OPTIONS section of
// quillstone-calc(1) and the bash completion. The man page and the completion
// are generated at build time (quillstone-calc-docs), so none of the three is
// a hand-kept copy of the option list.
#include <string>

std::string CalcHelpText();

// The man page's OPTIONS section, roff, from ".SH OPTIONS" on.
std::string CalcManOptions();

// A bash completion script defining _quillstone_calc for quillstone-calc.
std::string CalcBashCompletion();
