// The profile view's part of an edit: a 50 km hop over a profile of 1"
// samples (about 31 m apart, 1620 points), its clearance worked out again
// for a new antenna height, the drawing built and the view repainted at the
// size it has in the design window. The goal is 4 ms an edit with its
// repaint. Also the drawing's model alone.
#include "profile_drawing.h"
#include "profile_view.h"

#include <QApplication>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double kPathKm = 50.0;
constexpr double kSampleKm = 6371.0 * M_PI / 180.0 / 3600.0; // one arc-second of latitude
constexpr QSize kViewSize{740, 300};                         // px, in the 1180 x 780 window

struct Hop {
    std::vector<double> km;
    std::vector<double> ground;

    Hop() {
        for (double d = 0.0; d < kPathKm; d += kSampleKm) {
            km.push_back(d);
            ground.push_back(300.0 + 40.0 * std::sin(d / 3.0) + 25.0 * std::sin(d * 1.7) +
                             150.0 * std::exp(-(d - 31.0) * (d - 31.0) / 4.0));
        }
        km.push_back(kPathKm);
        ground.push_back(ground.back());
    }

    // The sheet of the design with the transmitting antenna `txM` up.
    BudgetSheet sheet(double txM) const {
        std::string error;
        BudgetSheet s;
        SheetTerrain terrain{};
        terrain.heights = *CheckAntennaHeights({km, ground, txM, 60.0, 7.5}, {}, error);
        s.terrain = std::move(terrain);
        return s;
    }
};

const Hop& hop() {
    static const Hop h;
    return h;
}

void BM_ProfileDrawing_Build(benchmark::State& state) {
    const BudgetSheet sheet = hop().sheet(50.0);
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildProfileDrawing(*sheet.terrain));
    state.counters["points"] = double(hop().km.size());
}

// An edit of the Tx antenna's height: the clearance, the drawing, the repaint.
void BM_ProfileEdit_Repaint(benchmark::State& state) {
    const auto view = std::make_unique<ProfileView>();
    view->resize(kViewSize);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get())) {
        state.SkipWithError("the view was not shown");
        return;
    }
    double tx = 50.0;
    for (auto _ : state) {
        tx = tx == 50.0 ? 55.0 : 50.0;
        view->showSheet(hop().sheet(tx));
        view->repaint();
    }
    state.counters["points"] = double(hop().km.size());
}

BENCHMARK(BM_ProfileDrawing_Build)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProfileEdit_Repaint)->Unit(benchmark::kMillisecond);

} // namespace
