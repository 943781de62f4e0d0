// The climate at a design's site from ITU-R's maps, on small maps the test
// writes: what is not typed is looked up (a typed value wins), a map that is
// needed and missing is refused naming it, and without any folder of maps
// the climate is as typed.
#include "budget_sheet.h"
#include "design_rules.h"
#include "design_settings.h"
#include "site_climate.h"
#include "test_base.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

using testing_support::FaultOf;
using testing_support::SetValue;

Design siteDesign() {
    return testing_support::TurinSiteDesign();
}

// 5 x 5 grids: latitudes 90..-90 every 45, longitudes 0..360 every 90.
std::string grid(double (*value)(int row)) {
    std::string text;
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 5; ++j) {
            text += std::to_string(value(i)) + (j < 4 ? " " : "\n");
        }
    }
    return text;
}

struct SmallMaps {
    testing_support::TempDir base;
    void put(const std::string& folder, const std::string& name, const std::string& text) const {
        std::filesystem::create_directories(base.file(folder));
        testing_support::WriteAll(base.file(folder + "/" + name), text);
    }
    void map(const std::string& folder, const char* lat, const char* lon, const char* name,
             double (*value)(int)) const {
        put(folder, lat, grid([](int i) { return 90.0 - 45.0 * i; }));
        std::string lons;
        for (int i = 0; i < 5; ++i) {
            lons += "0 90 180 270 360\n";
        }
        put(folder, lon, lons);
        put(folder, name, grid(value));
    }
};

class SiteClimate : public testing::Test {
  protected:
    ~SiteClimate() override { SetItuMapsFolder({}); }
};

// Each row types one more input: the next map needed is the one named.
TEST_F(SiteClimate, MissingMapsAreNamedUntilEverythingIsTyped) {
    SmallMaps empty;
    SetItuMapsFolder(empty.base.path());
    const struct {
        ParamId typed;
        double value;
        const char* named; // the next map's folder; "" when none is needed
    } rows[] = {
        {ParamId::Count, 0.0, "P1511-1"},
        {ParamId::StationHeight, 0.2, "P1510-1"},
        {ParamId::Temperature, 285.0, "P837-7"},
        {ParamId::RainRate, 30.0, "P839-4"},
        {ParamId::RainHeight, 3.5, "P840-8"},
        // P.836-6 scales its values by the heights of P.1511-1's grid.
        {ParamId::CloudLiquid, 0.5, "P1511-1"},
        {ParamId::VapourDensity, 10.0, "P1511-1"},
        {ParamId::VapourContent, 30.0, "P453-14"},
        {ParamId::WetRefractivity, 45.0, ""},
    };
    Design design = siteDesign();
    for (const auto& row : rows) {
        if (row.typed != ParamId::Count) {
            SetValue(design, row.typed, row.value);
        }
        const std::string fault = FaultOf(design);
        if (*row.named == '\0') {
            EXPECT_EQ(fault, "");
            EXPECT_TRUE(LookUpClimate(design.point()).entries.empty());
        } else {
            EXPECT_NE(fault.find(std::string("missing map ") + row.named), std::string::npos)
                << row.named << ": " << fault;
            EXPECT_NE(fault.find(empty.base.path()), std::string::npos) << fault;
        }
    }
}

