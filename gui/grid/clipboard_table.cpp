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

} // namespace gui
