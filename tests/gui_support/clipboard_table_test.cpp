// Tables on the clipboard: a spreadsheet's rows and columns, and the check of
// a block pasted into a grid.
#include "gui/grid/clipboard_table.h"

#include <gtest/gtest.h>

namespace {

using Rows = gui::ClipboardRows;

TEST(ClipboardTable, RowsAtLineEndsCellsAtTabs) {
    EXPECT_EQ(gui::clipboardCells("4,00\r\n4,51\r\n"), (Rows{{"4,00"}, {"4,51"}}));
    EXPECT_EQ(gui::clipboardCells("a\tb\n\tc"), (Rows{{"a", "b"}, {"", "c"}}));
    EXPECT_EQ(gui::clipboardCells("x\r\ry"), (Rows{{"x"}, {""}, {"y"}}));
    EXPECT_TRUE(gui::clipboardCells("").empty());
    EXPECT_EQ(gui::clipboardText({{"1,5", "2"}, {"3", ""}}), "1,5\t2\n3\t");
}

TEST(ClipboardTable, APasteTakesNumbersWithACommaOrAPointAndNamesWhatItRefuses) {
    const gui::PasteCheck column = gui::checkPaste({{" 4.5 "}, {""}, {"1,2e3"}}, 5, {"Q [m3/s]"});
    ASSERT_FALSE(column.refusal);
    EXPECT_EQ(column.cells, (Rows{{"4,5"}, {""}, {"1,2e3"}})); // an empty cell clears its target

    const gui::PasteCheck text = gui::checkPaste({{"1"}, {"abc"}}, 5, {"Q [m3/s]"});
    ASSERT_TRUE(text.refusal);
    EXPECT_EQ(text.refusal->row, 6);
    EXPECT_EQ(text.refusal->column, 0);
    EXPECT_EQ(text.refusal->message.rfind("Řádek 6, sloupec Q [m3/s]: „abc“ není číslo.", 0), 0u)
        << text.refusal->message;
    EXPECT_TRUE(text.cells.empty());

    const gui::PasteCheck wide = gui::checkPaste({{"1", "2", "3"}}, 1, {"V [m3]", "A [m2]"});
    ASSERT_TRUE(wide.refusal);
    EXPECT_EQ(
        wide.refusal->message.rfind(
            "Vkládaná data mají 3 sloupce, ale tabulka má od vybrané buňky jen 2 sloupce.", 0),
        0u);
}

// A shorter block from the first row either overwrites its rows, the rest of
// the table kept, or replaces the table; either way the rows are numbered.
TEST(ClipboardTable, AShorterBlockFromTheFirstRowOverwritesOrReplacesTheTable) {
    desk::Grid grid(2, 6);
    for (int row = 1; row <= 5; ++row)
        grid.setCell(1, row, std::to_string(row));
    for (const auto& [rows, count] :
         {std::pair(gui::PasteRows::Overwrite, 6), std::pair(gui::PasteRows::ReplaceTable, 3)}) {
        desk::Grid pasted = grid;
        desk::GridEditBuilder edit(pasted);
        gui::addPaste(edit, {{"7"}, {"8"}}, 1, 1, rows);
        desk::applyEdit(pasted, edit.take(), true);
        EXPECT_EQ(pasted.rowCount(), count);
        EXPECT_EQ(pasted.cell(1, 2), "8");
        EXPECT_EQ(pasted.cell(0, count - 1), std::to_string(count - 1));
    }
    const std::string question = gui::pasteRowsQuestion(2, 5);
    for (const char* part : {"2 řádky", "5 řádků", "Řádky 3–5 zůstanou"})
        EXPECT_NE(question.find(part), std::string::npos) << question;
    EXPECT_EQ(gui::pasteRowsQuestion(5, 5), "");
    EXPECT_EQ(gui::pasteRowsChoices(1)[1], "Přepsat jen řádek 1");
}

} // namespace
