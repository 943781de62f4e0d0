#include "calc_propagation_options.h"

#include "calc_options.h"
#include "link_factors.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>
#include <string_view>

namespace {

constexpr double kMetresPerFoot = 0.3048;
constexpr double kPercent = 100.0;

std::string quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// A number with an optional unit after it: "30", "30m", "98.4 ft".
bool parseLength(std::string_view text, double& metres) {
    text = trimBlanks(text);
    double scale = 1.0;
    if (endsWith(text, "ft")) {
        scale = kMetresPerFoot;
        text.remove_suffix(2);
    } else if (endsWith(text, "m")) {
        text.remove_suffix(1);
    }
    double value = 0.0;
    if (!ParseFactorValue(text, value)) {
        return false;
    }
    metres = value * scale;
    return true;
}

// Splits "a,b" at the first comma; `second` is empty without one.
void splitComma(std::string_view text, std::string_view& first, std::string_view& second,
                bool& hasSecond) {
    const std::size_t comma = text.find(',');
    hasSecond = comma != std::string_view::npos;
    first = text.substr(0, comma);
    second = hasSecond ? text.substr(comma + 1) : std::string_view();
}

bool parseNumberIn(std::string_view name, std::string_view text, double low, double high,
                   std::string_view range, double& value, std::string& error) {
    if (!ParseFactorValue(text, value)) {
        error = std::string(name) + ": " + quoted(text) + " is not a number";
        return false;
    }
    if (!(value >= low && value <= high)) {
        error = std::string(name) + ": " + quoted(text) + " is out of range (" +
                std::string(range) + ")";
        return false;
    }
    return true;
}

bool parseRainRate(std::string_view v, PropagationOptions& o, std::string& e) {
    double rate = 0.0;
    if (!parseNumberIn("--rain-rate", v, 0.0, std::numeric_limits<double>::max(), "0 mm/h or more",
                       rate, e)) {
        return false;
    }
    o.rainRate = rate;
    return true;
}

bool parseAvailability(std::string_view v, PropagationOptions& o, std::string& e) {
    double percent = 0.0;
    if (!parseNumberIn("--availability", v, kLowestAvailability, kHighestAvailability,
                       "99.0 to 99.999 percent", percent, e)) {
        return false;
    }
    o.availability = percent;
    return true;
}

bool parsePolarization(std::string_view v, PropagationOptions& o, std::string& e) {
    std::string word(trimBlanks(v));
    std::transform(word.begin(), word.end(), word.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (word == "h" || word == "horizontal") {
        o.polarization = RainPolarization::Horizontal;
    } else if (word == "v" || word == "vertical") {
        o.polarization = RainPolarization::Vertical;
    } else if (word == "c" || word == "circular") {
        o.polarization = RainPolarization::Circular;
    } else {
        e = "--polarization: " + quoted(v) + " is not h, v or c";
        return false;
    }
    return true;
}

bool parseElevation(std::string_view v, PropagationOptions& o, std::string& e) {
    double degrees = 0.0;
    if (!parseNumberIn("--elevation", v, 0.0, 90.0, "0 to 90 degrees", degrees, e)) {
        return false;
    }
    o.elevationDeg = degrees;
    return true;
}

bool parseHeight(std::string_view text, double& metres, std::string& error) {
    if (!parseLength(text, metres)) {
        error = "--heights: " + quoted(text) + " is not a height (metres, or with ft)";
        return false;
    }
    if (!(metres >= 0.0)) {
        error = "--heights: " + quoted(text) + " is below 0";
        return false;
    }
    return true;
}

bool parseHeights(std::string_view v, PropagationOptions& o, std::string& e) {
    std::string_view first;
    std::string_view second;
    bool two = false;
    splitComma(v, first, second, two);
    if (!two) {
        e = "--heights " + quoted(v) + " is not H1,H2";
        return false;
    }
    double tx = 0.0;
    double rx = 0.0;
    if (!parseHeight(first, tx, e) || !parseHeight(second, rx, e)) {
        return false;
    }
    o.txHeightM = tx;
    o.rxHeightM = rx;
    return true;
}

// "D[,EFF]": D in metres or with ft; EFF a fraction (0.55) or a percentage
// (55%).
bool parseDish(std::string_view name, std::string_view v, std::optional<DishOptions>& dish,
               std::string& e) {
    std::string_view size;
    std::string_view efficiency;
    bool withEfficiency = false;
    splitComma(v, size, efficiency, withEfficiency);
    DishOptions parsed;
    if (!parseLength(size, parsed.diameterM)) {
        e = std::string(name) + ": " + quoted(size) + " is not a diameter (metres, or with ft)";
        return false;
    }
    if (!(parsed.diameterM > 0.0)) {
        e = std::string(name) + ": the diameter " + quoted(size) + " must be more than 0";
        return false;
    }
    if (withEfficiency) {
        std::string_view text = trimBlanks(efficiency);
        const bool percent = endsWith(text, "%");
        if (percent) {
            text.remove_suffix(1);
        }
        double value = 0.0;
        if (!ParseFactorValue(text, value)) {
            e = std::string(name) + ": efficiency " + quoted(efficiency) + " is not a number";
            return false;
        }
        parsed.efficiency = percent ? value / kPercent : value;
        if (!(parsed.efficiency > 0.0 && parsed.efficiency <= 1.0)) {
            e = std::string(name) + ": efficiency " + quoted(efficiency) +
                " is out of range (more than 0, at most 1 or 100%)";
            return false;
        }
    }
    dish = parsed;
    return true;
}

struct PropagationOption {
    std::string_view name;
    bool (*given)(const PropagationOptions& o);
    bool (*apply)(std::string_view value, PropagationOptions& o, std::string& error);
};

constexpr std::array<PropagationOption, 7> kOptions{{
    {"--rain-rate", [](const PropagationOptions& o) { return o.rainRate.has_value(); },
     parseRainRate},
    {"--availability", [](const PropagationOptions& o) { return o.availability.has_value(); },
     parseAvailability},
    {"--polarization", [](const PropagationOptions& o) { return o.polarization.has_value(); },
     parsePolarization},
    {"--elevation", [](const PropagationOptions& o) { return o.elevationDeg.has_value(); },
     parseElevation},
    {"--heights", [](const PropagationOptions& o) { return o.txHeightM.has_value(); },
     parseHeights},
    {"--tx-dish", [](const PropagationOptions& o) { return o.txDish.has_value(); },
     [](std::string_view v, PropagationOptions& o, std::string& e) {
         return parseDish("--tx-dish", v, o.txDish, e);
     }},
    {"--rx-dish", [](const PropagationOptions& o) { return o.rxDish.has_value(); },
     [](std::string_view v, PropagationOptions& o, std::string& e) {
         return parseDish("--rx-dish", v, o.rxDish, e);
     }},
}};

bool isField(std::size_t factor, double LinkFactors::*field) {
    return FactorTable[factor].field == field;
}

// A dish sets its antenna gain: a gain given or swept beside it is a conflict.
bool checkDish(const CalcOptions& options, const std::optional<DishOptions>& dish,
               double LinkFactors::*gain, std::string_view dishName, std::string& error) {
    if (!dish) {
        return true;
    }
    const bool overridden =
        std::any_of(options.overrides.begin(), options.overrides.end(),
                    [&](const FactorOverride& o) { return isField(o.factor, gain); });
    const bool swept = options.sweep && isField(options.sweep->factor, gain);
    if (overridden || swept) {
        const std::size_t index = static_cast<std::size_t>(
            std::find_if(FactorTable.begin(), FactorTable.end(),
                         [&](const FactorRow& row) { return row.field == gain; }) -
            FactorTable.begin());
        error = std::string(dishName) + " sets " + FactorTable[index].key + ": give " +
                FactorTable[index].key + (swept ? " a sweep" : "=value") + " or " +
                std::string(dishName) + ", not both";
        return false;
    }
    return true;
}

} // namespace

int ParsePropagationOption(const std::vector<std::string>& args, std::size_t& i,
                           PropagationOptions& options, std::string& error) {
    const std::string_view arg = args[i];
    for (const PropagationOption& option : kOptions) {
        std::string_view value;
        if (arg == option.name) {
            if (i + 1 >= args.size()) {
                error = std::string(option.name) + " needs a value";
                return 0;
            }
            value = args[++i];
        } else if (arg.size() > option.name.size() &&
                   arg.substr(0, option.name.size()) == option.name &&
                   arg[option.name.size()] == '=') {
            value = arg.substr(option.name.size() + 1);
        } else {
            continue;
        }
        if (!OptionGivenOnce(option.given(options), option.name, error)) {
            return 0;
        }
        return option.apply(value, options, error) ? 1 : 0;
    }
    return -1;
}

bool CheckPropagationOptions(const CalcOptions& options, std::string& error) {
    const PropagationOptions& p = options.propagation;
    if (!p.rainRate) {
        const char* detail = p.availability   ? "--availability"
                             : p.polarization ? "--polarization"
                             : p.elevationDeg ? "--elevation"
                                              : nullptr;
        if (detail != nullptr) {
            error = std::string(detail) + " needs --rain-rate";
            return false;
        }
    }
    return checkDish(options, p.txDish, &LinkFactors::TxAntGain, "--tx-dish", error) &&
           checkDish(options, p.rxDish, &LinkFactors::RxAntGain, "--rx-dish", error);
}

std::string PropagationHelpText() {
    return "  --rain-rate R   add the rain loss of ITU-R P.838-3 and P.530-17 to Weather:\n"
           "                  R is the rain rate in mm/h exceeded 0.01 % of the time;\n"
           "                  the path is Range, the frequency Freq (no rain loss below\n"
           "                  1 GHz). Prints k, alpha, the specific attenuation, the\n"
           "                  distance factor r, the effective path and the rain loss\n"
           "  --availability A\n"
           "                  with --rain-rate: the percentage of the year the link must\n"
           "                  hold, 99.0 to 99.999 (default 99.99)\n"
           "  --polarization h|v|c\n"
           "                  with --rain-rate: horizontal, vertical or circular\n"
           "                  (default v)\n"
           "  --elevation DEG with --rain-rate: the path's elevation, 0 to 90 (default 0)\n"
           "  --heights H1,H2 antenna heights above a smooth earth, metres or with ft\n"
           "                  (30,20 or 100ft,60ft): prints the radio horizon of a 4/3\n"
           "                  earth, the first Fresnel zone radius, the earth bulge and\n"
           "                  the clearance at mid-path, and says when Range is beyond\n"
           "                  the horizon or the clearance is under 0.6 of the zone\n"
           "  --tx-dish D[,EFF], --rx-dish D[,EFF]\n"
           "                  the antenna gain of a dish D metres (or with ft) across,\n"
           "                  aperture efficiency EFF as 0.55 or 55% (default 0.55), in\n"
           "                  place of TxAntGain / RxAntGain (giving both is an error);\n"
           "                  prints the gain and the half-power beamwidth\n";
}
