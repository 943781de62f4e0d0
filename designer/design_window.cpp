#include "design_window.h"

#include "design_command_line.h"
#include "design_fields.h"
#include "input_sheet.h"
#include "margin_chart.h"
#include "number_text.h"
#include "one_line_label.h"
#include "profile_view.h"
#include "program_icon.h"
#include "result_panel.h"
#include "sheet_render.h"
#include "site_climate.h"
#include "unavailability_curve.h"
#include "verdict.h"
#include "waterfall_chart.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QUndoStack>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr QSize kFirstSize{1180, 780}; // px, before the desktop's scaling

// The window's commands, one row each: the member that holds the action, its
// objectName, text, shortcut, status tip and what it does.
struct ActionRow {
    QAction* DesignWindow::*action;
    const char* name;
    const char* text;
    QKeySequence::StandardKey key;
    const char* shortcut; // when no standard key fits
    const char* tip;
    void (*run)(DesignWindow& window);
};

} // namespace

DesignWindow::DesignWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("DesignWindow"));
    // Numbers on the screen follow the user's decimal separator; files never do.
    SetDecimalSeparator(m_locale.decimalPoint().toStdString());
    createActions();
    createMenus();
    createPanels();
    connectSignals();
    // What is not on the first frame waits for it: the icon, drawn from its
    // SVG at every size the desktop asks for, the values' selection by mouse
    // (see ResultPanel::makeValuesSelectable), the sheet's accessible names
    // (InputSheet::nameRows) and the recent files' menu (read from the
    // settings file).
    QCoreApplication::instance()->installEventFilter(this);
    // Never larger than nine tenths of the screen it opens on.
    resize(kFirstSize.boundedTo(screen()->availableGeometry().size() * 0.9));
    refresh();
    placePanes();
}

DesignWindow::~DesignWindow() = default;

bool DesignWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        QCoreApplication::instance()->removeEventFilter(this);
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_inputs->nameRows();
                m_results->makeValuesSelectable();
                m_solveAnswer->setTextInteractionFlags(Qt::TextSelectableByMouse);
                refreshRecentMenu();
                setWindowIcon(ProgramIcon());
            },
            Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void DesignWindow::createActions() {
    using K = QKeySequence;
    static const ActionRow rows[] = {
        {&DesignWindow::m_newAction, "ActionNew", "&New", K::New, "", "Start a new design",
         [](DesignWindow& w) { w.newDesign(); }},
        {&DesignWindow::m_openAction, "ActionOpen", "&Open...", K::Open, "", "Open a design file",
         [](DesignWindow& w) { w.open(); }},
        {&DesignWindow::m_saveAction, "ActionSave", "&Save", K::Save, "", "Save the design",
         [](DesignWindow& w) { w.save(); }},
        {&DesignWindow::m_saveAsAction, "ActionSaveAs", "Save &As...", K::SaveAs, "Ctrl+Shift+S",
         "Save the design under a new name", [](DesignWindow& w) { w.saveAs(); }},
        {&DesignWindow::m_importAction, "ActionImportFactors", "&Import Factors...", K::UnknownKey,
         "Ctrl+I", "Take the fourteen factors from a window settings file",
         [](DesignWindow& w) { w.importFactors(); }},
        {&DesignWindow::m_exportFactorsAction, "ActionExportFactors", "&Export Factors...",
         K::UnknownKey, "Ctrl+E", "Write the factors the budget uses to a window settings file",
         [](DesignWindow& w) { w.exportFactors(); }},
        {&DesignWindow::m_reportAction, "ActionExportReport", "Export &Report...", K::Print, "",
         "Write the budget sheet as PDF or HTML", [](DesignWindow& w) { w.exportReport(); }},
        {&DesignWindow::m_csvAction, "ActionExportChart", "Export &Chart Points...", K::UnknownKey,
         "Ctrl+Shift+E", "Write the chart's points as CSV",
         [](DesignWindow& w) { w.exportChartPoints(); }},
        {&DesignWindow::m_budgetCsvAction, "ActionExportBudget", "Export &Budget Table...",
         K::UnknownKey, "Ctrl+Shift+B",
         "Write every term and result, with units and sources, as CSV",
         [](DesignWindow& w) { w.exportBudgetTable(); }},
        {&DesignWindow::m_quitAction, "ActionQuit", "&Quit", K::Quit, "", "Close the window",
         [](DesignWindow& w) { w.close(); }},
        {&DesignWindow::m_copyAction, "ActionCopySheet", "&Copy Sheet as Text", K::UnknownKey,
         "Ctrl+Shift+C", "Copy the budget as the calculator prints it",
         [](DesignWindow& w) { w.copySheet(); }},
        {&DesignWindow::m_solveAction, "ActionSolve", "&Solve", K::UnknownKey, "Ctrl+R",
         "Find the value of the factor picked for the margin typed",
         [](DesignWindow& w) { w.solve(); }},
        {&DesignWindow::m_manualAction, "ActionManual", "&Manual", K::HelpContents, "F1",
         "The inputs and the published sources of their formulas",
         [](DesignWindow& w) { w.showManual(); }},
        {&DesignWindow::m_aboutAction, "ActionAbout", "&About", K::UnknownKey, "",
         "The program's name, version and licence", [](DesignWindow& w) { w.showAbout(); }},
    };
    for (const ActionRow& row : rows) {
        auto* action = new QAction(QString::fromUtf8(row.text), this);
        action->setObjectName(QString::fromLatin1(row.name));
        // Every binding the desktop has for it, and ours where the desktop has
        // none (Save As has none on some).
        QList<K> keys = row.key != K::UnknownKey ? K::keyBindings(row.key) : QList<K>();
        const K own(QString::fromLatin1(row.shortcut));
        if (!own.isEmpty() && !keys.contains(own))
            keys.append(own);
        action->setShortcuts(keys);
        action->setStatusTip(QString::fromUtf8(row.tip));
        this->*row.action = action;
        const auto run = row.run;
        connect(action, &QAction::triggered, this, [this, run] { run(*this); });
    }
    m_undoAction = m_document.undoStack()->createUndoAction(this, QStringLiteral("&Undo"));
    m_undoAction->setObjectName(QStringLiteral("ActionUndo"));
    m_undoAction->setShortcuts(QKeySequence::Undo);
    m_redoAction = m_document.undoStack()->createRedoAction(this, QStringLiteral("&Redo"));
    m_redoAction->setObjectName(QStringLiteral("ActionRedo"));
    m_redoAction->setShortcuts(QKeySequence::Redo);
}

void DesignWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addActions({m_newAction, m_openAction});
    m_recentMenu = file->addMenu(QStringLiteral("Open &Recent"));
    m_recentMenu->setObjectName(QStringLiteral("MenuRecent"));
    file->addActions({m_saveAction, m_saveAsAction});
    file->addSeparator();
    file->addActions(
        {m_importAction, m_exportFactorsAction, m_reportAction, m_csvAction, m_budgetCsvAction});
    file->addSeparator();
    file->addAction(m_quitAction);
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->addActions({m_undoAction, m_redoAction});
    edit->addSeparator();
    edit->addAction(m_copyAction);
    QMenu* design = menuBar()->addMenu(QStringLiteral("&Design"));
    design->addAction(m_solveAction);
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("MenuHelp"));
    help->addActions({m_manualAction, m_aboutAction});
}

void DesignWindow::createPanels() {
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setObjectName(QStringLiteral("MainSplitter"));
    auto* inputScroll = new QScrollArea(split);
    inputScroll->setWidgetResizable(true);
    m_inputs = new InputSheet;
    inputScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_inputScroll = inputScroll;

    auto* right = new QSplitter(Qt::Vertical, split);
    auto* resultScroll = new QScrollArea(right);
    resultScroll->setWidgetResizable(true);
    m_results = new ResultPanel;
    m_resultScroll = resultScroll;

    auto* lower = new QWidget(right);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    m_views = new QTabWidget(lower);
    m_views->setObjectName(QStringLiteral("Views"));
    m_views->addTab(createChartPage(), QStringLiteral("Fade &Margin"));
    auto* waterfallScroll = new QScrollArea;
    waterfallScroll->setWidgetResizable(true);
    m_waterfall = new WaterfallChart;
    waterfallScroll->setWidget(m_waterfall);
    m_views->addTab(waterfallScroll, QStringLiteral("&Where Every dB Went"));
    m_unavailability = new MarginChart;
    m_unavailability->setObjectName(QStringLiteral("UnavailabilityChart"));
    m_unavailability->setAccessibleName(QStringLiteral("Fade margin against unavailability"));
    m_views->addTab(m_unavailability, QStringLiteral("Over the &Year"));
    m_profile = new ProfilePage(m_views);
    lowerLayout->addWidget(m_views, 1);
    lowerLayout->addWidget(createSolveBar());
    // The first sizes (px): the inputs a third, the results over the chart.
    split->setSizes({420, 760});
    right->setSizes({440, 340});
    setCentralWidget(split);
    statusBar(); // the actions' tips and what a file command did
}

