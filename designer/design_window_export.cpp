// The design window's exchanges: the fourteen factors from and to a window
// settings file, the calculator's report, the chart's points and the budget
// table as CSV and the sheet as the calculator's text. Each says in the
// status bar what it wrote.
#include "budget_csv.h"
#include "design_dialogs.h"
#include "design_fields.h"
#include "design_window.h"
#include "files.h"
#include "link_settings.h"
#include "margin_chart.h"
#include "number_text.h"
#include "output_file.h"
#include "report_render.h"
#include "sheet_render.h"
#include "text_rows.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstring>

namespace {

constexpr const char* kSettingsFilter = "Window settings (*.Cfg);;All files (*)";
constexpr const char* kReportFilter = "PDF report (*.pdf);;HTML report (*.html)";
constexpr const char* kCsvFilter = "CSV (*.csv);;All files (*)";

// Files keep a full stop whatever the screen's separator: the engine's texts
// are made with it while one of these lives.
class FullStopTexts {
  public:
    FullStopTexts() : m_screen(DecimalSeparator()) { SetDecimalSeparator("."); }
    ~FullStopTexts() { SetDecimalSeparator(m_screen); }
    FullStopTexts(const FullStopTexts&) = delete;
    FullStopTexts& operator=(const FullStopTexts&) = delete;

  private:
    std::string m_screen;
};

// The chart's span in the input's base unit; none when the chart is empty.
std::optional<ReportAxis> chartAxis(const MarginCurve& curve) {
    if (curve.x.empty())
        return std::nullopt;
    const ParamRow& row = ParamRowOf(curve.param);
    const std::string unit = curve.unit.toStdString();
    const auto low = ToBaseUnit(row.family, row.defaultUnit, curve.x.front(), unit);
    const auto high = ToBaseUnit(row.family, row.defaultUnit, curve.x.back(), unit);
    if (!low || !high)
        return std::nullopt;
    return ReportAxis{curve.param, std::min(*low, *high), std::max(*low, *high)};
}

bool writeFile(const QString& path, std::string_view bytes, QString& error) {
    int code = 0;
    if (ReplaceFileContents(path.toStdString(), bytes, &code))
        return true;
    error = QString::fromLocal8Bit(std::strerror(code));
    return false;
}

} // namespace

void DesignWindow::importFactors() {
    const QString path = chooseFile(QStringLiteral("Import Factors"), kSettingsFilter, false);
    if (path.isEmpty())
        return;
    LinkFactors factors = m_evaluation.point.factors();
    WindowPosition position;
    if (!LoadLinkSettings(path.toStdString(), factors, position)) {
        showError(
            QStringLiteral("cannot read window settings file '%1': it does not exist").arg(path));
        return;
    }
    std::vector<std::pair<ParamId, std::optional<ParamSetting>>> settings;
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        const ParamId param = ParamOfFactor(i);
        const std::optional<ParamSetting>& now = m_document.design().setting(param);
        settings.emplace_back(param,
                              SettingInUnit(ParamRowOf(param), factors.*FactorTable[i].field,
                                            now ? QString::fromStdString(now->unit) : QString()));
    }
    m_document.setParams(settings, QStringLiteral("Import Factors"));
    reportDone(QStringLiteral("Imported the fourteen factors from %1").arg(path));
}

void DesignWindow::exportFactors() {
    const QString path = chooseFile(QStringLiteral("Export Factors"), kSettingsFilter, true);
    if (path.isEmpty())
        return;
    // The factors as the budget uses them (a rain loss in Weather, a dish's
    // gain), so that the window shows the same link. A position the file
    // already holds is kept.
    const LinkFactors factors =
        m_evaluation.ok() ? m_evaluation.sheet.effective : m_evaluation.point.factors();
    LinkFactors ignored{};
    WindowPosition position;
    LoadLinkSettings(path.toStdString(), ignored, position);
    if (!SaveLinkSettings(path.toStdString(), factors, position)) {
        showError(QStringLiteral("cannot write window settings file '%1'").arg(path));
        return;
    }
    // What of the design the file cannot hold: every input set that is not
    // one of the factors (their effect is in the factors written).
    QStringList left;
    for (const ParamRow& row : ParamTable)
        if (FactorOfParam(row) == nullptr && m_document.design().has(row.id))
            left << QString::fromUtf8(ParamCaption(row));
    QString message = QStringLiteral("Wrote the fourteen factors to %1").arg(path);
    if (!left.isEmpty())
        message += QStringLiteral("; %1 holds the fourteen factors only: %2 not written")
                       .arg(QFileInfo(path).fileName(), left.join(QStringLiteral(", ")));
    reportDone(message);
}

