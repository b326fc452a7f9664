// Writing an Excel 97-2003 workbook (.xls: BIFF8 records in an OLE2 compound
// file) whose cells are all text in the text number format "@".
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace gui {

/// The format's own limits for one worksheet.
inline constexpr int kXlsMaxRows = 65536;
inline constexpr int kXlsMaxColumns = 256;
inline constexpr int kXlsMaxSheetNameLength = 31; // UTF-16 code units
inline constexpr int kXlsMaxTextLength = 32767;   // UTF-16 code units per cell

/// One worksheet: its name and a range A1 .. (rowCount, columnCount) in which
/// every cell is formatted as text. cells[row][column] (from 0, UTF-8) holds
/// the texts; rows may be shorter than columnCount and the missing or empty
/// cells stay empty (but formatted). Cells outside the range are ignored.
struct XlsSheet {
    std::string name;
    int rowCount = 0;
    int columnCount = 0;
    std::vector<std::vector<std::string>> cells;
};

/// The outcome of writing a workbook.
struct XlsResult {
    bool ok = true;
    std::string error; // UTF-8, Czech, names the file; empty on success
    explicit operator bool() const { return ok; }
};

/// The bytes of the BIFF8 "Workbook" stream for `sheets` (which must pass
/// checkXlsSheets). Exposed for tests of the record layout.
std::vector<std::uint8_t> buildWorkbookStream(const std::vector<XlsSheet>& sheets);

/// Empty when `sheets` can be written; otherwise why not: no sheet at all, a
/// range beyond kXlsMaxRows x kXlsMaxColumns, a name that is empty, too long,
/// holds one of : \ / ? * [ ] or repeats another (letter case ignored), or a
/// cell text longer than kXlsMaxTextLength.
std::string checkXlsSheets(const std::vector<XlsSheet>& sheets);

/// Writes the workbook to `path`, replacing any file of that name. The file is
/// written beside the target and renamed over it only when complete, so a
/// failure never leaves a half-written workbook or destroys an existing one.
XlsResult writeXlsWorkbook(const std::filesystem::path& path, const std::vector<XlsSheet>& sheets);

} // namespace gui
