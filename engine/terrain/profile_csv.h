#pragma once
// A terrain profile from a CSV file, the form published test profiles come
// in: one point a line, the distance from A (km) and the ground height above
// mean sea level (m), optionally a third column naming the point's zone or
// clutter. A header (a first line that is not a number), blank lines and
// lines starting with # are skipped. The columns are separated by commas (or,
// for the whole file, by semicolons or tabs when a line has no comma). Numbers
// use a full stop, whatever the process's locale.
//
// Refused with one line naming the line number: fewer than 3 points, a
// distance not increasing, a value not finite, a number that does not parse, a
// height outside kLowestGroundM..kHighestGroundM, a first distance below 0, a
// zone on some rows only, more than kMostProfilePoints points; and a file that
// cannot be read (naming it).
#include "terrain_profile.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

constexpr double kLowestGroundM = -500.0;  // the Dead Sea shore is at -430 m
constexpr double kHighestGroundM = 9000.0; // Everest is 8849 m
constexpr std::size_t kMostProfilePoints = 1000000;

std::optional<TerrainProfile> ReadProfileCsv(std::string_view text, std::string& error);
// The file's errors begin with its name.
std::optional<TerrainProfile> ReadProfileFile(const std::filesystem::path& file,
                                              std::string& error);
