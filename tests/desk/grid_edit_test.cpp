// Undo and redo of grid changes: every change, however it reshapes the grid,
// taken back to the grid it started from and made again.
#include "desk/grid_edit.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

/// Every cell a grid holds, hidden columns included, row by row.
std::vector<std::vector<std::string>> cells(const desk::Grid& grid) {
    std::vector<std::vector<std::string>> all(static_cast<std::size_t>(grid.rowCount()));
    for (int row = 0; row < grid.rowCount(); ++row)
        for (int column = 0; column < grid.storedColumns(row); ++column)
            all[static_cast<std::size_t>(row)].push_back(grid.cell(column, row));
    return all;
}

/// A numbered grid of two columns: "i", "Q" and the values 1.5, 2.5, ...; its
/// first data row holds a field beyond the last column, as a load keeps it.
desk::Grid table(int values) {
    desk::Grid grid(2, values + 1);
    grid.setCell(0, 0, "i");
    grid.setCell(1, 0, "Q");
    for (int row = 1; row <= values; ++row) {
        grid.setCell(0, row, std::to_string(row));
        grid.setCell(1, row, std::to_string(row) + ",5");
    }
    grid.setCell(2, 1, "hidden");
    return grid;
}

} // namespace

TEST(GridEdit, UndoRestoresTheGridAndRedoTheChangeWhateverItsShape) {
    const std::pair<const char*, std::function<void(desk::GridEditBuilder&)>> changes[] = {
        {"one cell", [](desk::GridEditBuilder& e) { e.setCell(1, 2, "9"); }},
        {"grown and numbered",
         [](desk::GridEditBuilder& e) {
             e.setRowCount(8);
             e.setCell(1, 7, "7,5");
             e.numberDataRows();
         }},
        {"rows dropped, their hidden fields with them",
         [](desk::GridEditBuilder& e) {
             e.setRowCount(1);
             e.setCell(1, 0, "h [m]");
         }},
        {"a cell beyond the new end ignored",
         [](desk::GridEditBuilder& e) {
             e.setRowCount(3);
             e.setCell(1, 4, "lost");
         }},
    };
    for (const auto& [name, change] : changes) {
        desk::Grid grid = table(4);
        const auto before = cells(grid);
        desk::GridEditBuilder builder(grid);
        change(builder);
        const desk::GridEdit edit = builder.take();
        desk::applyEdit(grid, edit, true);
        const auto after = cells(grid);
        EXPECT_NE(after, before) << name;
        desk::applyEdit(grid, edit, false);
        EXPECT_EQ(cells(grid), before) << name;
        desk::applyEdit(grid, edit, true);
        EXPECT_EQ(cells(grid), after) << name;
    }
}

TEST(GridEdit, OnlyCellsThatChangeAreKept) {
    const desk::Grid grid = table(3);
    desk::GridEditBuilder builder(grid);
    builder.setCell(1, 1, "1,5");
    builder.numberDataRows(); // numbered already
    EXPECT_TRUE(builder.take().empty());

    // A load: the edit between two grids takes one to the other and back.
    desk::Grid loaded = table(6);
    loaded.setCell(1, 2, "x");
    const desk::GridEdit edit = desk::editBetween(grid, loaded);
    desk::Grid changed = grid;
    desk::applyEdit(changed, edit, true);
    EXPECT_EQ(cells(changed), cells(loaded));
    desk::applyEdit(changed, edit, false);
    EXPECT_EQ(cells(changed), cells(grid));
    EXPECT_EQ(edit.cells.size(), 7u); // rows 4 to 6 and the changed cell
}
