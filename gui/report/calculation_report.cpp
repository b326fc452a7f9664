// The calculation report of a project as an A4 PDF.
#include "gui/report/calculation_report.h"

#include "desk/program_version.h"
#include "desk/report_target.h"
#include "gui/report/report_charts.h"
#include "gui/report/report_document.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace gui {

namespace {

constexpr int kResolutionDpi = 300;
constexpr double kMmPerInch = 25.4;
// The text's frame on the A4 page [mm]: the header above it, the page's
// number below it.
constexpr double kLeftMm = 20.0, kRightMm = 15.0, kTopMm = 22.0, kBottomMm = 18.0;
constexpr double kPageWidthMm = 210.0, kPageHeightMm = 297.0;

// DejaVu Sans holds every Czech letter; where it is missing Qt takes the
// nearest sans-serif font, which the writer embeds all the same.
QFont reportFont(double points) {
    QFont font("DejaVu Sans");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

QString documentStyle() {
    return "h1 { font-size: 18pt; margin-bottom: 2pt; }"
           "h2 { font-size: 13pt; margin-top: 12pt; margin-bottom: 4pt; }"
           "h3 { font-size: 10.5pt; margin-top: 9pt; margin-bottom: 3pt; }"
           "p { margin-top: 3pt; margin-bottom: 3pt; }"
           "th { font-weight: bold; }";
}

/// The project's name and the report's title above the text, the page's
/// number below it.
void drawPageFrame(QPainter& painter, const QRectF& body, double pxPerMm, const QString& project,
                   int page, int pages) {
    painter.save();
    painter.setFont(reportFont(8.0));
    painter.setPen(QColor(60, 60, 60));
    const QRectF header(body.left(), 10.0 * pxPerMm, body.width(), 8.0 * pxPerMm);
    painter.drawText(header, Qt::AlignLeft | Qt::AlignBottom, "Projekt: " + project);
    painter.drawText(header, Qt::AlignRight | Qt::AlignBottom,
                     QString(kReportTitle) + " – transformace povodňové vlny");
    painter.setPen(QPen(QColor(120, 120, 120), 0.3 * pxPerMm));
    painter.drawLine(QPointF(body.left(), header.bottom() + 1.5 * pxPerMm),
                     QPointF(body.right(), header.bottom() + 1.5 * pxPerMm));
    const QRectF footer(body.left(), (kPageHeightMm - 12.0) * pxPerMm, body.width(), 6.0 * pxPerMm);
    painter.setPen(QColor(60, 60, 60));
    painter.drawText(footer, Qt::AlignHCenter | Qt::AlignVCenter,
                     QString("Strana %1 z %2").arg(page).arg(pages));
    painter.restore();
}

/// Paints the laid-out document page by page, with its frame.
bool paintPages(QPdfWriter& writer, QTextDocument& document, const QRectF& body, double pxPerMm,
                const QString& project) {
    QPainter painter;
    if (!painter.begin(&writer)) return false;
    const int pages = document.pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !writer.newPage()) return false;
        painter.save();
        painter.translate(body.left(), body.top() - page * body.height());
        const QRectF area(0.0, page * body.height(), body.width(), body.height());
        painter.setClipRect(area);
        // The layout draws every line the clip touches, and a line moved to
        // the next page starts on the page's very edge: clipped from sight,
        // it would still stand in the page's text layer, where copying and
        // searching meet it twice. Lines are chosen a pixel inside the page.
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = area.adjusted(0.0, 1.0, 0.0, -1.0);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
        drawPageFrame(painter, body, pxPerMm, project, page + 1, pages);
    }
    return painter.end();
}

} // namespace

QString writeCalculationReport(const desk::ReportContent& report, const QString& pdfPath) {
    QSaveFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly))
        return "Protokol nelze uložit do " + pdfPath + ": " + file.errorString();
    const QString project = QString::fromStdString(report.projectName);
    QPdfWriter writer(&file);
    writer.setResolution(kResolutionDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    writer.setTitle(QString(kReportTitle) + " – " + project);
    const QString version = QString::fromUtf8(desk::kProgramVersion);
    writer.setCreator("VELDRON " + version);

    const double pxPerMm = kResolutionDpi / kMmPerInch;
    const QRectF body(kLeftMm * pxPerMm, kTopMm * pxPerMm,
                      (kPageWidthMm - kLeftMm - kRightMm) * pxPerMm,
                      (kPageHeightMm - kTopMm - kBottomMm) * pxPerMm);
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    document.setDefaultFont(reportFont(9.0));
    document.setDefaultStyleSheet(documentStyle());
    document.setDocumentMargin(0.0);
    document.setPageSize(body.size());
    ReportCharts charts(pxPerMm);
    document.documentLayout()->registerHandler(ReportCharts::kObjectType, &charts);
    buildReportDocument(document, charts, report,
                        version + ", sestaveno " + QString::fromUtf8(desk::kBuildDate));

    if (!paintPages(writer, document, body, pxPerMm, project) || !file.commit())
        return "Protokol nelze uložit do " + pdfPath + ": " + file.errorString();
    return {};
}

QString makeCalculationReport(const std::filesystem::path& root, const QString& pdfPath) {
    if (const std::string problem =
            desk::reportTargetProblem(root, std::filesystem::path(pdfPath.toStdU16String()));
        !problem.empty())
        return QString::fromStdString(problem);
    try {
        return writeCalculationReport(desk::gatherReport(root), pdfPath);
    } catch (const desk::ReportRefused& refused) {
        return QString::fromUtf8(refused.what());
    }
}

} // namespace gui
