// The line chart shared by the forms.
#include "gui/charts/line_chart_view.h"

#include "gui/charts/line_decimation.h"

#include <QChart>
#include <QFont>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QMouseEvent>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace gui {

namespace {

constexpr qreal kAnnotationZ = 100.0; // above the lines
// The columns a line is decimated for before the chart has laid out its plot.
constexpr int kColumnsBeforeLayout = 1000;

/// The full view of data from `min` to `max`: widened to whole tick steps.
std::pair<double, double> roundRange(double min, double max, int ticks) {
    if (min > max) return {0.0, 1.0};
    if (min == max) {
        const double half = min == 0.0 ? 0.5 : std::fabs(min) * 0.05;
        min -= half;
        max += half;
    }
    const double step = roundTickStep(max - min, ticks);
    return {std::floor(min / step) * step, std::ceil(max / step) * step};
}

} // namespace

double roundTickStep(double span, int ticks) {
    if (!(span > 0.0) || !std::isfinite(span)) return 1.0;
    const double raw = span / std::max(ticks, 1);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 5.0})
        if (raw <= factor * power * (1.0 + 1e-9)) return factor * power;
    return 10.0 * power;
}

LineChartView::LineChartView(QWidget* parent)
    : QChartView(parent), m_axisX(new QValueAxis), m_axisY(new QValueAxis) {
    auto* chart = new QChart;
    // The lines glide into a zoomed view. The axes do not: their animation
    // cannot follow a tick step that changes with the range.
    chart->setAnimationOptions(QChart::SeriesAnimations);
    chart->setBackgroundBrush(Qt::white);
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 16, 4));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    // Axis labels as a Czech engineer reads numbers: "2,5", not "2.5"; no
    // thousands separators, like every number the front end shows.
    QLocale czech(QLocale::Czech, QLocale::CzechRepublic);
    czech.setNumberOptions(QLocale::OmitGroupSeparator);
    chart->setLocale(czech);
    chart->setLocalizeNumbers(true);
    chart->addAxis(m_axisX, Qt::AlignBottom); // the chart takes the axes
    chart->addAxis(m_axisY, Qt::AlignLeft);
    m_axisY->setMinorTickCount(10);
    // Ten minor grid lines per interval would grey the whole plot: keep them faint.
    m_axisY->setMinorGridLinePen(QPen(QColor(238, 238, 238), 1));
    for (QValueAxis* axis : {m_axisX, m_axisY}) {
        // Ticks at whole multiples of a round step, whatever range a zoom leaves.
        axis->setTickInterval(0.2);
        axis->setTickAnchor(0.0);
        axis->setTickType(QValueAxis::TicksDynamic);
        // Short labels ("20000", not "20000.0" or "2e+04") so that small charts need not elide
        // them.
        axis->setLabelFormat("%.10g");
        axis->setRange(0, 1);
        // Queued: the chart is still laying out the axis when it tells of a
        // range it set itself, and a second change then would upset it.
        connect(
            axis, &QValueAxis::rangeChanged, this, [this, axis] { axisRangeChanged(axis); },
            Qt::QueuedConnection);
    }
    connect(chart, &QChart::plotAreaChanged, this, [this] {
        setRanges(std::nullopt, std::nullopt); // the lines for the plot's width
        placeAnnotations();
    });
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

void LineChartView::hideUnnamedFromLegend() {
    for (QLegendMarker* marker : chart()->legend()->markers())
        if (marker->series()->name().isEmpty()) marker->setVisible(false);
}

void LineChartView::removeAllLines() {
    m_lines.clear();
    chart()->removeAllSeries(); // deletes them
    for (const Annotation& annotation : m_annotations)
        delete annotation.item;
    m_annotations.clear();
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
    std::vector<desk::ChartPoint> points;
    points.reserve(values.size());
    double x = static_cast<double>(dataOf(line).size());
    for (double value : values)
        points.push_back({x++, value});
    appendPoints(line, points);
}

void LineChartView::appendPoints(QLineSeries* line, const std::vector<desk::ChartPoint>& points) {
    dataOf(line).append(points);
    fitAxes();
}

void LineChartView::setStepValues(QLineSeries* line,
                                  std::shared_ptr<const std::vector<double>> values,
                                  StepScale scale) {
    dataOf(line).setSteps(std::move(values), scale);
    fitAxes();
}

DecimatedLine& LineChartView::dataOf(QLineSeries* line) {
    for (auto& [drawn, data] : m_lines)
        if (drawn == line) return data;
    return m_lines.emplace_back(line, DecimatedLine()).second;
}

std::size_t LineChartView::pointCount(const QLineSeries* line) const {
    for (const auto& [drawn, data] : m_lines)
        if (drawn == line) return data.size();
    return 0;
}

QGraphicsSimpleTextItem* LineChartView::addText(const QString& text, const QColor& colour) {
    auto* item = new QGraphicsSimpleTextItem(text, chart());
    item->setBrush(colour);
    item->setZValue(kAnnotationZ);
    return item;
}

