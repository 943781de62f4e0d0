#include "ui_world.h"

#include "gui_error.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEvent>
#include <QWindow>

#include <cstdio>

class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget* window) : m_window(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == m_window)
            ++paints;
        return false;
    }

    long paints = 0;

  private:
    QWidget* m_window;
};

namespace {

constexpr int kExposeTimeoutMs = 5000;

UiWorld* currentWorld = nullptr;
bool faultReported = false;

void waitUntilExposed(QWidget* window) {
    const QDeadlineTimer deadline(kExposeTimeoutMs);
    while (!deadline.hasExpired() &&
           (window->windowHandle() == nullptr || !window->windowHandle()->isExposed()))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ProcessPendingEvents();
}

} // namespace

UiWorld::UiWorld() : m_previousDirectory(QDir::currentPath()) {
    QDir::setCurrent(m_directory.path());
    QDir(m_directory.path()).mkpath(QStringLiteral("Files/Hardcopies"));
    QDir(m_directory.path()).mkpath(QStringLiteral("SYSTEM/ERLOGS"));
    SetExceptionDisplay([this](const std::string& message) { m_shownErrors.push_back(message); });

    m_form = std::make_unique<TQuillstoneMainForm>();
    m_paints = std::make_unique<PaintCounter>(m_form.get());
    QCoreApplication::instance()->installEventFilter(m_paints.get());
    m_form->show();
    waitUntilExposed(m_form.get());

    m_bare = MakeBareWindow();
    m_bareOwner.reset(m_bare.window);
    m_bare.window->move(0, 0);
    m_bare.window->show();
    waitUntilExposed(m_bare.window);
}

UiWorld::~UiWorld() {
    QCoreApplication::instance()->removeEventFilter(m_paints.get());
    m_form->close(); // the program's own shut-down: settings and log end
    m_form.reset();
    m_bareOwner.reset();
    SetExceptionDisplay({});
    QDir::setCurrent(m_previousDirectory);
}

std::string UiWorld::baseDirectory() const {
    return m_directory.path().toStdString();
}

long UiWorld::formPaints() const {
    return m_paints->paints;
}

UiWorld& World() {
    return *currentWorld;
}

void SetWorld(UiWorld* world) {
    currentWorld = world;
}

void ReportBenchmarkFault(const char* what) {
    faultReported = true;
    std::fprintf(stderr, "benchmark fault: %s\n", what);
}

bool BenchmarkFaultReported() {
    return faultReported;
}

void ProcessPendingEvents() {
    QCoreApplication::processEvents();
}