void DesignWindow::placePanes() {
    // A scroll area sizes the widget it is given at once: given the sheet and
    // the results as the first design fills them, their rows are sized once
    // (given empty, every row's size was worked out again at the first show).
    m_inputScroll->setWidget(m_inputs);
    // The inputs scroll down, never across: the pane is as wide as their rows.
    m_inputScroll->setMinimumWidth(m_inputs->minimumSizeHint().width() +
                                   style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                                   2 * m_inputScroll->frameWidth());
    m_resultScroll->setWidget(m_results);
}

QWidget* DesignWindow::createChartPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* axisRow = new QHBoxLayout;
    auto* axisLabel = new OneLineLabel(QStringLiteral("&Against:"), page);
    m_chartAxis = new QComboBox(page);
    m_chartAxis->setObjectName(QStringLiteral("ChartAxis"));
    m_chartAxis->setAccessibleName(QStringLiteral("Chart against"));
    axisLabel->setBuddy(m_chartAxis);
    axisRow->addWidget(axisLabel);
    axisRow->addWidget(m_chartAxis, 1);
    layout->addLayout(axisRow);
    m_chart = new MarginChart(page);
    layout->addWidget(m_chart, 1);
    return page;
}

QWidget* DesignWindow::createSolveBar() {
    auto* bar = new QWidget;
    bar->setObjectName(QStringLiteral("SolveBar"));
    auto* layout = new QVBoxLayout(bar);
    auto* row = new QHBoxLayout;
    auto* forLabel = new OneLineLabel(QStringLiteral("Sol&ve for"), bar);
    m_solveFactor = new QComboBox(bar);
    m_solveFactor->setObjectName(QStringLiteral("SolveFactor"));
    m_solveFactor->setAccessibleName(QStringLiteral("Solve for"));
    for (std::size_t i = 0; i < FactorTable.size(); ++i)
        m_solveFactor->addItem(QString::fromUtf8(FactorTable[i].caption), int(i));
    forLabel->setBuddy(m_solveFactor);
    auto* atLabel = new OneLineLabel(QStringLiteral("at a fade margin &of"), bar);
    m_solveMargin = new QLineEdit(bar);
    m_solveMargin->setObjectName(QStringLiteral("SolveMargin"));
    m_solveMargin->setAccessibleName(QStringLiteral("Solve margin"));
    m_solveMargin->setToolTip(FieldToolTip(ParamRowOf(ParamId::Margin)));
    atLabel->setBuddy(m_solveMargin);
    m_solveButton = new QPushButton(QStringLiteral("&Solve"), bar);
    m_solveButton->setObjectName(QStringLiteral("SolveButton"));
    for (QWidget* part : {static_cast<QWidget*>(forLabel), static_cast<QWidget*>(m_solveFactor),
                          static_cast<QWidget*>(atLabel), static_cast<QWidget*>(m_solveMargin),
                          static_cast<QWidget*>(new OneLineLabel(QStringLiteral("dB"), bar)),
                          static_cast<QWidget*>(m_solveButton)})
        row->addWidget(part);
    layout->addLayout(row);
    m_solveAnswer = new QLabel(bar);
    m_solveAnswer->setObjectName(QStringLiteral("SolveAnswer"));
    m_solveAnswer->setWordWrap(true); // selectable after the first frame
    layout->addWidget(m_solveAnswer);
    return bar;
}

void DesignWindow::connectSignals() {
    m_inputs->setEditHandler(
        [this](ParamId id, std::optional<ParamSetting> setting, const QString& what) {
            m_document.setParam(id, std::move(setting), what);
        });
    m_inputs->setRefusalHandler([this] { m_results->showRefused(m_inputs->refusedCaptions()); });
    connect(&m_document, &DesignDocument::changed, this, [this] { refresh(); });
    connect(&m_document, &DesignDocument::modifiedChanged, this, [this] { refreshTitle(); });
    connect(m_chartAxis, &QComboBox::activated, this, [this] { refreshChart(); });
    connect(m_solveButton, &QPushButton::clicked, this, [this] { solve(); });
    connect(m_solveMargin, &QLineEdit::returnPressed, this, [this] { solve(); });
}

