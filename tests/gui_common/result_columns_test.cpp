// Loading the core's result files into a grid and drawing it.
#include "gui/common/grid_points.h"
#include "gui/common/result_columns.h"
#include "gui/common/result_series.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using Fields = std::vector<std::string>;

gui::ResultLoad load(const std::string& text, gui::Grid& grid) {
    std::istringstream in(text);
    return gui::readResultColumns(in, grid);
}

std::string record(const char* value) {
    char field[32];
    std::snprintf(field, sizeof field, "%16s\r\n", value);
    return field;
}

} // namespace

TEST(ReduceResultLine, EveryRecordWidthOfTheCoreGivesTheValueInField1) {
    // The core right-aligns each real in 16 characters: 1 to 7 blanks before
    // the value; one more when a record starts with an extra blank.
    for (int blanks = 1; blanks <= 8; ++blanks) {
        const std::string value(static_cast<std::size_t>(16 - blanks), '7');
        EXPECT_EQ(gui::reduceResultLine(std::string(static_cast<std::size_t>(blanks), ' ') + value),
                  (Fields{"", value}))
            << blanks << " blanks";
    }
    EXPECT_EQ(gui::reduceResultLine("  1.2345670E+006"), (Fields{"", "1.2345670E+006"}));
    EXPECT_EQ(gui::reduceResultLine(" -999999.9999999"), (Fields{"", "-999999.9999999"}));
}

TEST(ReduceResultLine, SeveralValuesOnALineKeepTheirOrder) {
    EXPECT_EQ(gui::reduceResultLine(" 1.5   2.5"), (Fields{"", "1.5", "2.5"}));
    // Two 16-character fields, as a record of two reals is written.
    EXPECT_EQ(gui::reduceResultLine("       1.5000000      19.6200008"),
              (Fields{"", "1.5000000", "19.6200008"}));
    // Every run length between values reduces to one separator.
    for (int blanks = 1; blanks <= 30; ++blanks)
        EXPECT_EQ(
            gui::reduceResultLine(" 1" + std::string(static_cast<std::size_t>(blanks), ' ') + "2"),
            (Fields{"", "1", "2"}))
            << blanks << " blanks";
}

TEST(ReduceResultLine, NoLeadingBlankRunLosesTheFirstValue) {
    // Runs of 12 blanks are deleted, not shortened; a line could then start
    // with its value, which the row number would overwrite.
    EXPECT_EQ(gui::reduceResultLine(std::string(12, ' ') + "4.25"), (Fields{"", "4.25"}));
    EXPECT_EQ(gui::reduceResultLine(std::string(24, ' ') + "4.25"), (Fields{"", "4.25"}));
    EXPECT_EQ(gui::reduceResultLine("4.25"), (Fields{"", "4.25"}));
    EXPECT_EQ(gui::reduceResultLine(std::string(6, ' ') + "4.25"), gui::reduceResultLine(" 4.25"));
}

TEST(ReduceResultLine, TrailingBlanksGiveNoExtraField) {
    EXPECT_EQ(gui::reduceResultLine(" 12.5 "), (Fields{"", "12.5"}));
    EXPECT_EQ(gui::reduceResultLine(" 12.5" + std::string(13, ' ')), (Fields{"", "12.5"}));
    EXPECT_EQ(gui::reduceResultLine(""), (Fields{""}));
    EXPECT_EQ(gui::reduceResultLine("      "), (Fields{""}));
}

TEST(ReadResultColumns, CoreRecordsFillColumn1AndGiveTwoColumns) {
    gui::Grid grid(999, 999);
    grid.setCell(0, 0, "i");
    grid.setCell(1, 0, "TP [m3/s]");
    const auto result =
        load(record("1.5000000") + record("0.0000000") + record("1.2345670E+006"), grid);
    EXPECT_TRUE(result.opened);
    EXPECT_EQ(result.lines, 3);
    EXPECT_TRUE(result.error.empty());
    EXPECT_EQ(grid.rowCount(), 4);
    EXPECT_EQ(grid.columnCount(), 2);
    EXPECT_EQ(grid.cell(1, 0), "TP [m3/s]"); // the header is the caller's
    const Fields numbers{grid.cell(0, 1), grid.cell(0, 2), grid.cell(0, 3)};
    EXPECT_EQ(numbers, (Fields{"1", "2", "3"}));
    const Fields values{grid.cell(1, 1), grid.cell(1, 2), grid.cell(1, 3)};
    EXPECT_EQ(values, (Fields{"1.5000000", "0.0000000", "1.2345670E+006"}));
}

TEST(ReadResultColumns, LastLineDecidesTheColumnsAndTheGridGrows) {
    gui::Grid grid(999, 2);
    load(" 1.5   2.5\n 3.5   4.5\n", grid);
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.columnCount(), 3);
    EXPECT_EQ(grid.cell(2, 2), "4.5");

    // Drawn: both values of every row at the row's step.
    const std::vector<gui::ChartPoint> points = gui::resultPoints(grid, std::nullopt);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[1].x, 1.0);
    EXPECT_EQ(points[1].y, 2.5);
    EXPECT_EQ(points[3].x, 2.0);
    EXPECT_EQ(points[3].y, 4.5);

    // A last line with trailing blanks adds no empty column (no phantom zeros).
    gui::Grid other(999, 999);
    load(" 12.5\n 13.5 \n", other);
    EXPECT_EQ(other.columnCount(), 2);
}

TEST(ReadResultColumns, EmptyFileLeavesOnlyTheHeaderRow) {
    gui::Grid grid(999, 999);
    grid.setCell(1, 0, "h [m]");
    grid.setCell(1, 5, "old");
    const auto result = load("", grid);
    EXPECT_EQ(result.lines, 0);
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.columnCount(), 2); // the header stays visible
    EXPECT_EQ(grid.cell(1, 0), "h [m]");
    EXPECT_TRUE(gui::resultPoints(grid, std::nullopt).empty());
}

TEST(ReadResultColumns, MissingFileOrDirectoryLeavesTheGridUntouched) {
    const veldron::testing::TempDir temp;
    const std::filesystem::path& dir = temp.path();
    gui::Grid grid(999, 999);
    grid.setCell(1, 3, "kept");
    const auto missing = gui::readResultColumns(dir / "vyska_vody", grid);
    EXPECT_FALSE(missing.opened);
    EXPECT_NE(missing.error.find("Soubor nenalezen"), std::string::npos) << missing.error;
    EXPECT_NE(missing.error.find("vyska_vody"), std::string::npos);
    EXPECT_FALSE(gui::readResultColumns(dir, grid).opened);
    EXPECT_EQ(grid.rowCount(), 999);
    EXPECT_EQ(grid.columnCount(), 999);
    EXPECT_EQ(grid.cell(1, 3), "kept");

    veldron::testing::writeFile(dir / "vyska_vody", record("2.0000000") + record("2.5"));
    const auto present = gui::readResultColumns(dir / "vyska_vody", grid);
    EXPECT_TRUE(present.opened);
    EXPECT_EQ(present.lines, 2);
    EXPECT_EQ(grid.cell(1, 2), "2.5");
}
