#include "calc_options.h"

#include "calc_atmosphere_options.h"
#include "calc_modulation_options.h"
#include "calc_propagation_options.h"
#include "calc_receiver_options.h"
#include "calc_text.h"
#include "design_json.h"

#include <algorithm>

namespace {

using O = CalcOptions;
using V = ValueCompletion;
using G = OptionGroup;
using R = RuleKind;

// Adapters from a row to its feature's own options.
template <auto Member, auto Parse> bool into(std::string_view v, O& o, std::string& e) {
    return Parse(v, o.*Member, e);
}
template <auto Parse> bool input(std::string_view v, O& o, std::string& e) {
    return Parse(v, o.inputs, e);
}
const char* nameOfRow(bool (*apply)(std::string_view, O&, std::string&));

template <ParamId Id> bool atmosphere(std::string_view v, O& o, std::string& e) {
    return ParseAtmosphereOption(nameOfRow(atmosphere<Id>), Id, v, o.inputs, e);
}

// What the design needs for an option of the atmosphere: a rain rate (or an
// Earth-space path, which uses the value without rain), an Earth-space path,
// or an atmosphere (the gases on a terrestrial path, or an Earth-space one).
bool rainOrEarthSpace(const DesignPoint& point) {
    return point.has(ParamId::RainRate) || OnEarthSpacePath(point);
}
constexpr OptionRule kNeedsRain{R::DesignNeeds, "--rain-rate", "", nullptr, rainOrEarthSpace};
constexpr OptionRule kNeedsEarthSpace{R::DesignNeeds, "--path earth-space", "", nullptr,
                                      OnEarthSpacePath};
constexpr OptionRule kNeedsAtmosphere{R::DesignNeeds, "--gas or --path earth-space", "", nullptr,
                                      HasAtmosphere};
bool setJson(std::string_view, O& o, std::string&) {
    o.json = true;
    return true;
}
bool setMetric(std::string_view, O& o, std::string&) {
    o.inputs.metric = true;
    return true;
}
bool setHelp(std::string_view, O& o, std::string&) {
    o.help = true;
    return true;
}
bool setExplain(std::string_view, O& o, std::string&) {
    o.explain = true;
    return true;
}
bool setAvailabilityCurve(std::string_view, O& o, std::string&) {
    o.availabilityCurve = true;
    return true;
}

// What rules of some waveforms hang on.
bool autoWaveform(const O& o) {
    return GivenWaveform(o.inputs) == WaveformKind::Dvbs2Auto;
}
bool notAutoWaveform(const O& o) {
    return !autoWaveform(o);
}
bool loraWaveform(const O& o) {
    return GivenWaveform(o.inputs) == WaveformKind::Lora;
}

std::string modulationList() {
    return ModulationNames() + "\n";
}

// One line per unit family of the factors: the keys that share it, its units.
std::string unitLines() {
    std::string text;
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        const UnitFamily family = FactorTable[i].units;
        bool first = true;
        std::string keys;
        for (std::size_t j = 0; j < FactorTable.size(); ++j) {
            if (FactorTable[j].units == family) {
                first = first && j >= i;
                keys += (keys.empty() ? "" : ", ") + std::string(FactorTable[j].key);
            }
        }
        if (first) {
            text += (family == UnitFamily::Decibel ? std::string("the keys in dB") : keys) + ": " +
                    UnitList(family) +
                    (family == UnitFamily::AntennaGain ? " (dBi = dBd + 2.15)" : "") + "\n";
        }
    }
    return text;
}

constexpr ParamId kNoChoice = ParamId::Count;

bool renderPlotFile(const OutputContext& c, int format, std::string& bytes, std::string& error) {
    return c.plot != nullptr && c.renderPlot &&
           c.renderPlot(*c.plot, static_cast<PlotFormat>(format), bytes, error);
}

bool renderReportFile(const OutputContext& c, int format, std::string& bytes, std::string& error) {
    return c.view != nullptr && c.renderReport &&
           c.renderReport(BuildReportData(*c.view, c.model, c.point, CalcReportSource(c.options)),
                          static_cast<ReportFormat>(format), bytes, error);
}

