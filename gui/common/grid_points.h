// The points a chart line is built from, taken from a grid's cells.
#pragma once

#include "gui/common/grid.h"

#include <vector>

namespace gui {

struct ChartPoint {
    double x = 0.0;
    double y = 0.0;
};

/// Every value cell of the grid, row by row and within a row column 1, 2, ...
/// (data rows 1 .. rowCount-1, columns 1 .. columnCount-1), converted by
/// cellNumber. Point i of a chart line gets x = i, so with one value column
/// row r stands at x = r - 1.
std::vector<double> gridValues(const Grid& grid);

/// One point per data row: x from column `xColumn`, y from column `yColumn`,
/// converted by cellNumber, ordered by ascending x; rows with equal x keep
/// their row order.
std::vector<ChartPoint> gridPointsSortedByX(const Grid& grid, int xColumn, int yColumn);

} // namespace gui