TEST_F(SiteClimate, LookedUpValuesReachTheAtmosphereAndTypedOnesWin) {
    SmallMaps maps;
    maps.map("P1511-1", "TOPOLAT.TXT", "TOPOLON.TXT", "TOPO_0DOT5.TXT", [](int) { return 0.25; });
    maps.map("P1510-1", "LAT_T.TXT", "LON_T.TXT", "T_Annual.TXT", [](int) { return 290.0; });
    maps.map("P839-4", "Lat.txt", "Lon.txt", "h0.txt", [](int) { return 3.0; });
    SetItuMapsFolder(maps.base.path());
    Design design = siteDesign();
    SetValue(design, ParamId::RainRate, 30.0);
    SetValue(design, ParamId::CloudLiquid, 0.5);
    SetValue(design, ParamId::VapourDensity, 10.0);
    SetValue(design, ParamId::VapourContent, 30.0);
    SetValue(design, ParamId::WetRefractivity, 45.0);
    ASSERT_EQ(FaultOf(design), "");

    const ::SiteClimate climate = LookUpClimate(design.point());
    ASSERT_EQ(climate.entries.size(), 3u);
    EXPECT_EQ(climate.entries[0].id, ParamId::StationHeight);
    EXPECT_NEAR(climate.entries[0].value, 0.25, 1e-12);
    EXPECT_EQ(climate.entries[0].source, "ITU-R P.1511-1 at 45.07\u00B0N 7.69\u00B0E");
    EXPECT_EQ(climate.entries[1].id, ParamId::Temperature);
    EXPECT_EQ(climate.entries[2].id, ParamId::IsothermHeight);

    const DesignPoint point = design.point();
    const BudgetModel model(point);
    const BudgetSheet sheet = model.evaluate(point);
    ASSERT_TRUE(sheet.atmosphere && sheet.site);
    EXPECT_NEAR(sheet.atmosphere->parts.temperatureK.value, 290.0, 1e-9);
    EXPECT_NEAR(sheet.atmosphere->parts.rainHeightKm->value, 3.36, 1e-9);
    EXPECT_NEAR(sheet.site->station.heightKm, 0.25, 1e-12);

    // The section lists each value with its source.
    const std::vector<SheetSection> sections = model.sections(point, sheet);
    const auto section = std::find_if(sections.begin(), sections.end(),
                                      [](const SheetSection& s) { return s.name == "climate"; });
    ASSERT_NE(section, sections.end());
    const auto text = [&](std::string_view name) -> std::string {
        for (const SheetField& f : section->fields) {
            if (f.name == name && f.text) {
                return *f.text;
            }
        }
        return "";
    };
    EXPECT_EQ(text("temperatureKSource"), "ITU-R P.1510-1 at 45.07\u00B0N 7.69\u00B0E");
    EXPECT_EQ(text("isothermHeightKmSource"), "ITU-R P.839-4 at 45.07\u00B0N 7.69\u00B0E");

    SetValue(design, ParamId::Temperature, 280.0);
    const DesignPoint typed = design.point();
    EXPECT_NEAR(BudgetModel(typed).evaluate(typed).atmosphere->parts.temperatureK.value, 280.0,
                1e-9);
    EXPECT_EQ(LookUpClimate(typed).entries.size(), 2u);
}

