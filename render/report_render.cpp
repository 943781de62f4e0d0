#include "report_render.h"

#include "sweep_plot.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <algorithm>

namespace {

constexpr int kPdfDpi = 96;            // layout units of the page: CSS pixels
constexpr double kPageMarginMm = 15.0; // mm
constexpr int kFontPoints = 8;
constexpr double kChartGap = 8.0; // pixels between the tables and the chart

bool renderPdf(const ReportData& data, std::string& bytes, std::string& error) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(kPageMarginMm, kPageMarginMm, kPageMarginMm, kPageMarginMm),
                          QPageLayout::Millimeter);
    writer.setResolution(kPdfDpi);
    writer.setTitle(QString::fromStdString(data.title));
    writer.setCreator(QStringLiteral("quillstone-calc"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        error = "the PDF could not be started";
        return false;
    }
    const QRect page = writer.pageLayout().paintRectPixels(kPdfDpi);
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), kFontPoints));
    document.setDocumentMargin(0);
    document.setTextWidth(page.width());
    document.setHtml(QString::fromStdString(ReportHtml(data, {})));
    document.drawContents(&painter);
    // The chart keeps at least a third of its full height; with many
    // propagation lines it moves to a second page.
    const double full = page.width() * double(kPlotHeight) / double(kPlotWidth);
    double top = document.size().height() + kChartGap;
    if (page.height() - top < full / 3.0) {
        writer.newPage();
        top = 0.0;
    }
    PaintSweepPlot(data.chart, painter,
                   QRectF(0.0, top, page.width(), std::min(full, page.height() - top)));
    if (!painter.end()) {
        error = "the PDF could not be finished";
        return false;
    }
    bytes.assign(buffer.data().constData(), static_cast<std::size_t>(buffer.data().size()));
    return true;
}

} // namespace

std::string ChartSvg(const PlotData& chart) {
    const std::string svg = PaintSvg(chart.title, [&chart](QPainter& painter) {
        PaintSweepPlot(chart, painter, QRectF(0, 0, kPlotWidth, kPlotHeight));
    });
    const std::size_t start = svg.find("<svg");
    return start == std::string::npos ? std::string() : svg.substr(start);
}

bool RenderReport(const ReportData& data, ReportFormat format, std::string& bytes,
                  std::string& error) {
    if (format == ReportFormat::Html) {
        const std::string svg = ChartSvg(data.chart);
        if (svg.empty()) {
            error = "the chart could not be drawn";
            return false;
        }
        bytes = ReportHtml(data, svg);
        return true;
    }
    return renderPdf(data, bytes, error);
}
