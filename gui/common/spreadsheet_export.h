// Copying a grid, every cell as text, into numbered .xls workbooks.
#pragma once

#include "gui/common/grid.h"
#include "gui/common/xls_workbook.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace gui {

/// At most 256 grid columns go to one worksheet; further columns go to further
/// worksheets of the same workbook, named sheetName followed by 1, 2, ...
inline constexpr int kColumnsPerSheet = kXlsMaxColumns;
/// At most 65536 grid rows (the header row included) go to one workbook, the
/// most an .xls worksheet holds; further rows go to further workbooks, each
/// with the same worksheets, so that no row is lost.
inline constexpr int kRowsPerWorkbook = kXlsMaxRows;

/// `path` with `number` inserted before the extension of its file name:
/// ".../vyska_vody.xls", 1 -> ".../vyska_vody1.xls". A point in a directory
/// name is left alone; a name without an extension gets the number at its end.
std::filesystem::path numberedWorkbookPath(const std::filesystem::path& path, int number);

/// The worksheets of every workbook for `grid`: workbook m (from 0) holds grid
/// rows m * kRowsPerWorkbook ..; its worksheet n holds grid columns
/// n * kColumnsPerSheet ... Every worksheet spans min(C, 256) columns and
/// min(R, 65536) rows (C x R the grid's counts), all of them text; cells that
/// lie outside the grid stay empty. An empty grid gives one empty worksheet.
std::vector<std::vector<XlsSheet>> gridWorkbooks(const Grid& grid, const std::string& sheetName);

/// The outcome of an export.
struct GridExport {
    bool ok = false;       // every workbook was saved
    bool declined = false; // the user kept an existing workbook; nothing more was saved
    std::vector<std::filesystem::path> saved; // in order
    std::string error; // the first failure (UTF-8, Czech); empty when ok or declined
};

/// Asked before a workbook replaces an existing file; false keeps that file.
using OverwriteQuestion = std::function<bool(const std::filesystem::path&)>;

/// Saves gridWorkbooks(grid, sheetName) as numberedWorkbookPath(path, 1, 2, ...).
/// Stops at the first workbook that fails or that the user declines to
/// overwrite; the workbooks saved before it stay.
GridExport exportGridToWorkbooks(const Grid& grid, const std::string& sheetName,
                                 const std::filesystem::path& path,
                                 const OverwriteQuestion& mayOverwrite);

} // namespace gui
