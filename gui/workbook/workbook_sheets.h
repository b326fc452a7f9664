// Exporting a table (rows of numbers and texts) into numbered .xlsx workbooks.
#pragma once

#include "gui/workbook/workbook_file.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace gui {

/// The cell a text becomes: empty for an empty text, a number when the whole
/// text is one as a user types it (parseTypedNumber: a decimal comma or
/// point, blanks around, a sign, an exponent: "48.7890015", "12,5",
/// "-1.2345670E+006"), otherwise the text itself ("TP [m3/s]", "inf", "1e999").
SheetCell sheetCell(const std::string& text);

/// How much one worksheet and one workbook take.
struct SheetLimits {
    int rows = kWorkbookMaxRows;       // rows of one workbook (each worksheet)
    int columns = kWorkbookMaxColumns; // columns of one worksheet
};

/// The path of workbook `number` (from 1) of an export to `path`: `path`
/// itself for the first, then the number inserted before the extension of its
/// file name: ".../hladina.xlsx", 2 -> ".../hladina2.xlsx". A point in a
/// directory name is left alone; a name without an extension gets the number
/// at its end.
std::filesystem::path numberedWorkbookPath(const std::filesystem::path& path, int number);

/// The worksheets of every workbook for `rows`: workbook m (from 0) holds
/// table rows m * limits.rows ..; its worksheet n holds table columns
/// n * limits.columns ..., the first named sheetName, the others sheetName, a
/// blank and n + 1 ("Průtok 2"). So no cell is lost: more columns than a sheet
/// takes go to further sheets of the same workbook, more rows to further
/// workbooks. An empty table gives one empty worksheet.
std::vector<std::vector<WorkbookSheet>>
tableWorkbooks(const SheetRows& rows, const std::string& sheetName, const SheetLimits& limits = {});

/// The outcome of an export.
struct TableExport {
    bool ok = false;       // every workbook was saved
    bool declined = false; // the user kept an existing workbook; nothing more was saved
    std::vector<std::filesystem::path> saved; // in order
    std::string error; // the first failure (UTF-8, Czech); empty when ok or declined
};

/// Asked before a workbook replaces an existing file; false keeps that file.
using OverwriteQuestion = std::function<bool(const std::filesystem::path&)>;

/// Saves tableWorkbooks(rows, sheetName, limits) as numberedWorkbookPath(path,
/// 1, 2, ...), every number as the table holds it. Stops at the first
/// workbook that fails or that the user declines to overwrite; the workbooks
/// saved before it stay.
TableExport exportTable(const SheetRows& rows, const std::string& sheetName,
                        const std::filesystem::path& path, const OverwriteQuestion& mayOverwrite,
                        const SheetLimits& limits = {});

} // namespace gui
