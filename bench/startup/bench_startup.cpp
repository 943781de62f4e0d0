// Start-up to first paint: the program's own start (its main() unchanged,
// start-up, driver check and log included) against a bare Qt window with the
// same widgets, run as fresh processes one after the other, interleaved, in
// one base directory prepared like an installation. Prints the medians, their
// ratio and the resident memory at first paint.
//
//   bench_startup [--runs N] [--warmup N] [--compare NAME=PROGRAM]... [--verbose]
//
// --compare adds another probe program (one built like startup_probe_quillstone
// from a variant of main()) to the rotation, to weigh a change before making it.
//
// The display is whatever the children inherit: run it under `xvfb-run -a`
// for the real figures, with QT_QPA_PLATFORM=offscreen for a quick check.
#include "cmn_color_defines.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kChildTimeoutMs = 30'000; // a child that shows nothing by then has failed
constexpr double kNsPerMs = 1e6;
// A sibling harness (bench/designer) builds this file for another program
// and its own bare window, with its own name and goals.
#ifndef STARTUP_PROGRAM_NAME
#define STARTUP_PROGRAM_NAME "quillstone"
#define STARTUP_RATIO_GOAL 1.15
#define STARTUP_MEMORY_GOAL_MB 35.0
#endif
constexpr double kRatioGoal = STARTUP_RATIO_GOAL;
constexpr double kMemoryGoalMb = STARTUP_MEMORY_GOAL_MB;

int64_t monotonicNs() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

struct ExtraProbe {
    std::string name;
    std::string program;
};

struct Options {
    int runs = 31;  // measured rounds, one run of every probe each
    int warmup = 2; // rounds run first and not counted (page cache, font cache)
    bool verbose = false;
    std::vector<ExtraProbe> extra;
};

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--runs" && hasValue)
            options.runs = std::atoi(argv[++i]);
        else if (arg == "--warmup" && hasValue)
            options.warmup = std::atoi(argv[++i]);
        else if (arg == "--verbose")
            options.verbose = true;
        else if (arg == "--compare" && hasValue && std::strchr(argv[i + 1], '=') != nullptr) {
            const std::string variant = argv[++i];
            const std::size_t eq = variant.find('=');
            options.extra.push_back({variant.substr(0, eq), variant.substr(eq + 1)});
        } else
            return std::nullopt;
    }
    if (options.runs < 1 || options.warmup < 0)
        return std::nullopt;
    return options;
}

// One child's report, as milliseconds from just before it was started.
struct Sample {
    double loadedMs = 0; // libraries loaded, static objects made
    double appMs = 0;    // application object constructed
    double paintMs = 0;  // first paint event of the main window
    double shownMs = 0;  // that frame painted and flushed
    double cpuMs = 0;    // CPU time the process had used by then
    double hwmMb = 0;    // peak resident memory at that moment
    double rssMb = 0;
};

std::optional<Sample> parseProbeLine(const std::string& output, int64_t startNs) {
    const std::size_t at = output.find("probe ");
    if (at == std::string::npos)
        return std::nullopt;
    long long loaded = 0, app = 0, paint = 0, shown = 0, cpu = 0;
    long hwm = 0, rss = 0;
    if (std::sscanf(output.c_str() + at,
                    "probe loaded_ns=%lld app_ns=%lld paint_ns=%lld shown_ns=%lld cpu_ns=%lld "
                    "hwm_kb=%ld rss_kb=%ld",
                    &loaded, &app, &paint, &shown, &cpu, &hwm, &rss) != 7)
        return std::nullopt;
    const auto ms = [startNs](long long ns) {
        return static_cast<double>(ns - startNs) / kNsPerMs;
    };
    return Sample{
        ms(loaded),   ms(app),     ms(paint), ms(shown), static_cast<double>(cpu) / kNsPerMs,
        hwm / 1024.0, rss / 1024.0};
}

// Starts `program` in `directory` and reads its standard output until it
// ends; the clock starts just before the fork.
std::optional<Sample> runProbe(const std::string& program, const fs::path& directory,
                               bool verbose) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return std::nullopt;
    const int64_t startNs = monotonicNs();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        if (!verbose) {
            const int null = ::open("/dev/null", O_WRONLY);
            if (null >= 0)
                ::dup2(null, STDERR_FILENO);
        }
        if (::chdir(directory.c_str()) == 0)
            ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    if (child < 0) {
        ::close(pipeFds[0]);
        return std::nullopt;
    }

    std::string output;
    bool timedOut = false;
    for (;;) {
        pollfd readable{pipeFds[0], POLLIN, 0};
        const int ready = ::poll(&readable, 1, kChildTimeoutMs);
        if (ready == 0) {
            timedOut = true;
            break;
        }
        if (ready < 0 && errno == EINTR)
            continue;
        char buffer[512];
        const ssize_t got = ready > 0 ? ::read(pipeFds[0], buffer, sizeof buffer) : -1;
        if (got <= 0)
            break;
        output.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeFds[0]);
    if (timedOut)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (verbose)
        std::fprintf(stderr, "%s: %s", program.c_str(),
                     output.empty() ? "(no output)\n" : output.c_str());
    return parseProbeLine(output, startNs);
}

