#pragma once
// The calculator's exit codes, and the renderers' text helpers (Quoted, a
// budget line, JSON pieces) that every part of the calculator shares.
#include "text_rows.h"

constexpr int kExitDone = 0;
constexpr int kExitOutputFailed = 1; // stdout or an output file could not be written
constexpr int kExitBadArguments = 2;
constexpr int kExitNoSolution = 3; // --solve: no value gives the margin
