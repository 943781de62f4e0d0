// The "Hardcopy" command end to end (name, capture of PanelScreen, JPEG at
// quality 90, file written, three speaker clicks), with the time spent in the
// clicks' and the writer's blocking waits and in the file's system calls
// counted apart; and its pieces.
#include "blocking_meter.h"
#include "speaker.h"
#include "ui_world.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QSaveFile>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string firstHardcopyPath() {
    return World().baseDirectory() + "/Files/Hardcopies/QuillstoneHdcpy_0.jpg";
}

// Every hardcopy starts from the same state: count 0 and no file of that
// name (the command never replaces a file that is there).
void resetHardcopies() {
    std::remove(firstHardcopyPath().c_str());
    World().form().HardcopyCount = 0;
}

bool hardcopyWorked(benchmark::State& state) {
    if (World().shownErrors().empty() && QFile::exists(QString::fromStdString(firstHardcopyPath())))
        return true;
    ReportBenchmarkFault("the hardcopy was not written");
    state.SkipWithError("the hardcopy was not written");
    return false;
}

void setMillisecondCounter(benchmark::State& state, const char* name, int64_t totalNs) {
    state.counters[name] =
        benchmark::Counter(static_cast<double>(totalNs) / 1e6, benchmark::Counter::kAvgIterations);
}

void BM_SaveHardcopy(benchmark::State& state) {
    TQuillstoneMainForm& form = World().form();
    resetHardcopies();
    form.Hardcopy1Click();
    if (!hardcopyWorked(state))
        return;
    int64_t elapsedNs = 0;
    int64_t waitedNs = 0;
    int64_t writingNs = 0;
    int64_t repaintNs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // The message loop's turn between two commands: the repaint the last
        // one left behind (the image control got a new picture), counted
        // apart.
        const int64_t repaintStart = nowNs();
        ProcessPendingEvents();
        repaintNs += nowNs() - repaintStart;
        resetHardcopies();
        state.ResumeTiming();
        const int64_t start = nowNs();
        const int64_t sleptBefore = SleptNanoseconds();
        const int64_t writingBefore = FileCallNanoseconds();
        form.Hardcopy1Click();
        waitedNs += SleptNanoseconds() - sleptBefore;
        writingNs += FileCallNanoseconds() - writingBefore;
        elapsedNs += nowNs() - start;
    }
    // The goal is on the last: what the command itself takes.
    setMillisecondCounter(state, "waits_ms", waitedNs);
    setMillisecondCounter(state, "file_write_ms", writingNs);
    setMillisecondCounter(state, "rest_ms", elapsedNs - waitedNs - writingNs);
    setMillisecondCounter(state, "repaint_after_ms", repaintNs);
    resetHardcopies();
}

// The capture the writer falls back to when the window's shown pixels
// cannot be copied: PanelScreen drawn anew into a picture of its own.
void BM_PanelRedrawn(benchmark::State& state) {
    QWidget* panel = World().form().PanelScreen;
    for (auto _ : state) {
        QImage shot = panel->grab(QRect(0, 0, panel->width(), panel->height())).toImage();
        benchmark::DoNotOptimize(shot.constBits());
    }
}

// The file write alone: as many bytes as a real hardcopy, through the same
// write-then-rename the writer uses.
void BM_HardcopyFileWrite(benchmark::State& state) {
    resetHardcopies();
    World().form().Hardcopy1Click();
    if (!hardcopyWorked(state))
        return;
    QFile written(QString::fromStdString(firstHardcopyPath()));
    written.open(QIODevice::ReadOnly);
    const QByteArray bytes = written.readAll();
    written.close();
    resetHardcopies();
    const QString target =
        QString::fromStdString(World().baseDirectory() + "/Files/Hardcopies/write_probe.jpg");
    for (auto _ : state) {
        QSaveFile file(target);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.commit()) {
            ReportBenchmarkFault("the file write failed");
            state.SkipWithError("the file write failed");
            break;
        }
    }
    QFile::remove(target);
    state.counters["bytes"] = static_cast<double>(bytes.size());
}

void BM_SpeakerClick(benchmark::State& state) {
    int64_t waitedNs = 0;
    for (auto _ : state) {
        const int64_t sleptBefore = SleptNanoseconds();
        SpeakerClick();
        waitedNs += SleptNanoseconds() - sleptBefore;
    }
    setMillisecondCounter(state, "waits_ms", waitedNs);
}

} // namespace

BENCHMARK(BM_SaveHardcopy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PanelRedrawn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HardcopyFileWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SpeakerClick)->Unit(benchmark::kMillisecond)->UseRealTime();
