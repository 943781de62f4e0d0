// Dish antennas (see dish_antenna.h): the gain of a dish of a given size in
// place of the antenna gain factor at its end.
#include "budget_features.h"

namespace {

constexpr double kPercent = 100.0;

struct End {
    const char* side;
    ParamId diameter;
    ParamId efficiency;
    std::optional<DishEnd> BudgetSheet::*result;
    double LinkFactors::*gain;
};

constexpr End kEnds[] = {
    {"Tx", ParamId::TxDishDiameter, ParamId::TxDishEfficiency, &BudgetSheet::txDish,
     &LinkFactors::TxAntGain},
    {"Rx", ParamId::RxDishDiameter, ParamId::RxDishEfficiency, &BudgetSheet::rxDish,
     &LinkFactors::RxAntGain},
};

void adjust(const DesignPoint& point, BudgetSheet& sheet) {
    for (const End& end : kEnds) {
        if (point.has(end.diameter)) {
            const double diameter = point[end.diameter];
            const DishEnd dish{DishGainDbi(diameter, point[end.efficiency], sheet.given.Freq),
                               DishBeamwidthDeg(diameter, sheet.given.Freq)};
            sheet.*end.result = dish;
            sheet.effective.*end.gain = dish.gainDbi;
        }
    }
}

void lines(const DesignPoint& point, const BudgetSheet& sheet, SheetSection& section) {
    for (const End& end : kEnds) {
        if (!point.has(end.diameter)) {
            continue;
        }
        const std::string side = end.side;
        const DishEnd& dish = *(sheet.*end.result);
        section.lines.push_back(
            FixedLine(side + "DishDiameter", side + " Dish Diameter", point[end.diameter], 2, "m"));
        section.lines.push_back(FixedLine(side + "DishEfficiency", side + " Dish Efficiency",
                                          point[end.efficiency] * kPercent, 1, "Percent"));
        section.lines.push_back(
            FixedLine(side + "DishGain", side + " Dish Gain", dish.gainDbi, 2, "dBi"));
        section.lines.push_back(FixedLine(side + "DishBeamwidth", side + " Dish Beamwidth",
                                          dish.beamwidthDeg, 2, "deg"));
    }
}

} // namespace

const FeatureRow kDishFeature{.section = "propagation",
                              .title = "Propagation",
                              .pathDependent = true,
                              .trigger = ParamId::TxDishDiameter,
                              .alternative = ParamId::RxDishDiameter,
                              .adjust = adjust,
                              .lines = lines};
