#pragma once
// quillstone-design: the link budget as a sheet, on the same model as the
// calculator. The design (every parameter that was set) is edited through an
// undo stack; every edit evaluates the budget model once and shows it again:
// the inputs, the results, the chart and the waterfall.
//
// Where the parts live:
//   design_fields.cpp        what a registry row takes: field kind, units, reading a typed value
//   input_sheet.cpp          the inputs, generated from the parameter registry
//   design_document.cpp      the design, its file name, its undo stack; one evaluation
//   result_panel.cpp         verdict, terms, results and the features' sections
//   margin_sweep.cpp         the fade margin against one input, through the model
//   margin_chart.cpp         that curve drawn, with crossings, the design's point, the pointer's
//   unavailability_curve.cpp the fade margin over the year of an Earth-space path
//   budget_csv.cpp           the budget's terms and results as CSV
//   waterfall_chart.cpp      where every dB went
//   profile_view.cpp         a hop's terrain profile, its tab shown when there is one
//   design_window.cpp        the window built in steps; the display step; solve; help
//   design_window_files.cpp  New, Open, Save, Save As, recent files, the unsaved question
//   design_window_export.cpp window settings import and export, report, CSVs, text copy
//   design_command_line.cpp  --help, --version and the FILE given to the program
//   design_dialogs.cpp       the seam of the window's questions (tests answer them)
//
// Data flow: a field's edit -> DesignDocument::setParam (an undo command) ->
// changed -> refresh: Evaluate -> every view shown again.
#include "design_document.h"

#include <QMainWindow>

#include <array>
#include <iosfwd>

class InputSheet;
class MarginChart;
class ProfilePage;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;
class QTabWidget;
class ResultPanel;
class WaterfallChart;

constexpr const char* kDesignerName = "Quillstone Link Designer";

class DesignWindow : public QMainWindow {
  public:
    explicit DesignWindow(QWidget* parent = nullptr);
    ~DesignWindow() override;

    DesignDocument& document() { return m_document; }
    const Evaluation& evaluation() const { return m_evaluation; }
    InputSheet* inputs() const { return m_inputs; }
    ResultPanel* results() const { return m_results; }
    MarginChart* chart() const { return m_chart; }
    // The fade margin against unavailability (an Earth-space path).
    MarginChart* unavailabilityChart() const { return m_unavailability; }
    WaterfallChart* waterfall() const { return m_waterfall; }
    // A terrestrial hop's terrain profile (its tab hidden without one).
    ProfilePage* profile() const { return m_profile; }

    // Files. Each that would drop unsaved changes asks first; a failure is
    // reported through the dialog seam and changes nothing.
    void newDesign();
    void open();
    bool openFile(const QString& path);
    // The FILE given on the command line: one that cannot be read is said
    // once (the message seam and `err`) and the window keeps a new design.
    void openFromCommandLine(const QString& path, std::ostream& err);
    bool save();
    bool saveAs();
    bool saveTo(const QString& path);
    QStringList recentFiles() const;

    // The fourteen factors from and to a window settings file.
    void importFactors();
    void exportFactors();
    // The calculator's report (PDF or HTML by the name's extension), the
    // chart's points as CSV, and the sheet as the calculator's text.
    void exportReport();
    void exportChartPoints();
    // The budget's terms and results, with units and sources, as CSV.
    void exportBudgetTable();
    void copySheet();

    // Solves for the factor picked at the margin typed, as one edit.
    void solve();

    // The manual (the formulas' sources) and About, each a window of its own.
    void showManual();
    void showAbout();

    // The display step: evaluates the design and shows it everywhere.
    void refresh();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Watches for the window's first paint (the icon comes after it).
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createActions();
    void createMenus();
    void createPanels();
    // Puts the sheet and the results into their scroll areas (see the .cpp).
    void placePanes();
    QWidget* createChartPage();
    QWidget* createSolveBar();
    void connectSignals();

    void refreshTitle();
    void showMapsAdvice();
    void refreshChart();
    void refreshSolveBar();
    void showSolveAnswer(const QString& text, bool solved);
    // The solve's message belongs to the undo step it was made at.
    bool atSolveStep() const;
    // A name the user gave without an extension gets the filter's.
    static QString withExtension(const QString& path, const QString& filter);
    void reportDone(const QString& message);
    void refreshRecentMenu();
    void addRecent(const QString& path);
    bool maybeSave();
    QString displayName() const;
    QString chooseFile(const QString& caption, const QString& filter, bool save,
                       QString* chosenFilter = nullptr) const;
    void showError(const QString& message);

    DesignDocument m_document;
    Evaluation m_evaluation;
    QLocale m_locale;

    InputSheet* m_inputs = nullptr;
    ResultPanel* m_results = nullptr;
    MarginChart* m_chart = nullptr;
    MarginChart* m_unavailability = nullptr;
    WaterfallChart* m_waterfall = nullptr;
    ProfilePage* m_profile = nullptr;
    QTabWidget* m_views = nullptr;
    QScrollArea* m_inputScroll = nullptr; // holds m_inputs once the first design is shown
    QScrollArea* m_resultScroll = nullptr;
    QComboBox* m_chartAxis = nullptr;
    QComboBox* m_solveFactor = nullptr;
    QLineEdit* m_solveMargin = nullptr;
    QPushButton* m_solveButton = nullptr;
    QLabel* m_solveAnswer = nullptr;
    QString m_solveText;
    QString m_mapsAdvice; // the last shown: each is shown once
    bool m_solveSolved = false;
    int m_solveIndex = -1;                // the undo stack's index it was made at
    const void* m_solveCommand = nullptr; // the command under that index
    QWidget* m_manual = nullptr;
    QWidget* m_about = nullptr;
    QMenu* m_recentMenu = nullptr;

    QAction* m_newAction = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_saveAsAction = nullptr;
    QAction* m_importAction = nullptr;
    QAction* m_exportFactorsAction = nullptr;
    QAction* m_reportAction = nullptr;
    QAction* m_csvAction = nullptr;
    QAction* m_budgetCsvAction = nullptr;
    QAction* m_manualAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_quitAction = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    QAction* m_copyAction = nullptr;
    QAction* m_solveAction = nullptr;
};
