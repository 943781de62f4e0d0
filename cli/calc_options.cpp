#include "calc_options.h"

#include "calc_text.h"
#include "design_json.h"
#include "design_rules.h"
#include "profile_table.h"
#include "site_climate.h"
#include "value_reader.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

namespace {

using O = CalcOptions;
using V = ValueCompletion;
using G = OptionGroup;
using R = RuleKind;

// A value is read before the design's path is known: against the widest
// domain; the design's check narrows it to the path's.
constexpr double kAnyPath = std::numeric_limits<double>::quiet_NaN();

// Adapters from a row to its feature's own options.
template <auto Member, auto Parse>
bool into(const OptionRow&, std::string_view v, O& o, std::string& e) {
    return Parse(v, o.*Member, e);
}
template <auto Parse> bool input(const OptionRow&, std::string_view v, O& o, std::string& e) {
    return Parse(v, o.inputs, e);
}

bool readValue(ParamId id, std::string_view text, O& o, std::string& error) {
    const ParamRow& row = ParamRowOf(id);
    const ValueReading reading = ReadValueText(row, text, kAnyPath);
    if (!reading.ok()) {
        error = ValueMessage("", Quoted(text), row, reading, kAnyPath);
        return false;
    }
    o.inputs.add(id, reading.setting);
    return true;
}

// One entry of a list parameter (an option given once per entry): appended
// to the entries the command line gave before, which replace a file's list.
bool readListItem(ParamId id, std::string_view text, O& o, std::string& error) {
    const ParamRow& row = ParamRowOf(id);
    if (row.readItem != nullptr && !row.readItem(text, error)) {
        return false;
    }
    std::vector<ParamAssignment>& settings = o.inputs.settings;
    const auto earlier = std::find_if(settings.begin(), settings.end(),
                                      [id](const ParamAssignment& a) { return a.id == id; });
    if (earlier == settings.end()) {
        o.inputs.add(id, {1.0, 1.0, {}, {std::string(text)}});
        return true;
    }
    ParamSetting& setting = earlier->setting;
    setting.items.emplace_back(text);
    setting.value = setting.given = static_cast<double>(setting.items.size());
    return true;
}

// "A,B[,C]": each part read into its parameter, all or none.
bool readParts(const OptionRow& row, std::string_view text, O& o, std::string& error) {
    const auto count = static_cast<std::size_t>(std::count_if(
        row.parts.begin(), row.parts.end(), [](ParamId id) { return id != ParamId::Count; }));
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t comma; (comma = text.find(',', start)) != std::string_view::npos;
         start = comma + 1) {
        parts.push_back(text.substr(start, comma - start));
    }
    parts.push_back(text.substr(start));
    if (parts.size() < row.requiredParts || parts.size() > count) {
        error = Quoted(text) + " is not " + row.valueName;
        return false;
    }
    O read;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (!readValue(row.parts[i], parts[i], read, error)) {
            // Which of the values it is.
            error = std::string(ParamCaption(ParamRowOf(row.parts[i]))) + " " + error;
            return false;
        }
    }
    for (const ParamAssignment& part : read.inputs.settings) {
        o.inputs.add(part.id, part.setting);
    }
    return true;
}

// A parameter's option: its value, or its values, by the registry's reader.
bool readParameter(const OptionRow& row, std::string_view value, O& o, std::string& error) {
    if (row.param == ParamId::Count) {
        return readParts(row, value, o, error);
    }
    if (ParamRowOf(row.param).family == UnitFamily::List) {
        return readListItem(row.param, value, o, error);
    }
    return readValue(row.param, value, o, error);
}

// The antenna's temperature, or the sky's (the choice of the first part).
bool readAntennaTemperature(const OptionRow& row, std::string_view value, O& o,
                            std::string& error) {
    const ParamId sky = row.parts[0];
    if (FindChoice(ParamRowOf(sky), TrimBlanks(value))) {
        return readValue(sky, value, o, error);
    }
    return readValue(row.param, value, o, error);
}

// A waveform by the waveforms' own reader, whose messages name what is wrong.
bool readWaveform(const OptionRow& row, std::string_view value, O& o, std::string& error) {
    std::size_t index = 0;
    if (!ParseWaveform(TrimBlanks(value), index, error)) {
        return false;
    }
    const auto choice = static_cast<double>(index);
    o.inputs.add(row.param, {choice, choice, {}});
    return true;
}

// A flag that switches its parameter on.
bool setOn(const OptionRow& row, std::string_view, O& o, std::string&) {
    o.inputs.add(row.param, {1.0, 1.0, {}});
    return true;
}

bool setItuMaps(const OptionRow&, std::string_view value, O&, std::string& error) {
    if (TrimBlanks(value).empty()) {
        error = "no folder given";
        return false;
    }
    SetItuMapsFolder(std::filesystem::path(std::string(TrimBlanks(value))));
    return true;
}

bool setMapsStatus(const OptionRow&, std::string_view, O& o, std::string&) {
    o.mapsStatus = true;
    return true;
}

