#pragma once
// --availability-curve: the budget of an Earth-space path over the year
// (availability_curve.h) as a text table and as the JSON member
// "availabilityCurve".
#include "availability_curve.h"
#include "buffered_output.h"

// One row per percentage of the year: p, the atmosphere's loss, the fade
// margin and, with dvbs2:auto, the MODCOD and its throughput; then the mean
// throughput over the year.
void WriteAvailabilityText(const AvailabilityCurve& curve, BufferedOutput& out);

// {"points": [{"percent", "atmosphereDb", "fadeMarginDb"[, "modcod",
//  "throughputKbps"]}, ...][, "meanThroughputKbps": ...]}
void WriteAvailabilityJson(const AvailabilityCurve& curve, BufferedOutput& out);
