// Writing an .xlsx workbook with libxlsxwriter.
#include "gui/workbook/workbook_file.h"

#include "gui/workbook/cell_reference.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <random>

namespace gui {

namespace {

/// The length of a valid UTF-8 sequence starting at `at`, or 0 for a bad byte.
std::size_t utf8SequenceLength(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    return length;
}

/// `text` with every byte that is not part of valid UTF-8 replaced by U+FFFD
/// (a bad byte would make the whole sheet unreadable XML).
std::string validUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8SequenceLength(text, at);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++at;
        } else {
            out.append(text, at, length);
            at += length;
        }
    }
    return out;
}

/// Characters as a spreadsheet counts them: UTF-16 code units.
std::size_t characterCount(const std::string& utf8) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = std::max<std::size_t>(utf8SequenceLength(utf8, at), 1);
        count += length == 4 ? 2 : 1;
        at += length;
    }
    return count;
}

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

/// Calls visit(row, column, cell) for every cell of the sheet's block that
/// the table holds, row by row; stops at the first visit that returns false.
template <typename Visit> void forEachCell(const WorkbookSheet& sheet, Visit visit) {
    const SheetRows& rows = *sheet.rows;
    const auto firstRow = static_cast<std::size_t>(sheet.firstRow);
    const auto firstColumn = static_cast<std::size_t>(sheet.firstColumn);
    const std::size_t rowEnd =
        std::min(rows.size(), firstRow + static_cast<std::size_t>(sheet.rowCount));
    for (std::size_t r = firstRow; r < rowEnd; ++r) {
        const std::size_t columnEnd =
            std::min(rows[r].size(), firstColumn + static_cast<std::size_t>(sheet.columnCount));
        for (std::size_t c = firstColumn; c < columnEnd; ++c)
            if (!visit(static_cast<int>(r - firstRow), static_cast<int>(c - firstColumn),
                       rows[r][c]))
                return;
    }
}

/// Creates an empty file of a name no one else uses beside `path`.
std::filesystem::path createTemporaryBeside(const std::filesystem::path& path, int& errorNumber) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path candidate =
            path.parent_path() /
            ("." + path.filename().string() + "." + std::to_string(random() % 1000000) + ".tmp");
        errno = 0;
        if (std::FILE* file = std::fopen(candidate.c_str(), "wbx")) { // x: only if new
            std::fclose(file);
            return candidate;
        }
        errorNumber = errno != 0 ? errno : EIO;
        if (errorNumber != EEXIST) break;
    }
    return {};
}

std::string libraryErrorText(lxw_error error, int errorNumber, const std::filesystem::path& path) {
    switch (error) {
    case LXW_ERROR_CREATING_XLSX_FILE:
        return project_files::fileErrorText(errorNumber != 0 ? errorNumber : EIO, path);
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
        return "nelze zapsat pomocný soubor v adresáři dočasných souborů (" +
               std::string(lxw_strerror(error)) + "): " + path.string();
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return "nedostatek paměti: " + path.string();
    default:
        return "chyba knihovny libxlsxwriter (" + std::string(lxw_strerror(error)) +
               "): " + path.string();
    }
}

/// Writes every sheet into `workbook`; LXW_NO_ERROR or the first error.
lxw_error fillWorkbook(lxw_workbook* workbook, const std::vector<WorkbookSheet>& sheets) {
    for (const WorkbookSheet& sheet : sheets) {
        // The names were checked: the library refuses a sheet only when it
        // cannot make its temporary file.
        lxw_worksheet* worksheet = workbook_add_worksheet(workbook, sheet.name.c_str());
        if (worksheet == nullptr) return LXW_ERROR_CREATING_TMPFILE;
        // Row by row: the workbook keeps only the current row in memory.
        lxw_error error = LXW_NO_ERROR;
        forEachCell(sheet, [&](int row, int column, const SheetCell& cell) {
            const auto r = static_cast<lxw_row_t>(row);
            const auto c = static_cast<lxw_col_t>(column);
            if (const double* number = std::get_if<double>(&cell))
                error = worksheet_write_number(worksheet, r, c, *number, nullptr);
            else if (const std::string* text = std::get_if<std::string>(&cell);
                     text != nullptr && !text->empty())
                error = worksheet_write_string(worksheet, r, c, validUtf8(*text).c_str(), nullptr);
            return error == LXW_NO_ERROR;
        });
        if (error != LXW_NO_ERROR) return error;
    }
    return LXW_NO_ERROR;
}

} // namespace

