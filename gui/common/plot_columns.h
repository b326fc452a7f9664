// Turning a grid's value cells into the points of a chart line.
#pragma once

#include "gui/common/grid.h"

#include <vector>

namespace gui {

struct LinePoint {
    double x = 0.0; // the point's index in its line
    double y = 0.0; // the cell's value
};

/// Appends every value cell of `grid` (data rows 1 .., and within a row the
/// value columns 1 .. columnCount - 1) to `line` as the next point: x is the
/// number of points already in the line, y the cell converted by cellNumber
/// (an empty cell is 0). With one value column, row r lands at x = r - 1.
void plotGridColumns(const Grid& grid, std::vector<LinePoint>& line);

} // namespace gui
