// The look shared by every grid of the forms: fixed cell sizes, the grid's
// header row as the view's fixed header, the numbering column as greyed cells;
// and the clipboard keys of every grid: Ctrl+C, Ctrl+V, Delete.
#pragma once

#include <QObject>

class QAbstractItemModel;
class QTableView;

namespace gui {

class GridClipboard;

/// Puts `model` into `view` and gives the view the grids' look: every column
/// `columnWidthPx` wide, every row `rowHeightPx` high, grid lines, range
/// selection, Tab moving from cell to cell, a vertical scroll bar when needed,
/// and the clipboard keys (installGridClipboard).
/// Call again (or call applyGridSizes) after the model was reloaded.
GridClipboard* setupGridView(QTableView& view, QAbstractItemModel& model, int columnWidthPx,
                             int rowHeightPx);

/// Applies the fixed column width and row height to the view's current shape.
void applyGridSizes(QTableView& view, int columnWidthPx, int rowHeightPx);

/// The clipboard keys of a grid, whatever model stands behind the view: cells
/// are read through the model's data (the edit text, else the shown text) and
/// written through setData, only where the model lets them be edited; a
/// read-only model thus gives a grid that copies only.
///   Ctrl+C: the selected cells as tab-separated rows, numbers with a
///           decimal comma (a spreadsheet on a Czech system reads them).
///   Ctrl+V: a block of tab-separated rows from the current cell on, numbers
///           with a decimal comma or point; the grid grows by rows
///           (insertRows) as needed. A cell that is no number, or a block
///           wider than the table, is refused in Czech naming row and column,
///           and nothing is pasted.
///   Delete: empties the selected cells.
class GridClipboard : public QObject {
    Q_OBJECT
public:
    /// Installed on `view`, which owns it.
    explicit GridClipboard(QTableView& view);

    void copy();
    void paste();
    void clearSelected();

signals:
    /// After a paste changed the model: the block's rows (model rows).
    void pasted(int firstRow, int lastRow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableView& m_view;
};

/// Gives `view` the clipboard keys; returns the handler (owned by the view).
GridClipboard* installGridClipboard(QTableView& view);

} // namespace gui
