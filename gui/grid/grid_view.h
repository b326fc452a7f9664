// The look shared by every grid of the forms: fixed cell sizes, the grid's
// header row as the view's fixed header, the numbering column as greyed cells;
// and the keys of every grid: Ctrl+C, Ctrl+V, Delete, Ctrl+Z, Ctrl+Y.
#pragma once

#include "desk/grid_edit.h"
#include "gui/grid/clipboard_table.h"

#include <QObject>

#include <functional>

class QAbstractItemModel;
class QTableView;
class QTimer;
template <typename T> class QFutureWatcher;

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

/// The clipboard keys of a grid:
///   Ctrl+C: the selected cells of a model that can be copied (CopyableTable)
///           as tab-separated rows, numbers with a decimal comma (a
///           spreadsheet on a Czech system reads them); the text is made when
///           it is pasted, not at the copy.
///   Ctrl+V: into a GridModel, a block of tab-separated rows from the current
///           cell on, numbers with a decimal comma or point; the grid grows by
///           rows as needed. A cell that is no number, or a block wider than
///           the table, is refused in Czech naming row and column, and nothing
///           is pasted. A block from the first row shorter than the table asks
///           whether it replaces the table or overwrites its rows. A long
///           block is read and checked on a thread of its own, the view taking
///           no edits meanwhile (busy() past kBusyDelayMs). One undo step.
///   Delete: empties the selected cells of a GridModel; one undo step.
///   Ctrl+Z, Ctrl+Y (and the system's redo key): undo and redo of a GridModel.
/// A read-only model thus gives a grid that copies only.
class GridClipboard : public QObject {
    Q_OBJECT
public:
    /// Installed on `view`, which owns it.
    explicit GridClipboard(QTableView& view);
    ~GridClipboard() override;

    /// Adds what every paste changes besides the block (a form's header row).
    void setPasteCompletion(std::function<void(desk::GridEditBuilder&)> complete) {
        m_completePaste = std::move(complete);
    }

    void copy();
    void paste();
    void clearSelected();
    /// A paste is being read and checked.
    bool isPasting() const { return m_pasting; }

    static constexpr int kBusyDelayMs = 300;
    /// Blocks of at most this many characters are read at once, on the window's thread.
    static constexpr std::size_t kPastedAtOnce = 64 * 1024;

signals:
    /// A paste took longer than kBusyDelayMs (true), and ended (false).
    void busy(bool busy);
    /// After a paste changed the model: the block's rows (model rows).
    void pasted(int firstRow, int lastRow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void finishPaste(PasteCheck check);
    void endPasting();

    QTableView& m_view;
    std::function<void(desk::GridEditBuilder&)> m_completePaste;
    QFutureWatcher<PasteCheck>* m_reading = nullptr;
    QTimer* m_busyDelay = nullptr;
    bool m_pasting = false;
    bool m_busy = false;
    int m_anchorRow = 0, m_anchorColumn = 0; // model row and column the block starts at
    int m_editTriggers = 0;                  // of the view, while a paste takes none
};

/// Gives `view` the clipboard keys; returns the handler (owned by the view).
GridClipboard* installGridClipboard(QTableView& view);

} // namespace gui
