// Workbooks: .xlsx files read back by an independent reader (openpyxl).
#include "gui/results/result_series.h"
#include "gui/workbook/cell_reference.h"
#include "gui/workbook/workbook_sheets.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using veldron::testing::readFile;
using veldron::testing::TempDir;

struct ReadCell {
    std::string kind; // number | text | other
    std::string value;
};

struct ReadSheet {
    std::string name;
    int rows = 0;
    int columns = 0;
    std::map<std::pair<int, int>, ReadCell> cells; // (row, column) from 0
};

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', from)) {
        parts.push_back(line.substr(from, tab - from));
        from = tab + 1;
    }
    parts.push_back(line.substr(from));
    return parts;
}

/// The workbook as openpyxl sees it; an empty list when it cannot read it.
std::vector<ReadSheet> readBack(const fs::path& file) {
    const std::string command = std::string("/usr/bin/python3 '") + VELDRON_SOURCE_DIR +
                                "/tests/gui_support/read_xlsx.py' '" + file.string() + "' 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::string output;
    std::array<char, 65536> buffer{};
    for (std::size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        output.append(buffer.data(), got);
    if (pclose(pipe) != 0) {
        ADD_FAILURE() << "openpyxl could not read " << file << ":\n" << output;
        return {};
    }
    std::vector<ReadSheet> sheets;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const auto parts = splitTabs(line);
        if (parts[0] == "SHEET" && parts.size() == 4)
            sheets.push_back({parts[1], std::stoi(parts[2]), std::stoi(parts[3]), {}});
        else if (parts[0] == "CELL" && parts.size() == 5 && !sheets.empty())
            sheets.back().cells[{std::stoi(parts[1]), std::stoi(parts[2])}] = {parts[3], parts[4]};
    }
    return sheets;
}

/// A number cell as the reader printed it, read back to the double it holds.
double numberOf(const ReadCell& cell) {
    EXPECT_EQ(cell.kind, "number");
    return std::strtod(cell.value.c_str(), nullptr);
}

} // namespace

TEST(SheetCell, WholeDecimalNumbersBecomeNumbersEverythingElseStaysText) {
    EXPECT_EQ(gui::sheetCell("48.7890015"), gui::SheetCell(48.7890015));
    EXPECT_EQ(gui::sheetCell("  1.2345670E+006"), gui::SheetCell(1234567.0));
    EXPECT_EQ(gui::sheetCell("-.5"), gui::SheetCell(-0.5));
    EXPECT_EQ(gui::sheetCell("+7"), gui::SheetCell(7.0));
    EXPECT_EQ(gui::sheetCell("3."), gui::SheetCell(3.0));
    EXPECT_EQ(gui::sheetCell("12,5"), gui::SheetCell(12.5)); // as a Czech engineer types it
    EXPECT_EQ(gui::sheetCell(""), gui::SheetCell());
    for (const char* text : {"TP [m3/s]", "1.2.3", "1,2,3", "inf", "nan", "0x10", "1e999", "1e",
                             ".", "-", " ", "12 5", "1D5"})
        EXPECT_EQ(gui::sheetCell(text), gui::SheetCell(std::string(text))) << text;
}

TEST(ResultSeries, GridsShowThreeDecimalsWithACommaAndACopyTheValueAsWritten) {
    EXPECT_EQ(gui::shownValue(48.7890015), "48,789");
    EXPECT_EQ(gui::shownValue(1234567.0), "1234567,000");
    EXPECT_EQ(gui::shownValue(-0.5), "-0,500");
    EXPECT_EQ(gui::fullValue(48.7890015), "48,789");
    EXPECT_EQ(gui::fullValue(100.0), "100");
}

// The core's records of single-precision values, read as doubles, back to
// the shortest decimal of the value the core held.
TEST(ResultSeries, RecordsReadBackAsTheValuesTheCoreHeld) {
    const std::pair<const char*, double> cases[] = {
        {"4.5100002", 4.51},          // the sample's second inflow
        {"21.0599995", 21.06},        // rounded down in the record
        {"45000.0039062", 45000.004}, // the float's own shortest form, not 45000
        {"1.2345670E+006", 1234567.0},
        {"0.1234568", 0.1234568}, // below 1 the record's digits are the shortest
        {"-0.0000000", -0.0},
        {"1e300", 1e300}}; // beyond single precision: as it is
    for (const auto& [record, expected] : cases)
        EXPECT_EQ(gui::singlePrecisionValue(std::strtod(record, nullptr)), expected) << record;
}

