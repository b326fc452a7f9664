// Which points of a long line a chart draws: per pixel column of the plot the
// first, the lowest, the highest and the last point that fall into it
// (min-max decimation). Every peak and trough stays visible at every zoom,
// while a line of millions of points costs the chart a few thousand.
#pragma once

#include "desk/grid_points.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace gui {

/// Where the steps of a series stand on a chart's horizontal axis: step s
/// (from 1) at x = firstX + (s - 1) * stepLength / unit; over steps {1, 1, 1},
/// over hours {0, timeStepMin, 60}. The product comes first, so that whole
/// hours stay whole.
struct StepScale {
    double firstX = 1.0;
    double stepLength = 1.0;
    double unit = 1.0;
    double x(double step) const { return firstX + (step - 1.0) * stepLength / unit; }
    /// The step (not rounded) that stands at `x`.
    double step(double x) const { return (x - firstX) * unit / stepLength + 1.0; }
};

/// True when no point's x is smaller than the x of the point before it, as
/// in every line over steps or hours. Only such lines are decimated.
bool ascendingX(const std::vector<desk::ChartPoint>& points);

/// The indices, ascending and each once, of the points (x ascending) that a
/// plot showing x from `fromX` to `toX` over `columns` pixel columns draws:
///  - every point, when the line holds no more points than the plot has
///    columns (or the range or the column count is empty);
///  - otherwise the points with x in [fromX, toX], every one of them when
///    they are no more than the columns, else per column (x mapped linearly,
///    fromX to the left edge of column 0, toX to the right edge of the last)
///    its first point, its lowest, its highest and its last;
///    and beside them the nearest point left of fromX and the nearest right of
///    toX, so that the line runs on to the plot's edges.
std::vector<std::size_t> decimatedIndices(const std::vector<desk::ChartPoint>& points, double fromX,
                                          double toX, int columns);

/// The lowest and highest y a line (x ascending) takes between `fromX` and
/// `toX`: its points there and, where it crosses fromX or toX, its values at
/// those edges (so a line from far left to far right counts too). Empty when
/// the line does not reach into the range.
std::optional<std::pair<double, double>> yRangeBetween(const std::vector<desk::ChartPoint>& points,
                                                       double fromX, double toX);

/// Every point of a chart line, and what of them the chart was given last.
/// The points are the line's own, or the values of a series of steps shared
/// with whoever loaded them: value i at x = scale.x(i + 1), held once for
/// the grid, the chart and the export alike.
class DecimatedLine {
public:
    /// Appends points in the given order; the next pointsToShow gives the line anew.
    void append(const std::vector<desk::ChartPoint>& points);
    /// Replaces the line by the steps of `values`.
    void setSteps(std::shared_ptr<const std::vector<double>> values, StepScale scale);
    /// Draws the line (x ascending) only over the range in view, from its
    /// value at the left edge to its value at the right: a long dashed line
    /// keeps its dashes however deep the zoom (a painter draws a dashed line
    /// of too many dashes solid).
    void setClippedToView(bool clipped) {
        m_clipped = clipped;
        m_shown = false;
    }

    std::size_t size() const { return m_values ? m_values->size() : m_points.size(); }
    desk::ChartPoint at(std::size_t i) const {
        return m_values ? desk::ChartPoint{m_scale.x(static_cast<double>(i + 1)), (*m_values)[i]}
                        : m_points[i];
    }
    /// The smallest and largest x and y of the points; zero for an empty line.
    double minX() const { return m_minX; }
    double maxX() const { return m_maxX; }
    double minY() const { return m_minY; }
    double maxY() const { return m_maxY; }

    /// What a plot showing x from `fromX` to `toX` over `columns` pixel
    /// columns draws of the line (decimatedIndices; every point of a line
    /// whose x decrease somewhere), or nothing when the chart holds that
    /// already. Remembers what it gave.
    std::optional<std::vector<desk::ChartPoint>> pointsToShow(double fromX, double toX,
                                                              int columns);
    /// The chart was given fewer points than the line has.
    bool thinned() const { return m_shownCount < size(); }

    /// The lowest and highest y the line takes between fromX and toX
    /// (yRangeBetween; the points there for a line whose x decrease somewhere).
    std::optional<std::pair<double, double>> yRange(double fromX, double toX) const;

private:
    void findBounds();
    void takeBounds(const desk::ChartPoint& p);

    std::vector<desk::ChartPoint> m_points;
    std::shared_ptr<const std::vector<double>> m_values;
    StepScale m_scale;
    bool m_ascending = true;
    bool m_clipped = false;
    double m_minX = 0.0, m_maxX = 0.0, m_minY = 0.0, m_maxY = 0.0;
    // What the chart was given: for which view, and how many points.
    bool m_shown = false;
    double m_shownFromX = 0.0, m_shownToX = 0.0;
    int m_shownColumns = 0;
    std::size_t m_shownCount = 0;
};

} // namespace gui
