// quillstone-calc: the link budget of the Quillstone window from the command
// line, with sweeps, plots and reports. Qt is started only for a plot or a
// report, so that a plain calculation starts at once.
#include "calc_run.h"
#include "report_render.h"
#include "sweep_plot.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char* kProgramName = "quillstone-calc";

void printMessage(const std::string& line) {
    std::fprintf(stderr, "%s: %s\n", kProgramName, line.c_str());
}

bool unset(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr || *value == '\0';
}

// Qt's notices about the session (no runtime directory, no window manager)
// say nothing about the plot and would break the one-line-per-message rule
// of standard error; real failures still come through.
void qtMessage(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        printMessage("Qt: " + text.toStdString());
    }
}

// A plot is drawn into a file: without a display, Qt's offscreen platform does
// that just as well, where the default one would refuse to start.
void useOffscreenWithoutDisplay() {
    if (unset("DISPLAY") && unset("WAYLAND_DISPLAY") && unset("QT_QPA_PLATFORM")) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    CalcJob job;
    std::string error;
    const int prepared = PrepareCalc(args, job, error);
    if (prepared != kExitDone) {
        printMessage(error);
        return prepared;
    }
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    std::unique_ptr<QGuiApplication> application;
    PlotRenderer renderer;
    ReportRenderer reportRenderer;
    if ((job.options.sweep.plotPath || job.options.report.path) && !job.options.help &&
        !job.options.version) {
        useOffscreenWithoutDisplay();
        qInstallMessageHandler(qtMessage);
        // Only the program name: Qt would read options such as -platform from
        // the user's arguments, which are this program's own.
        application = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
        renderer = RenderSweepPlot;
        reportRenderer = RenderReport;
    }
    return ExecuteCalc(job, FileSink(stdout), printMessage, renderer, reportRenderer);
}
