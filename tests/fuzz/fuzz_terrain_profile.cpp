// Fuzzes the reading of a terrain profile from CSV text. What is taken is a
// profile a path model can use: at least 3 points, distances from 0 up and
// increasing, finite heights within the ground's range, a zone for every
// point or none; written out again (shortest round-trip numbers) it reads
// back the same. What is refused gets one line naming its line.
#include "fuzz_check.h"
#include "profile_csv.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

std::string number(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

void checkTaken(const TerrainProfile& profile, std::string_view input) {
    const std::string what = "input \"" + fuzzcheck::Printable(input.substr(0, 200)) + "\"";
    const std::size_t n = profile.distanceKm.size();
    FUZZ_CHECK(n >= 3 && n <= kMostProfilePoints && profile.heightM.size() == n,
               what + ": " + std::to_string(n) + " points");
    FUZZ_CHECK(profile.zone.empty() || profile.zone.size() == n, what + ": zones");
    FUZZ_CHECK(profile.distanceKm[0] >= 0.0, what + ": first distance");
    for (std::size_t i = 0; i < n; ++i) {
        FUZZ_CHECK(std::isfinite(profile.distanceKm[i]) && std::isfinite(profile.heightM[i]),
                   what + ": point " + std::to_string(i) + " not finite");
        FUZZ_CHECK(i == 0 || profile.distanceKm[i] > profile.distanceKm[i - 1],
                   what + ": distance " + std::to_string(i) + " does not increase");
        FUZZ_CHECK(profile.heightM[i] >= kLowestGroundM && profile.heightM[i] <= kHighestGroundM,
                   what + ": height " + fuzzcheck::Number(profile.heightM[i]));
        FUZZ_CHECK(profile.zone.empty() || !profile.zone[i].empty(), what + ": an empty zone");
    }

    // Written again with commas, zones free of separators, it reads back.
    bool plainZones = true;
    for (const std::string& zone : profile.zone) {
        plainZones = plainZones && zone.find_first_of(",;\t\n\r#\"") == std::string::npos &&
                     zone.front() != ' ' && zone.back() != ' ';
    }
    if (!plainZones) {
        return;
    }
    std::string text = "distance,height" + std::string(profile.zone.empty() ? "" : ",zone") + "\n";
    for (std::size_t i = 0; i < n; ++i) {
        text += number(profile.distanceKm[i]) + "," + number(profile.heightM[i]);
        text += profile.zone.empty() ? "\n" : "," + profile.zone[i] + "\n";
    }
    std::string error;
    const std::optional<TerrainProfile> again = ReadProfileCsv(text, error);
    FUZZ_CHECK(again.has_value(), what + ": written again, refused: " + error);
    FUZZ_CHECK(again->distanceKm == profile.distanceKm && again->heightM == profile.heightM &&
                   again->zone == profile.zone,
               what + ": written again, read otherwise");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string error = "stale";
    const std::optional<TerrainProfile> profile = ReadProfileCsv(input, error);
    if (profile) {
        FUZZ_CHECK(error.empty(), "taken with the message " + error);
        checkTaken(*profile, input);
        return 0;
    }
    FUZZ_CHECK(!error.empty() && error.find('\n') == std::string::npos,
               "refused with \"" + fuzzcheck::Printable(error) + "\"");
    FUZZ_CHECK(error.rfind("line ", 0) == 0 || error.rfind("the profile has ", 0) == 0,
               "a message naming no line: " + error);
    return 0;
}
