// The charts of the calculation report.
#include "gui/report/report_charts.h"

#include "gui/charts/line_chart_view.h"
#include "gui/charts/reservoir_levels.h"
#include "gui/charts/result_chart_titles.h"

#include <QApplication>
#include <QChart>
#include <QGraphicsScene>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QTextCursor>
#include <QTextFormat>

#include <algorithm>

namespace gui {

namespace {

// A window's chart shows about 4.7 pixels for a millimetre of a report's
// full-width chart (800 pixels for 170 mm): fonts, ticks and margins keep
// the proportions they have on the screen.
constexpr double kViewPixelsPerMm = 4.7;

constexpr int kChartIndex = QTextFormat::UserProperty + 1;
constexpr int kChartSize = QTextFormat::UserProperty + 2;

const QString kStepAxis = "časový krok i [-]";
const QColor kInflowColour(255, 0, 0);
const QColor kOutflowColour(0, 0, 255);

std::vector<desk::ChartPoint> atSteps(const std::vector<double>& values) {
    std::vector<desk::ChartPoint> points;
    points.reserve(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        points.push_back({static_cast<double>(i + 1), values[i]});
    return points;
}

/// The curve's column `y` over its column `x`, in the order of the rows.
std::vector<desk::ChartPoint> curvePoints(const std::vector<std::vector<desk::ReportNumber>>& curve,
                                          std::size_t x, std::size_t y) {
    std::vector<desk::ChartPoint> points;
    for (const std::vector<desk::ReportNumber>& row : curve)
        points.push_back({row[x].value, row[y].value});
    return points;
}

} // namespace

ReportCharts::ReportCharts(double pixelsPerMm, QObject* parent)
    : QObject(parent), m_pixelsPerMm(pixelsPerMm) {}

ReportCharts::~ReportCharts() = default;

void ReportCharts::settle() {
    // Each view fits its axes and lays out its chart in queued steps.
    for (int pass = 0; pass < 3; ++pass)
        QApplication::processEvents();
}

LineChartView& ReportCharts::insert(QTextCursor& cursor, double widthMm, double heightMm) {
    auto view = std::make_unique<LineChartView>();
    view->setAttribute(Qt::WA_DontShowOnScreen);
    // Painted once onto paper: a line gliding into place would be caught half way.
    view->chart()->setAnimationOptions(QChart::NoAnimation);
    view->setFrameShape(QFrame::NoFrame);
    view->resize(static_cast<int>(widthMm * kViewPixelsPerMm),
                 static_cast<int>(heightMm * kViewPixelsPerMm));
    view->show();
    QApplication::processEvents();

    QTextCharFormat format;
    format.setObjectType(kObjectType);
    format.setProperty(kChartIndex, static_cast<int>(m_charts.size()));
    format.setProperty(kChartSize, QSizeF(widthMm * m_pixelsPerMm, heightMm * m_pixelsPerMm));
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
    m_charts.push_back(std::move(view));
    return *m_charts.back();
}

QSizeF ReportCharts::intrinsicSize(QTextDocument*, int, const QTextFormat& format) {
    return format.property(kChartSize).toSizeF();
}

void ReportCharts::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                              const QTextFormat& format) {
    const int index = format.property(kChartIndex).toInt();
    if (index < 0 || index >= static_cast<int>(m_charts.size())) return;
    // The layout moves a chart whole onto the page it fits on, but asks
    // every page near it to paint it; the chart's own clipping would undo
    // the page's, so a page paints only the charts it holds.
    if (painter->hasClipping() && !painter->clipBoundingRect().contains(rect.center())) return;
    QChart* chart = m_charts[static_cast<std::size_t>(index)]->chart();
    // The scene's items paint through the painter: lines, texts and marks
    // reach the page as vectors, not as a picture.
    chart->scene()->render(painter, rect, chart->sceneBoundingRect(), Qt::IgnoreAspectRatio);
}

void ReportCharts::drawFloodWave(LineChartView& chart,
                                 const std::vector<desk::ReportNumber>& wave) {
    chart.setChartTitle("Povodňová vlna");
    chart.setAxisTitles(kStepAxis, "Průtok [m3/s]");
    std::vector<double> values;
    for (const desk::ReportNumber& value : wave)
        values.push_back(value.value);
    chart.appendPoints(chart.addLine(kInflowColour), atSteps(values));
}

void ReportCharts::drawCurveVolumes(LineChartView& chart,
                                    const std::vector<std::vector<desk::ReportNumber>>& curve) {
    chart.setChartTitle("Čára zatopených objemů");
    chart.setAxisTitles("Objem V [m3]", "Výška h [m]");
    chart.appendPoints(chart.addLine(QColor(0, 0, 255)), curvePoints(curve, 2, 1));
}

void ReportCharts::drawCurveAreas(LineChartView& chart,
                                  const std::vector<std::vector<desk::ReportNumber>>& curve) {
    chart.setChartTitle("Čára zatopených ploch");
    chart.setAxisTitles("Plocha A [m2]", "Výška h [m]");
    chart.appendPoints(chart.addLine(QColor(0, 128, 0)), curvePoints(curve, 3, 1));
}

void ReportCharts::drawFlows(LineChartView& chart, const desk::ReportContent& report) {
    chart.setChartTitle(kFlowChartTitle);
    chart.setAxisTitles(kStepAxis, "Průtok [m3/s]");
    QLineSeries* inflow = chart.addLine(kInflowColour);
    inflow->setName("Povodňová vlna");
    chart.appendPoints(inflow, atSteps(report.inflow));
    QLineSeries* outflow = chart.addLine(kOutflowColour);
    outflow->setName("Transformovaná povodeň");
    chart.appendPoints(outflow, atSteps(report.outflow));
    chart.setLegendVisible(true);
    chart.chart()->legend()->setAlignment(Qt::AlignBottom);
}

void ReportCharts::drawLevels(LineChartView& chart, const desk::ReportContent& report) {
    chart.setChartTitle(kLevelChartTitle);
    chart.setAxisTitles(kStepAxis, "Výška vody v nádrži [m]");
    const std::vector<desk::ChartPoint> levels = atSteps(report.levels);
    chart.appendPoints(chart.addLine(Qt::black), levels);
    if (levels.empty()) return;
    drawReservoirLevels(chart, report.reservoirLevels, levels.front().x, levels.back().x);
    markHighestLevel(chart, levels, Qt::black);
}

} // namespace gui
