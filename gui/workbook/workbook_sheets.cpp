// Exporting a table into numbered .xlsx workbooks.
#include "gui/workbook/workbook_sheets.h"

#include "desk/typed_number.h"

#include <algorithm>

namespace gui {

SheetCell sheetCell(const std::string& text) {
    if (text.empty()) return {};
    // The one reading of a typed number, so that a cell exports as the number
    // it is drawn as.
    const desk::ParsedNumber number = desk::parseTypedNumber(text);
    if (!number) return text;
    return number.value;
}

std::filesystem::path numberedWorkbookPath(const std::filesystem::path& path, int number) {
    if (number <= 1) return path;
    std::filesystem::path name = path.stem();
    name += std::to_string(number);
    name += path.extension();
    return path.parent_path() / name;
}

std::vector<std::vector<WorkbookSheet>>
tableWorkbooks(const SheetRows& rows, const std::string& sheetName, const SheetLimits& limits) {
    const int rowCount = static_cast<int>(rows.size());
    int columnCount = 0;
    for (const auto& row : rows)
        columnCount = std::max(columnCount, static_cast<int>(row.size()));
    const int rowLimit = std::max(limits.rows, 1);
    const int columnLimit = std::max(limits.columns, 1);
    const int workbookCount = std::max(1, (rowCount + rowLimit - 1) / rowLimit);
    const int sheetCount = std::max(1, (columnCount + columnLimit - 1) / columnLimit);

    std::vector<std::vector<WorkbookSheet>> workbooks(static_cast<std::size_t>(workbookCount));
    for (int m = 0; m < workbookCount; ++m) {
        const int firstRow = m * rowLimit;
        for (int n = 0; n < sheetCount; ++n) {
            const int firstColumn = n * columnLimit;
            workbooks[static_cast<std::size_t>(m)].push_back(
                {n == 0 ? sheetName : sheetName + " " + std::to_string(n + 1), &rows, firstRow,
                 std::min(rowLimit, rowCount - firstRow), firstColumn,
                 std::min(columnLimit, columnCount - firstColumn)});
        }
    }
    return workbooks;
}

TableExport exportTable(const SheetRows& rows, const std::string& sheetName,
                        const std::filesystem::path& path, const OverwriteQuestion& mayOverwrite,
                        const SheetLimits& limits) {
    TableExport result;
    const auto workbooks = tableWorkbooks(rows, sheetName, limits);
    for (std::size_t m = 0; m < workbooks.size(); ++m) {
        const std::filesystem::path target = numberedWorkbookPath(path, static_cast<int>(m) + 1);
        std::error_code ignored;
        if (std::filesystem::exists(target, ignored) && mayOverwrite && !mayOverwrite(target)) {
            result.declined = true;
            return result;
        }
        if (project_files::FileResult written = writeWorkbook(target, workbooks[m]); !written) {
            result.error = written.error;
            return result;
        }
        result.saved.push_back(target);
    }
    result.ok = true;
    return result;
}

} // namespace gui