void DesignWindow::refresh() {
    m_evaluation = Evaluate(m_document.design());
    m_inputs->showDesign(m_document.design(), m_evaluation.point);
    m_inputs->showStop(m_evaluation.stop, StopMessage(m_evaluation));
    m_inputs->showDerived(m_evaluation.derived);
    showMapsAdvice();
    m_results->showEvaluation(m_evaluation);
    refreshChart();
    m_waterfall->showEvaluation(m_evaluation);
    UnavailabilityView year = UnavailabilityCurve(m_evaluation);
    m_unavailability->setCurve(std::move(year.curve), year.why);
    m_profile->showEvaluation(m_evaluation);
    refreshSolveBar();
    refreshTitle();
}

// A map the site's climate lacks, once in the status bar (again only when
// what is missing changes), with where to put it.
void DesignWindow::showMapsAdvice() {
    const QString advice = QString::fromStdString(ItuMapsAdvice(LookUpClimate(m_evaluation.point)));
    if (advice != m_mapsAdvice) {
        m_mapsAdvice = advice;
        if (!advice.isEmpty())
            statusBar()->showMessage(advice);
    }
}

void DesignWindow::refreshTitle() {
    const QString title = QStringLiteral("%1[*] \u2014 %2").arg(displayName(), kDesignerName);
    if (windowTitle() != title)
        setWindowTitle(title);
    setWindowModified(m_document.modified());
}

void DesignWindow::refreshChart() {
    const std::vector<ParamId> params = SweepableParams(m_evaluation.point);
    const auto picked = static_cast<ParamId>(m_chartAxis->currentData().toInt());
    bool same = m_chartAxis->count() == int(params.size());
    for (int i = 0; same && i < m_chartAxis->count(); ++i)
        same = m_chartAxis->itemData(i).toInt() == int(params[std::size_t(i)]);
    if (!same) {
        m_chartAxis->clear();
        for (const ParamId id : params)
            m_chartAxis->addItem(QString::fromUtf8(ParamCaption(ParamRowOf(id))), int(id));
        const int index = m_chartAxis->findData(int(picked));
        m_chartAxis->setCurrentIndex(index >= 0 ? index : 0);
    }
    const auto param = static_cast<ParamId>(m_chartAxis->currentData().toInt());
    m_chart->setCurve(SweepMargin(m_document.design(), m_evaluation, param));
}

void DesignWindow::refreshSolveBar() {
    if (!m_solveMargin->hasFocus()) {
        const QString margin = NumberText(m_document.design().value(ParamId::Margin), m_locale);
        if (m_solveMargin->text() != margin)
            m_solveMargin->setText(margin);
    }
    // Undoing a solve takes its message away; redoing it brings it back.
    const QString shown = atSolveStep() ? m_solveText : QString();
    if (m_solveAnswer->text() != shown)
        showSolveAnswer(shown, m_solveSolved);
}

bool DesignWindow::atSolveStep() const {
    const QUndoStack* stack = const_cast<DesignDocument&>(m_document).undoStack();
    const int index = stack->index();
    return index == m_solveIndex && (index == 0 ? nullptr : stack->command(index - 1)) ==
                                        static_cast<const QUndoCommand*>(m_solveCommand);
}

void DesignWindow::showSolveAnswer(const QString& text, bool solved) {
    m_solveAnswer->setText(text);
    QPalette palette;
    palette.setColor(QPalette::WindowText, VerdictColour(this->palette(), solved));
    m_solveAnswer->setPalette(palette);
    m_solveAnswer->setAccessibleName(QStringLiteral("Solve answer ") + text);
}

namespace {

constexpr int kAnswerDigits = 5; // significant digits of a solved value in its field

// The solved value (base unit) at kAnswerDigits in the field's unit, rounded
// to the side that keeps the margin asked; checked by evaluating it, and
// the exact value when the rounded one does not keep it.
ParamSetting roundedAnswer(const Evaluation& e, std::size_t factor, double base, double margin,
                           const QString& unit) {
    const ParamId param = ParamOfFactor(factor);
    const ParamRow& row = ParamRowOf(param);
    const ParamSetting exact = SettingInUnit(row, base, unit);
    const double given = exact.given;
    if (!std::isfinite(given) || given == 0.0)
        return exact;
    const double scale =
        std::pow(10.0, kAnswerDigits - 1 - int(std::floor(std::log10(std::fabs(given)))));
    // Where more of the factor lowers the margin the answer is a largest.
    const bool largest = SolvesForLargest(factor);
    const double rounded = (largest ? std::floor(given * scale) : std::ceil(given * scale)) / scale;
    const std::optional<double> roundedBase =
        ToBaseUnit(row.family, row.defaultUnit, rounded, exact.unit);
    if (!roundedBase)
        return exact;
    DesignPoint point = e.point;
    point.values[IndexOf(param)] = *roundedBase;
    std::string ignored;
    if (!e.model->check(point, ignored) ||
        !(e.model->evaluate(point).results.FadeMargin >= margin - 1e-9))
        return exact;
    return ParamSetting{*roundedBase, rounded, exact.unit};
}

} // namespace

