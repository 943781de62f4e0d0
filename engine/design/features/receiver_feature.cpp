// The receiver in the budget: a chain of stages in place of the window's LNA
// and receiver (the Friis cascade, receiver_chain.h), the antenna's noise
// temperature typed or of the sky (ITU-R P.618-13 section 3, sky_noise.h)
// with No = k Tsys in place of the 290 K reference, and the losses at the
// antennas: pointing, 12 (theta / theta_3dB)^2 dB, and the polarization
// mismatch of two axial ratios (antenna_losses.h).
//
// The budget's Eb is the power at the first stage's input, after the feed
// (RxFeedLoss); its No is referred there too: k Tsys / L, with Tsys at the
// antenna terminal, Tant + (L - 1) 290 K + L Trx. A chain of stages alone
// keeps the window's noise density: the first stage's noise figure and gain
// become LnaNoiseFigure and LnaGain and the rest's cascade RxNoiseFigure, so
// that the window's two-stage formula gives the whole chain's noise figure.
#include "budget_explain.h"
#include "budget_features.h"
#include "receiver_chain.h"

#include "antenna_losses.h"
#include "sky_noise.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr double kHzPerMHz = 1e6;
constexpr double kDbmPerDbw = 30.0;

// Any of these set brings the receiver into the budget; the waveform does
// for the figures of merit.
constexpr ParamId kReceiverParams[] = {
    ParamId::ReceiverStages, ParamId::AntennaTemperature, ParamId::SkyNoise,
    ParamId::Bandwidth,      ParamId::TxPointingError,    ParamId::RxPointingError,
    ParamId::TxAxialRatio,   ParamId::RxAxialRatio,       ParamId::Waveform,
};

bool applies(const DesignPoint& point) {
    return std::any_of(std::begin(kReceiverParams), std::end(kReceiverParams),
                       [&](ParamId id) { return point.has(id); });
}

// The design's stages, read again only when the list changes (a sweep keeps
// it). Each entry was checked on its way into the design.
const std::vector<ReceiverStage>& stagesOf(const DesignPoint& point) {
    thread_local std::vector<std::string> texts;
    thread_local std::vector<ReceiverStage> stages;
    const std::vector<std::string>& list = point.list(ParamId::ReceiverStages);
    if (list != texts) {
        std::vector<ReceiverStage> read;
        std::string unused;
        for (const std::string& text : list) {
            ReceiverStage stage;
            if (ParseReceiverStage(text, stage, unused)) {
                read.push_back(std::move(stage));
            }
        }
        stages = std::move(read);
        texts = list;
    }
    return stages;
}

// The window's chain: the LNA, then the receiver, whose gain does not count.
std::vector<ReceiverStage> windowChain(const LinkFactors& factors) {
    return {{"LNA", factors.LnaNoiseFigure, NoiseUnit::Decibel, factors.LnaGain},
            {"receiver", factors.RxNoiseFigure, NoiseUnit::Decibel, 0.0}};
}

// The attenuation the sky is seen through, scintillation left out: the
// Earth-space atmosphere's gases, clouds and rain, or on a terrestrial path
// the gases' and the rain's loss.
bool hasSkyAttenuation(const DesignPoint& point) {
    return HasAtmosphere(point) || point.has(ParamId::RainRate);
}

double skyAttenuationDb(const BudgetSheet& sheet) {
    double loss = sheet.rain ? sheet.rain->loss : 0.0;
    if (sheet.atmosphere) {
        const EarthSpaceResult& parts = sheet.atmosphere->parts;
        loss += parts.gas;
        if (sheet.atmosphere->earthSpace) {
            loss += parts.cloud.value_or(0.0) + parts.rain.value_or(0.0);
        }
    }
    return loss;
}

// An antenna's half-power beamwidth: its dish's, else that of the dish of its
// gain at the usual efficiency, G = eta (pi D / lambda)^2 solved for D.
double beamwidthDeg(const std::optional<DishEnd>& dish, double gainDbi, double freqMHz) {
    if (dish) {
        return dish->beamwidthDeg;
    }
    const double wavelengthM = kSpeedOfLight / (freqMHz * kHzPerMHz);
    const double gain = std::pow(10.0, gainDbi / 10.0);
    return DishBeamwidthDeg(
        wavelengthM / std::numbers::pi * std::sqrt(gain / kDefaultDishEfficiency), freqMHz);
}