// The cloud liquid water from the maps the design chooses (P.840-8 by
// default, whatever else is present); a chosen family that is missing is
// one message naming its map.
TEST_F(SiteClimate, CloudMapsAsChosen) {
    SmallMaps maps;
    maps.map("P840-8", "ESALAT1dot125.txt", "ESALON1dot125.txt", "Lred_1_v4.txt",
             [](int) { return 0.8; });
    Design design = siteDesign();
    for (const auto& [id, value] : {std::pair{ParamId::StationHeight, 0.2},
                                    {ParamId::Temperature, 285.0},
                                    {ParamId::RainRate, 30.0},
                                    {ParamId::RainHeight, 3.5},
                                    {ParamId::VapourDensity, 10.0},
                                    {ParamId::VapourContent, 30.0},
                                    {ParamId::WetRefractivity, 45.0}}) {
        SetValue(design, id, value);
    }
    SetItuMapsFolder(maps.base.path());
    const struct {
        const char* what;
        std::optional<CloudMapsChoice> choice;
        double liquid;    // kg/m2; NaN where refused
        const char* text; // the source's start, or the fault's
    } cases[] = {
        {"by default", std::nullopt, 0.8, "ITU-R P.840-8 at 45.07"},
        {"P.840-8", CloudMapsChoice::P840_8, 0.8, "ITU-R P.840-8 at 45.07"},
        {"P.840-9 missing", CloudMapsChoice::P840_9, std::nan(""),
         "missing map P840-9/L_1.TXT (plain or .gz) in "},
    };
    for (const auto& c : cases) {
        if (c.choice) {
            SetValue(design, ParamId::CloudMaps, static_cast<double>(*c.choice));
        }
        const ::SiteClimate climate = LookUpClimate(design.point());
        if (std::isnan(c.liquid)) {
            ASSERT_TRUE(climate.fault) << c.what;
            EXPECT_EQ(climate.fault->message.rfind(c.text, 0), 0u) << climate.fault->message;
            EXPECT_NE(climate.fault->message.find("ITU-R P.840-9"), std::string::npos);
            EXPECT_EQ(FaultOf(design), climate.fault->message);
            continue;
        }
        ASSERT_FALSE(climate.fault) << c.what << ": " << climate.fault->message;
        ASSERT_EQ(climate.entries.size(), 1u) << c.what;
        EXPECT_EQ(climate.entries[0].id, ParamId::CloudLiquid);
        EXPECT_NEAR(climate.entries[0].value, c.liquid, 1e-12) << c.what;
        EXPECT_EQ(climate.entries[0].source.rfind(c.text, 0), 0u) << climate.entries[0].source;
    }
    maps.map("P840-9", "lat.txt", "lon.txt", "L_1.TXT", [](int) { return 0.3; });
    SetItuMapsFolder({});
    SetItuMapsFolder(maps.base.path());
    const ::SiteClimate nine = LookUpClimate(design.point());
    ASSERT_EQ(nine.entries.size(), 1u) << (nine.fault ? nine.fault->message : "");
    EXPECT_NEAR(nine.entries[0].value, 0.3, 1e-12);
    EXPECT_EQ(nine.entries[0].source.rfind("ITU-R P.840-9 at 45.07", 0), 0u);
    SetValue(design, ParamId::CloudMaps, static_cast<double>(CloudMapsChoice::P840_8));
    EXPECT_NEAR(LookUpClimate(design.point()).entries[0].value, 0.8, 1e-12)
        << "P.840-8 chosen though P.840-9 is present";
}

// What to do about a missing map, one line naming where to put it; nothing
// where nothing is missing or the fault is not a missing map.
TEST_F(SiteClimate, AdviceNamesTheFolderToPutTheMapsIn) {
    SmallMaps maps;
    maps.map("P1511-1", "TOPOLAT.TXT", "TOPOLON.TXT", "TOPO_0DOT5.TXT", [](int) { return 0.25; });
    maps.put("P1510-1", "T_Annual.TXT", "1 2 3\n"); // its latitude file missing
    SetItuMapsFolder(maps.base.path());
    Design design = siteDesign();
    ::SiteClimate missing = LookUpClimate(design.point());
    ASSERT_TRUE(missing.fault);
    EXPECT_EQ(ItuMapsAdvice(missing), "Missing ITU-R map P1510-1/LAT_T.TXT (plain or .gz) in " +
                                          maps.base.path() +
                                          ": ITU distributes it with Recommendation ITU-R "
                                          "P.1510-1: put ITU's file there, plain or .gz");
    maps.map("P1510-1", "LAT_T.TXT", "LON_T.TXT", "T_Annual.TXT", [](int) { return 290.0; });
    maps.put("P1510-1", "T_Annual.TXT", "1 2 3\n");
    SetItuMapsFolder({});
    SetItuMapsFolder(maps.base.path());
    const ::SiteClimate damaged = LookUpClimate(design.point());
    ASSERT_TRUE(damaged.fault);
    EXPECT_EQ(ItuMapsAdvice(damaged), "")
        << "a damaged map is no missing one: " << damaged.fault->message;
    ::SiteClimate none;
    none.noMaps = true;
    const char* savedData = std::getenv("XDG_DATA_HOME");
    const std::string dataBefore = savedData ? savedData : "";
    ::setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(ItuMapsAdvice(none).find("put ITU's map files in /data/quillstone/itu-maps, one "
                                       "folder per Recommendation (P837-7"),
              std::string("No ITU-R maps for the site's climate: ").size());
    if (savedData != nullptr) {
        ::setenv("XDG_DATA_HOME", dataBefore.c_str(), 1);
    } else {
        ::unsetenv("XDG_DATA_HOME");
    }
    EXPECT_EQ(ItuMapsAdvice(::SiteClimate{}), "");
}

