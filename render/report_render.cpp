#include "report_render.h"

#include "render_fonts.h"
#include "sweep_plot.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace {

constexpr int kPdfDpi = 96;            // layout units of the page: CSS pixels
constexpr double kPageMarginMm = 15.0; // mm
constexpr int kFontPoints = 8;
constexpr double kChartGap = 8.0;           // pixels between the text and the chart
constexpr double kLeastDetailsPoints = 4.5; // the text output's lines shrink no further

// The size at which the longest line of the text output fits the page's
// width, at most kDetailsPoints: a line is never cut or broken.
double detailsPoints(const ReportData& data, QPaintDevice& device, double width) {
    QFont mono(QString::fromLatin1(kMonoFamily));
    mono.setPointSizeF(kDetailsPoints);
    const QFontMetricsF metrics(mono, &device);
    double widest = 0.0;
    for (const std::string& line : data.details) {
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(line)));
    }
    // A little room for the layout's rounding of glyph positions.
    const double fit = widest > 0.0 ? kDetailsPoints * width * 0.97 / widest : kDetailsPoints;
    return std::clamp(fit, kLeastDetailsPoints, kDetailsPoints);
}

// The document page by page: the layout moves a line that would cross a
// page's end to the next page, and each page is drawn from its own part.
void paintPages(QTextDocument& document, QPainter& painter, QPdfWriter& writer,
                const QSizeF& page) {
    const int pages = document.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0) {
            writer.newPage();
        }
        painter.save();
        painter.translate(0.0, -i * page.height());
        document.drawContents(&painter,
                              QRectF(0.0, i * page.height(), page.width(), page.height()));
        painter.restore();
    }
}

bool renderPdf(const ReportData& data, std::string& bytes, std::string& error) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(kPageMarginMm, kPageMarginMm, kPageMarginMm, kPageMarginMm),
                          QPageLayout::Millimeter);
    writer.setResolution(kPdfDpi);
    writer.setTitle(QString::fromStdString(data.title));
    writer.setCreator(QStringLiteral("Quillstone"));
    QPainter painter;
    if (!painter.begin(&writer)) {
        error = "the PDF could not be started";
        return false;
    }
    const QSizeF page = writer.pageLayout().paintRectPixels(kPdfDpi).size();
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    QFont font(QString::fromLatin1(kSansFamily));
    font.setPointSize(kFontPoints);
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    document.setPageSize(page);
    document.setHtml(
        QString::fromStdString(ReportHtml(data, {}, detailsPoints(data, writer, page.width()))));
    paintPages(document, painter, writer, page);
    // The chart goes under the text on the last page when at least a third
    // of its full height is left there, else on a page of its own.
    if (!data.chart.x.empty()) {
        const double full = page.width() * double(kPlotHeight) / double(kPlotWidth);
        const QRectF last = document.documentLayout()->blockBoundingRect(document.lastBlock());
        double top = last.bottom() - (document.pageCount() - 1) * page.height() + kChartGap;
        if (page.height() - top < full / 3.0) {
            writer.newPage();
            top = 0.0;
        }
        const double height = std::min(full, page.height() - top);
        const double width = page.width() * height / full; // the plot keeps its shape
        PaintSweepPlot(data.chart, painter,
                       QRectF((page.width() - width) / 2.0, top, width, height));
    }
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
        if (data.chart.x.empty()) { // the report says why there is no chart
            bytes = ReportHtml(data, {});
            return true;
        }
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
