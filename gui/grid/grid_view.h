// The look shared by every grid of the forms: fixed cell sizes, the grid's
// header row as the view's fixed header, the numbering column as greyed cells.
#pragma once

class QAbstractItemModel;
class QTableView;

namespace gui {

/// Puts `model` into `view` and gives the view the grids' look: every column
/// `columnWidthPx` wide, every row `rowHeightPx` high, grid lines, range
/// selection, Tab moving from cell to cell, a vertical scroll bar when needed.
/// Call again (or call applyGridSizes) after the model was reloaded.
void setupGridView(QTableView& view, QAbstractItemModel& model, int columnWidthPx, int rowHeightPx);

/// Applies the fixed column width and row height to the view's current shape.
void applyGridSizes(QTableView& view, int columnWidthPx, int rowHeightPx);

} // namespace gui