TEST_F(SiteClimate, WithoutAnyFolderTheClimateIsAsTyped) {
    testing_support::TempDir home;
    const char* savedMaps = std::getenv("QUILLSTONE_ITU_MAPS");
    const char* savedData = std::getenv("XDG_DATA_HOME");
    const std::string mapsBefore = savedMaps ? savedMaps : "";
    const std::string dataBefore = savedData ? savedData : "";
    ::unsetenv("QUILLSTONE_ITU_MAPS");
    ::setenv("XDG_DATA_HOME", home.path().c_str(), 1);
    SetItuMapsFolder({});
    if (std::filesystem::is_directory("/usr/share/quillstone/itu-maps")) {
        GTEST_SKIP() << "maps installed in /usr/share/quillstone/itu-maps";
    }
    const Design design = siteDesign();
    EXPECT_EQ(FaultOf(design), "");
    EXPECT_TRUE(LookUpClimate(design.point()).noMaps);
    // Once the folder is there, it is found.
    std::filesystem::create_directories(home.file("quillstone/itu-maps"));
    SetItuMapsFolder(home.file("x"));
    SetItuMapsFolder({});
    EXPECT_EQ(ItuMapsBase(), std::filesystem::path(home.file("quillstone/itu-maps")));
    EXPECT_NE(FaultOf(design).find("missing map P1511-1"), std::string::npos);
    if (savedMaps != nullptr) {
        ::setenv("QUILLSTONE_ITU_MAPS", mapsBefore.c_str(), 1);
    }
    if (savedData != nullptr) {
        ::setenv("XDG_DATA_HOME", dataBefore.c_str(), 1);
    } else {
        ::unsetenv("XDG_DATA_HOME");
    }
}

// One line per map file, in a fixed order: found, missing (with its
// recommendation), or damaged.
TEST_F(SiteClimate, StatusOfEachMap) {
    SmallMaps maps;
    maps.map("P839-4", "Lat.txt", "Lon.txt", "h0.txt", [](int) { return 3.0; });
    maps.map("P1510-1", "LAT_T.TXT", "LON_T.TXT", "T_Annual.TXT", [](int) { return 290.0; });
    maps.put("P1510-1", "T_Annual.TXT", "1 2 3\n");
    SetItuMapsFolder(maps.base.path());
    const std::vector<std::string> lines = ItuMapsStatus();
    ASSERT_GT(lines.size(), 150u);
    EXPECT_EQ(lines[0], "folder: " + maps.base.path());
    const auto line = [&](std::string_view start) -> std::string {
        for (const std::string& l : lines) {
            if (l.rfind(start, 0) == 0) {
                return l;
            }
        }
        return "";
    };
    EXPECT_EQ(line("P839-4/h0.txt"), "P839-4/h0.txt: found");
    EXPECT_EQ(line("P839-4/Lat.txt"), "P839-4/Lat.txt: found");
    EXPECT_EQ(line("P1511-1/TOPO_0DOT5.TXT"), "P1511-1/TOPO_0DOT5.TXT: missing (ITU-R P.1511-1)");
    const std::string damaged = line("P1510-1/T_Annual.TXT");
    EXPECT_EQ(damaged.rfind("P1510-1/T_Annual.TXT: damaged (", 0), 0u) << damaged;
    EXPECT_NE(damaged.find("1 rows of 3 values where LAT_T.TXT and LON_T.TXT give 5 x 5"),
              std::string::npos)
        << damaged;
    EXPECT_EQ(ItuMapsStatus(), lines) << "the same order every time";
}

} // namespace
