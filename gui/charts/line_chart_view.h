// The line chart shared by the forms: value axes with titles, ten minor ticks
// on the vertical axis, flat, zoom into a rectangle dragged with the mouse
// (animated), no panning. Lines are removed and added whole.
#pragma once

#include "gui/common/grid_points.h"

#include <QChartView>
#include <QColor>
#include <QList>
#include <QString>

#include <vector>

QT_BEGIN_NAMESPACE
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

    /// Removes every line drawn before and returns the view to its full size.
    void removeAllLines();
    /// Adds an empty line drawn in `colour`; the chart owns it.
    QLineSeries* addLine(const QColor& colour);
    /// Appends values as points whose x counts the points already in the line.
    void appendValues(QLineSeries* line, const std::vector<double>& values);
    /// Appends points in the given order.
    void appendPoints(QLineSeries* line, const std::vector<ChartPoint>& points);

    QList<QLineSeries*> lines() const;
    QValueAxis* horizontalAxis() const { return m_axisX; }
    QValueAxis* verticalAxis() const { return m_axisY; }

private:
    void attach(QLineSeries* line);
    void fitAxes();

    QValueAxis* m_axisX;
    QValueAxis* m_axisY;
};

} // namespace gui
