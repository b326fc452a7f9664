// Spreadsheet export: workbooks read back by an independent reader (xlrd).
#include "gui/common/spreadsheet_export.h"
#include "gui/common/xls_workbook.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct ReadCell {
    std::string kind; // text | blank | other
    std::string format;
    std::string text;
};

struct ReadSheet {
    std::string name;
    int rows = 0;
    int columns = 0;
    std::map<std::pair<int, int>, ReadCell> cells; // (row, column)
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

std::string unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out += next == 't' ? '\t' : next == 'n' ? '\n' : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

/// The workbook as xlrd sees it; an empty list when xlrd cannot read it.
std::vector<ReadSheet> readBack(const fs::path& file, bool withBlanks = false) {
    const std::string command = std::string("/usr/bin/python3 '") + VELDRON_SOURCE_DIR +
                                "/tests/gui_common/read_xls.py' '" + file.string() + "'" +
                                (withBlanks ? " blanks" : "") + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::string output;
    std::array<char, 65536> buffer{};
    for (std::size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;)
        output.append(buffer.data(), got);
    if (pclose(pipe) != 0) {
        ADD_FAILURE() << "xlrd could not read " << file << ":\n" << output;
        return {};
    }
    std::vector<ReadSheet> sheets;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const auto parts = splitTabs(line);
        if (parts[0] == "SHEET" && parts.size() == 4)
            sheets.push_back({parts[1], std::stoi(parts[2]), std::stoi(parts[3]), {}});
        else if (parts[0] == "CELL" && parts.size() == 6 && !sheets.empty())
            sheets.back().cells[{std::stoi(parts[1]), std::stoi(parts[2])}] = {parts[3], parts[4],
                                                                               unescape(parts[5])};
    }
    return sheets;
}

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "veldron_xls_XXXXXX").string();
        m_path = mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        fs::permissions(m_path, fs::perms::owner_all, ignored);
        fs::remove_all(m_path, ignored);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

gui::OverwriteQuestion answer(bool yes, int* asked = nullptr) {
    return [yes, asked](const fs::path&) {
        if (asked != nullptr) ++*asked;
        return yes;
    };
}

} // namespace

TEST(SpreadsheetExport, ResultGridBecomesOneTextSheetNumbered1) {
    TempDir dir;
    gui::Grid grid(2, 201);
    grid.setCell(0, 0, "i");
    grid.setCell(1, 0, "TP [m3/s]");
    for (int row = 1; row < 201; ++row) {
        grid.setCell(0, row, std::to_string(row));
        grid.setCell(1, row, std::to_string(row) + ".5000000");
    }
    grid.setCell(1, 200, "999"); // an edited cell stays text as it stands

    const auto result = gui::exportGridToWorkbooks(grid, "Stringgrid Print",
                                                   dir.path() / "transformovana_povoden.xls", {});
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.saved, std::vector<fs::path>{dir.path() / "transformovana_povoden1.xls"});

    const auto sheets = readBack(result.saved[0]);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].name, "Stringgrid Print1");
    EXPECT_EQ(sheets[0].rows, 201);
    EXPECT_EQ(sheets[0].columns, 2);
    ASSERT_EQ(sheets[0].cells.size(), 402u);
    for (const auto& [at, cell] : sheets[0].cells) {
        EXPECT_EQ(cell.kind, "text") << at.first << "," << at.second;
        EXPECT_EQ(cell.format, "@");
        EXPECT_EQ(cell.text, grid.cell(at.second, at.first));
    }
    EXPECT_EQ(sheets[0].cells.at({0, 1}).text, "TP [m3/s]");
    EXPECT_EQ(sheets[0].cells.at({200, 1}).text, "999");
}

TEST(SpreadsheetExport, ColumnsBeyond256GoToASecondSheetOfTheSameWorkbook) {
    TempDir dir;
    gui::Grid grid(300, 3);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 300; ++column)
            grid.setCell(column, row, std::to_string(column) + "/" + std::to_string(row));

    const auto result =
        gui::exportGridToWorkbooks(grid, "Stringgrid Print", dir.path() / "vyska_vody.xls", {});
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.saved.size(), 1u);
    const auto sheets = readBack(result.saved[0], true);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].name, "Stringgrid Print1");
    EXPECT_EQ(sheets[1].name, "Stringgrid Print2");
    EXPECT_EQ(sheets[0].columns, 256);
    EXPECT_EQ(sheets[0].cells.at({2, 255}).text, "255/2");
    // The second sheet holds grid columns 256 .. 299 in A .. AR; the rest of
    // its range up to IV is empty but formatted as text.
    EXPECT_EQ(sheets[1].cells.at({0, 0}).text, "256/0");
    EXPECT_EQ(sheets[1].cells.at({2, 43}).text, "299/2");
    EXPECT_EQ(sheets[1].cells.at({2, 43}).kind, "text");
    EXPECT_EQ(sheets[1].cells.at({1, 44}).kind, "blank");
    EXPECT_EQ(sheets[1].cells.at({1, 44}).format, "@");
    EXPECT_EQ(sheets[1].cells.at({2, 255}).kind, "blank");
    EXPECT_EQ(sheets[1].cells.count({0, 256}), 0u);
}

