#include "dvbs2.h"

#include "units.h"

#include <cmath>

namespace {

// Table 5a, normal FECFRAME: K_bch by code rate.
constexpr int kBch14 = 16008;
constexpr int kBch13 = 21408;
constexpr int kBch25 = 25728;
constexpr int kBch12 = 32208;
constexpr int kBch35 = 38688;
constexpr int kBch23 = 43040;
constexpr int kBch34 = 48408;
constexpr int kBch45 = 51648;
constexpr int kBch56 = 53840;
constexpr int kBch89 = 57472;
constexpr int kBch910 = 58192;

constexpr int kFrameBits = 64800;    // n_ldpc
constexpr int kPlHeaderSymbols = 90; // SOF and PLS code
constexpr int kBbHeaderBits = 80;    // carried in K_bch, not user data

constexpr int kQpsk = 2;
constexpr int k8psk = 3;
constexpr int k16apsk = 4;
constexpr int k32apsk = 5;

} // namespace

// Table 13, in its order.
const std::array<Dvbs2Modcod, 28> Dvbs2ModcodTable = {{
    {"qpsk-1/4", kQpsk, kBch14, -2.35},       {"qpsk-1/3", kQpsk, kBch13, -1.24},
    {"qpsk-2/5", kQpsk, kBch25, -0.30},       {"qpsk-1/2", kQpsk, kBch12, 1.00},
    {"qpsk-3/5", kQpsk, kBch35, 2.23},        {"qpsk-2/3", kQpsk, kBch23, 3.10},
    {"qpsk-3/4", kQpsk, kBch34, 4.03},        {"qpsk-4/5", kQpsk, kBch45, 4.68},
    {"qpsk-5/6", kQpsk, kBch56, 5.18},        {"qpsk-8/9", kQpsk, kBch89, 6.20},
    {"qpsk-9/10", kQpsk, kBch910, 6.42},      {"8psk-3/5", k8psk, kBch35, 5.50},
    {"8psk-2/3", k8psk, kBch23, 6.62},        {"8psk-3/4", k8psk, kBch34, 7.91},
    {"8psk-5/6", k8psk, kBch56, 9.35},        {"8psk-8/9", k8psk, kBch89, 10.69},
    {"8psk-9/10", k8psk, kBch910, 10.98},     {"16apsk-2/3", k16apsk, kBch23, 8.97},
    {"16apsk-3/4", k16apsk, kBch34, 10.21},   {"16apsk-4/5", k16apsk, kBch45, 11.03},
    {"16apsk-5/6", k16apsk, kBch56, 11.61},   {"16apsk-8/9", k16apsk, kBch89, 12.89},
    {"16apsk-9/10", k16apsk, kBch910, 13.13}, {"32apsk-3/4", k32apsk, kBch34, 12.73},
    {"32apsk-4/5", k32apsk, kBch45, 13.64},   {"32apsk-5/6", k32apsk, kBch56, 14.28},
    {"32apsk-8/9", k32apsk, kBch89, 15.69},   {"32apsk-9/10", k32apsk, kBch910, 16.05},
}};

double Dvbs2Efficiency(const Dvbs2Modcod& modcod) {
    const double symbols =
        kPlHeaderSymbols + static_cast<double>(kFrameBits) / modcod.bitsPerSymbol;
    return (modcod.kBch - kBbHeaderBits) / symbols;
}

double Dvbs2RequiredEbNoDb(const Dvbs2Modcod& modcod) {
    return modcod.requiredEsNoDb - 10.0 * std::log10(Dvbs2Efficiency(modcod));
}

bool FindDvbs2Modcod(std::string_view name, const Dvbs2Modcod*& modcod, std::string& error) {
    for (const Dvbs2Modcod& row : Dvbs2ModcodTable) {
        if (EqualNoCase(name, row.name)) {
            modcod = &row;
            return true;
        }
    }
    error = "unknown DVB-S2 MODCOD '" + std::string(name) + "'; valid:";
    for (const Dvbs2Modcod& row : Dvbs2ModcodTable) {
        error += ' ';
        error += row.name;
    }
    return false;
}

double EsNoFromCn0Db(double cn0DbHz, double symbolRate) {
    return cn0DbHz - 10.0 * std::log10(symbolRate);
}

namespace {

// The most efficient row whose excess (dB) is >= 0; throughputOf gives the
// bit rate (bit/s) at an efficiency.
template <typename Excess, typename Throughput>
std::optional<Dvbs2Selection> selectBest(Excess excessOf, Throughput throughputOf) {
    // Efficiency does not rise with the requirement across modulations (qpsk-9/10
    // beats 8psk-3/5 but needs more), so every met row is compared.
    std::optional<Dvbs2Selection> best;
    for (const Dvbs2Modcod& row : Dvbs2ModcodTable) {
        const double excess = excessOf(row);
        if (!(excess >= 0.0)) {
            continue;
        }
        const double efficiency = Dvbs2Efficiency(row);
        if (!best || efficiency > best->efficiency) {
            best = Dvbs2Selection{&row, efficiency, throughputOf(efficiency), excess};
        }
    }
    return best;
}

} // namespace

std::optional<Dvbs2Selection> SelectDvbs2Modcod(double esNoDb, double marginDb, double symbolRate) {
    return selectBest(
        [&](const Dvbs2Modcod& row) { return esNoDb - (row.requiredEsNoDb + marginDb); },
        [&](double efficiency) { return symbolRate * efficiency; });
}

std::optional<Dvbs2Selection> SelectDvbs2ModcodForEbNo(double ebNoDb, double marginDb,
                                                       double bitRate) {
    return selectBest(
        [&](const Dvbs2Modcod& row) { return ebNoDb - (Dvbs2RequiredEbNoDb(row) + marginDb); },
        [&](double) { return bitRate; });
}

std::optional<Dvbs2Selection> SelectDvbs2ModcodForCn0(double cn0DbHz, double marginDb,
                                                      double symbolRate) {
    return SelectDvbs2Modcod(EsNoFromCn0Db(cn0DbHz, symbolRate), marginDb, symbolRate);
}