bool setJson(const OptionRow&, std::string_view, O& o, std::string&) {
    o.json = true;
    return true;
}
bool setMetric(const OptionRow&, std::string_view, O& o, std::string&) {
    o.inputs.metric = true;
    return true;
}
bool setHelp(const OptionRow&, std::string_view, O& o, std::string&) {
    o.help = true;
    return true;
}
bool setVersion(const OptionRow&, std::string_view, O& o, std::string&) {
    o.version = true;
    return true;
}
bool setExplain(const OptionRow&, std::string_view, O& o, std::string&) {
    o.explain = true;
    return true;
}
bool setAvailabilityCurve(const OptionRow&, std::string_view, O& o, std::string&) {
    o.availabilityCurve = true;
    return true;
}

// What rules of some waveforms hang on.
bool autoWaveform(const O& o) {
    return GivenWaveform(o.inputs) == WaveformKind::Dvbs2Auto;
}
bool loraWaveform(const O& o) {
    return GivenWaveform(o.inputs) == WaveformKind::Lora;
}

constexpr OptionRule kNeedsEarthSpace{
    .kind = R::DesignNeeds, .met = OnEarthSpacePath, .what = "--path earth-space"};

OptionRule notWithSweep(const char* text) {
    return {.kind = R::NotWith, .option = "--sweep", .text = text};
}

// The option sets factor `param` itself: neither a Key=value nor a sweep of
// it may be given beside it.
std::vector<OptionRule> sets(ParamId param, const char* valueText, const char* sweepText,
                             bool (*when)(const O&) = nullptr) {
    return {{.kind = R::SetsValue, .param = param, .text = valueText, .when = when},
            {.kind = R::SetsSweep, .param = param, .text = sweepText, .when = when}};
}
std::vector<OptionRule> setsByGiving(ParamId param, bool sweepFirst) {
    std::vector<OptionRule> rules =
        sets(param, "give %k=value or %o, not both", "give %k a sweep or %o, not both");
    if (sweepFirst) {
        std::swap(rules[0], rules[1]);
    }
    return rules;
}
std::vector<OptionRule> join(std::initializer_list<std::vector<OptionRule>> lists) {
    std::vector<OptionRule> all;
    for (const std::vector<OptionRule>& list : lists) {
        all.insert(all.end(), list.begin(), list.end());
    }
    return all;
}

constexpr const char* kStagesReplace = "the stages replace it";
constexpr const char* kLoraOwnRate = "a LoRa waveform has its own";
constexpr const char* kSymbolRateGives = "the symbol rate and the MODCOD give it";

