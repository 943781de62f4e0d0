#include "receiver_chain.h"

#include "units.h"

#include <cmath>

namespace {

double dbToRatio(double db) {
    return std::pow(10.0, db / 10.0);
}

double ratioToDb(double ratio) {
    return 10.0 * std::log10(ratio);
}

} // namespace

double NoiseFigureToTemperatureK(double noiseFigureDb) {
    return (dbToRatio(noiseFigureDb) - 1.0) * kReferenceTemperature;
}

double NoiseTemperatureToFigureDb(double temperatureK) {
    return ratioToDb(1.0 + temperatureK / kReferenceTemperature);
}

double StageNoiseTemperatureK(const ReceiverStage& stage) {
    return stage.unit == NoiseUnit::Kelvin ? stage.noise : NoiseFigureToTemperatureK(stage.noise);
}

CascadeResult CascadeStages(std::span<const ReceiverStage> stages) {
    double temperature = 0.0; // K, at the first stage's input
    double gainBefore = 1.0;  // ratio, of the stages ahead of the current one
    double gainDb = 0.0;
    for (const ReceiverStage& stage : stages) {
        temperature += StageNoiseTemperatureK(stage) / gainBefore;
        gainBefore *= dbToRatio(stage.gainDb);
        gainDb += stage.gainDb;
    }
    return {NoiseTemperatureToFigureDb(temperature), temperature, gainDb};
}

SystemNoise EvaluateSystemNoise(const ReceiverSystem& system) {
    SystemNoise result{};
    result.receiver = CascadeStages(system.stages);
    result.contributions.reserve(system.stages.size() + 2);

    // The feed is a passive first stage at 290 K: Te = (L - 1) 290, gain 1/L.
    const double feedLoss = dbToRatio(system.feedLossDb);
    result.contributions.push_back({"antenna", system.antennaTemperatureK, 0.0});
    result.contributions.push_back({"feed", (feedLoss - 1.0) * kReferenceTemperature, 0.0});
    double gainBefore = 1.0 / feedLoss; // ratio from the antenna terminal to the stage
    for (const ReceiverStage& stage : system.stages) {
        result.contributions.push_back(
            {stage.name, StageNoiseTemperatureK(stage) / gainBefore, 0.0});
        gainBefore *= dbToRatio(stage.gainDb);
    }

    // Tsys is the sum itself, so the shares add up to it exactly.
    double total = 0.0;
    for (const NoiseContribution& c : result.contributions) {
        total += c.temperatureK;
    }
    result.temperatureK = total;
    if (total > 0.0) {
        for (NoiseContribution& c : result.contributions) {
            c.percent = 100.0 * c.temperatureK / total;
        }
    }
    return result;
}

double EirpDbw(double powerW, double feedLossDb, double antennaGainDbi) {
    return ratioToDb(powerW) - feedLossDb + antennaGainDbi;
}

double GainOverTemperatureDbK(double antennaGainDbi, double systemTemperatureK) {
    return antennaGainDbi - ratioToDb(systemTemperatureK);
}

double NoisePowerDbw(double temperatureK, double bandwidthHz) {
    return ratioToDb(kBoltzmann * temperatureK * bandwidthHz);
}

double CarrierToNoiseDensityDbHz(double receivedPowerDbw, double systemTemperatureK) {
    return receivedPowerDbw - ratioToDb(kBoltzmann * systemTemperatureK);
}

FiguresOfMerit EvaluateFiguresOfMerit(const LinkEnds& link, double systemTemperatureK) {
    FiguresOfMerit m{};
    m.eirpDbw = EirpDbw(link.txPowerW, link.txFeedLossDb, link.txAntennaGainDbi);
    m.eirpDbm = m.eirpDbw + kDbwToDbm;
    const double receivedDbw = m.eirpDbw - link.pathLossDb + link.rxAntennaGainDbi;
    m.receivedPowerDbm = receivedDbw + kDbwToDbm;
    m.gOverTDbK = GainOverTemperatureDbK(link.rxAntennaGainDbi, systemTemperatureK);
    m.cOverN0DbHz = CarrierToNoiseDensityDbHz(receivedDbw, systemTemperatureK);
    m.noisePowerDbw = NoisePowerDbw(systemTemperatureK, link.bandwidthHz);
    m.noisePowerDbm = m.noisePowerDbw + kDbwToDbm;
    m.cOverNDb = receivedDbw - m.noisePowerDbw;
    return m;
}

bool ParseReceiverStage(std::string_view text, ReceiverStage& stage, std::string& error) {
    const std::string quoted = "receiver stage '" + std::string(text) + "': ";
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        fields.push_back(TrimBlanks(text.substr(start, comma - start)));
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    if (fields.size() != 3) {
        error = quoted + "expected NAME,NF,GAIN (e.g. LNA,0.8,30 or LNA,35K,30)";
        return false;
    }
    if (fields[0].empty()) {
        error = quoted + "the stage has no name";
        return false;
    }

    std::string_view noiseText = fields[1];
    NoiseUnit unit = NoiseUnit::Decibel;
    if (!noiseText.empty() && (noiseText.back() == 'K' || noiseText.back() == 'k')) {
        unit = NoiseUnit::Kelvin;
        noiseText = TrimBlanks(noiseText.substr(0, noiseText.size() - 1));
    }
    double noise = 0.0;
    if (!ParsePlainNumber(noiseText, noise)) {
        error = quoted + "noise '" + std::string(fields[1]) +
                "' is not a noise figure in dB nor a temperature in K";
        return false;
    }
    if (noise < 0.0) {
        error = quoted +
                (unit == NoiseUnit::Kelvin ? "negative noise temperature '"
                                           : "noise figure below 0 dB '") +
                std::string(fields[1]) + "'";
        return false;
    }
    if (fields[2].empty()) {
        error = quoted + "the stage has no gain (dB)";
        return false;
    }
    double gain = 0.0;
    if (!ParsePlainNumber(fields[2], gain)) {
        error = quoted + "gain '" + std::string(fields[2]) + "' is not a number in dB";
        return false;
    }
    stage = {std::string(fields[0]), noise, unit, gain};
    return true;
}
