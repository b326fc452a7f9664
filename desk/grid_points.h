// The points a chart line is built from, taken from a grid's cells.
#pragma once

#include "desk/grid.h"

#include <cstddef>
#include <vector>

namespace desk {

struct ChartPoint {
    double x = 0.0;
    double y = 0.0;
};

/// One point per data row r whose cell in `column` is a number (typed with a
/// comma or a point): x = r, as the results draw step i at i, y = the value.
/// A cell that is empty or no number is left out, not drawn as 0.
std::vector<ChartPoint> gridColumnPoints(const Grid& grid, int column);

/// One point per data row whose cells in `xColumn` and `yColumn` are both
/// numbers, ordered by ascending x; rows with equal x keep their row order.
std::vector<ChartPoint> gridPointsSortedByX(const Grid& grid, int xColumn, int yColumn);

} // namespace desk
