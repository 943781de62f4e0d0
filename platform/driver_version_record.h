#pragma once
// The record exchanged with the driver's version request (132 bytes): the
// driver's device fills it and the application context keeps the answer.
#include <cstdint>

struct DriverVersionRecord {
    uint32_t dwVer; // version x 100 (602 = 6.2)
    char cVer[128]; // version text
};
static_assert(sizeof(DriverVersionRecord) == 132);
