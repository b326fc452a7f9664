// The two-blank table loader, the drawing conversion, the chart points and
// the exact bytes of the flood wave and curve exchange files.
#include "desk/grid_points.h"
#include "desk/input_files.h"
#include "desk/two_blank_table.h"
#include "exchange/file_names.h"
#include "project_files/result_files.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <array>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Fields = std::vector<std::string>;

namespace {

using veldron::testing::readFile;
using veldron::testing::TempDir;
using veldron::testing::writeFile;

Fields rowCells(const desk::Grid& grid, int row, int columns) {
    Fields cells;
    for (int column = 0; column < columns; ++column)
        cells.push_back(grid.cell(column, row));
    return cells;
}

} // namespace

TEST(SplitTwoBlankLine, FieldsAfterTheFirstKeepOneLeadingBlank) {
    EXPECT_EQ(desk::splitTwoBlankLine("12.5"), Fields({"12.5"}));
    EXPECT_EQ(desk::splitTwoBlankLine("1  12.5"), Fields({"1", " 12.5"}));
    EXPECT_EQ(desk::splitTwoBlankLine("312.50  0.50  1838.9  8091.3"),
              Fields({"312.50", " 0.50", " 1838.9", " 8091.3"}));
}

TEST(SplitTwoBlankLine, OnlyPairsOfBlanksSeparate) {
    EXPECT_EQ(desk::splitTwoBlankLine("12 5"), Fields({"12 5"}));
    EXPECT_EQ(desk::splitTwoBlankLine("1\t2,3;4"), Fields({"1\t2,3;4"}));
    EXPECT_EQ(desk::splitTwoBlankLine("1   2"), Fields({"1", "", " 2"}));
    EXPECT_EQ(desk::splitTwoBlankLine("  7"), Fields({"", " 7"}));
    EXPECT_EQ(desk::splitTwoBlankLine(""), Fields({""}));
    // A trailing blank completes a pair with the appended ones: one more, empty field.
    EXPECT_EQ(desk::splitTwoBlankLine("12.5 "), Fields({"12.5", ""}));
}

TEST(ReadTwoBlankTable, FillsNumbersAndDropsRowsBeyondTheFile) {
    TempDir dir;
    const fs::path file = dir.path() / "t.csv";
    writeFile(file, "1  2\r\n3  4\r\n");
    desk::Grid grid(3, 10);
    grid.setCell(1, 7, "old");
    const desk::TableLoad load = desk::readTwoBlankTable(file, grid);
    EXPECT_TRUE(load.opened);
    EXPECT_TRUE(load.error.empty());
    EXPECT_EQ(load.lines, 2);
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(rowCells(grid, 1, 3), Fields({"1", "1", " 2"}));
    EXPECT_EQ(rowCells(grid, 2, 3), Fields({"2", "3", " 4"}));
    grid.setRowCount(10);
    EXPECT_EQ(grid.cell(1, 7), "") << "rows beyond the file are dropped, not kept";
}

TEST(ReadTwoBlankTable, LineEnds) {
    TempDir dir;
    const fs::path file = dir.path() / "t.csv";
    struct Case {
        std::string bytes;
        Fields values; // column 1 of each row
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"5", {"5"}},                       // final line without a line end
        {"5\r\n", {"5"}},                   // a line end after the last line adds no row
        {"5\n6", {"5", "6"}},               // LF only
        {"5\r\n\r\n6\r\n", {"5", "", "6"}}, // an empty line is a row
        {"\r\n", {""}},
        {"5\r", {"5"}},         // CR at the very end belongs to the line end
        {"5\r6\r\n", {"5\r6"}}, // a CR inside a line is text
    };
    for (const Case& c : cases) {
        writeFile(file, c.bytes);
        desk::Grid grid(2, 3);
        const desk::TableLoad load = desk::readTwoBlankTable(file, grid);
        SCOPED_TRACE(c.bytes);
        ASSERT_EQ(load.lines, static_cast<int>(c.values.size()));
        ASSERT_EQ(grid.rowCount(), load.lines + 1);
        for (int row = 1; row <= load.lines; ++row) {
            EXPECT_EQ(grid.cell(0, row), std::to_string(row));
            EXPECT_EQ(grid.cell(1, row), c.values[static_cast<std::size_t>(row - 1)]);
        }
    }
}

