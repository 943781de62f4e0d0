// A slider move: the Range slider steps between two neighbouring positions,
// which raises its change notification and runs the whole slider path (all
// fourteen sliders read, the link calculated, every slider and label shown
// again). The bare window's figures are the floor the same widgets set.
#include "ui_world.h"

#include <QLabel>
#include <QScrollBar>

#include <benchmark/benchmark.h>

namespace {

constexpr std::size_t kRangeRow = 0;     // the first factor row: Range
constexpr std::size_t kFreeSpaceRow = 0; // the first result row: free-space attenuation

// Two neighbouring positions of the Range slider, and a move between them.
class RangeStepper {
  public:
    explicit RangeStepper(TQuillstoneMainForm& form) : m_slider(form.FactorSlider(kRangeRow)) {
        m_low = m_slider->value();
        m_high = m_low + 1;
        if (m_high > m_slider->maximum()) {
            m_high = m_low;
            m_low = m_high - 1;
        }
    }

    void move() {
        m_slider->setValue(m_up ? m_high : m_low);
        m_up = !m_up;
    }

  private:
    QScrollBar* m_slider;
    int m_low = 0;
    int m_high = 0;
    bool m_up = true;
};

// One move must rewrite the results: otherwise the path measured would be
// one that does nothing (a closing window, a display that stopped).
bool moveChangesResults(benchmark::State& state, RangeStepper& stepper) {
    QLabel* result = World().form().ResultLabel(kFreeSpaceRow);
    const QString before = result->text();
    stepper.move();
    ProcessPendingEvents();
    if (result->text() != before)
        return true;
    ReportBenchmarkFault("a slider move did not change the free-space attenuation");
    state.SkipWithError("a slider move did not change the results");
    return false;
}

void BM_SliderMove_NoRepaint(benchmark::State& state) {
    RangeStepper stepper(World().form());
    if (!moveChangesResults(state, stepper))
        return;
    for (auto _ : state) {
        stepper.move();
        // The repaint is left out of the figure but still done, so that
        // every move starts from a clean window as a real one does.
        state.PauseTiming();
        ProcessPendingEvents();
        state.ResumeTiming();
    }
}

void BM_SliderMove_Repaint(benchmark::State& state) {
    RangeStepper stepper(World().form());
    if (!moveChangesResults(state, stepper))
        return;
    const long paintsBefore = World().formPaints();
    for (auto _ : state) {
        stepper.move();
        ProcessPendingEvents();
    }
    const long paints = World().formPaints() - paintsBefore;
    if (paints == 0) {
        ReportBenchmarkFault("slider moves caused no paint");
        state.SkipWithError("slider moves caused no paint");
        return;
    }
    state.counters["widgets_painted"] =
        benchmark::Counter(static_cast<double>(paints), benchmark::Counter::kAvgIterations);
}

void BM_SliderMove_FullRepaint(benchmark::State& state) {
    RangeStepper stepper(World().form());
    if (!moveChangesResults(state, stepper))
        return;
    for (auto _ : state) {
        stepper.move();
        World().form().repaint();
    }
}

// The display step when nothing has changed: every text compared, none set.
void BM_ShowAll_Unchanged(benchmark::State& state) {
    TQuillstoneMainForm& form = World().form();
    ProcessPendingEvents(); // whatever an earlier benchmark left to paint
    const long paintsBefore = World().formPaints();
    for (auto _ : state)
        form.ShowAll();
    ProcessPendingEvents();
    if (World().formPaints() != paintsBefore) {
        ReportBenchmarkFault("an unchanged display repainted the window");
        state.SkipWithError("an unchanged display repainted the window");
    }
}

void BM_BareWindow_Change_NoRepaint(benchmark::State& state) {
    int step = 0;
    for (auto _ : state) {
        ChangeBareWindow(World().bare(), ++step);
        state.PauseTiming();
        ProcessPendingEvents();
        state.ResumeTiming();
    }
}

void BM_BareWindow_Change_Repaint(benchmark::State& state) {
    int step = 0;
    for (auto _ : state) {
        ChangeBareWindow(World().bare(), ++step);
        ProcessPendingEvents();
    }
}

void BM_BareWindow_Change_FullRepaint(benchmark::State& state) {
    int step = 0;
    for (auto _ : state) {
        ChangeBareWindow(World().bare(), ++step);
        World().bare().window->repaint();
    }
}

} // namespace

BENCHMARK(BM_SliderMove_NoRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SliderMove_Repaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SliderMove_FullRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShowAll_Unchanged)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareWindow_Change_NoRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareWindow_Change_Repaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareWindow_Change_FullRepaint)->Unit(benchmark::kMicrosecond);