bool renderDesignFile(const OutputContext& c, int, std::string& bytes, std::string&) {
    bytes = DesignToJson(c.design);
    return true;
}

const OutputSpec kDesignOutput{
    "design",
    kDesignFormats,
    [](const O& o) -> const std::optional<std::string>& { return o.files.saveDesignPath; },
    true,
    false,
    renderDesignFile};
const OutputSpec kPlotOutput{
    "plot",
    kPlotFormats,
    [](const O& o) -> const std::optional<std::string>& { return o.sweep.plotPath; },
    false,
    true,
    renderPlotFile};
const OutputSpec kReportOutput{
    "report",
    kReportFormats,
    [](const O& o) -> const std::optional<std::string>& { return o.report.path; },
    false,
    false,
    renderReportFile};

// clang-format off
const OptionRow kOptionTable[] = {
    {"--config", nullptr, "FILE", G::General, nullptr,
     "read the factors from a link settings file such as\n"
     "Quillstone.Cfg, exactly as the window reads it at start\n",
     nullptr, V::File, kNoChoice, into<&O::files, ParseConfigOption>, {}},
    {"--design", nullptr, "FILE", G::General, nullptr,
     "read a design file (JSON, \"format\": \"quillstone-design\"): its\n"
     "values in the units they were given in; the values of the\n"
     "command line win over it, and of --config and --design the\n"
     "later one given\n",
     nullptr, V::File, kNoChoice, into<&O::files, ParseDesignOption>, {}},
    {"--save-design", nullptr, "FILE", G::General, nullptr,
     "write the design of this command line (every value set, in\n"
     "the unit it was given in) to FILE, which ends in .json, then\n"
     "run as without it\n",
     nullptr, V::File, kNoChoice, into<&O::files, ParseSaveDesignOption>, {}, &kDesignOutput},
    {"--json", nullptr, nullptr, G::General, nullptr,
     "print the factors, the results and the bit error performance\n"
     "as JSON, each with its number, its text and its unit\n"
     "(not with --sweep)\n",
     nullptr, V::None, kNoChoice, setJson,
     {{{R::NotWith, "--sweep", " (a sweep is written as CSV)"}}}},
    {"--sweep", nullptr, "Key=start:stop:step", G::General, nullptr,
     "evaluate the link at start, start+step, ... up to stop and\n"
     "print CSV: the swept value and the nine results as plain\n"
     "numbers (Reliability in percent); at most 10000000 points.\n"
     "Sweeping Range also prints the largest range with a fade\n"
     "margin >= 0 dB on standard error\n",
     nullptr, V::KeyAssignment, kNoChoice, into<&O::sweep, ParseSweepOption>, {}},
    {"--plot", nullptr, "FILE", G::General, nullptr,
     "with --sweep: draw received Eb/No and fade margin against the\n"
     "swept factor, the minimum Eb/No desired as a line and the\n"
     "0 dB fade margin crossing marked; FILE ends in .svg or .png\n",
     nullptr, V::File, kNoChoice, into<&O::sweep, ParsePlotOption>,
     {{{R::Needs, "--sweep"}}}, &kPlotOutput},
    {"--help", "-h", nullptr, G::General, "-h, --help", "print this text\n", nullptr, V::None,
     kNoChoice, setHelp, {}},

    {"--rain-rate", nullptr, "R", G::Propagation, nullptr,
     "add the rain loss of ITU-R P.838-3 and P.530-17 to Weather:\n"
     "R is the rain rate in mm/h exceeded 0.01 % of the time;\n"
     "the path is Range, the frequency Freq (no rain loss below\n"
     "1 GHz). Prints k, alpha, the specific attenuation, the\n"
     "distance factor r, the effective path and the rain loss.\n"
     "On an Earth-space path: the slant-path rain of P.618-13\n"
     "instead, with --latitude and --rain-height or\n"
     "--isotherm-height\n",
     nullptr, V::None, kNoChoice, input<ParseRainRateOption>, {}},
    {"--availability", nullptr, "A", G::Propagation, nullptr,
     "with --rain-rate: the percentage of the year the link must\n"
     "hold, 99.0 to 99.999 (default 99.99); on an Earth-space\n"
     "path, against the whole atmosphere, 95 to 99.999\n",
     nullptr, V::None, kNoChoice, input<ParseAvailabilityOption>,
     {{kNeedsRain}}},
    {"--polarization", nullptr, "h|v|c", G::Propagation, nullptr,
     "with --rain-rate: horizontal, vertical or circular\n"
     "(default v)\n",
     nullptr, V::Choice, ParamId::RainPolarization, input<ParsePolarizationOption>,
     {{{R::Needs, "--rain-rate"}}}},
    {"--elevation", nullptr, "DEG", G::Propagation, nullptr,
     "with --rain-rate: the path's elevation, 0 to 90 (default 0);\n"
     "an Earth-space path needs it: the satellite's, 5 to 90\n",
     nullptr, V::None, kNoChoice, input<ParseElevationOption>,
     {{kNeedsRain}}},
    {"--heights", nullptr, "H1,H2", G::Propagation, nullptr,
     "antenna heights above a smooth earth, metres or with ft\n"
     "(30,20 or 100ft,60ft): prints the radio horizon of a 4/3\n"
     "earth, the first Fresnel zone radius, the earth bulge and\n"
     "the clearance at mid-path, and says when Range is beyond\n"
     "the horizon or the clearance is under 0.6 of the zone\n",
     nullptr, V::None, kNoChoice, input<ParseHeightsOption>, {}},
    {"--tx-dish", nullptr, "D[,EFF]", G::Propagation, "--tx-dish D[,EFF], --rx-dish D[,EFF]",
     "the antenna gain of a dish D metres (or with ft) across,\n"
     "aperture efficiency EFF as 0.55 or 55% (default 0.55), in\n"
     "place of TxAntGain / RxAntGain (giving both is an error);\n"
     "prints the gain and the half-power beamwidth. On an\n"
     "Earth-space path the Rx dish is the scintillation's antenna\n",
     nullptr, V::None, kNoChoice, input<ParseTxDishOption>,
     {{{R::SetsSweep, "TxAntGain", "give TxAntGain a sweep or --tx-dish, not both"},
       {R::SetsValue, "TxAntGain", "give TxAntGain=value or --tx-dish, not both"}}}},
    {"--rx-dish", nullptr, "D[,EFF]", G::Propagation, "", "", nullptr, V::None, kNoChoice,
     input<ParseRxDishOption>,
     {{{R::SetsSweep, "RxAntGain", "give RxAntGain a sweep or --rx-dish, not both"},
       {R::SetsValue, "RxAntGain", "give RxAntGain=value or --rx-dish, not both"}}}},
    {"--path", nullptr, "terrestrial|earth-space", G::Propagation, nullptr,
     "terrestrial (default), or earth-space: Range is the slant\n"
     "path to a satellite and Weather adds the atmosphere of\n"
     "ITU-R P.618-13 section 2.5: the gases (P.676-12 Annex 2),\n"
     "clouds (P.840-8, with --cloud-liquid), rain (P.618-13\n"
     "2.2.1.1, with --rain-rate, in place of P.530-17) and\n"
     "scintillation (2.4.1, for the Rx dish or the dish that gives\n"
     "RxAntGain at 55 %). Needs --elevation; prints each part and\n"
     "each input with where it came from, and adds an\n"
     "\"atmosphere\" member to --json. The maps of ITU-R P.836,\n"
     "P.837, P.839, P.840 and P.453 are not shipped: those inputs\n"
     "are typed (--vapour-content, --rain-rate, --rain-height or\n"
     "--isotherm-height, --cloud-liquid, --wet-refractivity); air\n"
     "not typed is the P.835-6 reference atmosphere's\n",
     nullptr, V::Choice, ParamId::Path, atmosphere<ParamId::Path>, {}},
    {"--gas", nullptr, nullptr, G::Propagation, nullptr,
     "on a terrestrial path, add the gases' loss over Range to\n"
     "Weather: gamma_o and gamma_w of ITU-R P.676-12 Annex 1 from\n"
     "the air at the station (an Earth-space path always has it)\n",
     nullptr, V::None, kNoChoice, input<ParseGasOption>, {}},
    {"--satellite-altitude", nullptr, "H", G::Propagation, nullptr,
     "Range becomes the slant path to a satellite H km (or with m)\n"
     "above a spherical earth of 6371 km, at --elevation\n",
     nullptr, V::None, kNoChoice, atmosphere<ParamId::SatelliteAltitude>,
     {{kNeedsEarthSpace,
       {R::SetsValue, "Range", "give Range=value or --satellite-altitude, not both"},
       {R::SetsSweep, "Range", "give Range a sweep or --satellite-altitude, not both"}}}},
    {"--station-height", nullptr, "H", G::Propagation, nullptr,
     "the station's height above sea level in metres (or with km),\n"
     "-500 m to 10 km (default 0)\n",
     nullptr, V::None, kNoChoice, atmosphere<ParamId::StationHeight>,
     {{kNeedsAtmosphere}}},
    {"--temperature", nullptr, "T", G::Propagation,
     "--temperature T, --pressure P, --vapour-density RHO",
     "the air at the station: T in degC (or with K, 288.15K), the\n"
     "total barometric pressure P in hPa, the water-vapour density\n"
     "RHO in g/m3; each one not typed is the P.835-6 reference\n"
     "atmosphere's at the station height\n",
     nullptr, V::None, kNoChoice, atmosphere<ParamId::Temperature>,
     {{kNeedsAtmosphere}}},
    {"--pressure", nullptr, "P", G::Propagation, "", "", nullptr, V::None, kNoChoice,
     atmosphere<ParamId::Pressure>, {{kNeedsAtmosphere}}},
    {"--vapour-density", nullptr, "RHO", G::Propagation, "", "", nullptr, V::None, kNoChoice,
     atmosphere<ParamId::VapourDensity>, {{kNeedsAtmosphere}}},
    {"--vapour-content", nullptr, "VT", G::Propagation, nullptr,
     "the total columnar water vapour in kg/m2: the water vapour's\n"
     "zenith loss from it (ITU-R P.676-12 Annex 2)\n",
     nullptr, V::None, kNoChoice, atmosphere<ParamId::VapourContent>,
     {{kNeedsEarthSpace}}},
    {"--cloud-liquid", nullptr, "L", G::Propagation, nullptr,
     "the reduced columnar cloud liquid water in kg/m2: adds the\n"
     "clouds' loss (ITU-R P.840-8)\n",
     nullptr, V::None, kNoChoice, atmosphere<ParamId::CloudLiquid>,
     {{kNeedsEarthSpace}}},
    {"--latitude", nullptr, "DEG", G::Propagation, nullptr,
     "with --rain-rate on an Earth-space path: the station's\n"
     "latitude, -90 to 90\n",
     nullptr, V::None, kNoChoice, atmosphere<ParamId::Latitude>,
     {{{R::Needs, "--rain-rate"}, kNeedsEarthSpace}}},
    {"--rain-height", nullptr, "H", G::Propagation, "--rain-height H, --isotherm-height H",
     "with --rain-rate on an Earth-space path: the rain height in\n"
     "km (or with m), or the 0 degC isotherm height h_0 for a rain\n"
     "height of h_0 + 0.36 km (ITU-R P.839-4)\n",
     nullptr, V::None, kNoChoice, atmosphere<ParamId::RainHeight>,
     {{{R::Needs, "--rain-rate"},
       {R::NotWith, "--isotherm-height"},
       kNeedsEarthSpace}}},
    {"--isotherm-height", nullptr, "H", G::Propagation, "", "", nullptr, V::None, kNoChoice,
     atmosphere<ParamId::IsothermHeight>,
     {{{R::Needs, "--rain-rate"}, kNeedsEarthSpace}}},
    {"--wet-refractivity", nullptr, "N", G::Propagation, nullptr,
     "the wet term of the surface refractivity, N-units; else\n"
     "ITU-R P.453-14's from the air at the station\n",
     nullptr, V::None, kNoChoice, atmosphere<ParamId::WetRefractivity>,
     {{kNeedsEarthSpace}}},

    {"--solve", nullptr, "KEY", G::Design, nullptr,
     "print the value of KEY at which the fade margin is --margin\n"
     "(the largest Range, Freq, BitRate, loss or noise figure, the\n"
     "least TxPower or gain), then the budget at that value;\n"
     "with --json the value at full precision. Not MinEbNoDesired\n"
     "(the margin is measured against it); not with --sweep\n",
     nullptr, V::Key, kNoChoice, into<&O::solve, ParseSolveOption>,
     {{{R::NotWith, "--sweep"}}}},
    {"--margin", nullptr, "DB", G::Design, nullptr,
     "the fade margin --solve aims at, or that the MODCOD of\n"
     "--waveform dvbs2:auto must leave (default 0)\n", nullptr, V::None, kNoChoice,
     input<ParseMarginOption>, {{{R::Needs, "--solve", "", notAutoWaveform}}}},
    {"--metric", nullptr, nullptr, G::Design, nullptr,
     "print Range also in km and TxPower also in dBm, in\n"
     "parentheses after the window's units (--json: a \"metric\"\n"
     "member)\n",
     nullptr, V::None, kNoChoice, setMetric, {}},
    {"--modulation", nullptr, "M", G::Design, "--modulation M --ber P [--coding-gain DB]",
     "set MinEbNoDesired to the Eb/No at which the uncoded bit error\n"
     "rate of M in white Gaussian noise is P (0 < P < 0.5), less the\n"
     "coding gain; print M, P, the required Eb/No and the bit error\n"
     "rate at the received Eb/No. M is one of\n",
     modulationList, V::Choice, ParamId::Modulation, input<ParseModulationOption>,
     {{{R::Needs, "--ber", " (the target bit error rate)"},
       {R::SetsValue, "MinEbNoDesired", "give one or the other"},
       {R::SetsSweep, "MinEbNoDesired", "it cannot be swept beside it"}}}},
    {"--ber", nullptr, "P", G::Design, "", "", nullptr, V::None, kNoChoice,
     input<ParseBerOption>, {{{R::Needs, "--modulation"}}}},
    {"--coding-gain", nullptr, "DB", G::Design, "", "", nullptr, V::None, kNoChoice,
     input<ParseCodingGainOption>, {{{R::Needs, "--modulation"}}}},
    {"--report", nullptr, "FILE", G::Design, nullptr,
     "write a one-page budget sheet: factors, the budget term by\n"
     "term, the verdict, the largest range and the fade margin\n"
     "against range; FILE ends in .pdf or .html (self-contained)\n",
     nullptr, V::File, kNoChoice, into<&O::report, ParseReportOption>,
     {{{R::NotWith, "--sweep", " (the report draws its own range sweep)"}}}, &kReportOutput},

    {"--stage", nullptr, "NAME,NF,GAIN", G::Receiver, nullptr,
     "one stage of the receiver, given once per stage in signal\n"
     "order from the antenna: NF in dB or a noise temperature with\n"
     "K (LNA,35K,30), GAIN in dB, negative for a loss. The Friis\n"
     "cascade of the stages replaces LnaNoiseFigure, LnaGain and\n"
     "RxNoiseFigure\n",
     nullptr, V::None, kNoChoice, input<ParseStageOption>,
     {{{R::SetsValue, "LnaNoiseFigure", "the stages replace it"},
       {R::SetsValue, "LnaGain", "the stages replace it"},
       {R::SetsValue, "RxNoiseFigure", "the stages replace it"},
       {R::SetsSweep, "LnaNoiseFigure", "the stages replace it"},
       {R::SetsSweep, "LnaGain", "the stages replace it"},
       {R::SetsSweep, "RxNoiseFigure", "the stages replace it"}}},
     nullptr, true},
    {"--antenna-temperature", nullptr, "T|sky", G::Receiver, nullptr,
     "the antenna's noise temperature in K (or with degC), or sky:\n"
     "ITU-R P.618-13 section 3 behind the path's atmospheric\n"
     "attenuation (an Earth-space path, --gas or --rain-rate), with\n"
     "T_mr from --temperature, else 275 K. No becomes k Tsys,\n"
     "Tsys = T + (L - 1) 290 K + L Trx at the antenna (L the Rx\n"
     "feed loss), in place of the window's 290 K reference\n",
     nullptr, V::None, kNoChoice, input<ParseAntennaTemperatureOption>, {}},
    {"--bandwidth", nullptr, "B", G::Receiver, nullptr,
     "the noise bandwidth in Hz (or with kHz, MHz): adds the noise\n"
     "power k Tsys B in dBW and dBm, and C/N\n",
     nullptr, V::None, kNoChoice, input<ParseBandwidthOption>, {}},
    {"--pointing-error", nullptr, "TX_DEG[,RX_DEG]", G::Receiver, nullptr,
     "the antennas' pointing errors in degrees (RX_DEG 0 when left\n"
     "out): 12 (theta / theta_3dB)^2 dB off each gain, theta_3dB\n"
     "the dish's beamwidth, or that of a dish of the gain at 55 %\n",
     nullptr, V::None, kNoChoice, input<ParsePointingErrorOption>, {}},
    {"--axial-ratio", nullptr, "TX_DB,RX_DB[,TILT_DEG]", G::Receiver, nullptr,
     "Polarization from the antennas' axial ratios r1, r2 (0 dB\n"
     "circular) and the angle TILT between their major axes\n"
     "(default 0): p = 1/2 + (4 r1 r2 + (r1^2 - 1)(r2^2 - 1)\n"
     "cos 2 TILT) / (2 (r1^2 + 1)(r2^2 + 1)), both of the same hand\n"
     "(W. L. Stutzman, on the Poincare sphere)\n",
     nullptr, V::None, kNoChoice, input<ParseAxialRatioOption>,
     {{{R::SetsValue, "Polarization", "give Polarization=value or --axial-ratio, not both"},
       {R::SetsSweep, "Polarization", "give Polarization a sweep or --axial-ratio, not both"}}}},
    {"--explain", nullptr, nullptr, G::Receiver, nullptr,
     "print every term from the transmit power to the fade margin\n"
     "with its sign, value and source, then the noise budget: each\n"
     "stage's and the antenna's share of Tsys in K and percent\n"
     "(--json: an \"explain\" member); with the figures of merit\n",
     nullptr, V::None, kNoChoice, setExplain,
     {{{R::NotWith, "--sweep", " (a sweep is written as CSV)"}}}},
    {"--availability-curve", nullptr, nullptr, G::Receiver, nullptr,
     "on an Earth-space path, for p of 0.001 to 5 % of the year:\n"
     "the atmosphere's loss exceeded for p % of the time and the\n"
     "fade margin; with --waveform dvbs2:auto the MODCOD, its\n"
     "throughput and the mean throughput over the year (adaptive\n"
     "coding and modulation). --json: \"availabilityCurve\"\n",
     nullptr, V::None, kNoChoice, setAvailabilityCurve,
     {{{R::NotWith, "--sweep", " (a sweep is written as CSV)"},
       kNeedsEarthSpace}}},
    {"--waveform", nullptr, "NAME", G::Receiver, nullptr,
     "set MinEbNoDesired to a waveform's threshold: dvbs2:MODCOD\n"
     "(qpsk-1/4 ... 32apsk-9/10 of ETSI EN 302 307-1 Table 13,\n"
     "normal frames, no pilots), dvbs2:auto (the most efficient\n"
     "MODCOD that leaves --margin), or lora:sfN[:BW] (SF7 to SF12,\n"
     "BW 125, 250 or 500 kHz; it sets BitRate): prints the\n"
     "threshold, and for LoRa the SNR floor, the sensitivity, the\n"
     "time on air and the margin over the sensitivity\n",
     nullptr, V::None, kNoChoice, input<ParseWaveformOption>,
     {{{R::NotWith, "--modulation"},
       {R::SetsValue, "MinEbNoDesired", "give one or the other"},
       {R::SetsSweep, "MinEbNoDesired", "it cannot be swept beside it"},
       {R::SetsValue, "BitRate", "a LoRa waveform has its own", loraWaveform},
       {R::SetsSweep, "BitRate", "a LoRa waveform has its own", loraWaveform},
       {R::NotWith, "--solve", " (dvbs2:auto keeps the margin itself)", autoWaveform}}}},
    {"--coding-rate", nullptr, "CR", G::Receiver, "--coding-rate CR, --payload BYTES",
     "with --waveform lora: the coding rate 4/5 (default), 4/6,\n"
     "4/7 or 4/8, and the packet's payload, 0 to 255 bytes\n"
     "(default 20)\n",
     nullptr, V::Choice, ParamId::CodingRate, input<ParseCodingRateOption>,
     {{{R::Needs, "--waveform"}}}},
    {"--payload", nullptr, "BYTES", G::Receiver, "", "", nullptr, V::None, kNoChoice,
     input<ParsePayloadOption>, {{{R::Needs, "--waveform"}}}},
    {"--symbol-rate", nullptr, "RS", G::Receiver, nullptr,
     "with --waveform dvbs2: the symbol rate in Bd (or with kBd,\n"
     "MBd); BitRate becomes it times the MODCOD's efficiency, and\n"
     "the throughput is printed\n",
     nullptr, V::None, kNoChoice, input<ParseSymbolRateOption>,
     {{{R::Needs, "--waveform"},
       {R::SetsValue, "BitRate", "the symbol rate and the MODCOD give it"},
       {R::SetsSweep, "BitRate", "the symbol rate and the MODCOD give it"}}}},
    {"Key=value", nullptr, nullptr, G::Design, "Key=NUMBERUNIT",
     "a value may carry a unit, e.g. Range=25km (letters exactly\n"
     "as shown):\n",
     unitLines, V::KeyAssignment, kNoChoice, input<ParseAssignment>, {}},
};
// clang-format on

