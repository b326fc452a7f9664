// Changes of a grid that can be taken back.
#include "desk/grid_edit.h"

#include <algorithm>

namespace desk {

GridEditBuilder::GridEditBuilder(const Grid& grid) : m_grid(grid) {
    m_edit.rowsBefore = m_edit.rowsAfter = grid.rowCount();
}

void GridEditBuilder::setRowCount(int rows) {
    rows = std::max(rows, 0);
    // What the dropped rows held comes back with an undo.
    for (int row = rows; row < m_grid.rowCount(); ++row)
        for (int column = 0; column < m_grid.storedColumns(row); ++column)
            if (!m_grid.cell(column, row).empty())
                m_edit.cells.push_back({column, row, m_grid.cell(column, row), std::string()});
    m_edit.rowsAfter = rows;
}

void GridEditBuilder::setCell(int column, int row, std::string text) {
    if (row < 0 || row >= m_edit.rowsAfter || column < 0) return;
    const std::string& before = m_grid.cell(column, row); // empty beyond the grid's rows
    if (before == text) return;
    m_edit.cells.push_back({column, row, before, std::move(text)});
}

void GridEditBuilder::numberDataRows() {
    for (int row = 1; row < m_edit.rowsAfter; ++row)
        setCell(0, row, std::to_string(row));
}

void applyEdit(Grid& grid, const GridEdit& edit, bool forward) {
    if (forward) {
        grid.setRowCount(edit.rowsAfter);
        for (const CellChange& change : edit.cells)
            grid.setCell(change.column, change.row, change.after);
    } else {
        grid.setRowCount(edit.rowsBefore);
        for (auto change = edit.cells.rbegin(); change != edit.cells.rend(); ++change)
            grid.setCell(change->column, change->row, change->before);
    }
}

GridEdit editBetween(const Grid& before, const Grid& after) {
    GridEditBuilder builder(before);
    builder.setRowCount(after.rowCount());
    for (int row = 0; row < after.rowCount(); ++row) {
        const int columns = std::max(before.storedColumns(row), after.storedColumns(row));
        for (int column = 0; column < columns; ++column)
            builder.setCell(column, row, after.cell(column, row));
    }
    return builder.take();
}

} // namespace desk