std::string modulationList() {
    return ChoiceNames(ParamRowOf(ParamId::Modulation), ", ", ", ") + "\n";
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

bool renderPlotFile(const OutputContext& c, int format, std::string& bytes, std::string& error) {
    return c.plot != nullptr && c.renderPlot &&
           c.renderPlot(*c.plot, static_cast<PlotFormat>(format), bytes, error);
}

bool renderReportFile(const OutputContext& c, int format, std::string& bytes, std::string& error) {
    return c.view != nullptr && c.renderReport &&
           c.renderReport(BuildReportData(*c.view, c.model, c.point,
                                          CalcReportSource(c.options.files, c.options.sweep)),
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

constexpr std::array<OutputFormat, 1> kProfileFormats{{{".csv", 0}}};

bool renderProfileFile(const OutputContext& c, int, std::string& bytes, std::string& error) {
    if (c.view == nullptr || !c.view->sheet.terrain) {
        error = "the design has no terrain profile";
        return false;
    }
    bytes = ProfileTableCsv(*c.view->sheet.terrain);
    return true;
}

bool setProfileOut(const OptionRow&, std::string_view value, O& o, std::string& error) {
    if (value.empty()) {
        error = "no file name given";
        return false;
    }
    o.profileOut = std::string(value);
    return true;
}

// The design has a profile to write.
bool hasProfile(const DesignPoint& point) {
    return point.has(ParamId::Profile) || point.has(ParamId::Terrain) ||
           point.has(ParamId::TxLongitude);
}

const OutputSpec kProfileOutput{
    "profile",
    kProfileFormats,
    [](const O& o) -> const std::optional<std::string>& { return o.profileOut; },
    false,
    false,
    renderProfileFile};

// clang-format off
const OptionRow kOptionTable[] = {
    {.name = "--config",
     .valueName = "FILE",
     .group = G::General,
     .help = "read the factors from a link settings file such as\n"
     "Quillstone.Cfg, exactly as the window reads it at start\n",
     .completion = V::File,
     .apply = into<&O::files, ParseConfigOption>},
    {.name = "--design",
     .valueName = "FILE",
     .group = G::General,
     .help = "read a design file (JSON, \"format\": \"quillstone-design\"): its\n"
     "values in the units they were given in; the values of the\n"
     "command line win over it, and of --config and --design the\n"
     "later one given\n",
     .completion = V::File,
     .apply = into<&O::files, ParseDesignOption>},
    {.name = "--save-design",
     .valueName = "FILE",
     .group = G::General,
     .help = "write the design of this command line (every value set, in\n"
     "the unit it was given in) to FILE, which ends in .json, then\n"
     "run as without it\n",
     .completion = V::File,
     .apply = into<&O::files, ParseSaveDesignOption>,
     .output = &kDesignOutput},
    {.name = "--json",
     .group = G::General,
     .help = "print the factors, the results and the bit error performance\n"
     "as JSON, each with its number, its text and its unit\n"
     "(not with --sweep)\n",
     .apply = setJson,
     .rules = {notWithSweep(" (a sweep is written as CSV)")}},
    {.name = "--sweep",
     .valueName = "Key=start:stop:step",
     .group = G::General,
     .help = "evaluate the link at start, start+step, ... up to stop and\n"
     "print CSV: the swept value and the nine results as plain\n"
     "numbers (Reliability in percent); at most 10000000 points.\n"
     "Sweeping Range also prints the largest range with a fade\n"
     "margin >= 0 dB on standard error\n",
     .completion = V::KeyAssignment,
     .apply = into<&O::sweep, ParseSweepOption>},
    {.name = "--plot",
     .valueName = "FILE",
     .group = G::General,
     .help = "with --sweep: draw received Eb/No and fade margin against the\n"
     "swept factor, the minimum Eb/No desired as a line and the\n"
     "0 dB fade margin crossing marked; FILE ends in .svg or .png\n",
     .completion = V::File,
     .apply = into<&O::sweep, ParsePlotOption>,
     .rules = {{.kind = R::Needs, .option = "--sweep"}},
     .output = &kPlotOutput},
    {.name = "--help",
     .alias = "-h",
     .group = G::General,
     .heading = "-h, --help",
     .help = "print this text\n",
     .apply = setHelp},
    {.name = "--version",
     .group = G::General,
     .help = "print the program's name and version\n",
     .apply = setVersion},

    {.name = "--rain-rate",
     .valueName = "R",
     .group = G::Propagation,
     .help = "add the rain loss of ITU-R P.838-3 and P.530-17 to Weather:\n"
     "R is the rain rate in mm/h exceeded 0.01 % of the time;\n"
     "the path is Range, the frequency Freq (no rain loss below\n"
     "1 GHz). Prints k, alpha, the specific attenuation, the\n"
     "distance factor r, the effective path and the rain loss.\n"
     "On an Earth-space path: the slant-path rain of P.618-13\n"
     "instead, with --latitude and --rain-height or\n"
     "--isotherm-height\n",
     .param = ParamId::RainRate},
    {.name = "--availability",
     .valueName = "A",
     .group = G::Propagation,
     .help = "with --rain-rate: the percentage of the year the link must\n"
     "hold, 99.0 to 99.999 (default 99.99); on an Earth-space\n"
     "path, against the whole atmosphere, 95 to 99.999\n",
     .param = ParamId::Availability},
    {.name = "--polarization",
     .valueName = "h|v|c",
     .group = G::Propagation,
     .help = "with --rain-rate: horizontal, vertical or circular\n"
     "(default v)\n",
     .completion = V::Choice,
     .param = ParamId::RainPolarization},
    {.name = "--elevation",
     .valueName = "DEG",
     .group = G::Propagation,
     .help = "with --rain-rate: the path's elevation, 0 to 90 (default 0);\n"
     "an Earth-space path needs it: the satellite's, 5 to 90\n",
     .param = ParamId::Elevation},
    {.name = "--heights",
     .valueName = "H1,H2",
     .group = G::Propagation,
     .help = "antenna heights above a smooth earth, metres or with ft\n"
     "(30,20 or 100ft,60ft): prints the radio horizon of a 4/3\n"
     "earth, the first Fresnel zone radius, the earth bulge and\n"
     "the clearance at mid-path, and says when Range is beyond\n"
     "the horizon or the clearance is under 0.6 of the zone\n",
     .parts = {ParamId::TxHeight, ParamId::RxHeight, ParamId::Count},
     .requiredParts = 2},
    {.name = "--k",
     .valueName = "K",
     .group = G::Propagation,
     .help = "with --heights: the effective earth radius factor of the\n"
     "clearance, more than 0 (default 4/3; about 2/3 for the\n"
     "worst refraction of ITU-R P.530-17 section 2.2.2)\n",
     .param = ParamId::EarthFactor},
    {.name = "--tx-dish",
     .valueName = "D[,EFF]",
     .group = G::Propagation,
     .heading = "--tx-dish D[,EFF], --rx-dish D[,EFF]",
     .help = "the antenna gain of a dish D metres (or with ft) across,\n"
     "aperture efficiency EFF as 0.55 or 55% (default 0.55), in\n"
     "place of TxAntGain / RxAntGain (giving both is an error);\n"
     "prints the gain and the half-power beamwidth. On an\n"
     "Earth-space path the Rx dish is the scintillation's antenna\n",
     .parts = {ParamId::TxDishDiameter, ParamId::TxDishEfficiency, ParamId::Count},
     .requiredParts = 1,
     .rules = setsByGiving(ParamId::TxAntGain, true)},
    {.name = "--rx-dish",
     .valueName = "D[,EFF]",
     .group = G::Propagation,
     .heading = "",
     .parts = {ParamId::RxDishDiameter, ParamId::RxDishEfficiency, ParamId::Count},
     .requiredParts = 1,
     .rules = setsByGiving(ParamId::RxAntGain, true)},
    {.name = "--path",
     .valueName = "terrestrial|earth-space",
     .group = G::Propagation,
     .help = "terrestrial (default), or earth-space: Range is the slant\n"
     "path to a satellite and Weather adds the atmosphere of\n"
     "ITU-R P.618-13 section 2.5: the gases (P.676-12 Annex 2),\n"
     "clouds (P.840-8, with --cloud-liquid), rain (P.618-13\n"
     "2.2.1.1, with --rain-rate, in place of P.530-17) and\n"
     "scintillation (2.4.1, for the Rx dish or the dish that gives\n"
     "RxAntGain at 55 %). Needs --elevation, or a site (--station\n"
     "with a satellite); prints each part and each input with\n"
     "where it came from, and adds an \"atmosphere\" member to\n"
     "--json. The maps of ITU-R P.836, P.837, P.839, P.840 and\n"
     "P.453 are not shipped: those inputs are typed\n"
     "(--vapour-content, --rain-rate, --rain-height or\n"
     "--isotherm-height, --cloud-liquid, --wet-refractivity) or,\n"
     "with --station, read from ITU's maps (--itu-maps); air not\n"
     "typed is the P.835-6 reference atmosphere's\n",
     .completion = V::Choice,
     .param = ParamId::Path},
    {.name = "--cloud-maps",
     .valueName = "P.840-8|P.840-9",
     .group = G::Propagation,
     .help = "with --station: the maps of the cloud liquid water, ITU-R\n"
     "P.840-8's reduced L (default) or P.840-9's L\n",
     .completion = V::Choice,
     .param = ParamId::CloudMaps},
    {.name = "--gas",
     .group = G::Propagation,
     .help = "on a terrestrial path, add the gases' loss over Range to\n"
     "Weather: gamma_o and gamma_w of ITU-R P.676-12 Annex 1 from\n"
     "the air at the station (an Earth-space path always has it)\n",
     .param = ParamId::Gas,
     .apply = setOn},
    {.name = "--satellite-altitude",
     .valueName = "H",
     .group = G::Propagation,
     .help = "Range becomes the slant path to a satellite H km (or with m)\n"
     "above a spherical earth of 6371 km, at --elevation\n",
     .param = ParamId::SatelliteAltitude,
     .rules = setsByGiving(ParamId::Range, false)},
    {.name = "--station-height",
     .valueName = "H",
     .group = G::Propagation,
     .help = "the station's height above sea level in metres (or with km),\n"
     "-500 m to 10 km (default 0)\n",
     .param = ParamId::StationHeight},
    {.name = "--temperature",
     .valueName = "T",
     .group = G::Propagation,
     .heading = "--temperature T, --pressure P, --vapour-density RHO",
     .help = "the air at the station: T in degC (or with K, 288.15K), the\n"
     "total barometric pressure P in hPa, the water-vapour density\n"
     "RHO in g/m3; each one not typed is the P.835-6 reference\n"
     "atmosphere's at the station height\n",
     .param = ParamId::Temperature},
    {.name = "--pressure",
     .valueName = "P",
     .group = G::Propagation,
     .heading = "",
     .param = ParamId::Pressure},
    {.name = "--vapour-density",
     .valueName = "RHO",
     .group = G::Propagation,
     .heading = "",
     .param = ParamId::VapourDensity},
    {.name = "--vapour-content",
     .valueName = "VT",
     .group = G::Propagation,
     .help = "the total columnar water vapour in kg/m2: the water vapour's\n"
     "zenith loss from it (ITU-R P.676-12 Annex 2)\n",
     .param = ParamId::VapourContent},
    {.name = "--cloud-liquid",
     .valueName = "L",
     .group = G::Propagation,
     .help = "the reduced columnar cloud liquid water in kg/m2: adds the\n"
     "clouds' loss (ITU-R P.840-8)\n",
     .param = ParamId::CloudLiquid},
    {.name = "--latitude",
     .valueName = "DEG",
     .group = G::Propagation,
     .help = "with --rain-rate on an Earth-space path: the station's\n"
     "latitude, -90 to 90\n",
     .param = ParamId::Latitude},
    {.name = "--rain-height",
     .valueName = "H",
     .group = G::Propagation,
     .heading = "--rain-height H, --isotherm-height H",
     .help = "with --rain-rate on an Earth-space path: the rain height in\n"
     "km (or with m), or the 0 degC isotherm height h_0 for a rain\n"
     "height of h_0 + 0.36 km (ITU-R P.839-4)\n",
     .param = ParamId::RainHeight},
    {.name = "--isotherm-height",
     .valueName = "H",
     .group = G::Propagation,
     .heading = "",
     .param = ParamId::IsothermHeight},
    {.name = "--wet-refractivity",
     .valueName = "N",
     .group = G::Propagation,
     .help = "the wet term of the surface refractivity, N-units; else\n"
     "ITU-R P.453-14's from the air at the station\n",
     .param = ParamId::WetRefractivity},
    {.name = "--station",
     .valueName = "LAT,LON[,HEIGHT]",
     .group = G::Propagation,
     .help = "the earth station's place on an Earth-space path: latitude\n"
     "and longitude in degrees, north and east positive, or as\n"
     "45d4m12sN,7d41m24sE (a degree sign, ' and \" also do), and its\n"
     "ground height above sea level in metres (or with km); with\n"
     "--satellite-longitude or --satellite the look angles on the\n"
     "WGS-84 ellipsoid give the elevation and Range, and a \"site\"\n"
     "member is added to --json\n",
     .parts = {ParamId::Latitude, ParamId::StationLongitude, ParamId::StationHeight},
     .requiredParts = 2},
    {.name = "--antenna-height",
     .valueName = "H",
     .group = G::Propagation,
     .help = "with --station: the antenna's height above the ground in\n"
     "metres (or with km), for the look angles\n",
     .param = ParamId::AntennaHeight},
    {.name = "--satellite-longitude",
     .valueName = "DEG",
     .group = G::Propagation,
     .help = "with --station: a geostationary satellite's orbital\n"
     "position (east positive, or as 13E / 30W): the elevation,\n"
     "azimuth and slant range follow (an elevation under 5\n"
     "degrees is refused); not with --elevation\n",
     .param = ParamId::SatelliteLongitude,
     .rules = setsByGiving(ParamId::Range, false)},
    {.name = "--satellite",
     .valueName = "LAT,LON,ALT",
     .group = G::Propagation,
     .help = "with --station: any satellite, by the latitude and longitude\n"
     "of its sub-satellite point and its altitude in km (or with\n"
     "m), in place of --satellite-longitude\n",
     .parts = {ParamId::SatelliteLatitude, ParamId::SatelliteLongitude,
               ParamId::SatelliteAltitude},
     .requiredParts = 3,
     .rules = {{.kind = R::NotWith, .option = "--satellite-longitude"},
               {.kind = R::NotWith, .option = "--satellite-altitude"},
               {.kind = R::SetsValue, .param = ParamId::Range,
                .text = "give %k=value or %o, not both"},
               {.kind = R::SetsSweep, .param = ParamId::Range,
                .text = "give %k a sweep or %o, not both"}}},
    {.name = "--itu-maps",
     .valueName = "DIR",
     .group = G::Propagation,
     .help = "the folder of ITU-R's digital maps, one subfolder per\n"
     "recommendation as ITU numbers it (P837-7, P839-4, P840-8,\n"
     "P836-6, P453-14, P1510-1, P1511-1), the files under ITU's\n"
     "names, plain or .gz; else $QUILLSTONE_ITU_MAPS, else\n"
     "$XDG_DATA_HOME/quillstone/itu-maps, else\n"
     "/usr/share/quillstone/itu-maps. With --station, the climate\n"
     "inputs not typed come from them at 100 - --availability\n"
     "percent of the time (a \"climate\" member in --json, each\n"
     "value with its source); a map that is needed and missing is\n"
     "refused, naming it. The maps are ITU's, from the page of\n"
     "each recommendation, and are not shipped\n",
     .completion = V::File,
     .apply = setItuMaps},
    {.name = "--itu-maps-status",
     .group = G::Propagation,
     .help = "list each map file the climate of a site can read, in the\n"
     "folder --itu-maps or the places above name, one line each as\n"
     "FOLDER/ITU-NAME: found, missing (with the recommendation\n"
     "whose page distributes it) or damaged (why); nothing else is\n"
     "worked out\n",
     .apply = setMapsStatus},
    {.name = "--tx-site",
     .valueName = "LAT,LON[,GROUND]",
     .group = G::Propagation,
     .heading = "--tx-site LAT,LON[,GROUND], --rx-site LAT,LON[,GROUND]",
     .help = "the ends of a terrestrial hop: latitude and longitude in\n"
     "degrees (north and east positive, or as 45d4m12sN,7d41m24sE)\n"
     "and the ground height above sea level in metres (else the\n"
     "profile's); Range becomes the geodesic between them on the\n"
     "WGS-84 ellipsoid, and with --heights the profile between them\n"
     "comes from the elevation tiles of --terrain\n",
     .parts = {ParamId::TxLatitude, ParamId::TxLongitude, ParamId::TxGround},
     .requiredParts = 2,
     .rules = setsByGiving(ParamId::Range, false)},
    {.name = "--rx-site",
     .valueName = "LAT,LON[,GROUND]",
     .group = G::Propagation,
     .heading = "",
     .parts = {ParamId::RxLatitude, ParamId::RxLongitude, ParamId::RxGround},
     .requiredParts = 2,
     .rules = setsByGiving(ParamId::Range, false)},
    {.name = "--terrain",
     .valueName = "DIR",
     .group = G::Propagation,
     .help = "the folder of elevation tiles (SRTM .hgt at 1\" or 3\", or\n"
     "GeoTIFF such as Copernicus GLO-30/90, by their standard\n"
     "names) the profile between the sites is sampled from; else\n"
     "$XDG_DATA_HOME/quillstone/terrain where it is a folder. A\n"
     "missing tile is refused, naming it\n",
     .completion = V::File,
     .param = ParamId::Terrain},
    {.name = "--profile",
     .valueName = "FILE",
     .group = G::Propagation,
     .help = "with --heights: the terrain profile from a CSV file, one\n"
     "point a line from the Tx end: distance in km, ground height\n"
     "above sea level in m (a third column, a zone, is read and\n"
     "kept); Range becomes its length. A profile, from a file or\n"
     "from tiles, gives the clearance at every point for --k and\n"
     "--k-min, the least antenna heights of ITU-R P.530-17 section\n"
     "2.2.2.1, the diffraction loss of ITU-R P.526-15 section 4.5\n"
     "(added to Weather), and with the sites and --dn1 (or ITU-R\n"
     "P.453-14's map) the hop's outage from multipath (P.530-17\n"
     "2.3) and rain (2.4); JSON members \"terrain\",\n"
     "\"diffraction\" and \"outage\"\n",
     .completion = V::File,
     .param = ParamId::Profile,
     .rules = setsByGiving(ParamId::Range, false)},
    {.name = "--k-min",
     .valueName = "K",
     .group = G::Propagation,
     .help = "with a profile: the effective earth radius factor exceeded\n"
     "for 99.9 % of the worst month, read for the path length from\n"
     "ITU-R P.530-17 Fig. 3 (default 2/3), for the antenna heights\n",
     .param = ParamId::MinimumEarthFactor},
    {.name = "--obstruction",
     .valueName = "extended|isolated|tropical",
     .group = G::Propagation,
     .help = "with a profile: the clearance asked at the minimum k: 0.3 F1\n"
     "over an extended obstruction (default), 0 F1 over an\n"
     "isolated one, 0.6 F1 on a tropical path\n",
     .completion = V::Choice,
     .param = ParamId::Obstruction},
    {.name = "--dn1",
     .valueName = "N",
     .group = G::Propagation,
     .help = "with the sites: the refractivity gradient of the lowest\n"
     "65 m not exceeded for 1 % of the year, N-units/km, for the\n"
     "multipath outage; else ITU-R P.453-14's map at mid-path\n",
     .param = ParamId::RefractivityGradient},
    {.name = "--profile-out",
     .valueName = "FILE",
     .group = G::Propagation,
     .help = "write the profile with its clearance to FILE (.csv): per\n"
     "point the distance, ground, earth bulge, ray, F1 and the\n"
     "clearance in m and in F1, at --k and at --k-min\n",
     .completion = V::File,
     .apply = setProfileOut,
     .rules = {notWithSweep(""),
               {.kind = R::DesignNeeds, .met = hasProfile,
                .what = "a profile (--profile, or --tx-site and --rx-site with tiles)"}},
     .output = &kProfileOutput},
    {.name = "--polarization-angle",
     .valueName = "DEG",
     .group = G::Propagation,
     .help = "with a satellite: the angle of its linear polarization from\n"
     "its horizontal (normal to its local north; 0 along the\n"
     "equatorial plane of a geostationary one) toward its\n"
     "vertical; the rain's polarization tilt at the station\n"
     "follows from it, in place of --polarization\n",
     .param = ParamId::PolarizationAngle},

    {.name = "--solve",
     .valueName = "KEY",
     .group = G::Design,
     .help = "print the value of KEY at which the fade margin is --margin\n"
     "(the largest Range, Freq, BitRate, loss or noise figure, the\n"
     "least TxPower or gain), then the budget at that value;\n"
     "with --json the value at full precision. Not MinEbNoDesired\n"
     "(the margin is measured against it); not with --sweep\n",
     .completion = V::Key,
     .apply = into<&O::solve, ParseSolveOption>,
     .rules = {{.kind = R::NotWith, .option = "--sweep"}}},
    {.name = "--margin",
     .valueName = "DB",
     .group = G::Design,
     .help = "the fade margin --solve aims at, or that the MODCOD of\n"
     "--waveform dvbs2:auto must leave (default 0)\n",
     .param = ParamId::Margin},
    {.name = "--metric",
     .group = G::Design,
     .help = "print Range also in km and TxPower also in dBm, in\n"
     "parentheses after the window's units (--json: a \"metric\"\n"
     "member)\n",
     .apply = setMetric},
    {.name = "--modulation",
     .valueName = "M",
     .group = G::Design,
     .heading = "--modulation M --ber P [--coding-gain DB]",
     .help = "set MinEbNoDesired to the Eb/No at which the uncoded bit error\n"
     "rate of M in white Gaussian noise is P (0 < P < 0.5), less the\n"
     "coding gain; print M, P, the required Eb/No and the bit error\n"
     "rate at the received Eb/No. M is one of\n",
     .moreHelp = modulationList,
     .completion = V::Choice,
     .param = ParamId::Modulation,
     .rules = sets(ParamId::MinEbNoDesired, "give one or the other", "it cannot be swept beside it")},
    {.name = "--ber",
     .valueName = "P",
     .group = G::Design,
     .heading = "",
     .param = ParamId::TargetBer},
    {.name = "--coding-gain",
     .valueName = "DB",
     .group = G::Design,
     .heading = "",
     .param = ParamId::CodingGain},
    {.name = "--report",
     .valueName = "FILE",
     .group = G::Design,
     .help = "write a one-page budget sheet: factors, the budget term by\n"
     "term, the verdict, the largest range and the fade margin\n"
     "against range; FILE ends in .pdf or .html (self-contained)\n",
     .completion = V::File,
     .apply = into<&O::report, ParseReportOption>,
     .rules = {notWithSweep(" (the report draws its own range sweep)")},
     .output = &kReportOutput},

    {.name = "--stage",
     .valueName = "NAME,NF,GAIN",
     .group = G::Receiver,
     .help = "one stage of the receiver, given once per stage in signal\n"
     "order from the antenna: NF in dB or a noise temperature with\n"
     "K (LNA,35K,30), GAIN in dB, negative for a loss. The Friis\n"
     "cascade of the stages replaces LnaNoiseFigure, LnaGain and\n"
     "RxNoiseFigure\n",
     .param = ParamId::ReceiverStages,
     .rules = join({sets(ParamId::LnaNoiseFigure, kStagesReplace, kStagesReplace), sets(ParamId::LnaGain, kStagesReplace, kStagesReplace), sets(ParamId::RxNoiseFigure, kStagesReplace, kStagesReplace)}),
     .repeatable = true},
    {.name = "--antenna-temperature",
     .valueName = "T|sky",
     .group = G::Receiver,
     .help = "the antenna's noise temperature in K (or with degC), or sky:\n"
     "ITU-R P.618-13 section 3 behind the path's atmospheric\n"
     "attenuation (an Earth-space path, --gas or --rain-rate), with\n"
     "T_mr from --temperature, else 275 K. No becomes k Tsys,\n"
     "Tsys = T + (L - 1) 290 K + L Trx at the antenna (L the Rx\n"
     "feed loss), in place of the window's 290 K reference\n",
     .param = ParamId::AntennaTemperature,
     .parts = {ParamId::SkyNoise, ParamId::Count, ParamId::Count},
     .apply = readAntennaTemperature},
    {.name = "--bandwidth",
     .valueName = "B",
     .group = G::Receiver,
     .help = "the noise bandwidth in Hz (or with kHz, MHz): adds the noise\n"
     "power k Tsys B in dBW and dBm, and C/N\n",
     .param = ParamId::Bandwidth},
    {.name = "--pointing-error",
     .valueName = "TX_DEG[,RX_DEG]",
     .group = G::Receiver,
     .help = "the antennas' pointing errors in degrees (RX_DEG 0 when left\n"
     "out): 12 (theta / theta_3dB)^2 dB off each gain, theta_3dB\n"
     "the dish's beamwidth, or that of a dish of the gain at 55 %\n",
     .parts = {ParamId::TxPointingError, ParamId::RxPointingError, ParamId::Count},
     .requiredParts = 1},
    {.name = "--axial-ratio",
     .valueName = "TX_DB,RX_DB[,TILT_DEG]",
     .group = G::Receiver,
     .help = "Polarization from the antennas' axial ratios r1, r2 (0 dB\n"
     "circular) and the angle TILT between their major axes\n"
     "(default 0): p = 1/2 + (4 r1 r2 + (r1^2 - 1)(r2^2 - 1)\n"
     "cos 2 TILT) / (2 (r1^2 + 1)(r2^2 + 1)), both of the same hand\n"
     "(W. L. Stutzman, on the Poincare sphere)\n",
     .parts = {ParamId::TxAxialRatio, ParamId::RxAxialRatio, ParamId::AxialRatioTilt},
     .requiredParts = 2,
     .rules = setsByGiving(ParamId::Polarization, true)},
    {.name = "--explain",
     .group = G::Receiver,
     .help = "print every term from the transmit power to the fade margin\n"
     "with its sign, value and source, then the noise budget: each\n"
     "stage's and the antenna's share of Tsys in K and percent\n"
     "(--json: an \"explain\" member); with the figures of merit\n",
     .apply = setExplain,
     .rules = {notWithSweep(" (a sweep is written as CSV)")}},
    {.name = "--availability-curve",
     .group = G::Receiver,
     .help = "on an Earth-space path, for p of 0.001 to 5 % of the year:\n"
     "the atmosphere's loss exceeded for p % of the time and the\n"
     "fade margin; with --waveform dvbs2:auto the MODCOD, its\n"
     "throughput and the mean throughput over the year (adaptive\n"
     "coding and modulation). --json: \"availabilityCurve\"\n",
     .apply = setAvailabilityCurve,
     .rules = {notWithSweep(" (a sweep is written as CSV)"), kNeedsEarthSpace}},
    {.name = "--waveform",
     .valueName = "NAME",
     .group = G::Receiver,
     .help = "set MinEbNoDesired to a waveform's threshold: dvbs2:MODCOD\n"
     "(qpsk-1/4 ... 32apsk-9/10 of ETSI EN 302 307-1 Table 13,\n"
     "normal frames, no pilots), dvbs2:auto (the most efficient\n"
     "MODCOD that leaves --margin), or lora:sfN[:BW] (SF7 to SF12,\n"
     "BW 125, 250 or 500 kHz; it sets BitRate): prints the\n"
     "threshold, and for LoRa the SNR floor, the sensitivity, the\n"
     "time on air and the margin over the sensitivity\n",
     .param = ParamId::Waveform,
     .apply = readWaveform,
     .rules = join({sets(ParamId::MinEbNoDesired, "give one or the other", "it cannot be swept beside it"), sets(ParamId::BitRate, kLoraOwnRate, kLoraOwnRate, loraWaveform), {{.kind = R::NotWith, .option = "--solve", .text = " (dvbs2:auto keeps the margin itself)", .when = autoWaveform}}})},
    {.name = "--coding-rate",
     .valueName = "CR",
     .group = G::Receiver,
     .heading = "--coding-rate CR, --payload BYTES",
     .help = "with --waveform lora: the coding rate 4/5 (default), 4/6,\n"
     "4/7 or 4/8, and the packet's payload, 0 to 255 bytes\n"
     "(default 20)\n",
     .completion = V::Choice,
     .param = ParamId::CodingRate},
    {.name = "--payload",
     .valueName = "BYTES",
     .group = G::Receiver,
     .heading = "",
     .param = ParamId::Payload},
    {.name = "--symbol-rate",
     .valueName = "RS",
     .group = G::Receiver,
     .help = "with --waveform dvbs2: the symbol rate in Bd (or with kBd,\n"
     "MBd); BitRate becomes it times the MODCOD's efficiency, and\n"
     "the throughput is printed\n",
     .param = ParamId::SymbolRate,
     .rules = sets(ParamId::BitRate, kSymbolRateGives, kSymbolRateGives)},
    {.name = "Key=value",
     .group = G::Design,
     .heading = "Key=NUMBERUNIT",
     .help = "a value may carry a unit, e.g. Range=25km (letters exactly\n"
     "as shown):\n",
     .moreHelp = unitLines,
     .completion = V::KeyAssignment,
     .apply = input<ParseAssignment>},
};
// clang-format on

constexpr std::size_t kRowCount = std::size(kOptionTable);

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

// A rule's text with the option's name for %o and the factor's key for %k.
std::string ruleText(const OptionRow& row, const OptionRule& rule) {
    std::string text;
    for (const char* c = rule.text; *c != '\0'; ++c) {
        if (c[0] == '%' && c[1] == 'o') {
            text += row.name;
            ++c;
        } else if (c[0] == '%' && c[1] == 'k') {
            text += ParamKey(ParamRowOf(rule.param));
            ++c;
        } else {
            text += *c;
        }
    }
    return text;
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
        if (!Given(options, rule.option)) {
            error = std::string(row.name) + " needs " + rule.option + ruleText(row, rule);
            return false;
        }
        return true;
    case R::NotWith:
        if (Given(options, rule.option)) {
            error = std::string(row.name) + " cannot be combined with " + rule.option +
                    ruleText(row, rule);
            return false;
        }
        return true;
    case R::SetsValue:
    case R::SetsSweep: {
        const bool set =
            rule.kind == R::SetsValue
                ? options.inputs.givesValue(rule.param)
                : options.sweep.plan && ParamOfFactor(options.sweep.plan->factor) == rule.param;
        if (set) {
            error = std::string(row.name) + " sets " + ParamKey(ParamRowOf(rule.param)) + ": " +
                    ruleText(row, rule);
            return false;
        }
        return true;
    }
    }
    return true;
}

// The rules of the options given, once all are read: the general ones
// first, as each group's options build on them. False at the first rule
// `passes` refuses.
template <typename Check> bool everyRule(const CalcOptions& options, const Check& passes) {
    for (const OptionGroup group : {G::General, G::Design, G::Propagation, G::Receiver}) {
        for (const OptionRow& row : kOptionTable) {
            if (row.group != group || options.given[indexOf(row)] == 0) {
                continue;
            }
            for (const OptionRule& rule : row.rules) {
                if (!passes(row, rule)) {
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
        error = std::string(row.name) + " needs " + rule.what + rule.text;
        return false;
    });
}

const char* nameOfApply(bool (*apply)(const OptionRow&, std::string_view, O&, std::string&)) {
    const auto row = std::find_if(std::begin(kOptionTable), std::end(kOptionTable),
                                  [apply](const OptionRow& r) { return r.apply == apply; });
    return row->name;
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

std::string OptionNameOf(ParamId id) {
    for (const OptionRow& row : kOptionTable) {
        if (!isAssignmentRow(row) &&
            (row.param == id ||
             std::find(row.parts.begin(), row.parts.end(), id) != row.parts.end())) {
            return row.name;
        }
    }
    return ParamKey(ParamRowOf(id));
}

const char* SolveOptionName() {
    return nameOfApply(into<&O::solve, ParseSolveOption>);
}

const char* SweepOptionName() {
    return nameOfApply(into<&O::sweep, ParseSweepOption>);
}

bool CheckDesignRules(const CalcOptions& options, const Design& design, const DesignPoint& point,
                      std::string& error) {
    if (const std::optional<DesignFault> fault = CheckDesign(design, point, OptionNameOf)) {
        error = fault->message;
        return false;
    }
    return checkDesignNeeds(options, point, error);
}

bool ParseCalcArguments(const std::vector<std::string>& args, CalcOptions& options,
                        std::string& error) {
    options.given.assign(kRowCount, 0);
    // Help and the version win over everything else, even over a mistake
    // beside them, as each program's do.
    using Apply = bool (*)(const OptionRow&, std::string_view, O&, std::string&);
    for (const auto& [setter, flagSet] : {std::pair<Apply, bool O::*>{setHelp, &O::help},
                                          std::pair<Apply, bool O::*>{setVersion, &O::version}}) {
        const OptionRow& row = *std::find_if(std::begin(kOptionTable), std::end(kOptionTable),
                                             [&](const OptionRow& r) { return r.apply == setter; });
        if (std::any_of(args.begin(), args.end(), [&row](const std::string& a) {
                return a == row.name || (row.alias != nullptr && a == row.alias);
            })) {
            options.*flagSet = true;
            return true;
        }
    }
    const OptionRow& assignment = kOptionTable[kRowCount - 1];
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg.size() <= 1 || arg[0] != '-') {
            ++options.given[indexOf(assignment)];
            if (!assignment.apply(assignment, arg, options, error)) {
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
        const auto apply = row->apply != nullptr ? row->apply : readParameter;
        if (!apply(*row, value.value_or(""), options, error)) {
            error = std::string(row->name) + ": " + error;
            return false;
        }
    }
    return checkRules(options, error);
}