TEST(ReadTwoBlankTable, GrowsPastItsRowsAndKeepsFieldsBeyondTheLastColumn) {
    TempDir dir;
    const fs::path file = dir.path() / "t.csv";
    std::string bytes;
    for (int i = 1; i <= 1200; ++i)
        bytes += std::to_string(i) + "  x\r\n";
    writeFile(file, bytes);
    desk::Grid grid(2, 999);
    EXPECT_EQ(desk::readTwoBlankTable(file, grid).lines, 1200);
    EXPECT_EQ(grid.rowCount(), 1201);
    EXPECT_EQ(grid.cell(0, 1200), "1200");
    EXPECT_EQ(grid.cell(1, 1200), "1200");
    EXPECT_EQ(desk::checkFloodWave(grid).rows[1199], Fields{"1200"}) << "field 2 is not written";
    grid.setColumnCount(3);
    EXPECT_EQ(grid.cell(2, 1200), " x") << "but it stays with the row";
}

TEST(ReadTwoBlankTable, NeverClearsCellsItsLinesDoNotReach) {
    TempDir dir;
    const fs::path file = dir.path() / "t.csv";
    desk::Grid grid(5, 50);
    writeFile(file, "1  2  3  4\r\n5  6  7  8\r\n");
    desk::readTwoBlankTable(file, grid);
    writeFile(file, "9  10\r\n11  12  13  14\r\n");
    desk::readTwoBlankTable(file, grid);
    EXPECT_EQ(rowCells(grid, 1, 5), Fields({"1", "9", " 10", " 3", " 4"}));
    EXPECT_EQ(rowCells(grid, 2, 5), Fields({"2", "11", " 12", " 13", " 14"}));
}

TEST(ReadTwoBlankTable, FileThatCannotBeOpenedLeavesTheGridUntouched) {
    TempDir dir;
    desk::Grid grid(2, 999);
    grid.setCell(1, 5, "typed");
    for (const fs::path& path : {dir.path() / "missing.csv", dir.path()}) {
        const desk::TableLoad load = desk::readTwoBlankTable(path, grid);
        EXPECT_FALSE(load.opened);
        EXPECT_EQ(load.lines, 0);
        EXPECT_NE(load.error.find(path.string()), std::string::npos) << load.error;
        EXPECT_EQ(grid.rowCount(), 999);
        EXPECT_EQ(grid.cell(1, 5), "typed");
    }
    EXPECT_EQ(desk::readTwoBlankTable(dir.path() / "missing.csv", grid).error,
              project_files::fileErrorText(ENOENT, dir.path() / "missing.csv"));
}

namespace {

// A stream that yields its text and then fails with EIO.
struct FailingSource {
    std::string text;
    std::size_t at = 0;
};

ssize_t failingRead(void* cookie, char* buffer, size_t size) {
    auto* source = static_cast<FailingSource*>(cookie);
    if (source->at >= source->text.size()) {
        errno = EIO;
        return -1;
    }
    const std::size_t n = std::min(size, source->text.size() - source->at);
    std::memcpy(buffer, source->text.data() + source->at, n);
    source->at += n;
    return static_cast<ssize_t>(n);
}

} // namespace

TEST(ReadTwoBlankTable, ReadErrorKeepsTheLinesReadCompletely) {
    FailingSource source{"1.5\r\n2.5\r\n3.", 0};
    cookie_io_functions_t functions{failingRead, nullptr, nullptr, nullptr};
    std::FILE* file = fopencookie(&source, "r", functions);
    ASSERT_NE(file, nullptr);
    desk::Grid grid(2, 999);
    const desk::TableLoad load = desk::readTwoBlankTable(file, "Q_FLOOD_WAVE.csv", grid);
    std::fclose(file);
    EXPECT_TRUE(load.opened);
    EXPECT_EQ(load.lines, 2);
    EXPECT_EQ(load.error, project_files::fileErrorText(EIO, "Q_FLOOD_WAVE.csv"));
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.cell(1, 2), "2.5");
}

