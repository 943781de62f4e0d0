#include "calc_inputs.h"

#include "calc_text.h"
#include "value_reader.h"

#include <algorithm>
#include <limits>

namespace {

std::string keyList() {
    std::string list;
    for (const FactorRow& row : FactorTable) {
        list += list.empty() ? "" : ", ";
        list += row.key;
    }
    return list;
}

} // namespace

bool DesignInputs::givesValue(ParamId id) const {
    return std::any_of(settings.begin(), settings.end(),
                       [id](const ParamAssignment& a) { return a.keyValue && a.id == id; });
}

void DesignInputs::applyTo(Design& design) const {
    for (const ParamAssignment& assignment : settings) {
        design.set(assignment.id, assignment.setting);
    }
}

std::string UnknownKeyMessage(std::string_view key) {
    return "unknown key " + Quoted(key) + " (keys: " + keyList() + ")";
}

bool ParseAssignment(std::string_view arg, DesignInputs& inputs, std::string& error) {
    const std::size_t eq = arg.find('=');
    if (eq == std::string_view::npos) {
        error = "unexpected argument " + Quoted(arg) + " (expected Key=value or an option)";
        return false;
    }
    const std::string_view key = TrimBlanks(arg.substr(0, eq));
    const std::optional<std::size_t> factor = FindFactor(key);
    if (!factor) {
        error = UnknownKeyMessage(key);
        return false;
    }
    // No path is known yet: the widest domain, which the design's check
    // narrows to its path's.
    const double anyPath = std::numeric_limits<double>::quiet_NaN();
    const ParamRow& row = ParamRowOf(ParamOfFactor(*factor));
    const std::string_view text = arg.substr(eq + 1);
    const ValueReading reading = ReadValueText(row, text, anyPath);
    if (!reading.ok()) {
        error = ValueMessage("", "value " + Quoted(text) + " of " + ParamKey(row), row, reading,
                             anyPath);
        return false;
    }
    inputs.add(row.id, reading.setting, true);
    return true;
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
