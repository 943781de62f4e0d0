#include "calc_propagation.h"

#include "dish_antenna.h"
#include "number_text.h"

#include <utility>

namespace {

constexpr double kKmPerMile = 1.609344;
constexpr double kMHzPerGHz = 1000.0;
constexpr double kPercent = 100.0;
constexpr int kTextWidth = 12; // as the factors' value texts

struct Row {
    std::string key;
    std::string caption;
    double value;
    std::string text;
    std::string unit;
};

Row fixedRow(std::string key, std::string caption, double value, int decimals, std::string unit) {
    return {std::move(key), std::move(caption), value, FormatFixed(kTextWidth, decimals, value),
            std::move(unit)};
}

double tiltDeg(RainPolarization polarization) {
    switch (polarization) {
    case RainPolarization::Horizontal:
        return kHorizontalTiltDeg;
    case RainPolarization::Circular:
        return kCircularTiltDeg;
    case RainPolarization::Vertical:
        break;
    }
    return kVerticalTiltDeg;
}

const char* polarizationName(RainPolarization polarization) {
    switch (polarization) {
    case RainPolarization::Horizontal:
        return "horizontal";
    case RainPolarization::Circular:
        return "circular";
    case RainPolarization::Vertical:
        break;
    }
    return "vertical";
}

void addRainRows(const PropagationOptions& o, const PropagationResult& r, std::vector<Row>& rows) {
    const RainPolarization polarization = o.polarization.value_or(RainPolarization::Vertical);
    rows.push_back(fixedRow("RainRate", "Rain Rate", *o.rainRate, 1, "mm/h"));
    rows.push_back(fixedRow("Availability", "Availability",
                            o.availability.value_or(kDefaultAvailability), 3, "Percent"));
    rows.push_back({"RainPolarizationTilt", "Rain Polarization", tiltDeg(polarization),
                    polarizationName(polarization), ""});
    rows.push_back(
        fixedRow("RainElevation", "Rain Path Elevation", o.elevationDeg.value_or(0.0), 1, "deg"));
    if (r.rain) {
        const RainPath& rain = *r.rain;
        rows.push_back({"RainK", "Rain k", rain.coefficients.k,
                        FormatExponent(4, 1, rain.coefficients.k), ""});
        rows.push_back(fixedRow("RainAlpha", "Rain alpha", rain.coefficients.alpha, 4, ""));
        rows.push_back(
            fixedRow("RainSpecificAtten", "Rain Specific Atten", rain.specific, 4, "dB/km"));
        rows.push_back(fixedRow("PathLength", "Path Length", r.pathKm, 2, "km"));
        rows.push_back(
            fixedRow("RainDistanceFactor", "Rain Distance Factor r", rain.distanceFactor, 3, ""));
        rows.push_back(
            fixedRow("RainEffectivePath", "Rain Effective Path", rain.effectiveKm, 2, "km"));
        rows.push_back(fixedRow("RainLoss001", "Rain Loss 0.01 %", rain.loss001, 2, "dB"));
    }
    rows.push_back(fixedRow("RainLoss", "Rain Loss", r.rain ? r.rain->loss : 0.0, 2, "dB"));
    rows.push_back(fixedRow("WeatherGiven", "Weather without Rain", r.weatherGivenDb, 2, "dB"));
}

void addClearanceRows(const PropagationOptions& o, const PropagationResult& r,
                      std::vector<Row>& rows) {
    const PathClearance& c = *r.clearance;
    rows.push_back(fixedRow("TxHeight", "Tx Antenna Height", *o.txHeightM, 1, "m"));
    rows.push_back(fixedRow("RxHeight", "Rx Antenna Height", *o.rxHeightM, 1, "m"));
    if (!o.rainRate) {
        rows.push_back(fixedRow("PathLength", "Path Length", r.pathKm, 2, "km"));
    }
    rows.push_back(fixedRow("RadioHorizon", "Radio Horizon 4/3 Earth", c.horizonKm, 2, "km"));
    rows.push_back(fixedRow("FresnelRadius", "Fresnel Zone F1", c.fresnelM, 1, "m"));
    rows.push_back(fixedRow("EarthBulge", "Earth Bulge", c.bulgeM, 2, "m"));
    rows.push_back(fixedRow("Clearance", "Clearance Mid-path", c.clearanceM, 1, "m"));
    rows.push_back(fixedRow("ClearanceFraction", "Clearance / F1", c.clearanceFraction, 2, ""));
}

void addDishRows(const char* end, const DishOptions& dish, double gain, double beamwidth,
                 std::vector<Row>& rows) {
    const std::string side(end);
    rows.push_back(
        fixedRow(side + "DishDiameter", side + " Dish Diameter", dish.diameterM, 2, "m"));
    rows.push_back(fixedRow(side + "DishEfficiency", side + " Dish Efficiency",
                            dish.efficiency * kPercent, 1, "Percent"));
    rows.push_back(fixedRow(side + "DishGain", side + " Dish Gain", gain, 2, "dBi"));
    rows.push_back(fixedRow(side + "DishBeamwidth", side + " Dish Beamwidth", beamwidth, 2, "deg"));
}

std::vector<Row> rowsOf(const PropagationOptions& o, const PropagationResult& r) {
    std::vector<Row> rows;
    if (o.rainRate) {
        addRainRows(o, r, rows);
    }
    if (r.clearance) {
        addClearanceRows(o, r, rows);
    }
    if (o.txDish) {
        addDishRows("Tx", *o.txDish, *r.txDishGainDbi, *r.txDishBeamwidthDeg, rows);
    }
    if (o.rxDish) {
        addDishRows("Rx", *o.rxDish, *r.rxDishGainDbi, *r.rxDishBeamwidthDeg, rows);
    }
    return rows;
}

std::string kmText(double km) {
    return FormatFixed(kTextWidth, 2, km) + " km";
}

// The path's verdicts in words.
std::vector<std::string> notesOf(const PropagationResult& r) {
    std::vector<std::string> notes;
    if (!r.clearance) {
        return notes;
    }
    const PathClearance& c = *r.clearance;
    notes.push_back(c.beyondHorizon
                        ? "The path of " + kmText(r.pathKm) + " is beyond the radio horizon of " +
                              kmText(c.horizonKm) + ": no line of sight over a smooth earth."
                        : "The path of " + kmText(r.pathKm) + " is within the radio horizon of " +
                              kmText(c.horizonKm) + ".");
    const std::string fraction = FormatFixed(kTextWidth, 2, c.clearanceFraction);
    notes.push_back(c.underRequired
                        ? "The clearance at mid-path is " + fraction +
                              " F1, under 0.6 F1: expect diffraction loss."
                        : "The clearance at mid-path is " + fraction + " F1, at least 0.6 F1.");
    return notes;
}

} // namespace