void DesignWindow::solve() {
    const ParamRow& marginRow = ParamRowOf(ParamId::Margin);
    const FieldReading margin =
        ReadField(marginRow, m_solveMargin->text(), QString(), m_locale, m_evaluation.point);
    const std::size_t factor = std::size_t(m_solveFactor->currentData().toInt());
    const FactorRow& factorRow = FactorTable[factor];
    QString answerText;
    bool solved = false;
    if (!margin.ok() || !margin.setting) {
        answerText = QString::fromUtf8(ParamCaption(marginRow)) + QStringLiteral(": ") +
                     (margin.ok() ? QStringLiteral("no margin given") : margin.error);
    } else if (!m_evaluation.ok()) {
        answerText = QString::fromStdString(m_evaluation.error);
    } else {
        const double target = margin.setting->value;
        const SolveAnswer answer =
            SolveDesign(*m_evaluation.model, m_evaluation.point, factor, target);
        if (!answer.solved) {
            // In the calculator's words, as --solve KEY prints them.
            answerText = QString::fromUtf8(factorRow.key) + QStringLiteral(": ") +
                         QString::fromStdString(answer.why);
        } else {
            solved = true;
            const ParamId param = ParamOfFactor(factor);
            const ParamRow& row = ParamRowOf(param);
            const std::optional<ParamSetting>& now = m_document.design().setting(param);
            const QString unit = now ? QString::fromStdString(now->unit) : QString();
            const ParamSetting value =
                roundedAnswer(m_evaluation, factor, answer.value, target, unit);
            const QString unitText = value.unit.empty() ? QString::fromUtf8(ParamUnitLabel(row))
                                                        : QString::fromStdString(value.unit);
            answerText = QStringLiteral("%1 %2 %3")
                             .arg(QString::fromStdString(
                                      SolveHeading(SolvedFactor{factor, target, answer.value})),
                                  NumberText(value.given, m_locale), unitText);
            std::vector<std::pair<ParamId, std::optional<ParamSetting>>> settings{{param, value}};
            // The Required Fade Margin changes only when a new one was typed here.
            if (target != m_evaluation.point[ParamId::Margin]) {
                settings.emplace_back(ParamId::Margin, margin.setting);
                answerText += QStringLiteral(" (Required Fade Margin set to %1 dB)")
                                  .arg(DecibelText(target, m_locale));
            }
            m_document.setParams(settings, QStringLiteral("Solve %1").arg(factorRow.caption));
        }
    }
    const QUndoStack* stack = m_document.undoStack();
    m_solveIndex = stack->index();
    m_solveCommand = m_solveIndex == 0 ? nullptr : stack->command(m_solveIndex - 1);
    m_solveText = answerText;
    m_solveSolved = solved;
    showSolveAnswer(answerText, solved);
}

void DesignWindow::showManual() {
    if (m_manual == nullptr) {
        auto* dialog = new QDialog(this);
        dialog->setObjectName(QStringLiteral("ManualWindow"));
        dialog->setWindowTitle(QStringLiteral("%1 Manual").arg(kDesignerName));
        auto* layout = new QVBoxLayout(dialog);
        auto* text = new QTextBrowser(dialog);
        text->setObjectName(QStringLiteral("ManualText"));
        text->setPlainText(QString::fromStdString(DesignManualText()));
        layout->addWidget(text);
        dialog->resize(640, 560);
        m_manual = dialog;
    }
    m_manual->show();
    m_manual->raise();
}

void DesignWindow::showAbout() {
    if (m_about == nullptr) {
        auto* box =
            new QMessageBox(QMessageBox::Information, QStringLiteral("About %1").arg(kDesignerName),
                            QString::fromStdString(DesignAboutText()), QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("AboutBox"));
        box->setModal(false);
        m_about = box;
    }
    m_about->show();
    m_about->raise();
}