QLineSeries* LineChartView::addHorizontalLine(double y, double fromX, double toX,
                                              const QColor& colour, const QString& label) {
    QLineSeries* line = addLine(colour);
    QPen pen(colour, 1.5, Qt::DashLine);
    line->setPen(pen);
    m_annotations.append({addText(label, colour), QPointF(fromX, y), true});
    dataOf(line).setClippedToView(true);
    appendPoints(line, {{fromX, y}, {toX, y}});
    placeAnnotations();
    return line;
}

void LineChartView::markPoint(QPointF point, const QColor& colour, const QString& label) {
    auto* dot = new QScatterSeries;
    chart()->addSeries(dot);
    dot->attachAxis(m_axisX);
    dot->attachAxis(m_axisY);
    dot->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    dot->setMarkerSize(9);
    dot->setColor(colour);
    dot->setBorderColor(colour);
    dot->append(point);
    m_annotations.append({addText(label, colour), point, false});
    placeAnnotations();
}

QList<QLineSeries*> LineChartView::lines() const {
    QList<QLineSeries*> result;
    for (QAbstractSeries* series : chart()->series())
        if (auto* line = qobject_cast<QLineSeries*>(series)) result.append(line);
    return result;
}

QStringList LineChartView::annotations() const {
    QStringList texts;
    for (const Annotation& annotation : m_annotations)
        texts.append(annotation.item->text());
    return texts;
}

// Value axes do not follow their series by themselves: span every point, in
// whole round steps.
void LineChartView::fitAxes() {
    double minX = std::numeric_limits<double>::max(), maxX = std::numeric_limits<double>::lowest();
    double minY = minX, maxY = maxX;
    for (const auto& [line, data] : m_lines) {
        if (data.size() == 0) continue;
        minX = std::min(minX, data.minX());
        maxX = std::max(maxX, data.maxX());
        minY = std::min(minY, data.minY());
        maxY = std::max(maxY, data.maxY());
    }
    std::tie(m_fullMinX, m_fullMaxX) = roundRange(minX, maxX, std::max(2, width() / 100));
    std::tie(m_fullMinY, m_fullMaxY) = roundRange(minY, maxY, std::max(2, height() / 50));
    setRanges(Range(m_fullMinX, m_fullMaxX), Range(m_fullMinY, m_fullMaxY));
}

int LineChartView::plotColumns() const {
    const double width = chart()->plotArea().width();
    return width >= 2.0 ? static_cast<int>(std::ceil(width)) : kColumnsBeforeLayout;
}

// Every change of range (a fit, a dragged rectangle, the wheel, a right
// click, a chosen range, a resize) ends here: back inside the full view, with
// round ticks, and the lines given what the new view shows of them. Each
// change of an axis or a line has the chart lay out every point it holds
// again, so a line about to take new points is emptied before the axes move.
void LineChartView::setRanges(std::optional<Range> x, std::optional<Range> y) {
    if (x) x = inFullView(*x, true);
    if (y) y = inFullView(*y, false);
    const Range shownX = x ? *x : Range(m_axisX->min(), m_axisX->max());
    const int columns = plotColumns();
    std::vector<std::optional<std::vector<desk::ChartPoint>>> shown;
    bool thinned = false;
    for (auto& [line, data] : m_lines) {
        shown.push_back(data.pointsToShow(shownX.first, shownX.second, columns));
        thinned = thinned || data.thinned();
    }
    setThinned(thinned);
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (shown[i] && m_lines[i].first->count() > columns) m_lines[i].first->clear();
    if (x) applyRange(m_axisX, *x);
    if (y) applyRange(m_axisY, *y);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (!shown[i]) continue;
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(shown[i]->size()));
        for (const desk::ChartPoint& p : *shown[i])
            points.append(QPointF(p.x, p.y));
        m_lines[i].first->replace(points);
    }
    placeAnnotations();
    if (shownX != m_shownX) {
        m_shownX = shownX;
        emit horizontalRangeChanged(shownX.first, shownX.second);
    }
}

// Lines glide into a new view only when they keep their points; a thinned
// line takes other points at every zoom, and its dense strokes need no
// smoothing. A chart painted once (the report's) keeps the animation its
// owner turned off.
void LineChartView::setThinned(bool thinned) {
    if (thinned == m_thinned) return;
    m_thinned = thinned;
    if (thinned) {
        m_ownAnimations = chart()->animationOptions();
        m_ownAntialiasing = renderHints().testFlag(QPainter::Antialiasing);
    }
    chart()->setAnimationOptions(thinned ? QChart::NoAnimation : m_ownAnimations);
    setRenderHint(QPainter::Antialiasing, !thinned && m_ownAntialiasing);
}

LineChartView::Range LineChartView::inFullView(Range range, bool horizontal) const {
    auto [min, max] = range;
    const double fullMin = horizontal ? m_fullMinX : m_fullMinY;
    const double fullMax = horizontal ? m_fullMaxX : m_fullMaxY;
    if (max - min >= (fullMax - fullMin) * (1.0 - 1e-12)) return {fullMin, fullMax};
    if (min < fullMin) return {fullMin, max + (fullMin - min)};
    if (max > fullMax) return {min - (max - fullMax), fullMax};
    return range;
}

