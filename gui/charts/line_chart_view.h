// The line chart shared by the forms: value axes with titles and round tick
// steps (1, 2 or 5 x 10^k), ten minor ticks on the vertical axis, flat, zoom
// into a rectangle dragged with the mouse, with the wheel about the pointer
// or to a chosen horizontal range (the lines glide into the new view), out by
// a right click or the wheel but never past the drawn data, no panning. Lines
// are removed and added whole; labelled horizontal lines and marked points
// annotate them.
//
// The view keeps every point of a line but hands the chart only what the
// plot's width can show: a line longer than the plot has pixel columns is
// drawn from the first, lowest, highest and last of its points in each column
// of the range in view (line_decimation.h), chosen again from all of them at
// every zoom and resize. So a series of a million steps draws as fast as one
// of a few thousand and keeps every peak; a line no longer than the plot is
// wide is drawn point for point.
#pragma once

#include "desk/grid_points.h"
#include "gui/charts/line_decimation.h"

#include <QChart>
#include <QChartView>
#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

QT_BEGIN_NAMESPACE
class QGraphicsSimpleTextItem;
class QLineSeries;
class QValueAxis;
QT_END_NAMESPACE

namespace gui {

class LineChartView : public QChartView {
    Q_OBJECT
public:
    explicit LineChartView(QWidget* parent = nullptr);

    /// Bold chart title; empty text hides it.
    void setChartTitle(const QString& title, const QColor& colour = Qt::black,
                       bool underlined = false);
    void setAxisTitles(const QString& horizontal, const QString& vertical,
                       const QColor& colour = Qt::black);
    void setLegendVisible(bool visible);
    /// Leaves out of the legend every line without a name (marks, limits,
    /// lines labelled on the chart).
    void hideUnnamedFromLegend();

    /// Removes every line, label and mark drawn before and returns the view to
    /// its full size.
    void removeAllLines();
    /// Adds an empty line drawn in `colour`; the chart owns it.
    QLineSeries* addLine(const QColor& colour);
    /// Appends values as points whose x counts the points already in the line.
    void appendValues(QLineSeries* line, const std::vector<double>& values);
    /// Appends points in the given order. Lines whose x never decrease are
    /// decimated when long; others are drawn point for point.
    void appendPoints(QLineSeries* line, const std::vector<desk::ChartPoint>& points);
    /// Replaces the points of `line` by a series of steps: value i (from 0)
    /// at x = scale.x(i + 1), the steps themselves or their hours. The values
    /// are shared, not copied, so a long series costs the chart no memory of
    /// its own.
    void setStepValues(QLineSeries* line, std::shared_ptr<const std::vector<double>> values,
                       StepScale scale = {});
    /// A horizontal line at `y` from `fromX` to `toX`, dashed, with `label`
    /// written above it at the left edge of the plot. It counts for the axes'
    /// range like any line, and is drawn over the range in view only.
    QLineSeries* addHorizontalLine(double y, double fromX, double toX, const QColor& colour,
                                   const QString& label);
    /// A dot at `point` with `label` beside it.
    void markPoint(QPointF point, const QColor& colour, const QString& label);

    /// The chart's lines; a long line holds only the points drawn of it.
    QList<QLineSeries*> lines() const;
    /// How many points `line` holds, drawn or not; 0 for a line of another chart.
    std::size_t pointCount(const QLineSeries* line) const;
    /// The texts of the labels drawn on the chart, in the order they were added.
    QStringList annotations() const;
    QValueAxis* horizontalAxis() const { return m_axisX; }
    QValueAxis* verticalAxis() const { return m_axisY; }

    /// Zooms both axes by `factor` (> 1 in, < 1 out) about the plot position
    /// `at` (in the view's coordinates), never beyond the full view.
    void zoomAbout(QPointF at, double factor);
    /// Shows x from `fromX` to `toX` (within the full view), the vertical axis
    /// fitted to what the lines take there.
    void showRangeX(double fromX, double toX);
    /// Returns to the view of all data drawn.
    void showAll();

signals:
    /// The horizontal range in view changed (a zoom, a fit, new lines).
    void horizontalRangeChanged(double min, double max);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Annotation {
        QGraphicsSimpleTextItem* item;
        QPointF at;      // in data coordinates
        bool atLeftEdge; // a line's label: x is the plot's left edge
    };

    void attach(QLineSeries* line);
    using Range = std::pair<double, double>;

    DecimatedLine& dataOf(QLineSeries* line);
    void fitAxes();
    int plotColumns() const;
    /// Every change of range ends here (nullopt: the axis keeps its range).
    void setRanges(std::optional<Range> x, std::optional<Range> y);
    /// A range moved back inside the full view of the axis.
    Range inFullView(Range range, bool horizontal) const;
    void applyRange(QValueAxis* axis, Range range);
    void axisRangeChanged(QValueAxis* axis);
    /// Draws thinned lines without animation or smoothing, and gives the
    /// chart back what its owner chose once no line is thinned.
    void setThinned(bool thinned);
    void placeAnnotations();
    QGraphicsSimpleTextItem* addText(const QString& text, const QColor& colour);

    QValueAxis* m_axisX;
    QValueAxis* m_axisY;
    // The view of all data drawn, which zooming out never passes.
    double m_fullMinX = 0.0, m_fullMaxX = 1.0, m_fullMinY = 0.0, m_fullMaxY = 1.0;
    QList<Annotation> m_annotations;
    std::vector<std::pair<QLineSeries*, DecimatedLine>> m_lines;
    Range m_shownX{0.0, 0.0}; // the range last told by horizontalRangeChanged
    bool m_thinned = false;
    // What the owner chose, kept while thinned lines are drawn.
    QChart::AnimationOptions m_ownAnimations;
    bool m_ownAntialiasing = true;
};

/// The round tick step (1, 2 or 5 x 10^k) that cuts `span` into at most
/// about `ticks` intervals.
double roundTickStep(double span, int ticks);

} // namespace gui
