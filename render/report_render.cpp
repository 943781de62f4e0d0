#include "report_render.h"

#include "profile_paint.h"
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
#include <functional>

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

// A figure of the page's width and its shape (width over height), with
// `below` pixels under it for a caption: on the current page from `top` when
// at least a third of it fits there, else at the top of a new page. Returns
// where the next figure may start.
double placeFigure(QPdfWriter& writer, const QSizeF& page, double top, double shape, double below,
                   const std::function<void(const QRectF&)>& paint) {
    const double full = page.width() / shape;
    if (page.height() - top - below < full / 3.0) {
        writer.newPage();
        top = 0.0;
    }
    const double height = std::min(full, page.height() - top - below);
    const double width = height * shape; // the figure keeps its shape
    paint(QRectF((page.width() - width) / 2.0, top, width, height));
    return top + height + below + kChartGap;
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
    // of its full height is left there, else on a page of its own; the
    // terrain profile under it the same way, with its caption.
    double top = document.documentLayout()->blockBoundingRect(document.lastBlock()).bottom() -
                 (document.pageCount() - 1) * page.height() + kChartGap;
    if (!data.chart.x.empty()) {
        top = placeFigure(writer, page, top, double(kPlotWidth) / kPlotHeight, 0.0,
                          [&](const QRectF& box) { PaintSweepPlot(data.chart, painter, box); });
    }
    if (data.profile) {
        QFont font(QString::fromLatin1(kSansFamily));
        font.setPointSize(kFontPoints);
        font.setItalic(true);
        const QString caption = QString::fromStdString(data.profileCaption);
        const QRectF captionBox = QFontMetricsF(font, &writer)
                                      .boundingRect(QRectF(0.0, 0.0, page.width(), page.height()),
                                                    Qt::TextWordWrap, caption);
        placeFigure(writer, page, top, double(kProfileWidth) / kProfileHeight,
                    captionBox.height() + kChartGap, [&](const QRectF& box) {
                        PaintProfile(painter, box, *data.profile, PaperProfileStyle(kFontPoints));
                        painter.setFont(font);
                        painter.setPen(Qt::black);
                        painter.drawText(QRectF(0.0, box.bottom() + kChartGap / 2.0, page.width(),
                                                captionBox.height()),
                                         Qt::TextWordWrap, caption);
                    });
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
        std::string svg; // none: the report says why there is no chart
        if (!data.chart.x.empty()) {
            svg = ChartSvg(data.chart);
            if (svg.empty()) {
                error = "the chart could not be drawn";
                return false;
            }
        }
        std::string profile;
        if (data.profile) {
            profile = ProfileSvg(*data.profile);
            if (profile.empty()) {
                error = "the terrain profile could not be drawn";
                return false;
            }
        }
        bytes = ReportHtml(data, svg, kDetailsPoints, profile);
        return true;
    }
    return renderPdf(data, bytes, error);
}