constexpr std::size_t kRowCount = std::size(kOptionTable);

const char* nameOfRow(bool (*apply)(std::string_view, O&, std::string&)) {
    const auto row = std::find_if(std::begin(kOptionTable), std::end(kOptionTable),
                                  [apply](const OptionRow& r) { return r.apply == apply; });
    return row->name;
}

bool isAssignmentRow(const OptionRow& row) {
    return row.name[0] != '-';
}

bool flag(const OptionRow& row) {
    return row.valueName == nullptr;
}

// The row an option argument names, and its value when written "--name=value".
const OptionRow* findOption(std::string_view arg, std::optional<std::string_view>& value) {
    for (const OptionRow& row : kOptionTable) {
        if (isAssignmentRow(row)) {
            continue;
        }
        if (arg == row.name || (row.alias != nullptr && arg == row.alias)) {
            return &row;
        }
        const std::string_view name = row.name;
        if (!flag(row) && arg.size() > name.size() && arg.substr(0, name.size()) == name &&
            arg[name.size()] == '=') {
            value = arg.substr(name.size() + 1);
            return &row;
        }
    }
    return nullptr;
}

std::size_t indexOf(const OptionRow& row) {
    return static_cast<std::size_t>(&row - kOptionTable);
}

bool checkRule(const OptionRow& row, const OptionRule& rule, const CalcOptions& options,
               std::string& error) {
    if (rule.when != nullptr && !rule.when(options)) {
        return true;
    }
    switch (rule.kind) {
    case R::DesignNeeds:
        return true; // once the design is known: CheckDesignRules
    case R::Needs:
        if (!Given(options, rule.other)) {
            error = std::string(row.name) + " needs " + rule.other + rule.text;
            return false;
        }
        return true;
    case R::NotWith:
        if (Given(options, rule.other)) {
            error = std::string(row.name) + " cannot be combined with " + rule.other + rule.text;
            return false;
        }
        return true;
    case R::SetsValue:
    case R::SetsSweep: {
        const std::size_t factor = *FindFactor(rule.other);
        const bool set = rule.kind == R::SetsValue
                             ? options.inputs.givesValue(ParamOfFactor(factor))
                             : options.sweep.plan && options.sweep.plan->factor == factor;
        if (set) {
            error = std::string(row.name) + " sets " + rule.other + ": " + rule.text;
            return false;
        }
        return true;
    }
    }
    return true;
}

