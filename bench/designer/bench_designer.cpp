// One edit of the design window: a value typed into the Range field (the
// field's edit signals, as a keystroke and Enter raise them), the design
// evaluated, the sheet, the results, the chart's sweep and the waterfall
// shown again, and the repaint it causes, offscreen unless QT_QPA_PLATFORM names another
// platform. The goal is 4 ms an edit with its repaint. Also the model's part
// alone, and the bare window's census beside the design window's.
#include "bare_design_window.h"
#include "design_window.h"
#include "input_sheet.h"
#include "margin_sweep.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr QSize kFullSize{1180, 780}; // px
DesignWindow* g_window = nullptr;
bool g_fault = false;

void fault(benchmark::State& state, const char* what) {
    std::fprintf(stderr, "benchmark fault: %s\n", what);
    g_fault = true;
    state.SkipWithError(what);
}

// Types the two values in turn, so that every edit changes the results.
class RangeTyping {
  public:
    RangeTyping() : m_field(static_cast<QLineEdit*>(g_window->inputs()->field(ParamId::Range))) {}
    void edit() {
        static bool even = true; // across the runs a benchmark makes
        const QString text = even ? QStringLiteral("11") : QStringLiteral("12.5");
        even = !even;
        m_field->setText(text);
        emit m_field->textEdited(text);
        emit m_field->editingFinished(); // as Enter ends the entry
    }

  private:
    QLineEdit* m_field;
};

QString shownMargin() {
    return g_window->findChild<QLabel*>(QStringLiteral("ResultFadeMargin"))->text();
}

void BM_DesignEdit_Repaint(benchmark::State& state) {
    RangeTyping typing;
    const QString before = shownMargin();
    typing.edit();
    QApplication::processEvents();
    if (shownMargin() == before)
        return fault(state, "an edit did not change the fade margin");
    for (auto _ : state) {
        typing.edit();
        QApplication::processEvents(); // the repaint the edit caused
    }
}

void BM_DesignEdit_FullRepaint(benchmark::State& state) {
    RangeTyping typing;
    for (auto _ : state) {
        typing.edit();
        g_window->repaint();
    }
}

// The model's part of an edit: the evaluation and the chart's sweep.
void BM_DesignEvaluateAndSweep(benchmark::State& state) {
    Design design;
    design.setFactor(0, 12.5);
    for (auto _ : state) {
        const Evaluation evaluation = Evaluate(design);
        benchmark::DoNotOptimize(SweepMargin(design, evaluation, ParamId::Range));
    }
}

// The design window's widgets and the bare window's, for the start-up
// comparison (bench_design_startup): the totals must agree.
void BM_BareDesignWindow_Build(benchmark::State& state) {
    const WidgetCensus design = TakeCensus(g_window);
    int total = 0;
    for (auto _ : state) {
        const std::unique_ptr<QMainWindow> bare(MakeBareDesignWindow(design));
        total = TakeCensus(bare.get()).total;
    }
    if (total != design.total)
        return fault(state, "the bare window's widget count differs from the design window's");
    state.counters["widgets"] = design.total;
}

BENCHMARK(BM_DesignEdit_Repaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DesignEdit_FullRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DesignEvaluateAndSweep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareDesignWindow_Build)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    {
        DesignWindow window;
        window.resize(kFullSize); // whatever the screen: the size the window opens at on a desktop
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return 1;
        g_window = &window;
        benchmark::RunSpecifiedBenchmarks();
        g_window = nullptr;
    }
    benchmark::Shutdown();
    return g_fault ? 1 : 0;
}