TEST(SpreadsheetExport, RowsBeyondOneSheetGoToFurtherWorkbooks) {
    TempDir dir;
    gui::Grid grid(2, gui::kRowsPerWorkbook + 2);
    for (int row = 0; row < grid.rowCount(); ++row)
        grid.setCell(1, row, std::to_string(row));
    const auto result =
        gui::exportGridToWorkbooks(grid, "Stringgrid Print", dir.path() / "velky.xls", {});
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.saved.size(), 2u);
    EXPECT_EQ(result.saved[1], dir.path() / "velky2.xls");
    const auto second = readBack(result.saved[1]);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].name, "Stringgrid Print1");
    EXPECT_EQ(second[0].cells.at({0, 1}).text, std::to_string(gui::kRowsPerWorkbook));
    EXPECT_EQ(second[0].cells.at({1, 1}).text, std::to_string(gui::kRowsPerWorkbook + 1));
}

TEST(XlsWorkbook, ManyAndLongTextsSurviveTheSplitOfTheStringTable) {
    TempDir dir;
    gui::XlsSheet sheet{"Výsledky", 0, 3, {}};
    // Unique texts well beyond one 8224-byte record, one- and two-byte ones,
    // and single texts longer than a record, so strings split across CONTINUE.
    for (int n = 0; n < 3000; ++n)
        sheet.cells.push_back({"hodnota " + std::to_string(n), "přítok č. " + std::to_string(n),
                               n % 1000 == 7 ? std::string(9000, 'x') + "ř" : "1.5"});
    sheet.cells.push_back({std::string(20000, 'q'), "tab\tand\\slash", "😀 mimo BMP"});
    sheet.rowCount = static_cast<int>(sheet.cells.size());
    const fs::path file = dir.path() / "texty.xls";
    ASSERT_TRUE(gui::writeXlsWorkbook(file, {sheet}));

    const auto sheets = readBack(file);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].name, "Výsledky");
    EXPECT_EQ(sheets[0].cells.size(), 3u * sheet.cells.size());
    for (const auto& [at, cell] : sheets[0].cells)
        ASSERT_EQ(
            cell.text,
            sheet.cells[static_cast<std::size_t>(at.first)][static_cast<std::size_t>(at.second)])
            << at.first << "," << at.second;
}

TEST(SpreadsheetExport, AnExistingWorkbookIsReplacedOnlyWhenTheUserAgrees) {
    TempDir dir;
    gui::Grid grid(2, 2);
    grid.setCell(1, 1, "nový");
    const fs::path target = dir.path() / "vyska_vody1.xls";
    std::ofstream(target) << "old";

    int asked = 0;
    auto kept =
        gui::exportGridToWorkbooks(grid, "S", dir.path() / "vyska_vody.xls", answer(false, &asked));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(kept.ok);
    EXPECT_TRUE(kept.declined);
    EXPECT_TRUE(kept.error.empty());
    EXPECT_EQ(slurp(target), "old");

    auto replaced =
        gui::exportGridToWorkbooks(grid, "S", dir.path() / "vyska_vody.xls", answer(true, &asked));
    EXPECT_EQ(asked, 2);
    ASSERT_TRUE(replaced.ok) << replaced.error;
    EXPECT_EQ(readBack(target).at(0).cells.at({1, 1}).text, "nový");
}

TEST(SpreadsheetExport, SavingFailuresAreReportedNotSwallowed) {
    TempDir dir;
    gui::Grid grid(2, 2);
    const auto missingDir = gui::exportGridToWorkbooks(grid, "S", dir.path() / "nic" / "a.xls", {});
    EXPECT_FALSE(missingDir.ok);
    EXPECT_FALSE(missingDir.declined);
    EXPECT_NE(missingDir.error.find((dir.path() / "nic" / "a1.xls").string()), std::string::npos)
        << missingDir.error;

    if (geteuid() != 0) { // root may write anywhere
        const fs::path locked = dir.path() / "zamceno";
        fs::create_directory(locked);
        std::ofstream(locked / "a1.xls") << "old";
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        const auto denied = gui::exportGridToWorkbooks(grid, "S", locked / "a.xls", answer(true));
        EXPECT_FALSE(denied.ok);
        EXPECT_FALSE(denied.error.empty());
        EXPECT_EQ(slurp(locked / "a1.xls"), "old"); // never half-replaced
    }
}

TEST(SpreadsheetExport, NumberGoesBeforeTheExtensionOfTheFileName) {
    EXPECT_EQ(gui::numberedWorkbookPath("/opt/v.2/vyska_vody.xls", 1), "/opt/v.2/vyska_vody1.xls");
    EXPECT_EQ(gui::numberedWorkbookPath("/opt/v.2/tabulka", 3), "/opt/v.2/tabulka3");
}

TEST(XlsWorkbook, SheetsTheFormatCannotHoldAreRefusedBeforeWriting) {
    TempDir dir;
    const fs::path file = dir.path() / "x.xls";
    EXPECT_FALSE(gui::writeXlsWorkbook(file, {}));
    EXPECT_FALSE(gui::writeXlsWorkbook(file, {{"a:b", 1, 1, {}}}));
    EXPECT_FALSE(gui::writeXlsWorkbook(file, {{std::string(32, 'a'), 1, 1, {}}}));
    EXPECT_FALSE(gui::writeXlsWorkbook(file, {{"List", 1, 1, {}}, {"LIST", 1, 1, {}}}));
    EXPECT_FALSE(gui::writeXlsWorkbook(file, {{"List", 1, 257, {}}}));
    EXPECT_FALSE(gui::writeXlsWorkbook(file, {{"List", 65537, 1, {}}}));
    EXPECT_FALSE(fs::exists(file));
}