// A base directory as an installation leaves it: log and hardcopy folders,
// the formula text and the shared options file with its colours.
bool prepareBaseDirectory(const fs::path& base) {
    std::error_code error;
    for (const char* sub : {"SYSTEM/ERLOGS", "Files/Hardcopies", "Files/Help"})
        fs::create_directories(base / sub, error);
    fs::copy_file(QUILLSTONE_HELP_TEXT, base / "Files/Help/The Link Budget.txt",
                  fs::copy_options::overwrite_existing, error);
    std::ofstream options(base / kOptionsFileName);
    options << '[' << kColorSection << "]\n";
    for (const ColorKey& key : ColorTable)
        options << key.key << '=' << key.defaultValue << '\n';
    return static_cast<bool>(options) && !error;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

double quantile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    const double at = q * static_cast<double>(values.size() - 1);
    const std::size_t low = static_cast<std::size_t>(at);
    const std::size_t high = std::min(low + 1, values.size() - 1);
    return values[low] + (values[high] - values[low]) * (at - static_cast<double>(low));
}

template <typename Field>
std::vector<double> column(const std::vector<Sample>& samples, Field field) {
    std::vector<double> values;
    for (const Sample& s : samples)
        values.push_back(s.*field);
    return values;
}

void printRow(const std::string& name, const std::vector<Sample>& samples) {
    const auto shown = column(samples, &Sample::shownMs);
    std::printf("  %-12s %7.1f %7.1f %7.1f %7.1f [%5.1f .. %5.1f] %7.1f %7.1f %7.1f\n",
                name.c_str(), median(column(samples, &Sample::loadedMs)),
                median(column(samples, &Sample::appMs)), median(column(samples, &Sample::paintMs)),
                median(shown), quantile(shown, 0.25), quantile(shown, 0.75),
                median(column(samples, &Sample::cpuMs)), median(column(samples, &Sample::hwmMb)),
                median(column(samples, &Sample::rssMb)));
}

struct Probe {
    std::string name;
    std::string program;
    std::vector<Sample> samples;
};

} // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr,
                     "usage: %s [--runs N] [--warmup N] [--compare NAME=PROGRAM]... [--verbose]\n",
                     argv[0]);
        return 2;
    }
    char pattern[] = "/tmp/quillstone-startup-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path base = pattern;
    if (!prepareBaseDirectory(base)) {
        std::fprintf(stderr, "cannot prepare %s\n", base.c_str());
        return 1;
    }

    std::vector<Probe> probes = {{STARTUP_PROGRAM_NAME, QUILLSTONE_PROBE_PROGRAM, {}},
                                 {"bare window", BARE_WINDOW_PROBE_PROGRAM, {}}};
    for (const ExtraProbe& extra : options->extra)
        probes.push_back({extra.name, extra.program, {}});
    const std::size_t count = probes.size();
    int failures = 0;
    for (int round = 0; round < options->warmup + options->runs; ++round) {
        // Forwards in even rounds, backwards in odd ones (ABBA), so that no
        // probe always runs right after the same other one.
        for (std::size_t k = 0; k < count; ++k) {
            Probe& probe = probes[round % 2 == 0 ? k : count - 1 - k];
            const std::optional<Sample> sample = runProbe(probe.program, base, options->verbose);
            if (!sample) {
                ++failures;
                std::fprintf(stderr, "%s: no first paint reported\n", probe.name.c_str());
            } else if (round >= options->warmup) {
                probe.samples.push_back(*sample);
            }
        }
    }
    std::error_code ignored;
    fs::remove_all(base, ignored);
    for (const Probe& probe : probes) {
        if (probe.samples.empty()) {
            std::fprintf(stderr, "%s: no complete runs\n", probe.name.c_str());
            return 1;
        }
    }

    const char* platform = std::getenv("QT_QPA_PLATFORM");
    std::printf("Start-up to first paint: %zu rounds of %zu programs, interleaved; platform %s\n",
                probes[0].samples.size(), count,
                platform != nullptr && *platform != '\0' ? platform : "(default)");
    std::printf("  medians; wall ms from process start, CPU ms used by then, MB resident\n");
    std::printf("  %-12s %7s %7s %7s %7s %-16s %7s %7s %7s\n", "", "main", "app", "paint", "shown",
                " [quartiles]", "CPU", "VmHWM", "VmRSS");
    for (const Probe& probe : probes)
        printRow(probe.name, probe.samples);

    // The wall-clock ratio is the figure; the CPU ratio is the one that
    // other load on the machine disturbs least.
    const double bare = median(column(probes[1].samples, &Sample::shownMs));
    const double bareCpu = median(column(probes[1].samples, &Sample::cpuMs));
    for (std::size_t k = 0; k < count; ++k) {
        if (k == 1)
            continue;
        const double shown = median(column(probes[k].samples, &Sample::shownMs));
        const double cpu = median(column(probes[k].samples, &Sample::cpuMs));
        std::printf("  ratio %s / bare window: %.2f wall (goal <= %.2f), %.2f CPU\n",
                    probes[k].name.c_str(), shown / bare, kRatioGoal, cpu / bareCpu);
    }
    const double hwm = median(column(probes[0].samples, &Sample::hwmMb));
    std::printf("  %s peak resident memory: %.1f MB (goal <= %.0f MB)\n", STARTUP_PROGRAM_NAME, hwm,
                kMemoryGoalMb);
    if (failures > 0)
        std::printf("  %d run(s) reported no first paint\n", failures);
    return failures > 0 ? 1 : 0;
}
