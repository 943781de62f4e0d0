#pragma once
// DVB-S2 MODCODs: required Es/N0, spectral efficiency and the choice of the
// most efficient MODCOD for a link. No Qt.
//
// ETSI EN 302 307-1 V1.4.1 (2014-11), DVB-S2 normal FECFRAME (64 800 bits),
// no pilots:
//   - Table 5a: K_bch, the BCH information bits of a FECFRAME, per code rate;
//   - Table 13: the ideal Es/N0 (dB) of each of the 28 MODCODs for a
//     quasi-error-free packet error rate of 1e-7 in an AWGN channel, and the
//     spectral efficiency, which is the information bits of a frame (K_bch
//     less the 80-bit BBHEADER) over its symbols (64 800 / log2 M data
//     symbols and a 90-symbol PLHEADER):
//       eta = (K_bch - 80) / (90 + 64800 / log2 M)  bit/symbol.
// Eb/N0 = Es/N0 - 10 log10 eta.
#include <array>
#include <optional>
#include <string>
#include <string_view>

struct Dvbs2Modcod {
    const char* name;      // "qpsk-1/4" ... "32apsk-9/10"
    int bitsPerSymbol;     // log2 M: 2, 3, 4 or 5
    int kBch;              // BCH information bits per normal FECFRAME
    double requiredEsNoDb; // ideal, quasi error free in AWGN
};

extern const std::array<Dvbs2Modcod, 28> Dvbs2ModcodTable;

// Information bits per transmitted symbol.
double Dvbs2Efficiency(const Dvbs2Modcod& modcod);

// The Eb/N0 (dB) the MODCOD needs: Es/N0 - 10 log10 efficiency.
double Dvbs2RequiredEbNoDb(const Dvbs2Modcod& modcod);

// The MODCOD named `name` (letter case ignored). False with a one-line message
// listing the valid names.
bool FindDvbs2Modcod(std::string_view name, const Dvbs2Modcod*& modcod, std::string& error);

// Es/N0 (dB) from C/N0 (dBHz) at a symbol rate (symbols/s).
double EsNoFromCn0Db(double cn0DbHz, double symbolRate);

struct Dvbs2Selection {
    const Dvbs2Modcod* modcod;
    double efficiency; // bit/symbol
    double throughput; // bit/s, symbol rate x efficiency
    double excessDb;   // Es/N0 above the requirement and the margin (>= 0)
};

// The most efficient MODCOD with required Es/N0 + margin <= esNoDb (all dB);
// none when not even the most robust one is met.
std::optional<Dvbs2Selection> SelectDvbs2Modcod(double esNoDb, double marginDb, double symbolRate);

// The same from C/N0 (dBHz) and the symbol rate (symbols/s).
std::optional<Dvbs2Selection> SelectDvbs2ModcodForCn0(double cn0DbHz, double marginDb,
                                                      double symbolRate);

// At a fixed bit rate (bit/s) instead: the most efficient MODCOD with required
// Eb/N0 + margin <= ebNoDb; its symbol rate is the bit rate over its efficiency.
std::optional<Dvbs2Selection> SelectDvbs2ModcodForEbNo(double ebNoDb, double marginDb,
                                                       double bitRate);
