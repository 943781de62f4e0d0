#pragma once
// What the receiver and waveform features of the budget work out (members of
// the budget sheet): the system noise behind the antenna, the losses at the
// antennas, and the waveform's threshold. No Qt.
#include "dvbs2.h"
#include "lora.h"
#include "receiver_chain.h"

#include <optional>

// Where the antenna's noise temperature comes from.
enum class AntennaNoise {
    Reference, // none given: the 290 K behind the window's noise density
    Typed,
    Sky, // ITU-R P.618-13 section 3 behind the path's atmospheric attenuation
};

struct ReceiverBudget {
    AntennaNoise antenna = AntennaNoise::Reference;
    double skyAttenuationDb = 0.0; // A the sky is seen through (Sky)
    double meanRadiatingK = 0.0;   // T_mr (Sky)
    bool stages = false;           // the chain is the stages given (else the LNA and receiver)
    // Tsys at the antenna terminal and each part of it: the antenna, the feed
    // (RxFeedLoss at 290 K), then the stages.
    SystemNoise noise;
    // No (dBm/Hz) at the first stage's input, where the budget's Eb is: k Tsys
    // less the feed loss once an antenna temperature is given.
    double noiseDensityDbmHz = 0.0;
    double txPointingDb = 0.0; // 12 (theta / theta_3dB)^2 at each end
    double rxPointingDb = 0.0;
    double txBeamwidthDeg = 0.0;
    double rxBeamwidthDeg = 0.0;
    std::optional<double> polarizationDb; // from the axial ratios

    // True when No is k Tsys rather than the window's reference.
    bool systemNoise() const { return antenna != AntennaNoise::Reference; }
};

struct WaveformBudget {
    const Dvbs2Modcod* modcod = nullptr; // DVB-S2: the MODCOD given or chosen
    bool automatic = false;              // dvbs2:auto
    bool closes = true;                  // auto: a MODCOD keeps the margin
    std::optional<LoraWaveform> lora;
    double requiredEbNoDb = 0.0;
    double symbolRate = 0.0; // Bd: given, or the bit rate over the efficiency (DVB-S2)
    double bitRate = 0.0;    // bit/s the waveform carries
};