TEST(GridPoints, RowIAtXIAndCellsThatAreNoNumbersLeftOut) {
    desk::Grid grid(3, 6);
    grid.setCell(1, 1, "1");
    grid.setCell(2, 1, " 30");
    grid.setCell(1, 2, "2");
    grid.setCell(2, 2, " 10");
    grid.setCell(1, 3, "3");
    grid.setCell(2, 3, " 10");
    grid.setCell(1, 4, "abc"); // marked in the grid, never drawn as 0
    grid.setCell(2, 4, "5");
    grid.setCell(1, 5, "4,5");
    grid.setCell(2, 5, "20,5");
    const std::vector<desk::ChartPoint> column = desk::gridColumnPoints(grid, 1);
    ASSERT_EQ(column.size(), 4u);
    EXPECT_EQ(column[0].x, 1.0);
    EXPECT_EQ(column[3].x, 5.0);
    EXPECT_EQ(column[3].y, 4.5);
    const std::vector<desk::ChartPoint> points = desk::gridPointsSortedByX(grid, 2, 1);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[0].x, 10.0);
    EXPECT_EQ(points[0].y, 2.0) << "equal x keep their row order";
    EXPECT_EQ(points[1].y, 3.0);
    EXPECT_EQ(points[2].x, 20.5);
    EXPECT_EQ(points[3].x, 30.0);
}

// Step 1 is the state at the start: its hours are 0, as the grids count steps.
TEST(GridPoints, StepHoursCountFromTheStart) {
    EXPECT_EQ(project_files::stepHours(1, 30.0), 0.0);
    EXPECT_EQ(project_files::stepHours(3, 30.0), 1.0);
    EXPECT_EQ(project_files::stepHours(7, 10.0), 1.0); // whole hours stay whole
    EXPECT_EQ(project_files::stepHours(49, 60.0), 48.0);
}

TEST(InputFiles, FloodWaveIsItsRowsUpToTheLastValueWithAPoint) {
    TempDir dir;
    desk::Grid grid(2, 6);
    grid.setCell(1, 1, "5.00");
    grid.setCell(1, 2, " 105,5 ");
    grid.setCell(1, 3, "1e2");
    const desk::TableCheck check = desk::checkFloodWave(grid);
    ASSERT_FALSE(check.refusal);
    ASSERT_TRUE(desk::writeFloodWaveFiles(dir.path(), check.rows));
    EXPECT_EQ(readFile(dir.path() / exchange::kFloodWave), "5.00 \r\n105.5 \r\n1e2 \r\n");
    EXPECT_EQ(readFile(dir.path() / exchange::kInflowPointCount), "3\r\n");
}

TEST(InputFiles, FloodWaveRefusesTheCellToMend) {
    desk::Grid grid(2, 6);
    EXPECT_EQ(desk::checkFloodWave(grid).refusal->message,
              "Povodňová vlna neobsahuje žádnou hodnotu. Načtěte data nebo vyplňte sloupec "
              "Q [m3/s].");
    grid.setCell(1, 1, "5");
    grid.setCell(1, 3, "abc"); // row 2 is empty: the core would shift every later value
    desk::TableCheck check = desk::checkFloodWave(grid);
    ASSERT_TRUE(check.refusal);
    EXPECT_EQ(check.refusal->row, 2);
    EXPECT_EQ(check.refusal->column, 1);
    EXPECT_EQ(check.refusal->message, "Řádek 2, sloupec Q [m3/s]: chybí hodnota. Zadejte číslo.");
    EXPECT_TRUE(check.rows.empty());
    grid.setCell(1, 2, "-1");
    check = desk::checkFloodWave(grid);
    EXPECT_EQ(check.refusal->message,
              "Řádek 2, sloupec Q [m3/s]: „-1“ nelze použít. Zadejte číslo 0 nebo větší.");
}

