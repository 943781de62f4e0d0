#include "budget_features.h"

#include "number_text.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// In the order of their lines under the budget.
constexpr std::array<const FeatureRow*, 12> kFeatures = {
    // First: the climate at the site from the maps (the station's height
    // among it), then the elevation and the slant range of the site.
    &kClimateFeature,
    &kSiteFeature,
    // A terrestrial hop's length from its sites, before the rain on it; its
    // clearance over the profile in place of the smooth earth's.
    &kHopFeature,
    &kRainFeature,
    &kClearanceFeature,
    &kDiffractionFeature,
    &kDishFeature,
    &kAtmosphereFeature,
    &kModulationFeature,
    // After every feature of the path and the antennas: the sky noise and the
    // pointing loss use their numbers, the waveform the receiver's noise.
    &kReceiverFeature,
    &kWaveformFeature,
    // After the calculation: the outage against the fade margin.
    &kOutageFeature,
};

constexpr int kTextWidth = 12; // as the factors' value texts

} // namespace

std::span<const FeatureRow* const> FeatureTable() {
    return kFeatures;
}

SheetLine FixedLine(std::string key, std::string caption, double value, int decimals,
                    std::string unit) {
    return {std::move(key), std::move(caption), value, FormatInWidth(kTextWidth, decimals, value),
            std::move(unit)};
}

void AddLossAfterWeather(std::vector<LinkTerm>& terms, LinkTerm term) {
    const auto weather = std::find_if(terms.begin(), terms.end(), [](const LinkTerm& t) {
        return std::strcmp(t.key, "Weather") == 0;
    });
    if (weather == terms.end()) {
        return;
    }
    weather->value -= term.value;
    weather->db += term.value;
    term.db = -term.value;
    terms.insert(weather + 1, term);
}
