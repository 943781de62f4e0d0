#include "budget_explain.h"

#include "section_writer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kHzPerMHz = 1e6;
constexpr double kDbmPerDbw = 30.0;

using Lines = SectionWriter;

void antennaLines(const ReceiverBudget& receiver, Lines& out) {
    const double antennaK = receiver.noise.contributions.front().temperatureK;
    switch (receiver.antenna) {
    case AntennaNoise::Reference:
        out.field("antennaNoise", "reference");
        out.add("AntennaTemperature", "Antenna Temperature", antennaK, 1, "K (reference)",
                "antennaTemperatureK");
        out.note("No is the window's: kT at 290 K taken as -173.9 dBm/Hz, plus the chain's noise "
                 "figure; an antenna temperature makes it k Tsys");
        return;
    case AntennaNoise::Typed:
        out.field("antennaNoise", "typed");
        out.add("AntennaTemperature", "Antenna Temperature", antennaK, 1, "K",
                "antennaTemperatureK");
        return;
    case AntennaNoise::Sky:
        out.field("antennaNoise", "sky");
        out.add("SkyAttenuation", "Sky Attenuation", receiver.skyAttenuationDb, 2, "dB",
                "skyAttenuationDb");
        out.add("MeanRadiatingTemp", "Mean Radiating Temp", receiver.meanRadiatingK, 1, "K",
                "meanRadiatingTemperatureK");
        out.add("AntennaTemperature", "Sky Noise Temperature", antennaK, 1, "K",
                "antennaTemperatureK");
        return;
    }
}

void antennaLossLines(const DesignPoint& point, const ReceiverBudget& receiver, Lines& out) {
    if (point.has(ParamId::TxPointingError)) {
        out.add("TxBeamwidth", "Tx Beamwidth", receiver.txBeamwidthDeg, 2, "deg", "txBeamwidthDeg");
        out.add("TxPointingLoss", "Tx Pointing Loss", receiver.txPointingDb, 2, "dB",
                "txPointingLossDb");
    }
    if (point.has(ParamId::RxPointingError)) {
        out.add("RxBeamwidth", "Rx Beamwidth", receiver.rxBeamwidthDeg, 2, "deg", "rxBeamwidthDeg");
        out.add("RxPointingLoss", "Rx Pointing Loss", receiver.rxPointingDb, 2, "dB",
                "rxPointingLossDb");
    }
    if (receiver.polarizationDb) {
        out.add("TxAxialRatio", "Tx Axial Ratio", point[ParamId::TxAxialRatio], 2, "dB",
                "txAxialRatioDb");
        out.add("RxAxialRatio", "Rx Axial Ratio", point[ParamId::RxAxialRatio], 2, "dB",
                "rxAxialRatioDb");
        out.add("PolarizationTilt", "Polarization Tilt", point[ParamId::AxialRatioTilt], 1, "deg",
                "tiltDeg");
        out.add("PolarizationLoss", "Polarization Loss", *receiver.polarizationDb, 3, "dB",
                "polarizationLossDb");
    }
}

} // namespace

void AddReceiverLines(const DesignPoint& point, const BudgetSheet& sheet,
                      const ReceiverBudget& receiver, SheetSection& section) {
    const LinkFactors& f = sheet.effective;
    const LinkResults& r = sheet.results;
    const SystemNoise& noise = receiver.noise;
    Lines out(section);
    antennaLines(receiver, out);
    antennaLossLines(point, receiver, out);
    out.add("ReceiverNoiseFigure", "Receiver Noise Figure", noise.receiver.noiseFigureDb, 2, "dB",
            "noiseFigureDb");
    out.add("ReceiverNoiseTemp", "Receiver Noise Temp", noise.receiver.noiseTemperatureK, 1, "K",
            "noiseTemperatureK");
    out.add("SystemNoiseTemp", "System Noise Temp", noise.temperatureK, 1, "K",
            "systemNoiseTemperatureK");
    // The antennas at their peak gain, the pointing losses on the path, the
    // noise at the temperature the budget's No stands for at the antenna
    // terminal: Tsys itself once an antenna temperature is given, a little
    // above it with the window's -173.9 dBm/Hz. C/N0 and N then agree with
    // the fade margin.
    const bool bandwidth = point.has(ParamId::Bandwidth);
    const LinkEnds ends{f.TxPower,
                        f.TxFeedLoss,
                        f.TxAntGain + receiver.txPointingDb,
                        -r.FreeSpaceAtten + f.Weather + f.Polarization + receiver.txPointingDb +
                            receiver.rxPointingDb,
                        f.RxAntGain + receiver.rxPointingDb,
                        bandwidth ? point[ParamId::Bandwidth] * kHzPerMHz : 1.0};
    const double budgetK =
        std::pow(10.0, (r.NoisePbitNo + f.RxFeedLoss - kDbmPerDbw) / 10.0) / kBoltzmann;
    const FiguresOfMerit merit = EvaluateFiguresOfMerit(ends, budgetK);
    out.add("EirpDbw", "EIRP", merit.eirpDbw, 2, "dBW", "eirpDbw");
    out.add("EirpDbm", "EIRP", merit.eirpDbm, 2, "dBm", "eirpDbm");
    out.add("ReceivedPower", "Received Power", merit.receivedPowerDbm, 2, "dBm",
            "receivedPowerDbm");
    out.add("GOverT", "G/T", GainOverTemperatureDbK(ends.rxAntennaGainDbi, noise.temperatureK), 2,
            "dB/K", "gOverTDbK");
    out.add("CN0", "C/N0", merit.cOverN0DbHz, 2, "dBHz", "cOverN0DbHz");
    if (bandwidth) {
        out.add("NoiseBandwidth", "Noise Bandwidth", ends.bandwidthHz, 1, "Hz", "bandwidthHz");
        out.add("NoisePowerDbw", "Noise Power", merit.noisePowerDbw, 2, "dBW", "noisePowerDbw");
        out.add("NoisePowerDbm", "Noise Power", merit.noisePowerDbm, 2, "dBm", "noisePowerDbm");
        out.add("CN", "C/N", merit.cOverNDb, 2, "dB", "cOverNDb");
    }
}

SheetSection ReceiverSection(const DesignPoint& point, const BudgetSheet& sheet) {
    SheetSection section{kReceiverFeature.section,
                         kReceiverFeature.title,
                         kReceiverFeature.followsSolve,
                         {},
                         {},
                         {}};
    AddReceiverLines(point, sheet, ReceiverOf(sheet), section);
    return section;
}

BudgetExplanation ExplainBudget(const BudgetModel& model, const DesignPoint& point,
                                const BudgetSheet& sheet) {
    return {model.terms(point, sheet), sheet.results.FadeMargin, ReceiverOf(sheet)};
}

void AddExplainedSections(std::vector<SheetSection>& sections, const DesignPoint& point,
                          const BudgetSheet& sheet) {
    if (std::none_of(sections.begin(), sections.end(),
                     [](const SheetSection& s) { return s.name == kReceiverSectionName; })) {
        sections.push_back(ReceiverSection(point, sheet));
    }
}
