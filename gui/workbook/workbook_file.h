// Writing an .xlsx workbook (Office Open XML) with libxlsxwriter: numbers as
// numeric cells, texts as text cells.
#pragma once

#include "project_files/file_io.h"

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace gui {

/// One cell of a table to export: empty, a number or a text (UTF-8).
using SheetCell = std::variant<std::monostate, double, std::string>;
/// Rows of cells; rows may differ in length, missing cells are empty.
using SheetRows = std::vector<std::vector<SheetCell>>;

/// The format's own limits for one worksheet.
inline constexpr int kWorkbookMaxRows = 1048576;
inline constexpr int kWorkbookMaxColumns = 16384;
inline constexpr int kWorkbookMaxSheetNameLength = 31; // characters
inline constexpr int kWorkbookMaxTextLength = 32767;   // characters per cell

/// One worksheet: the block of `rows` from (firstRow, firstColumn), rowCount x
/// columnCount cells (from 0), put at A1. Cells outside `rows` stay empty.
struct WorkbookSheet {
    std::string name;
    const SheetRows* rows = nullptr;
    int firstRow = 0;
    int rowCount = 0;
    int firstColumn = 0;
    int columnCount = 0;
};

/// Empty when `sheets` can be written; otherwise why not (Czech): no sheet at
/// all, a block beyond kWorkbookMaxRows x kWorkbookMaxColumns, a name that is empty,
/// too long, holds one of : \ / ? * [ ] or repeats another (letter case
/// ignored), or a text longer than kWorkbookMaxTextLength (the cell named).
std::string checkWorkbookSheets(const std::vector<WorkbookSheet>& sheets);

/// Writes the workbook to `path`, replacing any file of that name. The file is
/// written beside the target and renamed over it only when complete, so a
/// failure never leaves a half-written workbook or destroys an existing one.
/// A text that is not valid UTF-8 is written with U+FFFD for its bad bytes.
/// Refused, writing nothing, while the C library's numeric locale has another
/// decimal point than '.' (the program keeps it "C").
project_files::FileResult writeWorkbook(const std::filesystem::path& path,
                                        const std::vector<WorkbookSheet>& sheets);

} // namespace gui
