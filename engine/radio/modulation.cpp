// Bit error probabilities after B. Sklar, "Digital Communications:
// Fundamentals and Applications", 2nd ed., Prentice Hall 2001, chapter 4
// (coherent BPSK, M-PSK and square M-QAM with Gray coding, differential BPSK
// and non-coherent binary FSK), with k = log2 M and Q(x) = ½·erfc(x/√2):
//   BPSK, QPSK (per bit)  Pb = Q(√(2·Eb/No))
//   M-PSK                 Pb ≈ (2/k)·Q(√(2k·Eb/No)·sin(π/M))
//   square M-QAM          Pb ≈ (4/k)·(1 − 1/√M)·Q(√(3k·Eb/No/(M − 1)))
//   DBPSK                 Pb = ½·exp(−Eb/No)
//   non-coherent BFSK     Pb = ½·exp(−Eb/(2·No))
// The M-PSK and M-QAM forms are the nearest-neighbour approximations.
#include "modulation.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

// clang-format off
const std::array<ModulationRow, 7> ModulationTable = {{
    {"bpsk", "BPSK", ModulationKind::CoherentPsk, 2},
    {"qpsk", "QPSK", ModulationKind::CoherentPsk, 4},
    {"8psk", "8-PSK", ModulationKind::CoherentPsk, 8},
    {"16qam", "16-QAM", ModulationKind::SquareQam, 16},
    {"64qam", "64-QAM", ModulationKind::SquareQam, 64},
    {"dbpsk", "DBPSK", ModulationKind::Dbpsk, 2},
    {"bfsk", "BFSK (non-coherent)", ModulationKind::NoncoherentBfsk, 2},
}};
// clang-format on

namespace {

// Bisection steps: the bracket of 150 dB shrinks below 1e-9 dB.
constexpr int kBisectionSteps = 60;

} // namespace

const ModulationRow* FindModulation(std::string_view name) {
    const auto same = [name](const ModulationRow& row) {
        const std::string_view rowName = row.name;
        return rowName.size() == name.size() &&
               std::equal(name.begin(), name.end(), rowName.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == b;
               });
    };
    const auto row = std::find_if(ModulationTable.begin(), ModulationTable.end(), same);
    return row == ModulationTable.end() ? nullptr : &*row;
}

double QFunction(double x) {
    return 0.5 * std::erfc(x / std::numbers::sqrt2);
}

double BitErrorProbability(const ModulationRow& modulation, double ebNoDb) {
    const double ebNo = std::pow(10.0, ebNoDb / 10.0); // ratio
    const double m = modulation.order;
    const double k = std::log2(m);
    switch (modulation.kind) {
    case ModulationKind::CoherentPsk:
        // BPSK and QPSK (Gray coded, per bit) share the binary form.
        if (modulation.order <= 4) {
            return QFunction(std::sqrt(2.0 * ebNo));
        }
        return (2.0 / k) * QFunction(std::sqrt(2.0 * k * ebNo) * std::sin(std::numbers::pi / m));
    case ModulationKind::SquareQam:
        return (4.0 / k) * (1.0 - 1.0 / std::sqrt(m)) *
               QFunction(std::sqrt(3.0 * k * ebNo / (m - 1.0)));
    case ModulationKind::Dbpsk:
        return 0.5 * std::exp(-ebNo);
    case ModulationKind::NoncoherentBfsk:
        return 0.5 * std::exp(-ebNo / 2.0);
    }
    return 0.5;
}

std::optional<double> RequiredEbNo(const ModulationRow& modulation, double ber) {
    double low = kLowestEbNoDb; // Pb falls as Eb/No rises
    double high = kHighestEbNoDb;
    if (!(ber > 0.0) || !(BitErrorProbability(modulation, low) > ber) ||
        !(BitErrorProbability(modulation, high) <= ber)) {
        return std::nullopt;
    }
    for (int i = 0; i < kBisectionSteps; ++i) {
        const double middle = 0.5 * (low + high);
        (BitErrorProbability(modulation, middle) > ber ? low : high) = middle;
    }
    return 0.5 * (low + high);
}
