#pragma once
// The fade margin against the unavailability of an Earth-space path: the
// calculator's --availability-curve (the atmosphere's loss exceeded for p %
// of the year, p from 0.001 to 5 %) as a curve for the margin chart, on a
// logarithmic axis of unavailability.
#include "margin_sweep.h"

#include <QString>

struct UnavailabilityView {
    MarginCurve curve; // x: the availability 100 - p, in percent
    QString why;       // why there is no curve ("" when there is one)
};

UnavailabilityView UnavailabilityCurve(const Evaluation& current);
