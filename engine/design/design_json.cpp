#include "design_json.h"

#include "value_reader.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>

namespace {

using Json = nlohmann::json;

bool accept(const ParamRow& row, const ValueReading& reading, std::string_view shown, double path,
            ParamSetting& setting, std::string& error) {
    if (!reading.ok()) {
        error = ValueMessage(std::string(ParamKey(row)) + ": ", shown, row, reading, path);
        return false;
    }
    setting = reading.setting;
    return true;
}

bool readChoice(const ParamRow& row, const Json& value, double path, ParamSetting& setting,
                std::string& error) {
    const std::string text = value.is_string() ? value.get<std::string>() : value.dump();
    ValueReading reading;
    if (value.is_string()) {
        reading = ReadValueText(row, text, path);
    } else {
        reading.fault = ValueFault::NotAChoice;
    }
    return accept(row, reading, Quoted(text), path, setting, error);
}

// A value is checked against the domain on the design's path (`path`, the
// Path parameter's value).
bool readNumber(const ParamRow& row, const Json& entry, double path, ParamSetting& setting,
                std::string& error) {
    const std::string key = ParamKey(row);
    const Json& value = entry["value"];
    if (!value.is_number()) {
        error = key + ": the value " + value.dump() + " is not a number";
        return false;
    }
    std::string unit;
    if (entry.contains("unit")) {
        if (!entry["unit"].is_string()) {
            error = key + ": the unit " + entry["unit"].dump() + " is not a text";
            return false;
        }
        unit = entry["unit"].get<std::string>();
    }
    const ValueReading reading = ReadValueNumber(row, value.get<double>(), unit, path);
    return accept(row, reading, value.dump() + (unit.empty() ? "" : " " + unit), path, setting,
                  error);
}

// A list: an array of texts, each read by the row's reader.
bool readList(const ParamRow& row, const Json& value, ParamSetting& setting, std::string& error) {
    const std::string key = ParamKey(row);
    const bool texts =
        value.is_array() &&
        std::all_of(value.begin(), value.end(), [](const Json& item) { return item.is_string(); });
    if (!texts) {
        error = key + ": the value " + value.dump() + " is not a list of texts";
        return false;
    }
    std::vector<std::string> items;
    for (const Json& item : value) {
        items.push_back(item.get<std::string>());
    }
    if (!ListSetting(row, std::move(items), setting, error)) {
        error = key + ": " + error;
        return false;
    }
    return true;
}

bool readParameter(const std::string& key, const Json& entry, Design& design, std::string& error) {
    const ParamRow* row = FindParam(key);
    if (row == nullptr) {
        error = "unknown key " + Quoted(key);
        return false;
    }
    if (!entry.is_object() || !entry.contains("value")) {
        error = key + ": not {\"value\": ...}";
        return false;
    }
    for (const auto& [name, unused] : entry.items()) {
        if (name != "value" && name != "unit") {
            error = key + ": unknown member " + Quoted(name);
            return false;
        }
    }
    ParamSetting setting;
    const double path = design.value(ParamId::Path);
    const bool read =
        row->family == UnitFamily::Choice ? readChoice(*row, entry["value"], path, setting, error)
        : row->family == UnitFamily::List ? readList(*row, entry["value"], setting, error)
                                          : readNumber(*row, entry, path, setting, error);
    if (read) {
        design.set(row->id, std::move(setting));
    }
    return read;
}

} // namespace

std::string DesignToJson(const Design& design) {
    // Written member by member: nlohmann's objects sort their keys, the file
    // keeps the registry's order.
    std::string text = "{\n  \"format\": \"" + std::string(kDesignFormat) +
                       "\",\n  \"version\": " + std::to_string(kDesignVersion) +
                       ",\n  \"parameters\": {";
    const char* separator = "\n";
    for (const ParamRow& row : ParamTable) {
        const std::optional<ParamSetting>& setting = design.setting(row.id);
        if (!setting) {
            continue;
        }
        // {"value": 25, "unit": "km"}: the number first, as a reader expects.
        std::string entry = "{\"value\": ";
        if (row.family == UnitFamily::Choice) {
            entry += Json(row.choices()[static_cast<std::size_t>(setting->value)].name).dump();
        } else if (row.family == UnitFamily::List) {
            entry += Json(setting->items).dump();
        } else {
            entry += Json(setting->given).dump();
            if (!setting->unit.empty()) {
                entry += ", \"unit\": " + Json(setting->unit).dump();
            }
        }
        entry += "}";
        text += separator;
        text += "    " + Json(ParamKey(row)).dump() + ": " + entry;
        separator = ",\n";
    }
    text += "\n  }\n}\n";
    return text;
}

bool DesignFromJson(std::string_view text, Design& design, std::string& error) {
    Json document;
    try {
        document = Json::parse(text.begin(), text.end());
    } catch (const Json::parse_error& e) {
        error = "it is not JSON (a syntax error at byte " + std::to_string(e.byte) + ")";
        return false;
    }
    if (!document.is_object() || !document.contains("format") ||
        document["format"] != kDesignFormat) {
        error = std::string("it is not a design file (no \"format\": \"") + kDesignFormat + "\")";
        return false;
    }
    const Json& version = document.contains("version") ? document["version"] : Json();
    if (!version.is_number_integer() || version.get<long long>() < 1) {
        error = "its \"version\" is not a version number";
        return false;
    }
    if (version.get<long long>() > kDesignVersion) {
        error = "it is of version " + version.dump() + ", newer than this program reads (" +
                std::to_string(kDesignVersion) + ")";
        return false;
    }
    for (const auto& [name, unused] : document.items()) {
        if (name != "format" && name != "version" && name != "parameters") {
            error = "unknown key " + Quoted(name);
            return false;
        }
    }
    const Json& parameters =
        document.contains("parameters") ? document["parameters"] : Json::object();
    if (!parameters.is_object()) {
        error = "\"parameters\" is not an object";
        return false;
    }
    Design read = design;
    // The path first: the bounds of some values depend on it.
    for (const bool pathPass : {true, false}) {
        for (const auto& [key, entry] : parameters.items()) {
            const ParamRow* row = FindParam(key);
            if ((row != nullptr && row->id == ParamId::Path) == pathPass &&
                !readParameter(key, entry, read, error)) {
                return false;
            }
        }
    }
    design = std::move(read);
    return true;
}
