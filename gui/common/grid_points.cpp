// The points a chart line is built from, taken from a grid's cells.
#include "gui/common/grid_points.h"

#include "gui/common/typed_number.h"

#include <algorithm>

namespace gui {

std::vector<double> gridValues(const Grid& grid) {
    std::vector<double> values;
    for (int row = 1; row < grid.rowCount(); ++row)
        for (int column = 1; column < grid.columnCount(); ++column)
            values.push_back(cellNumber(grid.cell(column, row)));
    return values;
}

std::vector<ChartPoint> gridPointsSortedByX(const Grid& grid, int xColumn, int yColumn) {
    std::vector<ChartPoint> points;
    for (int row = 1; row < grid.rowCount(); ++row)
        points.push_back(
            {cellNumber(grid.cell(xColumn, row)), cellNumber(grid.cell(yColumn, row))});
    // Each point goes after every point whose x is smaller or equal.
    std::stable_sort(points.begin(), points.end(),
                     [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; });
    return points;
}

} // namespace gui
