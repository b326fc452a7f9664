// Tables on the clipboard as spreadsheets put them there (one line per row,
// cells separated by tabs), and the check of a block pasted into a grid.
#pragma once

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

} // namespace gui