// The rules of the options given, once all are read: the link design's
// before the propagation's, as each group's options build on the general
// ones. False at the first rule `passes` refuses.
template <typename Check> bool everyRule(const CalcOptions& options, const Check& passes) {
    for (const OptionGroup group : {G::General, G::Design, G::Propagation, G::Receiver}) {
        for (const OptionRow& row : kOptionTable) {
            if (row.group != group || options.given[indexOf(row)] == 0) {
                continue;
            }
            for (const OptionRule& rule : row.rules) {
                if (rule.other != nullptr && !passes(row, rule)) {
                    return false;
                }
            }
        }
    }
    return true;
}

bool checkRules(const CalcOptions& options, std::string& error) {
    return everyRule(options, [&](const OptionRow& row, const OptionRule& rule) {
        return checkRule(row, rule, options, error);
    });
}

bool checkDesignNeeds(const CalcOptions& options, const DesignPoint& point, std::string& error) {
    return everyRule(options, [&](const OptionRow& row, const OptionRule& rule) {
        if (rule.kind != R::DesignNeeds || rule.met(point)) {
            return true;
        }
        error = std::string(row.name) + " needs " + rule.other + rule.text;
        return false;
    });
}

} // namespace

std::span<const OptionRow> OptionTable() {
    return kOptionTable;
}