TEST(WorkbookSheets, FlowTableHasNumbersToTheLastDigitSideBySideWithHours) {
    TempDir dir;
    const std::vector<double> inflow = {4.0, 4.51, 9.25};
    // A longer outflow: the inflow's cells stay empty below its end.
    const std::vector<double> outflow = {0.0, 48.7890015, 1234567.0, 999.0};

    const gui::SheetRows table =
        gui::resultTable({{"PV [m3/s]", &inflow}, {"TP [m3/s]", &outflow}}, 10.0);
    const auto result = gui::exportTable(table, "Průtok", dir.path() / "prutok.xlsx", {});
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.saved, std::vector<fs::path>{dir.path() / "prutok.xlsx"});
    EXPECT_EQ(dir.files(), std::vector<std::string>{"prutok.xlsx"}); // no leftovers

    const auto sheets = readBack(result.saved[0]);
    ASSERT_EQ(sheets.size(), 1u);
    const auto& cells = sheets[0].cells;
    EXPECT_EQ(sheets[0].name, "Průtok");
    EXPECT_EQ(sheets[0].rows, 5);
    EXPECT_EQ(sheets[0].columns, 4);
    const std::vector<std::string> header{cells.at({0, 0}).value, cells.at({0, 1}).value,
                                          cells.at({0, 2}).value, cells.at({0, 3}).value};
    EXPECT_EQ(header, (std::vector<std::string>{"i", "t [h]", "PV [m3/s]", "TP [m3/s]"}));
    EXPECT_EQ(cells.at({0, 3}).kind, "text");
    for (int row = 1; row <= 4; ++row) {
        EXPECT_EQ(numberOf(cells.at({row, 0})), row);
        // A cell keeps 16 significant digits (a spreadsheet shows 15): 1/6 h
        // to 16 digits; step 1 at 0 h.
        char hours[32];
        std::snprintf(hours, sizeof hours, "%.16g", (row - 1) * 10.0 / 60.0);
        EXPECT_EQ(numberOf(cells.at({row, 1})), std::strtod(hours, nullptr));
    }
    EXPECT_EQ(numberOf(cells.at({1, 2})), 4.0);
    EXPECT_EQ(numberOf(cells.at({2, 2})), 4.51);
    EXPECT_EQ(numberOf(cells.at({3, 2})), 9.25);
    EXPECT_EQ(cells.count({4, 2}), 0u);
    EXPECT_EQ(numberOf(cells.at({1, 3})), 0.0);
    EXPECT_EQ(numberOf(cells.at({2, 3})), 48.789);
    EXPECT_EQ(numberOf(cells.at({3, 3})), 1234567.0);
    EXPECT_EQ(numberOf(cells.at({4, 3})), 999.0);

    // Without hours the level table is i and h only.
    const std::vector<double> level = {12.0, 13.9807148};
    const gui::SheetRows levels = gui::resultTable({{"h [m]", &level}}, std::nullopt);
    ASSERT_EQ(levels.size(), 3u);
    EXPECT_EQ(levels[0], (std::vector<gui::SheetCell>{std::string("i"), std::string("h [m]")}));
    EXPECT_EQ(levels[2], (std::vector<gui::SheetCell>{2.0, 13.980715}));
}

TEST(WorkbookSheets, BeyondASheetsColumnsFurtherSheetsBeyondItsRowsFurtherWorkbooks) {
    TempDir dir;
    gui::SheetRows table;
    for (int row = 0; row < 5; ++row) {
        auto& cells = table.emplace_back();
        for (int column = 0; column < 7; ++column)
            cells.emplace_back(static_cast<double>(row * 100 + column));
    }
    table[4].resize(2); // a short last row: its missing cells stay empty
    const auto result = gui::exportTable(table, "List", dir.path() / "velky.xlsx", {}, {2, 3});
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.saved.size(), 3u);
    EXPECT_EQ(result.saved[0], dir.path() / "velky.xlsx");
    EXPECT_EQ(result.saved[2], dir.path() / "velky3.xlsx");

    const auto first = readBack(result.saved[0]);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0].name, "List");
    EXPECT_EQ(first[2].name, "List 3");
    EXPECT_EQ(numberOf(first[1].cells.at({1, 2})), 105.0);
    EXPECT_EQ(numberOf(first[2].cells.at({0, 0})), 6.0);
    EXPECT_EQ(first[2].columns, 1);
    const auto last = readBack(result.saved[2]);
    ASSERT_EQ(last.size(), 3u);
    EXPECT_EQ(numberOf(last[0].cells.at({0, 1})), 401.0);
    EXPECT_TRUE(last[1].cells.empty());

    // The limits the window uses are the format's.
    const gui::SheetLimits format;
    EXPECT_EQ(format.rows, 1048576);
    EXPECT_EQ(format.columns, 16384);
}

TEST(WorkbookSheets, AnExistingWorkbookIsReplacedOnlyWhenTheUserAgreesAndNeverHalfWritten) {
    TempDir dir;
    const gui::SheetRows table{{std::string("nový"), 1.5}};
    const fs::path target = dir.path() / "vyska_vody.xlsx";
    std::ofstream(target) << "old";

    int asked = 0;
    const auto no = [&asked](const fs::path&) { return ++asked, false; };
    const auto kept = gui::exportTable(table, "S", dir.path() / "vyska_vody.xlsx", no);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(kept.ok);
    EXPECT_TRUE(kept.declined);
    EXPECT_TRUE(kept.error.empty());
    EXPECT_EQ(readFile(target), "old");

    // A workbook the format cannot hold is refused before the old file is touched.
    const gui::SheetRows tooLong{{std::string(40000, 'x')}};
    const auto refused =
        gui::exportTable(tooLong, "S", dir.path() / "vyska_vody.xlsx", [](auto&) { return true; });
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find("A1"), std::string::npos) << refused.error;
    EXPECT_EQ(readFile(target), "old");

    const auto replaced =
        gui::exportTable(table, "S", dir.path() / "vyska_vody.xlsx", [](auto&) { return true; });
    ASSERT_TRUE(replaced.ok) << replaced.error;
    const auto sheets = readBack(target);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].cells.at({0, 0}).value, "nový");
    EXPECT_EQ(numberOf(sheets[0].cells.at({0, 1})), 1.5);
    EXPECT_EQ(dir.files(), std::vector<std::string>{"vyska_vody.xlsx"});
}

