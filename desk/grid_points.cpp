// The points a chart line is built from, taken from a grid's cells.
#include "desk/grid_points.h"

#include "desk/typed_number.h"

#include <algorithm>

namespace desk {

std::vector<ChartPoint> gridColumnPoints(const Grid& grid, int column) {
    std::vector<ChartPoint> points;
    for (int row = 1; row < grid.rowCount(); ++row)
        if (const ParsedNumber value = parseTypedNumber(grid.cell(column, row)))
            points.push_back({static_cast<double>(row), value.value});
    return points;
}

std::vector<ChartPoint> gridPointsSortedByX(const Grid& grid, int xColumn, int yColumn) {
    std::vector<ChartPoint> points;
    for (int row = 1; row < grid.rowCount(); ++row) {
        const ParsedNumber x = parseTypedNumber(grid.cell(xColumn, row));
        const ParsedNumber y = parseTypedNumber(grid.cell(yColumn, row));
        if (x && y) points.push_back({x.value, y.value});
    }
    // Each point goes after every point whose x is smaller or equal.
    std::stable_sort(points.begin(), points.end(),
                     [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; });
    return points;
}

} // namespace desk
