#include "waveform_choice.h"

#include "lora.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr std::size_t kModcods = std::tuple_size_v<decltype(Dvbs2ModcodTable)>;
constexpr std::size_t kAutoIndex = kModcods;
constexpr std::array<int, 3> kLoraBandwidthsKHz = {125, 250, 500};
constexpr std::size_t kLoraCount =
    (kLoraHighestSf - kLoraLowestSf + 1) * std::tuple_size_v<decltype(kLoraBandwidthsKHz)>;

static_assert(kModcods + 1 + kLoraCount == kWaveformChoiceCount);

struct Names {
    std::vector<std::string> texts; // the names and aliases the choices point into
    std::vector<Choice> choices;
};

const Names& names() {
    static const Names table = [] {
        Names n;
        n.texts.reserve(kModcods + 1 + 2 * kLoraCount);
        for (const Dvbs2Modcod& modcod : Dvbs2ModcodTable) {
            n.texts.push_back("dvbs2:" + std::string(modcod.name));
        }
        n.texts.emplace_back("dvbs2:auto");
        for (int sf = kLoraLowestSf; sf <= kLoraHighestSf; ++sf) {
            for (const int bandwidth : kLoraBandwidthsKHz) {
                const std::string name = "lora:sf" + std::to_string(sf);
                n.texts.push_back(name + ":" + std::to_string(bandwidth));
                // The default bandwidth may be left out.
                n.texts.push_back(bandwidth == kLoraBandwidthsKHz.front() ? name : "");
            }
        }
        for (std::size_t i = 0; i <= kAutoIndex; ++i) {
            n.choices.push_back({n.texts[i].c_str(), nullptr});
        }
        for (std::size_t i = kAutoIndex + 1; i < n.texts.size(); i += 2) {
            n.choices.push_back(
                {n.texts[i].c_str(), n.texts[i + 1].empty() ? nullptr : n.texts[i + 1].c_str()});
        }
        return n;
    }();
    return table;
}

constexpr std::array<Choice, 4> kCodingRates{
    {{"4/5", nullptr}, {"4/6", nullptr}, {"4/7", nullptr}, {"4/8", nullptr}}};

bool startsNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

} // namespace

std::span<const Choice> WaveformChoices() {
    return names().choices;
}

WaveformSetting WaveformOfChoice(std::size_t index) {
    if (index < kModcods) {
        return {WaveformKind::Dvbs2, &Dvbs2ModcodTable[index], 0, 0};
    }
    if (index == kAutoIndex) {
        return {WaveformKind::Dvbs2Auto, nullptr, 0, 0};
    }
    const std::size_t lora = index - kAutoIndex - 1;
    const std::size_t perSf = kLoraBandwidthsKHz.size();
    return {WaveformKind::Lora, nullptr, kLoraLowestSf + static_cast<int>(lora / perSf),
            kLoraBandwidthsKHz[lora % perSf]};
}

bool ParseWaveform(std::string_view text, std::size_t& index, std::string& error) {
    constexpr std::string_view kDvbs2 = "dvbs2:";
    constexpr std::string_view kLora = "lora:";
    if (startsNoCase(text, kDvbs2)) {
        const std::string_view name = text.substr(kDvbs2.size());
        if (EqualNoCase(name, "auto")) {
            index = kAutoIndex;
            return true;
        }
        const Dvbs2Modcod* modcod = nullptr;
        if (!FindDvbs2Modcod(name, modcod, error)) {
            return false;
        }
        index = static_cast<std::size_t>(modcod - Dvbs2ModcodTable.data());
        return true;
    }
    if (startsNoCase(text, kLora)) {
        LoraWaveform lora;
        if (!ParseLoraModulation(text.substr(kLora.size()), lora, error)) {
            return false;
        }
        const auto bandwidth = static_cast<std::size_t>(
            std::find(kLoraBandwidthsKHz.begin(), kLoraBandwidthsKHz.end(), lora.bandwidthKHz) -
            kLoraBandwidthsKHz.begin());
        index = kAutoIndex + 1 +
                static_cast<std::size_t>(lora.spreadingFactor - kLoraLowestSf) *
                    kLoraBandwidthsKHz.size() +
                bandwidth;
        return true;
    }
    error =
        "unknown waveform '" + std::string(text) + "' (dvbs2:MODCOD, dvbs2:auto or lora:sfN[:BW])";
    return false;
}

std::span<const Choice> LoraCodingRates() {
    return kCodingRates;
}
