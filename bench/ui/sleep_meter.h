#pragma once
// Time this process has spent inside nanosleep(), which every blocking wait
// of the program ends in (the speaker's tone waits, the image writer's pause,
// the shut-down wait). The executable that links sleep_meter.cpp takes the
// place of the C library's nanosleep and forwards to it.
#include <cstdint>

// Total nanoseconds spent sleeping so far, on all threads.
int64_t SleptNanoseconds();

// False when the interposition did not take (the benchmarks would then not
// be able to tell the waits apart).
bool SleepMeterWorks();
