// Which points of a long line a chart draws: per pixel column of the plot the
// first, the lowest, the highest and the last point that fall into it
// (min-max decimation). Every peak and trough stays visible at every zoom,
// while a line of millions of points costs the chart a few thousand.
#pragma once

#include "gui/common/grid_points.h"

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace gui {

/// True when no point's x is smaller than the x of the point before it, as
/// in every line over steps or hours. Only such lines are decimated.
bool ascendingX(const std::vector<ChartPoint>& points);

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
std::vector<std::size_t> decimatedIndices(const std::vector<ChartPoint>& points, double fromX,
                                          double toX, int columns);

/// The lowest and highest y a line (x ascending) takes between `fromX` and
/// `toX`: its points there and, where it crosses fromX or toX, its values at
/// those edges (so a line from far left to far right counts too). Empty when
/// the line does not reach into the range.
std::optional<std::pair<double, double>> yRangeBetween(const std::vector<ChartPoint>& points,
                                                       double fromX, double toX);

} // namespace gui