void DesignWindow::exportReport() {
    if (!m_evaluation.ok()) {
        showError(QString::fromStdString(m_evaluation.error));
        return;
    }
    QString filter;
    QString path = chooseFile(QStringLiteral("Export Report"), kReportFilter, true, &filter);
    if (path.isEmpty())
        return;
    path = withExtension(path, filter);
    // The calculator's report file: its format named by the extension.
    OutputFile file("report", kReportFormats);
    std::string error;
    if (!file.prepare(path.toStdString(), error)) {
        showError(QString::fromStdString(error));
        return;
    }
    ReportData data;
    {
        const FullStopTexts fullStop;
        const Evaluation& e = m_evaluation;
        const SheetView view{e.sheet, e.model->sections(e.point, e.sheet), std::nullopt, false};
        // The open file's name, and the axis the chart's picker shows.
        const ReportSource source{m_document.path().toStdString(), chartAxis(m_chart->curve())};
        data = BuildReportData(view, *e.model, e.point, source);
    }
    std::string bytes;
    if (!RenderReport(data, static_cast<ReportFormat>(file.format()), bytes, error))
        showError(QString::fromStdString(file.failure(error)));
    else if (!file.write(bytes, error))
        showError(QString::fromStdString(error));
    else
        reportDone(QStringLiteral("Wrote the report to %1 (%2, %3 bytes)")
                       .arg(path, QFileInfo(path).suffix().toUpper())
                       .arg(bytes.size()));
}

void DesignWindow::exportChartPoints() {
    const QString chosen = chooseFile(QStringLiteral("Export Chart Points"), kCsvFilter, true);
    if (chosen.isEmpty())
        return;
    const QString path = withExtension(chosen, QString::fromLatin1(kCsvFilter));
    const MarginCurve& curve = m_chart->curve();
    QString why;
    if (!writeFile(path, CurveCsv(curve), why)) {
        showError(QStringLiteral("cannot write CSV file '%1': %2").arg(path, why));
        return;
    }
    reportDone(QStringLiteral("Wrote %1 points of the fade margin against %2 to %3")
                   .arg(curve.x.size())
                   .arg(curve.caption, path));
}

void DesignWindow::exportBudgetTable() {
    if (!m_evaluation.ok()) {
        showError(QString::fromStdString(m_evaluation.error));
        return;
    }
    const QString chosen = chooseFile(QStringLiteral("Export Budget Table"), kCsvFilter, true);
    if (chosen.isEmpty())
        return;
    const QString path = withExtension(chosen, QString::fromLatin1(kCsvFilter));
    std::string csv;
    {
        const FullStopTexts fullStop;
        csv = BudgetCsv(m_evaluation);
    }
    QString why;
    if (!writeFile(path, csv, why)) {
        showError(QStringLiteral("cannot write CSV file '%1': %2").arg(path, why));
        return;
    }
    reportDone(QStringLiteral("Wrote the budget table (%1 terms, the fade margin and the results) "
                              "to %2")
                   .arg(m_evaluation.terms.size())
                   .arg(path));
}

void DesignWindow::copySheet() {
    if (!m_evaluation.ok()) {
        QGuiApplication::clipboard()->setText(QString::fromStdString(m_evaluation.error));
        return;
    }
    std::string text;
    {
        BufferedOutput out(StringSink(text));
        WriteSheetText(SheetView{m_evaluation.sheet, m_evaluation.sections, std::nullopt, false},
                       out);
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    reportDone(QStringLiteral("Copied the budget sheet as the calculator's text"));
}
