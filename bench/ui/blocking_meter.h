#pragma once
// Time this process has spent inside two kinds of blocking C library calls,
// counted by the executable that links blocking_meter.cpp, which takes their
// place and forwards to the C library:
// - nanosleep(), which every wait of the program ends in (the speaker's tone
//   waits, the image writer's pause, the shut-down wait);
// - the calls that write a file: open64, write, ftruncate64, fsync,
//   fdatasync, rename, renameat2 and close, as made by Qt's file classes.
#include <cstdint>

// Total nanoseconds spent sleeping so far, on all threads.
int64_t SleptNanoseconds();

// Total nanoseconds spent in the file calls above so far, on all threads.
int64_t FileCallNanoseconds();

// False when the interposition did not take (the benchmarks would then not
// be able to tell the waits apart).
bool BlockingMeterWorks();
