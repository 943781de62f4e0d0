// Linked into a start-up probe executable next to an unchanged main(): it
// hooks in when the application object is constructed, waits for the first
// paint of the process's main window, prints one line of timings and memory
// on standard output, then closes that window the way a user would.
//
// The line (all times CLOCK_MONOTONIC, ns; memory in kB):
//   probe loaded_ns=<static init> app_ns=<application constructed>
//         paint_ns=<first paint event> shown_ns=<frame painted and flushed>
//         cpu_ns=<CPU time of the process so far> hwm_kb=<VmHWM> rss_kb=<VmRSS>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

int64_t clockNs(clockid_t clock) {
    timespec ts{};
    ::clock_gettime(clock, &ts);
    return int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

int64_t monotonicNs() {
    return clockNs(CLOCK_MONOTONIC);
}

// Taken while the dynamic libraries' and this program's static objects are
// set up, i.e. just before main().
const int64_t loadedNs = monotonicNs();

struct ResidentMemory {
    long hwmKb = -1;
    long rssKb = -1;
};

ResidentMemory readResidentMemory() {
    ResidentMemory memory;
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return memory;
    char line[256];
    while (std::fgets(line, sizeof line, status) != nullptr) {
        long value = 0;
        if (std::sscanf(line, "VmHWM: %ld", &value) == 1)
            memory.hwmKb = value;
        else if (std::sscanf(line, "VmRSS: %ld", &value) == 1)
            memory.rssKb = value;
    }
    std::fclose(status);
    return memory;
}

class FirstPaintProbe : public QObject {
  public:
    explicit FirstPaintProbe(QObject* parent) : QObject(parent), m_appNs(monotonicNs()) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (m_paintNs != 0 || event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        QWidget* window = static_cast<QWidget*>(watched)->window();
        if (!window->inherits("QMainWindow"))
            return false;
        m_paintNs = monotonicNs();
        m_window = window;
        // Posted events run only once the whole paint-and-flush pass that
        // this paint event belongs to has returned; at high priority this
        // one runs before anything else the program posted meanwhile.
        QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::HighEventPriority);
        return false;
    }

    bool event(QEvent* event) override {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        report();
        return true;
    }

  private:
    void report() {
        const int64_t shownNs = monotonicNs();
        // All threads, from the fork on (the count goes on across exec).
        const int64_t cpuNs = clockNs(CLOCK_PROCESS_CPUTIME_ID);
        const ResidentMemory memory = readResidentMemory();
        std::printf("probe loaded_ns=%lld app_ns=%lld paint_ns=%lld shown_ns=%lld cpu_ns=%lld "
                    "hwm_kb=%ld rss_kb=%ld\n",
                    static_cast<long long>(loadedNs), static_cast<long long>(m_appNs),
                    static_cast<long long>(m_paintNs), static_cast<long long>(shownNs),
                    static_cast<long long>(cpuNs), memory.hwmKb, memory.rssKb);
        std::fflush(stdout);
        if (m_window)
            m_window->close(); // the program's own close path ends the run
    }

    int64_t m_appNs;
    int64_t m_paintNs = 0;
    QPointer<QWidget> m_window;
};

void installFirstPaintProbe() {
    QCoreApplication* application = QCoreApplication::instance();
    application->installEventFilter(new FirstPaintProbe(application));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installFirstPaintProbe)