TEST(WorkbookSheets, SavingFailuresAreReportedAndLeaveNothingBehind) {
    TempDir dir;
    const gui::SheetRows table{{1.0}};
    const auto missingDir = gui::exportTable(table, "S", dir.path() / "nic" / "a.xlsx", {});
    EXPECT_FALSE(missingDir.ok);
    EXPECT_NE(missingDir.error.find((dir.path() / "nic" / "a.xlsx").string()), std::string::npos)
        << missingDir.error;

    // A target that is a directory: written beside it, then the rename fails.
    fs::create_directory(dir.path() / "b.xlsx");
    const auto directory = gui::exportTable(table, "S", dir.path() / "b.xlsx", {});
    EXPECT_FALSE(directory.ok);
    EXPECT_FALSE(directory.error.empty());
    EXPECT_EQ(dir.files(), std::vector<std::string>{"b.xlsx"}); // no temporary file left

    if (geteuid() != 0) { // root may write anywhere
        const fs::path locked = dir.path() / "zamceno";
        fs::create_directory(locked);
        std::ofstream(locked / "a.xlsx") << "old";
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        const auto denied =
            gui::exportTable(table, "S", locked / "a.xlsx", [](auto&) { return true; });
        EXPECT_FALSE(denied.ok);
        EXPECT_FALSE(denied.error.empty());
        EXPECT_EQ(readFile(locked / "a.xlsx"), "old");
    }
}

TEST(WorkbookFile, TextsThatAreNotValidUtf8StayReadableAndBadSheetNamesAreRefused) {
    TempDir dir;
    const gui::SheetRows rows{{std::string("ok\xFF\xC3"), std::string("přítok 😀")}};
    const fs::path file = dir.path() / "texty.xlsx";
    ASSERT_TRUE(gui::writeWorkbook(file, {{"Výsledky", &rows, 0, 1, 0, 2}}));
    const auto sheets = readBack(file);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].cells.at({0, 0}).value, "ok\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(sheets[0].cells.at({0, 1}).value, "přítok 😀");

    for (const char* name : {"", "a:b", "'a", "0123456789012345678901234567890123"})
        EXPECT_FALSE(gui::checkWorkbookSheets({{name, &rows, 0, 1, 0, 1}}).empty()) << name;
    EXPECT_FALSE(
        gui::checkWorkbookSheets({{"List", &rows, 0, 1, 0, 1}, {"LIST", &rows, 0, 1, 0, 1}})
            .empty());
    EXPECT_FALSE(gui::checkWorkbookSheets({{"List", &rows, 0, 1, 0, 16385}}).empty());
    EXPECT_FALSE(gui::checkWorkbookSheets({}).empty());
    EXPECT_EQ(gui::checkWorkbookSheets({{"List", &rows, 0, 1048576, 0, 16384}}), "");
}

TEST(WorkbookFile, NeverWritesNumbersInALocaleWithADecimalComma) {
    // A process that took a Czech system's numeric locale, as Qt does at its
    // start: the library would write "<v>1,5</v>", which no spreadsheet reads.
    TempDir dir;
    const gui::SheetRows rows{{1.5}};
    ASSERT_NE(std::setlocale(LC_NUMERIC, "cs_CZ.UTF-8"), nullptr)
        << "scripts/setup.sh generates the locale cs_CZ.UTF-8";
    const project_files::FileResult refused =
        gui::writeWorkbook(dir.path() / "a.xlsx", {{"S", &rows, 0, 1, 0, 1}});
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.error.find("LC_NUMERIC"), std::string::npos) << refused.error;
    EXPECT_TRUE(dir.files().empty());
}

TEST(CellReference, NamesEveryColumnOfASheet) {
    EXPECT_EQ(gui::cellReference(1, 1), "A1");
    EXPECT_EQ(gui::cellReference(7, 26), "Z7");
    EXPECT_EQ(gui::cellReference(7, 27), "AA7");
    EXPECT_EQ(gui::cellReference(7, 52), "AZ7");
    EXPECT_EQ(gui::cellReference(7, 53), "BA7");
    EXPECT_EQ(gui::cellReference(1, 702), "ZZ1");
    EXPECT_EQ(gui::cellReference(1, 703), "AAA1");
    EXPECT_EQ(gui::cellReference(1048576, 16384), "XFD1048576");
    EXPECT_EQ(gui::cellReference(0, 1), "");
}
