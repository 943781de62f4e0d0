// The design window's exchanges: the fourteen factors from and to a window
// settings file, the calculator's report, the chart's points as CSV and the
// sheet as the calculator's text.
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
    if (!SaveLinkSettings(path.toStdString(), factors, position))
        showError(QStringLiteral("cannot write window settings file '%1'").arg(path));
}

void DesignWindow::exportReport() {
    if (!m_evaluation.ok()) {
        showError(QString::fromStdString(m_evaluation.error));
        return;
    }
    const QString path = chooseFile(QStringLiteral("Export Report"), kReportFilter, true);
    if (path.isEmpty())
        return;
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
}

void DesignWindow::exportChartPoints() {
    const QString path = chooseFile(QStringLiteral("Export Chart Points"), kCsvFilter, true);
    if (path.isEmpty())
        return;
    QString why;
    if (!writeFile(path, CurveCsv(m_chart->curve()), why))
        showError(QStringLiteral("cannot write CSV file '%1': %2").arg(path, why));
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
}
