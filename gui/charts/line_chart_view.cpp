// The line chart shared by the forms.
#include "gui/charts/line_chart_view.h"

#include <QChart>
#include <QFont>
#include <QGraphicsLayout>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>

#include <algorithm>
#include <limits>

namespace gui {

LineChartView::LineChartView(QWidget* parent)
    : QChartView(parent), m_axisX(new QValueAxis), m_axisY(new QValueAxis) {
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::GridAxisAnimations); // the zoom is animated
    chart->setBackgroundBrush(Qt::white);
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 16, 4));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->addAxis(m_axisX, Qt::AlignBottom); // the chart takes the axes
    chart->addAxis(m_axisY, Qt::AlignLeft);
    m_axisY->setMinorTickCount(10);
    // Ten minor grid lines per interval would grey the whole plot: keep them faint.
    m_axisY->setMinorGridLinePen(QPen(QColor(238, 238, 238), 1));
    // Short labels ("20000", not "20000.0" or "2e+04") so that small charts need not elide them.
    m_axisX->setLabelFormat("%.10g");
    m_axisY->setLabelFormat("%.10g");
    m_axisX->setRange(0, 1);
    m_axisY->setRange(0, 1);
    setChart(chart); // the view takes the chart
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::RectangleRubberBand);
    setDragMode(QGraphicsView::NoDrag);
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
}

void LineChartView::setChartTitle(const QString& title, const QColor& colour, bool underlined) {
    QFont font = chart()->titleFont();
    font.setBold(true);
    font.setUnderline(underlined);
    chart()->setTitleFont(font);
    chart()->setTitleBrush(colour);
    chart()->setTitle(title);
}

void LineChartView::setAxisTitles(const QString& horizontal, const QString& vertical,
                                  const QColor& colour) {
    m_axisX->setTitleText(horizontal);
    m_axisY->setTitleText(vertical);
    m_axisX->setTitleBrush(colour);
    m_axisY->setTitleBrush(colour);
}

void LineChartView::setLegendVisible(bool visible) {
    chart()->legend()->setVisible(visible);
}

void LineChartView::removeAllLines() {
    chart()->zoomReset();
    chart()->removeAllSeries(); // deletes them
    fitAxes();
}

QLineSeries* LineChartView::addLine(const QColor& colour) {
    auto* line = new QLineSeries;
    attach(line);
    // Joining the chart applies the theme's colour: set ours afterwards.
    line->setColor(colour);
    return line;
}

void LineChartView::attach(QLineSeries* line) {
    chart()->addSeries(line);
    line->attachAxis(m_axisX);
    line->attachAxis(m_axisY);
}

void LineChartView::appendValues(QLineSeries* line, const std::vector<double>& values) {
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(values.size()));
    qsizetype x = line->count();
    for (double value : values)
        points.append(QPointF(static_cast<double>(x++), value));
    line->append(points);
    fitAxes();
}

void LineChartView::appendPoints(QLineSeries* line, const std::vector<ChartPoint>& points) {
    QList<QPointF> list;
    list.reserve(static_cast<qsizetype>(points.size()));
    for (const ChartPoint& p : points)
        list.append(QPointF(p.x, p.y));
    line->append(list);
    fitAxes();
}

QList<QLineSeries*> LineChartView::lines() const {
    QList<QLineSeries*> result;
    for (QAbstractSeries* series : chart()->series())
        if (auto* line = qobject_cast<QLineSeries*>(series)) result.append(line);
    return result;
}

// Value axes do not follow their series by themselves: span every point.
void LineChartView::fitAxes() {
    double minX = std::numeric_limits<double>::max(), maxX = std::numeric_limits<double>::lowest();
    double minY = minX, maxY = maxX;
    for (QLineSeries* line : lines()) {
        for (const QPointF& p : line->points()) {
            minX = std::min(minX, p.x());
            maxX = std::max(maxX, p.x());
            minY = std::min(minY, p.y());
            maxY = std::max(maxY, p.y());
        }
    }
    if (minX > maxX) { // no points
        minX = minY = 0.0;
        maxX = maxY = 1.0;
    }
    if (minX == maxX) maxX = minX + 1.0;
    if (minY == maxY) maxY = minY + 1.0;
    m_axisX->setRange(minX, maxX);
    m_axisY->setRange(minY, maxY);
    m_axisX->applyNiceNumbers();
    m_axisY->applyNiceNumbers();
}

} // namespace gui