// The noise behind the antenna of these factors and this chain.
void evaluateNoise(const std::vector<ReceiverStage>& chain, double antennaK,
                   const LinkFactors& factors, ReceiverBudget& receiver) {
    receiver.noise = EvaluateSystemNoise({antennaK, factors.RxFeedLoss, chain});
    receiver.noiseDensityDbmHz = 10.0 * std::log10(kBoltzmann * receiver.noise.temperatureK) +
                                 kDbmPerDbw - factors.RxFeedLoss;
}

bool check(const DesignPoint& point, DesignFault& fault) {
    if (point.has(ParamId::ReceiverStages) && point.list(ParamId::ReceiverStages).empty()) {
        fault = {ParamId::ReceiverStages, "the receiver's chain has no stage"};
        return false;
    }
    if (point.has(ParamId::SkyNoise) && !hasSkyAttenuation(point)) {
        fault = {ParamId::SkyNoise,
                 "sky noise needs the path's atmospheric attenuation: an Earth-space path, the "
                 "gases on a terrestrial one, or a rain rate"};
        return false;
    }
    return true;
}

void adjustStages(const std::vector<ReceiverStage>& stages, LinkFactors& factors) {
    const ReceiverStage& first = stages.front();
    factors.LnaNoiseFigure = first.unit == NoiseUnit::Decibel
                                 ? first.noise
                                 : NoiseTemperatureToFigureDb(StageNoiseTemperatureK(first));
    factors.LnaGain = first.gainDb;
    factors.RxNoiseFigure =
        CascadeStages(std::span<const ReceiverStage>(stages).subspan(1)).noiseFigureDb;
}

void adjustAntennas(const DesignPoint& point, BudgetSheet& sheet, ReceiverBudget& receiver) {
    LinkFactors& factors = sheet.effective;
    if (point.has(ParamId::TxPointingError)) {
        receiver.txBeamwidthDeg = beamwidthDeg(sheet.txDish, factors.TxAntGain, factors.Freq);
        receiver.txPointingDb =
            PointingLossDb(point[ParamId::TxPointingError], receiver.txBeamwidthDeg);
        factors.TxAntGain -= receiver.txPointingDb;
    }
    if (point.has(ParamId::RxPointingError)) {
        receiver.rxBeamwidthDeg = beamwidthDeg(sheet.rxDish, factors.RxAntGain, factors.Freq);
        receiver.rxPointingDb =
            PointingLossDb(point[ParamId::RxPointingError], receiver.rxBeamwidthDeg);
        factors.RxAntGain -= receiver.rxPointingDb;
    }
    if (point.has(ParamId::TxAxialRatio)) {
        receiver.polarizationDb =
            PolarizationMismatchLossDb(point[ParamId::TxAxialRatio], point[ParamId::RxAxialRatio],
                                       point[ParamId::AxialRatioTilt]);
        factors.Polarization = *receiver.polarizationDb;
    }
}

void adjust(const DesignPoint& point, BudgetSheet& sheet) {
    ReceiverBudget receiver;
    const std::vector<ReceiverStage>& stages = stagesOf(point);
    receiver.stages = point.has(ParamId::ReceiverStages) && !stages.empty();
    if (receiver.stages) {
        adjustStages(stages, sheet.effective);
    }
    adjustAntennas(point, sheet, receiver);
    double antennaK = kReferenceTemperature;
    if (point.has(ParamId::SkyNoise)) {
        receiver.antenna = AntennaNoise::Sky;
        receiver.skyAttenuationDb = skyAttenuationDb(sheet);
        // From the surface temperature where it is typed (local data), else 275 K.
        receiver.meanRadiatingK = MeanRadiatingTemperatureK(
            point.has(ParamId::Temperature) ? std::optional<double>(point[ParamId::Temperature])
                                            : std::nullopt);
        antennaK = SkyNoiseTemperatureK(receiver.skyAttenuationDb, receiver.meanRadiatingK);
    } else if (point.has(ParamId::AntennaTemperature)) {
        receiver.antenna = AntennaNoise::Typed;
        antennaK = point[ParamId::AntennaTemperature];
    }
    evaluateNoise(receiver.stages ? stages : windowChain(sheet.effective), antennaK,
                  sheet.effective, receiver);
    sheet.receiver = std::move(receiver);
}

