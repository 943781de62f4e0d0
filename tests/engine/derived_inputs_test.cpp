// The inputs a design's budget works out rather than takes as set: which
// they are, the value the budget uses, and the line of the sheet they come
// from; and that a derived factor is really unused: any value set for it
// leaves the budget as it is.
#include "derived_inputs.h"
#include "design_settings.h"

#include "waveform_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using testing_support::WaveformIndex;

using P = ParamId;

struct Case {
    const char* name;
    std::vector<std::pair<ParamId, double>> settings;
    // Each derived input and a part of its source.
    std::vector<std::pair<ParamId, const char*>> derived;
};

std::vector<Case> cases() {
    return {
        {"plain", {}, {}},
        {"rain adds to Weather", {{P::RainRate, 25.0}, {P::Freq, 11000.0}}, {}},
        {"Earth-space",
         {{P::Path, 1.0}, {P::Elevation, 30.0}, {P::SatelliteAltitude, 35786.0}},
         {{P::Range, "Atmosphere: Slant Range"},
          {P::Gas, "Atmosphere, always with Path earth-space"}}},
        {"gases asked for on a terrestrial path", {{P::Gas, 1.0}}, {}},
        {"dish", {{P::TxDishDiameter, 1.2}, {P::Freq, 11000.0}}, {{P::TxAntGain, "Tx Dish Gain"}}},
        {"LoRa",
         {{P::Waveform, WaveformIndex("lora:sf7")}},
         {{P::BitRate, "LoRa bit rate"}, {P::MinEbNoDesired, "Waveform: Required Eb/No"}}},
        {"DVB-S2 at the bit rate set",
         {{P::Waveform, WaveformIndex("dvbs2:qpsk-3/4")}},
         {{P::MinEbNoDesired, "Waveform"}}},
        {"DVB-S2 at a symbol rate",
         {{P::Waveform, WaveformIndex("dvbs2:qpsk-3/4")}, {P::SymbolRate, 2e6}},
         {{P::BitRate, "Waveform"}, {P::MinEbNoDesired, "Waveform"}}},
    };
}

DesignPoint pointOf(const Case& c) {
    Design design;
    for (const auto& [id, value] : c.settings)
        design.set(id, {value, value, {}});
    return design.point();
}

class DerivedInputsTest : public testing::TestWithParam<Case> {};

TEST_P(DerivedInputsTest, WhichValueAndSource) {
    const DesignPoint point = pointOf(GetParam());
    const BudgetModel model(point);
    std::string error;
    ASSERT_TRUE(model.check(point, error)) << error;
    const BudgetSheet sheet = model.evaluate(point);
    const std::vector<DerivedInput> derived = DerivedInputs(point, sheet);
    ASSERT_EQ(derived.size(), GetParam().derived.size());
    for (std::size_t i = 0; i < derived.size(); ++i) {
        const auto& [id, source] = GetParam().derived[i];
        EXPECT_EQ(derived[i].id, id) << i;
        EXPECT_NE(derived[i].source.find(source), std::string::npos) << derived[i].source;
        if (const FactorRow* factor = FactorOfParam(ParamRowOf(id))) {
            EXPECT_DOUBLE_EQ(derived[i].value, sheet.effective.*factor->field);
        }
    }
}

// Derived means unused: whatever is set for it, the fade margin stays; and
// set to the value derived, a choice changes nothing either.
TEST_P(DerivedInputsTest, SettingADerivedInputChangesNothing) {
    const DesignPoint point = pointOf(GetParam());
    const BudgetSheet sheet = BudgetModel(point).evaluate(point);
    for (const DerivedInput& input : DerivedInputs(point, sheet)) {
        const bool choice = ParamRowOf(input.id).choices != nullptr;
        for (const double value :
             choice ? std::vector<double>{input.value} : std::vector<double>{0.5, 3.0, 40.0}) {
            DesignPoint set = point;
            set.values[IndexOf(input.id)] = value;
            set.set.set(IndexOf(input.id));
            const BudgetSheet other = BudgetModel(set).evaluate(set);
            EXPECT_DOUBLE_EQ(other.results.FadeMargin, sheet.results.FadeMargin)
                << ParamKey(ParamRowOf(input.id)) << " = " << value;
        }
    }
}

// A factor the budget uses is never derived, even where a feature adds to it.
TEST(DerivedInputs, AFactorUsedIsNotDerived) {
    Design design;
    design.set(P::RainRate, {25.0, 25.0, {}});
    const DesignPoint point = design.point();
    const BudgetSheet sheet = BudgetModel(point).evaluate(point);
    ASSERT_NE(sheet.effective.Weather, sheet.given.Weather); // the rain's loss is in it
    EXPECT_TRUE(DerivedInputs(point, sheet).empty());
}

INSTANTIATE_TEST_SUITE_P(Designs, DerivedInputsTest, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<Case>& info) {
                             std::string name;
                             for (const char ch : std::string(info.param.name))
                                 name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name;
                         });

} // namespace