// The tick step is set before the range, so that a wider range never meets a
// step made for a narrow one (which would make thousands of ticks).
void LineChartView::applyRange(QValueAxis* axis, Range range) {
    const bool horizontal = axis == m_axisX;
    const QRectF plot = chart()->plotArea();
    const int pixels = static_cast<int>(horizontal ? plot.width() : plot.height());
    const int ticks = std::max(2, (pixels > 0 ? pixels : (horizontal ? width() : height())) /
                                      (horizontal ? 70 : 40));
    axis->setTickInterval(roundTickStep(range.second - range.first, ticks));
    if (range.first != axis->min() || range.second != axis->max())
        axis->setRange(range.first, range.second);
}

// A range the chart set itself (the dragged rectangle); for the others this
// finds nothing more to do.
void LineChartView::axisRangeChanged(QValueAxis* axis) {
    const Range range(axis->min(), axis->max());
    if (axis == m_axisX)
        setRanges(range, std::nullopt);
    else
        setRanges(std::nullopt, range);
}

void LineChartView::zoomAbout(QPointF at, double factor) {
    const QList<QAbstractSeries*> series = chart()->series();
    if (series.isEmpty() || !(factor > 0.0)) return;
    const QRectF plot = chart()->plotArea();
    QPointF position = chart()->mapFromScene(mapToScene(at.toPoint()));
    if (!plot.contains(position)) position = plot.center();
    const QPointF value = chart()->mapToValue(position, series.first());
    const auto zoom = [factor](QValueAxis* axis, double about, double fullSpan) {
        const double min = about - (about - axis->min()) / factor;
        const double max = about + (axis->max() - about) / factor;
        return max - min > fullSpan * 1e-9 ? std::make_pair(min, max)
                                           : std::make_pair(axis->min(), axis->max());
    };
    setRanges(zoom(m_axisX, value.x(), m_fullMaxX - m_fullMinX),
              zoom(m_axisY, value.y(), m_fullMaxY - m_fullMinY));
}

void LineChartView::showRangeX(double fromX, double toX) {
    fromX = std::max(fromX, m_fullMinX);
    toX = std::min(toX, m_fullMaxX);
    if (!(fromX < toX)) return;
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (const auto& [line, data] : m_lines)
        if (const auto range = data.yRange(fromX, toX)) {
            low = std::min(low, range->first);
            high = std::max(high, range->second);
        }
    if (!(low <= high)) return setRanges(Range(fromX, toX), std::nullopt);
    // A little room above and below, so that a peak does not touch the frame.
    const double margin = 0.05 * (high > low ? high - low : std::max(std::fabs(high), 1.0));
    setRanges(Range(fromX, toX), Range(low - margin, high + margin));
}

void LineChartView::showAll() {
    setRanges(Range(m_fullMinX, m_fullMaxX), Range(m_fullMinY, m_fullMaxY));
}

void LineChartView::wheelEvent(QWheelEvent* event) {
    const int notches = event->angleDelta().y();
    if (notches == 0) return QChartView::wheelEvent(event);
    zoomAbout(event->position(), std::pow(1.25, notches / 120.0));
    event->accept();
}

// A right click zooms out about the middle of the plot, never past the data
// (the view's own zoom-out would go on beyond it).
void LineChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && rubberBand() != QChartView::NoRubberBand) {
        zoomAbout(mapFromScene(chart()->mapToScene(chart()->plotArea().center())), 0.5);
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void LineChartView::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    setRanges(Range(m_axisX->min(), m_axisX->max()), Range(m_axisY->min(), m_axisY->max()));
}

// Labels follow their data through zooms and resizes; a label whose place
// lies outside the visible range is hidden.
void LineChartView::placeAnnotations() {
    const QList<QAbstractSeries*> series = chart()->series();
    const QRectF plot = chart()->plotArea();
    for (const Annotation& annotation : m_annotations) {
        QGraphicsSimpleTextItem* item = annotation.item;
        const QPointF at = annotation.at;
        const bool inside =
            at.y() >= m_axisY->min() && at.y() <= m_axisY->max() &&
            (annotation.atLeftEdge || (at.x() >= m_axisX->min() && at.x() <= m_axisX->max()));
        item->setVisible(inside && !series.isEmpty());
        if (!item->isVisible()) continue;
        const QPointF pixel = chart()->mapToPosition(at, series.first());
        const QRectF box = item->boundingRect();
        QPointF place;
        if (annotation.atLeftEdge) {
            place = QPointF(plot.left() + 4, pixel.y() - box.height() - 1);
            if (place.y() < plot.top()) place.setY(pixel.y() + 1); // below a line at the top
        } else {
            place = QPointF(pixel.x() + 7, pixel.y() - box.height() - 2);
            if (place.x() + box.width() > plot.right()) place.setX(pixel.x() - 7 - box.width());
            if (place.y() < plot.top()) place.setY(pixel.y() + 4);
        }
        item->setPos(place);
    }
}

} // namespace gui