PropagationResult EvaluatePropagation(const PropagationOptions& o, const LinkFactors& given) {
    PropagationResult r;
    r.pathKm = given.Range * kKmPerMile;
    r.weatherGivenDb = given.Weather;
    const double freqGHz = given.Freq / kMHzPerGHz;
    if (o.rainRate) {
        if (freqGHz >= kRainModelLowestGHz) {
            const double percentOfTime = kPercent - o.availability.value_or(kDefaultAvailability);
            r.rain =
                RainPathAttenuation(freqGHz, r.pathKm, *o.rainRate, percentOfTime,
                                    tiltDeg(o.polarization.value_or(RainPolarization::Vertical)),
                                    o.elevationDeg.value_or(0.0));
        } else {
            r.rainBelowModel = true;
        }
    }
    if (o.txHeightM && o.rxHeightM) {
        r.clearance = MidPathClearance(r.pathKm, freqGHz, *o.txHeightM, *o.rxHeightM);
    }
    if (o.txDish) {
        r.txDishGainDbi = DishGainDbi(o.txDish->diameterM, o.txDish->efficiency, given.Freq);
        r.txDishBeamwidthDeg = DishBeamwidthDeg(o.txDish->diameterM, given.Freq);
    }
    if (o.rxDish) {
        r.rxDishGainDbi = DishGainDbi(o.rxDish->diameterM, o.rxDish->efficiency, given.Freq);
        r.rxDishBeamwidthDeg = DishBeamwidthDeg(o.rxDish->diameterM, given.Freq);
    }
    return r;
}

void ApplyPropagation(const PropagationResult& r, LinkFactors& factors) {
    if (r.rain) {
        factors.Weather = r.weatherGivenDb + r.rain->loss;
    }
    if (r.txDishGainDbi) {
        factors.TxAntGain = *r.txDishGainDbi;
    }
    if (r.rxDishGainDbi) {
        factors.RxAntGain = *r.rxDishGainDbi;
    }
}

LinkFactors EffectiveFactors(const PropagationOptions& options, const LinkFactors& given) {
    LinkFactors factors = given;
    if (options.any()) {
        ApplyPropagation(EvaluatePropagation(options, given), factors);
    }
    return factors;
}

void WritePropagationText(const PropagationOptions& options, const PropagationResult& result,
                          BufferedOutput& out) {
    for (const Row& row : rowsOf(options, result)) {
        PutBudgetRow(out, row.caption, row.text, row.unit);
    }
    for (const std::string& note : notesOf(result)) {
        out.put(note);
        out.put('\n');
    }
}

std::vector<JsonMember> PropagationJsonMembers(const PropagationOptions& options,
                                               const PropagationResult& result) {
    if (!options.any()) {
        return {};
    }
    auto write = [rows = rowsOf(options, result), notes = notesOf(result)](BufferedOutput& out) {
        out.put("{\n    \"rows\": [\n");
        for (std::size_t i = 0; i < rows.size(); ++i) {
            out.put("      ");
            PutJsonEntry(out, rows[i].key, rows[i].caption, rows[i].value, rows[i].text,
                         rows[i].unit);
            out.put(i + 1 < rows.size() ? ",\n" : "\n");
        }
        out.put("    ],\n    \"notes\": [");
        for (std::size_t i = 0; i < notes.size(); ++i) {
            out.put(i == 0 ? "" : ", ");
            PutJsonString(out, notes[i]);
        }
        out.put("]\n  }");
    };
    return {JsonMember{"propagation", write}};
}

std::string RainBelowModelNote(bool sweep) {
    return sweep ? "rain attenuation is modelled from 1 GHz: no rain loss at the points below it"
                 : "rain attenuation is modelled from 1 GHz: no rain loss below it";
}
