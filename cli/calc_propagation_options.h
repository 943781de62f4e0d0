#pragma once
// The calculator's propagation options as read from the command line:
// rain attenuation from a rain rate (--rain-rate, --availability,
// --polarization, --elevation), the path's clearance over the earth
// (--heights) and antenna gains from dish sizes (--tx-dish, --rx-dish).
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

struct CalcOptions;

enum class RainPolarization { Horizontal, Vertical, Circular };

struct DishOptions {
    double diameterM = 0.0;
    double efficiency = 0.55; // fraction
};

constexpr double kDefaultAvailability = 99.99; // percent of the year
constexpr double kLowestAvailability = 99.0;
constexpr double kHighestAvailability = 99.999;

struct PropagationOptions {
    std::optional<double> rainRate;     // mm/h, exceeded 0.01 % of the time
    std::optional<double> availability; // percent
    std::optional<RainPolarization> polarization;
    std::optional<double> elevationDeg;
    std::optional<double> txHeightM; // --heights sets both
    std::optional<double> rxHeightM;
    std::optional<DishOptions> txDish;
    std::optional<DishOptions> rxDish;

    bool any() const {
        return rainRate || availability || polarization || elevationDeg || txHeightM || txDish ||
               rxDish;
    }
};

// Reads the propagation option at args[i] ("--name value" or "--name=value").
// -1: not one of them; 0: failed with a one-line message; 1: read, i moved
// to its value.
int ParsePropagationOption(const std::vector<std::string>& args, std::size_t& i,
                           PropagationOptions& options, std::string& error);

// The rules between the propagation options and the rest of the command
// line: the rain details need --rain-rate; a dish and its antenna gain
// (given or swept) exclude each other. False with a one-line message.
bool CheckPropagationOptions(const CalcOptions& options, std::string& error);

// The options' part of --help.
std::string PropagationHelpText();
