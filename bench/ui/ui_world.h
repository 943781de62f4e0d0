#pragma once
// The windows the interface benchmarks work on: the program's main window,
// started as the program starts it in a private base directory (with a
// hardcopies folder), and the bare reference window beside it. Both are
// shown and exposed before any benchmark runs.
#include "bare_window.h"
#include "main_form.h"

#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

class PaintCounter;

class UiWorld {
  public:
    UiWorld();
    ~UiWorld();
    UiWorld(const UiWorld&) = delete;
    UiWorld& operator=(const UiWorld&) = delete;

    TQuillstoneMainForm& form() { return *m_form; }
    const BareWindow& bare() const { return m_bare; }
    std::string baseDirectory() const;

    // Paint events received so far by the main window and its children.
    long formPaints() const;
    // Messages the exception display would have shown.
    const std::vector<std::string>& shownErrors() const { return m_shownErrors; }

  private:
    QString m_previousDirectory;
    QTemporaryDir m_directory;
    std::vector<std::string> m_shownErrors;
    std::unique_ptr<TQuillstoneMainForm> m_form;
    std::unique_ptr<PaintCounter> m_paints;
    BareWindow m_bare;
    std::unique_ptr<QMainWindow> m_bareOwner;
};

// The one world of the run (set by main before the benchmarks run).
UiWorld& World();
void SetWorld(UiWorld* world);

// Set when a benchmark found that it measured something else than it says;
// main then ends with a failure.
void ReportBenchmarkFault(const char* what);
bool BenchmarkFaultReported();

// Processes what the last changes left pending: above all the repaint.
void ProcessPendingEvents();
