// Turning a grid's value cells into the points of a chart line.
#include "gui/common/plot_columns.h"

#include "gui/common/cell_number.h"

namespace gui {

void plotGridColumns(const Grid& grid, std::vector<LinePoint>& line) {
    for (int row = 1; row < grid.rowCount(); ++row)
        for (int column = 1; column < grid.columnCount(); ++column)
            line.push_back({static_cast<double>(line.size()), cellNumber(grid.cell(column, row))});
}

} // namespace gui