bool Given(const CalcOptions& options, std::string_view name) {
    for (const OptionRow& row : kOptionTable) {
        if (name == row.name) {
            return options.given.size() == kRowCount && options.given[indexOf(row)] > 0;
        }
    }
    return false;
}

bool CheckDesignRules(const CalcOptions& options, const DesignPoint& point, std::string& error) {
    return options.inputs.checkPathBounds(point, error) && checkDesignNeeds(options, point, error);
}

bool ParseCalcArguments(const std::vector<std::string>& args, CalcOptions& options,
                        std::string& error) {
    options.given.assign(kRowCount, 0);
    // Help wins over everything else, even over a mistake beside it.
    if (std::any_of(args.begin(), args.end(),
                    [](const std::string& a) { return a == "--help" || a == "-h"; })) {
        options.help = true;
        return true;
    }
    const OptionRow& assignment = kOptionTable[kRowCount - 1];
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg.size() <= 1 || arg[0] != '-') {
            ++options.given[indexOf(assignment)];
            if (!assignment.apply(arg, options, error)) {
                return false;
            }
            continue;
        }
        std::optional<std::string_view> value;
        const OptionRow* row = findOption(arg, value);
        if (row == nullptr) {
            error = "unknown option " + Quoted(arg) + " (see --help)";
            return false;
        }
        if (!flag(*row) && !value) {
            if (i + 1 >= args.size()) {
                error = std::string(row->name) + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (options.given[indexOf(*row)]++ > 0 && !row->repeatable) {
            error = std::string(row->name) + " given more than once";
            return false;
        }
        if (!row->apply(value.value_or(""), options, error)) {
            return false;
        }
    }
    return checkRules(options, error);
}
