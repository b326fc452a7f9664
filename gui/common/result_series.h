// What the results window draws and exports from its grids: points at the
// step or the hour of each row, and tables of the series side by side.
#pragma once

#include "gui/common/grid.h"
#include "gui/common/grid_points.h"
#include "gui/common/xlsx_workbook.h"

#include <optional>
#include <string>
#include <vector>

namespace gui {

/// The x of data row `row`: the step i itself, or with a time step the time
/// at its end in hours, i * timeStepMin / 60.
double rowTime(int row, std::optional<double> timeStepMin);

/// The points of a result grid: every value cell of data row r (columns 1,
/// 2, ...; converted by cellNumber) at x = rowTime(r, timeStepMin), row by row.
std::vector<ChartPoint> resultPoints(const Grid& grid, std::optional<double> timeStepMin);

/// What a grid shows of a value cell: a number (sheetCell) with the three
/// decimals an engineer reads discharges and levels in ("48.789"), any other
/// text as it is. The cell itself, the drawing and the export keep the full text.
std::string shownValue(const std::string& text);

/// The header texts of the step and time columns of a result table.
inline constexpr const char* kStepHeader = "i";
inline constexpr const char* kTimeHeader = "t [h]";

/// The grids side by side as one table: a header row, then one row per step
/// i = 1 .. n: i, then (with a time step) t = rowTime(i), then the value
/// columns of each grid in turn, header texts from their row 0, cells through
/// sheetCell (numbers as numbers, other texts as texts). Only what a grid
/// holds is taken: its value columns up to the last with any text (header
/// included) and its rows up to the last with a value; n is the most rows of
/// any grid, and a shorter grid leaves its cells empty below its end.
SheetRows resultTable(const std::vector<const Grid*>& grids, std::optional<double> timeStepMin);

} // namespace gui
