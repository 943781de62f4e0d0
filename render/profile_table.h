#pragma once
// A hop's profile as CSV, one row per profile point: the ground, the earth
// bulge, the ray between the antennas, the first Fresnel zone and the
// clearance, at the median k and at the minimum k. Numbers with a full stop,
// in their shortest exact text. No Qt.
#include "budget_sheet.h"

#include <string>

std::string ProfileTableCsv(const SheetTerrain& terrain);
