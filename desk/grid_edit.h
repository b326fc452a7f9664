// Changes of a grid that can be taken back: the cells a change sets and the
// row count, each with what it held before, so that undo and redo restore
// either state exactly, however many rows a change adds or drops.
#pragma once

#include "desk/grid.h"

#include <string>
#include <vector>

namespace desk {

struct CellChange {
    int column = 0;
    int row = 0;
    std::string before;
    std::string after;
};

/// One change of a grid: its row count before and after, and every cell whose
/// text differs (the cells of rows it drops among them, so undo brings them
/// back).
struct GridEdit {
    int rowsBefore = 0;
    int rowsAfter = 0;
    std::vector<CellChange> cells;
    bool empty() const { return rowsBefore == rowsAfter && cells.empty(); }
};

/// Builds an edit of a grid without changing the grid; only reads it, so
/// another thread may build while nothing writes the grid. Set the row count
/// first, then the cells.
class GridEditBuilder {
public:
    explicit GridEditBuilder(const Grid& grid);

    /// The row count after the edit (the header row included).
    void setRowCount(int rows);
    /// The text of a cell after the edit, each cell at most once; a cell
    /// whose text stays the same is left out, a row beyond the new count ignored.
    void setCell(int column, int row, std::string text);
    /// Numbers every data row after the edit in column 0 (1, 2, ...).
    void numberDataRows();

    int rowCount() const { return m_edit.rowsAfter; }
    GridEdit take() { return std::move(m_edit); }

private:
    const Grid& m_grid;
    GridEdit m_edit;
};

/// Applies `edit` to the grid it was built on (forward) or takes it back from
/// the grid it left (back).
void applyEdit(Grid& grid, const GridEdit& edit, bool forward);

/// The edit that turns `before` into `after`.
GridEdit editBetween(const Grid& before, const Grid& after);

} // namespace desk
