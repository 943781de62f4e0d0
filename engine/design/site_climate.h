#pragma once
// The climate at a design's site from ITU-R's digital maps (climate_maps.h):
// every climate input of an Earth-space path that is not typed, looked up at
// the station's latitude and longitude and the design's percentage of the
// time p = 100 - Availability. A typed value always wins. No Qt.
//
//   parameter        map                                   at
//   StationHeight    ITU-R P.1511-1 topographic height      -
//   Temperature      ITU-R P.1510-1 annual mean             -
//   RainRate         ITU-R P.837-7 R0.01                    0.01 % (R_p shown too)
//   IsothermHeight   ITU-R P.839-4 h0 (h_R = h0 + 0.36 km)  -
//   CloudLiquid      ITU-R P.840-8 reduced L, or P.840-9 L  p, or 1 % where p < 1 %
//                    (the CloudMaps parameter; P.840-8 by default)
//   VapourDensity    ITU-R P.836-6 rho                      p, or 1 % where p < 1 %
//   VapourContent    ITU-R P.836-6 V                        p, or 1 % where p < 1 %
//   WetRefractivity  ITU-R P.453-14 N_wet                   the median
// ITU-R P.618-13 section 2.5 takes the gases and the clouds at 1 % where p is
// less: those are looked up there, and at p as well where the maps reach it.
//
// The maps' folder: the one the program names (--itu-maps), else
// $QUILLSTONE_ITU_MAPS, else $XDG_DATA_HOME/quillstone/itu-maps (by default
// ~/.local/share/quillstone/itu-maps), else /usr/share/quillstone/itu-maps,
// the first that is a folder. A named folder is used as named (a lookup
// there names each missing map); without any folder the climate is as typed.
// The maps are read on the first lookup, never before.
#include "budget_sheet.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class MapFolder;

// The program's folder of maps (empty: look for one as above).
void SetItuMapsFolder(std::filesystem::path base);
// The folder in use, or empty when there is none.
std::filesystem::path ItuMapsBase();
// The maps of that folder (none without a folder), opened once.
MapFolder* ItuMaps();

struct ClimateEntry {
    ParamId id;          // the parameter it fills in; ParamId::Count: shown only
    const char* key;     // the line's key, e.g. "ClimateRainRate"
    const char* caption; // "Rain Rate R0.01"
    const char* unit;    // of the value
    const char* field;   // the JSON field, e.g. "rainRate001MmH"
    int decimals;
    double value = 0.0;          // what the model uses, in the parameter's base unit
    std::optional<double> atP{}; // the value at p, where the model takes it at 1 %
    std::string source{};        // "ITU-R P.837-7 Annex 1 at 45.07°N 7.69°E"
};

struct SiteClimate {
    std::vector<ClimateEntry> entries;
    std::optional<DesignFault> fault; // a lookup refused: the map it needs, one line
    bool noMaps = false;              // no folder of maps anywhere
};

// True when the design has a station on an Earth-space path.
bool HasSiteClimate(const DesignPoint& point);

// The climate inputs the design does not type, from the maps.
SiteClimate LookUpClimate(const DesignPoint& point);

// What to do when the site's climate lacks its maps, one line for a status
// bar: where to put them (the folder in use, else the one the program looks
// in first, $XDG_DATA_HOME/quillstone/itu-maps); empty when no map is
// missing.
std::string ItuMapsAdvice(const SiteClimate& climate);

// The folder in use ("folder: DIR"), then each map file the lookups can
// read, one line each in a fixed order (MapFilesStatus): "P837-7/MT_Month01.TXT:
// found", "...: missing (ITU-R P.837-7)" or "...: damaged (why)".
std::vector<std::string> ItuMapsStatus();