std::string checkWorkbookSheets(const std::vector<WorkbookSheet>& sheets) {
    if (sheets.empty()) return "sešit nemá žádný list";
    std::vector<std::string> names;
    for (const WorkbookSheet& sheet : sheets) {
        const std::string quoted = "„" + sheet.name + "“";
        if (sheet.name.empty()) return "list nemá název";
        if (characterCount(sheet.name) > kWorkbookMaxSheetNameLength)
            return "název listu " + quoted + " je delší než 31 znaků";
        if (sheet.name.find_first_of(":\\/?*[]") != std::string::npos)
            return "název listu " + quoted + " obsahuje některý ze znaků : \\ / ? * [ ]";
        if (sheet.name.front() == '\'' || sheet.name.back() == '\'')
            return "název listu " + quoted + " začíná nebo končí apostrofem";
        if (validUtf8(sheet.name) != sheet.name)
            return "název listu " + quoted + " není platný text UTF-8";
        const std::string folded = lowerAscii(sheet.name);
        if (std::find(names.begin(), names.end(), folded) != names.end())
            return "název listu " + quoted + " se opakuje";
        names.push_back(folded);
        if (sheet.rows == nullptr || sheet.rowCount < 0 || sheet.columnCount < 0 ||
            sheet.firstRow < 0 || sheet.firstColumn < 0 || sheet.rowCount > kWorkbookMaxRows ||
            sheet.columnCount > kWorkbookMaxColumns)
            return "list " + quoted + " přesahuje 1 048 576 řádků nebo 16 384 sloupců";
        std::string tooLong;
        forEachCell(sheet, [&](int row, int column, const SheetCell& cell) {
            const std::string* text = std::get_if<std::string>(&cell);
            if (text == nullptr || characterCount(*text) <= kWorkbookMaxTextLength) return true;
            tooLong = "text buňky " + cellReference(row + 1, column + 1) + " listu " + quoted +
                      " je delší než 32 767 znaků";
            return false;
        });
        if (!tooLong.empty()) return tooLong;
    }
    return {};
}

project_files::FileResult writeWorkbook(const std::filesystem::path& path,
                                        const std::vector<WorkbookSheet>& sheets) {
    if (std::string problem = checkWorkbookSheets(sheets); !problem.empty())
        return {false, "Sešit nelze vytvořit: " + path.string() + ": " + problem};
    // The library writes numbers with printf: under a numeric locale with a
    // decimal comma every number and margin of the file would be invalid.
    if (std::strcmp(std::localeconv()->decimal_point, ".") != 0)
        return {false, "Sešit nelze vytvořit: " + path.string() +
                           ": číselné nastavení programu (LC_NUMERIC) píše desetinnou čárku, "
                           "čísla v sešitu by byla neplatná"};

    int errorNumber = 0;
    const std::filesystem::path temporary = createTemporaryBeside(path, errorNumber);
    if (temporary.empty())
        return {false, "Sešit nelze uložit: " + project_files::fileErrorText(errorNumber, path)};

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(temporary.c_str(), &options);
    lxw_error error = workbook == nullptr ? LXW_ERROR_MEMORY_MALLOC_FAILED : LXW_NO_ERROR;
    if (workbook != nullptr) {
        error = fillWorkbook(workbook, sheets);
        if (error == LXW_NO_ERROR) {
            errno = 0;
            error = workbook_close(workbook); // writes the file and frees the workbook
            errorNumber = errno;
        } else {
            lxw_workbook_free(workbook);
        }
    }

    std::error_code code;
    if (error == LXW_NO_ERROR) std::filesystem::rename(temporary, path, code);
    if (error != LXW_NO_ERROR || code) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return {false,
                "Sešit nelze uložit: " + (code ? project_files::fileErrorText(code.value(), path)
                                               : libraryErrorText(error, errorNumber, path))};
    }
    return {};
}

} // namespace gui
