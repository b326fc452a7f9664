// What the results window draws and exports from its grids.
#include "gui/common/result_series.h"

#include "gui/common/spreadsheet_export.h"
#include "gui/common/typed_number.h"

#include <algorithm>
#include <charconv>

namespace gui {

namespace {

/// The value columns (1 .. columns-1) and data rows (1 .. rows-1) of a grid
/// that hold any text.
struct UsedExtent {
    int columns = 1;
    int rows = 1;
};

UsedExtent usedExtent(const Grid& grid) {
    UsedExtent used;
    for (int row = 0; row < grid.rowCount(); ++row)
        for (int column = 1; column < grid.columnCount(); ++column)
            if (!grid.cell(column, row).empty()) {
                used.columns = std::max(used.columns, column + 1);
                if (row > 0) used.rows = std::max(used.rows, row + 1);
            }
    return used;
}

} // namespace

double rowTime(int row, std::optional<double> timeStepMin) {
    // The product first, so that whole hours stay whole (i * 10 / 60, not i * 0.1666...).
    return timeStepMin ? row * *timeStepMin / 60.0 : static_cast<double>(row);
}

std::string shownValue(const std::string& text) {
    const SheetCell cell = sheetCell(text);
    const double* number = std::get_if<double>(&cell);
    if (number == nullptr) return text;
    char shown[400]; // room for the 309 digits of the largest double
    // to_chars writes a decimal point whatever the user's locale.
    const auto written =
        std::to_chars(shown, shown + sizeof shown, *number, std::chars_format::fixed, 3);
    return std::string(shown, written.ptr);
}

std::vector<ChartPoint> resultPoints(const Grid& grid, std::optional<double> timeStepMin) {
    std::vector<ChartPoint> points;
    for (int row = 1; row < grid.rowCount(); ++row) {
        const double x = rowTime(row, timeStepMin);
        for (int column = 1; column < grid.columnCount(); ++column)
            points.push_back({x, cellNumber(grid.cell(column, row))});
    }
    return points;
}

SheetRows resultTable(const std::vector<const Grid*>& grids, std::optional<double> timeStepMin) {
    std::vector<UsedExtent> used;
    int rows = 1;
    for (const Grid* grid : grids) {
        used.push_back(usedExtent(*grid));
        rows = std::max(rows, used.back().rows);
    }
    SheetRows table(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        auto& cells = table[static_cast<std::size_t>(row)];
        if (row == 0) {
            cells.emplace_back(std::string(kStepHeader));
            if (timeStepMin) cells.emplace_back(std::string(kTimeHeader));
        } else {
            cells.emplace_back(static_cast<double>(row));
            if (timeStepMin) cells.emplace_back(rowTime(row, timeStepMin));
        }
        for (std::size_t g = 0; g < grids.size(); ++g)
            for (int column = 1; column < used[g].columns; ++column)
                cells.push_back(row < used[g].rows ? sheetCell(grids[g]->cell(column, row))
                                                   : SheetCell{});
    }
    return table;
}

} // namespace gui
