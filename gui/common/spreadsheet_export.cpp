// Copying a grid, every cell as text, into numbered .xls workbooks.
#include "gui/common/spreadsheet_export.h"

#include <algorithm>

namespace gui {

std::filesystem::path numberedWorkbookPath(const std::filesystem::path& path, int number) {
    std::filesystem::path name = path.stem();
    name += std::to_string(number);
    name += path.extension();
    return path.parent_path() / name;
}

std::vector<std::vector<XlsSheet>> gridWorkbooks(const Grid& grid, const std::string& sheetName) {
    const int columns = grid.columnCount();
    const int rows = grid.rowCount();
    const int sheetCount = std::max(1, (columns + kColumnsPerSheet - 1) / kColumnsPerSheet);
    const int workbookCount = std::max(1, (rows + kRowsPerWorkbook - 1) / kRowsPerWorkbook);
    const int columnsPerSheet = std::min(columns, kColumnsPerSheet);
    const int rowsPerSheet = std::min(rows, kRowsPerWorkbook);

    std::vector<std::vector<XlsSheet>> workbooks(static_cast<std::size_t>(workbookCount));
    for (int m = 0; m < workbookCount; ++m) {
        for (int n = 0; n < sheetCount; ++n) {
            XlsSheet sheet;
            sheet.name = sheetName + std::to_string(n + 1);
            sheet.rowCount = rowsPerSheet;
            sheet.columnCount = columnsPerSheet;
            const int firstRow = m * kRowsPerWorkbook;
            const int firstColumn = n * kColumnsPerSheet;
            const int rowEnd = std::min(rows, firstRow + rowsPerSheet);
            const int columnEnd = std::min(columns, firstColumn + columnsPerSheet);
            for (int row = firstRow; row < rowEnd; ++row) {
                std::vector<std::string>& cells = sheet.cells.emplace_back();
                for (int column = firstColumn; column < columnEnd; ++column)
                    cells.push_back(grid.cell(column, row));
            }
            workbooks[static_cast<std::size_t>(m)].push_back(std::move(sheet));
        }
    }
    return workbooks;
}

GridExport exportGridToWorkbooks(const Grid& grid, const std::string& sheetName,
                                 const std::filesystem::path& path,
                                 const OverwriteQuestion& mayOverwrite) {
    GridExport result;
    const std::vector<std::vector<XlsSheet>> workbooks = gridWorkbooks(grid, sheetName);
    for (std::size_t m = 0; m < workbooks.size(); ++m) {
        const std::filesystem::path target = numberedWorkbookPath(path, static_cast<int>(m) + 1);
        std::error_code ignored;
        if (std::filesystem::exists(target, ignored) && mayOverwrite && !mayOverwrite(target)) {
            result.declined = true;
            return result;
        }
        if (XlsResult written = writeXlsWorkbook(target, workbooks[m]); !written) {
            result.error = written.error;
            return result;
        }
        result.saved.push_back(target);
    }
    result.ok = true;
    return result;
}

} // namespace gui