// With an antenna temperature No is k Tsys: the results after Eb follow it,
// worked out as CalculateLink works them out.
void finish(const DesignPoint&, BudgetSheet& sheet) {
    ReceiverBudget& receiver = *sheet.receiver;
    LinkResults& r = sheet.results;
    if (!receiver.systemNoise()) {
        receiver.noiseDensityDbmHz = r.NoisePbitNo;
        return;
    }
    r.NoisePbitNo = receiver.noiseDensityDbmHz;
    r.RxEbNo = r.RxPbitEb - r.NoisePbitNo;
    r.FadeMargin = r.RxEbNo - sheet.effective.MinEbNoDesired;
    const double o = SafePow(10.0, 0.1 * r.FadeMargin);
    const double outage = o == 0.0 ? 1.0 : 1.0 / o;
    r.Reliability = 1.0 - outage;
}

constexpr const char* kPointingSource =
    "12 (theta / theta_3dB)^2 (G. Maral, M. Bousquet, Satellite Communications Systems, ch. 5)";

std::vector<LinkTerm>::iterator findTerm(std::vector<LinkTerm>& terms, const char* key) {
    return std::find_if(terms.begin(), terms.end(),
                        [&](const LinkTerm& term) { return std::strcmp(term.key, key) == 0; });
}

// The gain term at its peak, the pointing loss a term of its own after it.
void splitPointing(std::vector<LinkTerm>& terms, const char* gainKey, const char* key,
                   const char* caption, double lossDb) {
    const auto gain = findTerm(terms, gainKey);
    if (lossDb == 0.0 || gain == terms.end()) {
        return;
    }
    gain->value += lossDb;
    gain->db += lossDb;
    terms.insert(gain + 1,
                 LinkTerm{key, caption, lossDb, "dB", -lossDb, TermSide::Signal, kPointingSource});
}

void terms(const DesignPoint&, const BudgetSheet& sheet, std::vector<LinkTerm>& terms) {
    const ReceiverBudget& receiver = *sheet.receiver;
    splitPointing(terms, "TxAntGain", "TxPointingLoss", "Tx pointing loss", receiver.txPointingDb);
    splitPointing(terms, "RxAntGain", "RxPointingLoss", "Rx pointing loss", receiver.rxPointingDb);
    if (const auto polarization = findTerm(terms, "Polarization");
        receiver.polarizationDb && polarization != terms.end()) {
        polarization->source = "axial ratios of the two antennas: p = 1/2 + (4 r1 r2 + (r1^2 - "
                               "1)(r2^2 - 1) cos 2 tau) / (2 (r1^2 + 1)(r2^2 + 1))";
    }
    const auto figure = findTerm(terms, "NoiseFigure");
    if (receiver.stages && figure != terms.end()) {
        figure->caption = "Noise figure (receiver chain)";
        figure->source = "Friis cascade of the stages given, Proc. IRE 32 (1944)";
    }
    if (receiver.systemNoise()) {
        // k Tsys holds the noise temperature and every stage's noise figure.
        const auto first = findTerm(terms, "NoiseTemp");
        const auto last = findTerm(terms, "NoiseFigure");
        if (first != terms.end() && last != terms.end()) {
            const double no = receiver.noiseDensityDbmHz;
            *first = LinkTerm{"SystemNoise",
                              "Noise density k Tsys / L",
                              no,
                              "dBm/Hz",
                              -no,
                              TermSide::Noise,
                              "k Tsys at the first stage's input, Tsys = Tant + (L - 1) 290 K + "
                              "L Trx at the antenna (Friis; Maral and Bousquet ch. 5)"};
            terms.erase(last);
        }
    }
}

void lines(const DesignPoint& point, const BudgetSheet& sheet, SheetSection& section) {
    AddReceiverLines(point, sheet, *sheet.receiver, section);
}

} // namespace

ReceiverBudget ReceiverOf(const BudgetSheet& sheet) {
    if (sheet.receiver) {
        return *sheet.receiver;
    }
    ReceiverBudget receiver;
    evaluateNoise(windowChain(sheet.effective), kReferenceTemperature, sheet.effective, receiver);
    receiver.noiseDensityDbmHz = sheet.results.NoisePbitNo;
    return receiver;
}

const FeatureRow kReceiverFeature{kReceiverSectionName,
                                  "Receiver",
                                  true,
                                  true,
                                  ParamId::Count,
                                  ParamId::Count,
                                  check,
                                  adjust,
                                  lines,
                                  finish,
                                  terms,
                                  applies};
