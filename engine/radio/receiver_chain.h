#pragma once
// The receiver chain: cascade noise figure, system noise temperature and its
// contributors, and the link's figures of merit. No Qt.
//
// Sources:
//   - H. T. Friis, "Noise figures of radio receivers", Proc. IRE 32 (1944):
//     F = F1 + (F2 - 1)/G1 + (F3 - 1)/(G1 G2) + ..., in noise temperatures
//     Te = T1 + T2/G1 + T3/(G1 G2) + ..., with T = (F - 1) T0, T0 = 290 K.
//   - D. M. Pozar, Microwave Engineering, 4th ed. (Wiley 2012), section 10.2:
//     a passive loss L at physical temperature Tp has Te = (L - 1) Tp and
//     gain 1/L (the feed, counted here as the first stage at 290 K).
//   - G. Maral, M. Bousquet, Satellite Communications Systems, 5th ed. (Wiley
//     2009), chapter 5: EIRP = Pt Gt / Lft, G/T, C/N0 = C / (k Tsys),
//     N = k Tsys B.
//   - Boltzmann constant k = 1.380649e-23 J/K, exact since the 2019
//     redefinition of the SI (BIPM, The International System of Units, 9th ed.).
//
// Reference point: the system noise temperature is referred to the antenna
// terminal (before the feed), so Tsys = Tant + (L - 1) 290 + L Trx, the gain in
// G/T is the antenna's own and the received power is that at the antenna
// terminal. (Referring both to the first stage's input divides C and Tsys by
// L and leaves C/N0 and G/T unchanged.)
#include <span>
#include <string>
#include <string_view>
#include <vector>

constexpr double kBoltzmann = 1.380649e-23;     // J/K, exact (SI 2019)
constexpr double kReferenceTemperature = 290.0; // K, T0 of the noise figure

// A stage's noise is given either as a noise figure or as a noise temperature.
enum class NoiseUnit { Decibel, Kelvin };

struct ReceiverStage {
    std::string name;
    double noise = 0.0; // noise figure (dB) or noise temperature (K), see unit
    NoiseUnit unit = NoiseUnit::Decibel;
    double gainDb = 0.0; // negative for a loss
};

// T = (F - 1) T0 and back; F in dB, T in K.
double NoiseFigureToTemperatureK(double noiseFigureDb);
double NoiseTemperatureToFigureDb(double temperatureK);

// The stage's noise temperature (K) whichever way it was given.
double StageNoiseTemperatureK(const ReceiverStage& stage);

struct CascadeResult {
    double noiseFigureDb;     // of the whole chain
    double noiseTemperatureK; // referred to the first stage's input
    double gainDb;            // sum of the stages' gains
};

// The Friis cascade of the stages in signal order. No stages: 0 dB, 0 K.
CascadeResult CascadeStages(std::span<const ReceiverStage> stages);

struct ReceiverSystem {
    double antennaTemperatureK = 0.0; // sky and ground seen by the antenna
    double feedLossDb = 0.0;          // between the antenna and the first stage, at 290 K
    std::vector<ReceiverStage> stages;
};

struct NoiseContribution {
    std::string name;    // "antenna", "feed" or the stage's name
    double temperatureK; // referred to the antenna terminal
    double percent;      // share of the system noise temperature
};

struct SystemNoise {
    double temperatureK;    // Tsys at the antenna terminal, the sum of the contributions
    CascadeResult receiver; // the stages alone (without the feed)
    // The antenna, the feed, then each stage in signal order.
    std::vector<NoiseContribution> contributions;
};

SystemNoise EvaluateSystemNoise(const ReceiverSystem& system);

// EIRP (dBW) of a transmitter of `powerW` watts behind a feed loss (dB) and
// an antenna gain (dBi).
double EirpDbw(double powerW, double feedLossDb, double antennaGainDbi);

// G/T (dB/K) of an antenna gain (dBi) over a system noise temperature (K).
double GainOverTemperatureDbK(double antennaGainDbi, double systemTemperatureK);

// Noise power k T B in dBW for a temperature (K) and a bandwidth (Hz).
double NoisePowerDbw(double temperatureK, double bandwidthHz);

// C/N0 (dBHz) of a received power (dBW) against a system noise temperature (K).
double CarrierToNoiseDensityDbHz(double receivedPowerDbw, double systemTemperatureK);

constexpr double kDbwToDbm = 30.0; // dB

// Both ends of the link and what lies between them.
struct LinkEnds {
    double txPowerW = 0.0;
    double txFeedLossDb = 0.0;
    double txAntennaGainDbi = 0.0;
    double pathLossDb = 0.0; // every loss between the antennas (free space, gases, rain, ...)
    double rxAntennaGainDbi = 0.0;
    double bandwidthHz = 1.0; // noise bandwidth for N and C/N
};

struct FiguresOfMerit {
    double eirpDbw;
    double eirpDbm;
    double receivedPowerDbm; // at the receiving antenna's terminal
    double gOverTDbK;        // dB/K
    double cOverN0DbHz;
    double noisePowerDbw; // k Tsys B
    double noisePowerDbm;
    double cOverNDb;
};

// Tsys (K) as EvaluateSystemNoise gives it, > 0.
FiguresOfMerit EvaluateFiguresOfMerit(const LinkEnds& link, double systemTemperatureK);

// Reads a stage "NAME,NF,GAIN": NF in dB ("0.8") or a noise temperature in K
// ("35K"), GAIN in dB (negative for a loss). Blanks around the fields are
// ignored. False with a one-line message on a missing field, a text that is
// not a number or a noise below 0 K (or 0 dB).
bool ParseReceiverStage(std::string_view text, ReceiverStage& stage, std::string& error);