TEST(InputFiles, CurveRowsWithTabsAndTheFirstRowThatDoesNotRise) {
    TempDir dir;
    const auto gridOf = [](const std::vector<std::array<const char*, 4>>& rows) {
        desk::Grid grid(5, 6);
        for (int r = 0; r < static_cast<int>(rows.size()); ++r)
            for (int c = 0; c < 4; ++c)
                grid.setCell(c + 1, r + 1, rows[static_cast<std::size_t>(r)][c]);
        return grid;
    };
    desk::Grid grid = gridOf({{"312,50", " 0,50", " 1838,9", " 8091,3"},
                              {"313", " 1", " 3000", " 9000"},
                              {"314", " 1,5", " 4000", " 9000"}});
    grid.setCell(5, 1, " beyond");
    const desk::TableCheck check = desk::checkCurve(grid);
    ASSERT_FALSE(check.refusal) << check.refusal->message;
    ASSERT_TRUE(desk::writeCurveFiles(dir.path(), check.rows));
    EXPECT_EQ(readFile(dir.path() / exchange::kCurve),
              "312.50\t0.50\t1838.9\t8091.3\t\r\n313\t1\t3000\t9000\t\r\n"
              "314\t1.5\t4000\t9000\t\r\n");
    EXPECT_EQ(readFile(dir.path() / exchange::kCurveRowCount), "3\r\n");

    // The first row that does not rise is refused at its cell, with both rows.
    const struct {
        std::vector<std::array<const char*, 4>> rows;
        int column, row;
        const char* message;
    } refused[] = {
        {{{"318", "18", "6052627", "0"}, {"317,5", "17,5", "5732300", "0"}},
         2,
         2,
         "Batygrafická křivka: hladina h [m] v řádku 2 (17,5) není větší než v řádku 1 (18)."},
        {{{"312,5", "0,5", "1838,9", "0"}, {"313", "1", "1838,9", "0"}},
         3,
         2,
         "Batygrafická křivka: objem V [m3] v řádku 2 (1838,9) není větší než v řádku 1 "
         "(1838,9)."},
        {{{"300", "0", "500", "0"}, {"301", "1", "900", "0"}},
         2,
         1,
         "Batygrafická křivka: hladina h [m] v řádku 1 (0) není větší než u dna nádrže (0)."},
        {{{"301", "1", "900", "800"}, {"302", "2", "1900", "700"}},
         4,
         2,
         "Batygrafická křivka: plocha A [m2] v řádku 2 (700) je menší než v řádku 1 (800)."},
    };
    for (const auto& c : refused) {
        const desk::TableCheck bad = desk::checkCurve(gridOf(c.rows));
        ASSERT_TRUE(bad.refusal) << c.message;
        EXPECT_EQ(bad.refusal->column, c.column) << c.message;
        EXPECT_EQ(bad.refusal->row, c.row) << c.message;
        EXPECT_EQ(bad.refusal->message.rfind(c.message, 0), 0u) << bad.refusal->message;
        EXPECT_TRUE(bad.rows.empty());
    }
    // A first row at the bottom itself is the bottom.
    EXPECT_FALSE(
        desk::checkCurve(gridOf({{"300", "0", "0", "0"}, {"301", "1", "900", "0"}})).refusal);

    grid.setCell(4, 2, "");
    EXPECT_EQ(desk::checkCurve(grid).refusal->message,
              "Řádek 2, sloupec A [m2]: chybí hodnota. Zadejte číslo.");
    grid.setRowCount(2);
    EXPECT_EQ(desk::checkCurve(grid).refusal->message,
              "Batygrafická křivka musí mít alespoň dva vyplněné řádky (H, h, V a A).");
}

TEST(InputFiles, WriteErrorPartOfTheWayLeavesTheCountUntouched) {
    TempDir dir;
    fs::create_symlink("/dev/full", dir.path() / exchange::kCurve);
    const project_files::FileResult result =
        desk::writeCurveFiles(dir.path(), {{"1", "2", "3", "4"}});
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(fs::exists(dir.path() / exchange::kCurveRowCount));
}
