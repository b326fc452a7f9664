// Tables on the clipboard as spreadsheets put them there (one line per row,
// cells separated by tabs), and the check of a block pasted into a grid.
#pragma once

#include "desk/grid_edit.h"
#include "desk/typed_number.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gui {

using ClipboardRows = std::vector<std::vector<std::string>>;

/// The cells of a clipboard text: rows at LF, CR LF or CR, cells at tabs. A
/// line end at the very end adds no row; an empty text has no rows.
ClipboardRows clipboardCells(std::string_view text);

/// Rows of cells as a clipboard text: a tab between cells, LF between rows.
std::string clipboardText(const ClipboardRows& rows);

/// A pasted block checked, or why it is refused.
struct PasteCheck {
    std::optional<desk::Refusal> refusal; // column: offset from the first column; row: grid row
    ClipboardRows cells;                  // as the grid shows them: numbers with a decimal comma
};

/// Checks `pasted` landing at grid row `firstRow` (data rows from 1) in the
/// columns `columnNames` (from the first column the block lands in to the
/// table's last). Refused, naming row and column: a block wider than those
/// columns, a cell that is not a number (a decimal comma or point, an
/// exponent; parseTypedNumber). An empty cell clears its target.
PasteCheck checkPaste(const ClipboardRows& pasted, int firstRow,
                      const std::vector<std::string>& columnNames);

/// How a block pasted from the first row meets a table that holds more rows:
/// it overwrites the rows it covers, or it becomes the whole table, the rows
/// below it dropped.
enum class PasteRows { Overwrite, ReplaceTable };

/// Adds to `edit` the checked `cells` (PasteCheck::cells) at grid row
/// `firstRow` (data rows from 1) and column `firstColumn`: the grid grows to
/// hold them, with ReplaceTable its data rows end with the block's last, and
/// every data row is numbered in column 0.
void addPaste(desk::GridEditBuilder& edit, ClipboardRows cells, int firstRow, int firstColumn,
              PasteRows rows);

/// The question before a block of `pastedRows` from the first row replaces a
/// table of `tableRows` rows holding values, or empty when none is needed
/// (the block is not shorter). Its answers: pasteRowsChoices.
std::string pasteRowsQuestion(int pastedRows, int tableRows);
/// The answers to pasteRowsQuestion, by PasteRows, then "Zrušit".
std::vector<std::string> pasteRowsChoices(int pastedRows);

} // namespace gui
