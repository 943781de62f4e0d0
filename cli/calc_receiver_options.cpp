#include "calc_receiver_options.h"

#include "calc_text.h"
#include "lora.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace {

std::vector<std::string_view> fields(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t comma; (comma = text.find(',', start)) != std::string_view::npos;
         start = comma + 1) {
        parts.push_back(text.substr(start, comma - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

// The comma-separated fields of an option, each a quantity of its parameter:
// as many as `ids`, the first `required` of them needed.
bool quantityFields(const char* option, const char* form, std::string_view text,
                    std::initializer_list<ParamId> ids, std::size_t required, DesignInputs& inputs,
                    std::string& error) {
    const std::vector<std::string_view> parts = fields(text);
    if (parts.size() < required || parts.size() > ids.size()) {
        error = std::string(option) + " " + Quoted(text) + " is not " + form;
        return false;
    }
    std::vector<Quantity> quantities(parts.size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!ParseQuantityOption(option, ids.begin()[i], parts[i], quantities[i], error)) {
            return false;
        }
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        inputs.add(ids.begin()[i], SettingOf(quantities[i]));
    }
    return true;
}

bool addChoice(ParamId id, std::size_t index, DesignInputs& inputs) {
    const auto value = static_cast<double>(index);
    inputs.add(id, {value, value, {}});
    return true;
}

} // namespace

bool ParseStageOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    return ParseListItemOption("--stage", ParamId::ReceiverStages, value, inputs, error);
}

bool ParseAntennaTemperatureOption(std::string_view value, DesignInputs& inputs,
                                   std::string& error) {
    if (FindChoice(ParamRowOf(ParamId::SkyNoise), TrimBlanks(value))) {
        return ParseChoiceOption("--antenna-temperature", ParamId::SkyNoise, value, inputs, error);
    }
    return ParseQuantityOption("--antenna-temperature", ParamId::AntennaTemperature, value, inputs,
                               error);
}

bool ParseBandwidthOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    return ParseQuantityOption("--bandwidth", ParamId::Bandwidth, value, inputs, error);
}

bool ParsePointingErrorOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    return quantityFields("--pointing-error", "TX_DEG[,RX_DEG]", value,
                          {ParamId::TxPointingError, ParamId::RxPointingError}, 1, inputs, error);
}

bool ParseAxialRatioOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    return quantityFields("--axial-ratio", "TX_DB,RX_DB[,TILT_DEG]", value,
                          {ParamId::TxAxialRatio, ParamId::RxAxialRatio, ParamId::AxialRatioTilt},
                          2, inputs, error);
}

bool ParseWaveformOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    std::size_t index = 0;
    if (!ParseWaveform(TrimBlanks(value), index, error)) {
        error = "--waveform: " + error;
        return false;
    }
    return addChoice(ParamId::Waveform, index, inputs);
}

bool ParseCodingRateOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    LoraWaveform lora;
    if (!ParseLoraCodingRate(TrimBlanks(value), lora, error)) {
        error = "--coding-rate: " + error;
        return false;
    }
    return addChoice(ParamId::CodingRate, static_cast<std::size_t>(lora.codingRate - 1), inputs);
}

bool ParsePayloadOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    LoraWaveform lora;
    if (!ParseLoraPayload(TrimBlanks(value), lora, error)) {
        error = "--payload: " + error;
        return false;
    }
    const auto bytes = static_cast<double>(lora.payloadBytes);
    inputs.add(ParamId::Payload, {bytes, bytes, {}});
    return true;
}

bool ParseSymbolRateOption(std::string_view value, DesignInputs& inputs, std::string& error) {
    return ParseQuantityOption("--symbol-rate", ParamId::SymbolRate, value, inputs, error);
}

std::optional<WaveformKind> GivenWaveform(const DesignInputs& inputs) {
    const auto given =
        std::find_if(inputs.settings.rbegin(), inputs.settings.rend(),
                     [](const ParamAssignment& a) { return a.id == ParamId::Waveform; });
    if (given == inputs.settings.rend()) {
        return std::nullopt;
    }
    return WaveformOfChoice(static_cast<std::size_t>(given->setting.value)).kind;
}
