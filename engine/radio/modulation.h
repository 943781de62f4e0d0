#pragma once
// Bit error probability of common modulations in white Gaussian noise, and
// its inverse: the Eb/No a modulation needs for a target bit error rate. No Qt.
#include <array>
#include <optional>
#include <string_view>

enum class ModulationKind { CoherentPsk, SquareQam, Dbpsk, NoncoherentBfsk };

struct ModulationRow {
    const char* name;    // command-line name, e.g. "8psk"
    const char* caption; // e.g. "8-PSK"
    ModulationKind kind;
    int order; // M, the number of symbols
};

extern const std::array<ModulationRow, 7> ModulationTable;

// The row named `name` (letter case ignored), or none.
const ModulationRow* FindModulation(std::string_view name);

// Q(x) = ½·erfc(x/√2), the tail of the standard normal distribution.
double QFunction(double x);

// Uncoded bit error probability at Eb/No `ebNoDb` (dB).
double BitErrorProbability(const ModulationRow& modulation, double ebNoDb);

// Lowest and highest Eb/No searched by RequiredEbNo (dB).
constexpr double kLowestEbNoDb = -50.0;
constexpr double kHighestEbNoDb = 100.0;

// The Eb/No (dB) at which the bit error probability equals `ber`, to well
// within 0.001 dB; none when `ber` is not reached between the lowest and the
// highest Eb/No searched (a rate above what the modulation gives at no signal,
// or one too small to compute).
std::optional<double> RequiredEbNo(const ModulationRow& modulation, double ber);
