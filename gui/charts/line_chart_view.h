// The line chart shared by the forms: value axes with titles and round tick
// steps (1, 2 or 5 x 10^k), ten minor ticks on the vertical axis, flat, zoom
// into a rectangle dragged with the mouse or with the wheel about the
// pointer (the lines glide into the new view), out by a right click or the
// wheel but never past the drawn data, no panning. Lines are removed
// and added whole; labelled horizontal lines and marked points annotate them.
#pragma once

#include "gui/common/grid_points.h"

#include <QChartView>
#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>

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

    /// Removes every line, label and mark drawn before and returns the view to
    /// its full size.
    void removeAllLines();
    /// Adds an empty line drawn in `colour`; the chart owns it.
    QLineSeries* addLine(const QColor& colour);
    /// Appends values as points whose x counts the points already in the line.
    void appendValues(QLineSeries* line, const std::vector<double>& values);
    /// Appends points in the given order.
    void appendPoints(QLineSeries* line, const std::vector<ChartPoint>& points);
    /// A horizontal line at `y` from `fromX` to `toX`, dashed, with `label`
    /// written above it at the left edge of the plot. It counts for the axes'
    /// range like any line.
    QLineSeries* addHorizontalLine(double y, double fromX, double toX, const QColor& colour,
                                   const QString& label);
    /// A dot at `point` with `label` beside it.
    void markPoint(QPointF point, const QColor& colour, const QString& label);

    QList<QLineSeries*> lines() const;
    /// The texts of the labels drawn on the chart, in the order they were added.
    QStringList annotations() const;
    QValueAxis* horizontalAxis() const { return m_axisX; }
    QValueAxis* verticalAxis() const { return m_axisY; }

    /// Zooms both axes by `factor` (> 1 in, < 1 out) about the plot position
    /// `at` (in the view's coordinates), never beyond the full view.
    void zoomAbout(QPointF at, double factor);

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
    void fitAxes();
    void axisRangeChanged(QValueAxis* axis);
    void setRange(QValueAxis* axis, double min, double max);
    void placeAnnotations();
    QGraphicsSimpleTextItem* addText(const QString& text, const QColor& colour);

    QValueAxis* m_axisX;
    QValueAxis* m_axisY;
    // The view of all data drawn, which zooming out never passes.
    double m_fullMinX = 0.0, m_fullMaxX = 1.0, m_fullMinY = 0.0, m_fullMaxY = 1.0;
    QList<Annotation> m_annotations;
};

/// The round tick step (1, 2 or 5 x 10^k) that cuts `span` into at most
/// about `ticks` intervals.
double roundTickStep(double span, int ticks);

} // namespace gui
