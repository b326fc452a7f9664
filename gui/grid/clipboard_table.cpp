// Tables on the clipboard and the check of a pasted block.
#include "gui/grid/clipboard_table.h"

#include <algorithm>

namespace gui {

namespace {

// "1 sloupec", "3 sloupce", "5 sloupců".
std::string columns(std::size_t n) {
    const char* word = n == 1 ? "sloupec" : (n >= 2 && n <= 4 ? "sloupce" : "sloupců");
    return std::to_string(n) + " " + word;
}

// "1 řádek", "3 řádky", "20 řádků".
std::string rows(int n) {
    const char* word = n == 1 ? "řádek" : (n >= 2 && n <= 4 ? "řádky" : "řádků");
    return std::to_string(n) + " " + word;
}

// "řádek 5", "řádky 1–20"; at the start of a sentence "Řádek 5", "Řádky 1–20".
std::string rowRange(int first, int last, bool capital = false) {
    const std::string word =
        first == last ? (capital ? "Řádek " : "řádek ") : (capital ? "Řádky " : "řádky ");
    if (first == last) return word + std::to_string(first);
    return word + std::to_string(first) + "–" + std::to_string(last);
}

} // namespace

ClipboardRows clipboardCells(std::string_view text) {
    ClipboardRows rows;
    if (text.empty()) return rows;
    rows.emplace_back(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\t') {
            rows.back().emplace_back();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            if (i + 1 < text.size()) rows.emplace_back(1);
        } else {
            rows.back().back() += c;
        }
    }
    return rows;
}

std::string clipboardText(const ClipboardRows& rows) {
    std::string text;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (r > 0) text += '\n';
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            text += (c > 0 ? "\t" : "") + rows[r][c];
    }
    return text;
}

PasteCheck checkPaste(const ClipboardRows& pasted, int firstRow,
                      const std::vector<std::string>& columnNames) {
    PasteCheck check;
    std::size_t width = 0;
    for (const auto& row : pasted)
        width = std::max(width, row.size());
    if (width > columnNames.size()) {
        check.refusal = desk::Refusal{
            -1, 0, firstRow,
            "Vkládaná data mají " + columns(width) + ", ale tabulka má od vybrané buňky jen " +
                columns(columnNames.size()) +
                ". Vyberte buňku, od které se mají data vložit, nebo zkopírujte méně sloupců.\n\n"
                "Nic nebylo vloženo."};
        return check;
    }
    for (std::size_t r = 0; r < pasted.size(); ++r) {
        auto& shown = check.cells.emplace_back();
        for (std::size_t c = 0; c < pasted[r].size(); ++c) {
            const std::string& text = pasted[r][c];
            const desk::ParsedNumber number = desk::parseTypedNumber(text);
            if (number.error == desk::NumberError::Empty) {
                shown.emplace_back();
                continue;
            }
            const int row = firstRow + static_cast<int>(r);
            if (!number) {
                check.refusal =
                    desk::Refusal{-1, static_cast<int>(c), row,
                                  desk::numberProblemText(desk::cellName(row, columnNames[c]), text,
                                                          number.error) +
                                      "\n\nNic nebylo vloženo."};
                check.cells.clear();
                return check;
            }
            shown.push_back(desk::czechNumber(number.text));
        }
    }
    return check;
}

void addPaste(desk::GridEditBuilder& edit, ClipboardRows cells, int firstRow, int firstColumn,
              PasteRows rows) {
    const int lastRow = firstRow + static_cast<int>(cells.size()) - 1;
    if (rows == PasteRows::ReplaceTable || lastRow >= edit.rowCount())
        edit.setRowCount(lastRow + 1);
    for (std::size_t r = 0; r < cells.size(); ++r)
        for (std::size_t c = 0; c < cells[r].size(); ++c)
            edit.setCell(firstColumn + static_cast<int>(c), firstRow + static_cast<int>(r),
                         std::move(cells[r][c]));
    edit.numberDataRows();
}

std::string pasteRowsQuestion(int pastedRows, int tableRows) {
    if (pastedRows >= tableRows) return {};
    const bool oneLeft = pastedRows + 1 == tableRows;
    return "Vkládáte od prvního řádku " + rows(pastedRows) + ", tabulka ale má " + rows(tableRows) +
           " s hodnotami.\n\nNahradit celou tabulku? Bude mít " + rows(pastedRows) +
           ".\nPřepsat jen " + rowRange(1, pastedRows) + "? " +
           rowRange(pastedRows + 1, tableRows, true) +
           (oneLeft ? " zůstane, jak je." : " zůstanou, jak jsou.");
}

std::vector<std::string> pasteRowsChoices(int pastedRows) {
    return {"Nahradit celou tabulku", "Přepsat jen " + rowRange(1, pastedRows), "Zrušit"};
}

} // namespace gui
