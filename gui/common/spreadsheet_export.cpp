// Exporting a table into numbered .xlsx workbooks.
#include "gui/common/spreadsheet_export.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace gui {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

/// True when `text` is exactly [+|-] digits [. digits] [(E|e) [+|-] digits],
/// with digits on at least one side of the point.
bool isDecimalNumber(const std::string& text) {
    std::size_t at = 0;
    const auto digits = [&] {
        const std::size_t from = at;
        while (at < text.size() && isDigit(text[at]))
            ++at;
        return at - from;
    };
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    std::size_t mantissa = digits();
    if (at < text.size() && text[at] == '.') {
        ++at;
        mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (at < text.size() && (text[at] == 'E' || text[at] == 'e')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        if (digits() == 0) return false;
    }
    return at == text.size();
}

} // namespace

SheetCell sheetCell(const std::string& text) {
    if (text.empty()) return {};
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return text;
    const std::string plain = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (!isDecimalNumber(plain)) return text;
    // from_chars reads a decimal point whatever the locale and takes no plus sign.
    const char* begin = plain.data() + (plain.front() == '+' ? 1 : 0);
    double value = 0.0;
    const auto [end, error] = std::from_chars(begin, plain.data() + plain.size(), value);
    // Beyond double (1e999) or below its smallest value (1e-999): kept as the text.
    if (error != std::errc() || !std::isfinite(value)) return text;
    return value;
}

std::filesystem::path numberedWorkbookPath(const std::filesystem::path& path, int number) {
    std::filesystem::path name = path.stem();
    name += std::to_string(number);
    name += path.extension();
    return path.parent_path() / name;
}

std::vector<std::vector<XlsxSheet>>
tableWorkbooks(const SheetRows& rows, const std::string& sheetName, const SheetLimits& limits) {
    const int rowCount = static_cast<int>(rows.size());
    int columnCount = 0;
    for (const auto& row : rows)
        columnCount = std::max(columnCount, static_cast<int>(row.size()));
    const int rowLimit = std::max(limits.rows, 1);
    const int columnLimit = std::max(limits.columns, 1);
    const int workbookCount = std::max(1, (rowCount + rowLimit - 1) / rowLimit);
    const int sheetCount = std::max(1, (columnCount + columnLimit - 1) / columnLimit);

    std::vector<std::vector<XlsxSheet>> workbooks(static_cast<std::size_t>(workbookCount));
    for (int m = 0; m < workbookCount; ++m) {
        const int firstRow = m * rowLimit;
        for (int n = 0; n < sheetCount; ++n) {
            const int firstColumn = n * columnLimit;
            workbooks[static_cast<std::size_t>(m)].push_back(
                {sheetName + std::to_string(n + 1), &rows, firstRow,
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
        if (FileResult written = writeXlsxWorkbook(target, workbooks[m]); !written) {
            result.error = written.error;
            return result;
        }
        result.saved.push_back(target);
    }
    result.ok = true;
    return result;
}

} // namespace gui
