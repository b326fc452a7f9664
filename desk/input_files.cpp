// The exchange files written by the flood wave and bathygraphic curve forms.
#include "desk/input_files.h"

#include "desk/input_fields.h"
#include "desk/input_findings.h"
#include "exchange/file_names.h"
#include "exchange/input_check.h"

namespace desk {

namespace {

constexpr int kCurveColumns = 4;
constexpr int kLevelColumn = 2;  // h [m]
constexpr int kVolumeColumn = 3; // V [m3]
constexpr int kAreaColumn = 4;   // A [m2]

// A saved value as its cell shows it: the engineer's own text ("12.50",
// "9e5") with a decimal comma; a D exponent, which nobody types, as E.
std::string shownCell(const std::string& saved) {
    const std::string czech = czechNumber(saved);
    return parseTypedNumber(czech) ? czech : savedFieldText(saved);
}

bool isBlank(const std::string& cell) {
    return parseTypedNumber(cell).error == NumberError::Empty;
}

// The last grid row with text in any of the columns first .. last; 0 for none.
int lastFilledRow(const Grid& grid, int first, int last) {
    for (int row = grid.rowCount() - 1; row >= 1; --row)
        for (int column = first; column <= last; ++column)
            if (!isBlank(grid.cell(column, row))) return row;
    return 0;
}

// The refusal of a cell's number: not a number, or (for an inflow) what the
// one check of the inputs refuses.
std::string cellProblem(const ParsedNumber& number, const std::string& name,
                        const std::string& typed, bool inflow, int row) {
    if (inflow) return valueProblem(number, exchange::InputQuantity::Inflow, name, typed, row);
    return number ? std::string() : numberProblemText(name, typed, number.error);
}

// The value texts of rows 1 .. rowCount in the columns; refuses the first
// cell that is not a number (or a negative inflow).
TableCheck readCells(const Grid& grid, int rowCount, const std::vector<const char*>& headers,
                     bool inflow) {
    TableCheck check;
    for (int row = 1; row <= rowCount; ++row) {
        std::vector<std::string> values;
        for (int column = 1; column <= static_cast<int>(headers.size()); ++column) {
            const std::string& typed = grid.cell(column, row);
            const std::string name = cellName(row, headers[static_cast<std::size_t>(column - 1)]);
            const ParsedNumber number = parseTypedNumber(typed);
            const std::string problem = cellProblem(number, name, typed, inflow, row);
            if (!problem.empty()) {
                check.refusal = Refusal{-1, column, row, problem};
                check.rows.clear();
                return check;
            }
            values.push_back(number.text);
        }
        check.rows.push_back(std::move(values));
    }
    return check;
}

// The first row the one check of the inputs refuses, at its cell: the
// values as the core will read them, single precision.
std::optional<Refusal> curveRefusal(const TableRows& rows) {
    const auto value = [](const std::string& text) {
        return static_cast<double>(static_cast<float>(parseSavedNumber(text).value));
    };
    std::vector<exchange::CurveRowValues> values;
    for (const auto& row : rows)
        values.push_back({value(row[kLevelColumn - 1]), value(row[kVolumeColumn - 1]),
                          value(row[kAreaColumn - 1])});
    const auto finding = exchange::curveFinding(values);
    if (!finding) return std::nullopt;
    const int column = finding->quantity == exchange::InputQuantity::CurveLevel    ? kLevelColumn
                       : finding->quantity == exchange::InputQuantity::CurveVolume ? kVolumeColumn
                                                                                   : kAreaColumn;
    return Refusal{-1, column, finding->row, findingSentence(*finding)};
}

project_files::FileResult writeTableAndCount(const std::filesystem::path& tablePath,
                                             const std::vector<std::string>& lines,
                                             const std::filesystem::path& countPath) {
    project_files::FileResult table = project_files::writeLines(tablePath, lines);
    if (!table) return table; // a count without its table would mislead the core
    return project_files::writeOneLineFile(countPath, std::to_string(lines.size()));
}

std::vector<std::string> joinedLines(const TableRows& rows, char separator) {
    std::vector<std::string> lines;
    for (const auto& row : rows) {
        std::string line;
        for (const std::string& value : row)
            line += value + separator;
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace

int filledRowCount(const Grid& grid) {
    return lastFilledRow(grid, 1, grid.columnCount() - 1);
}

TableCheck checkFloodWave(const Grid& grid) {
    const int rows = lastFilledRow(grid, 1, 1);
    if (rows == 0) {
        TableCheck check;
        check.refusal = Refusal{-1, 1, 1,
                                "Povodňová vlna neobsahuje žádnou hodnotu. Načtěte data nebo "
                                "vyplňte sloupec " +
                                    std::string(label::kFloodWaveColumn) + "."};
        return check;
    }
    return readCells(grid, rows, {label::kFloodWaveColumn}, true);
}

TableCheck checkCurve(const Grid& grid) {
    const int rows = lastFilledRow(grid, 1, kCurveColumns);
    if (rows < 2) {
        TableCheck check;
        check.refusal =
            Refusal{-1, 1, rows + 1,
                    "Batygrafická křivka musí mít alespoň dva vyplněné řádky (H, h, V a A)."};
        return check;
    }
    TableCheck check = readCells(grid, rows,
                                 {label::kCurveColumns[0], label::kCurveColumns[1],
                                  label::kCurveColumns[2], label::kCurveColumns[3]},
                                 false);
    if (check.refusal) return check;
    if ((check.refusal = curveRefusal(check.rows))) check.rows.clear();
    return check;
}

TableRows savedFloodWaveRows(const project_files::SavedInputs& inputs) {
    TableRows rows;
    if (inputs.inflow)
        for (const project_files::SavedReal& value : *inputs.inflow)
            rows.push_back({shownCell(value.text)});
    return rows;
}

TableRows savedCurveRows(const project_files::SavedInputs& inputs) {
    TableRows rows;
    if (inputs.curve)
        for (const project_files::SavedCurveRow& row : *inputs.curve)
            rows.push_back({shownCell(row.elevation.text), shownCell(row.level.text),
                            shownCell(row.volume.text), shownCell(row.area.text)});
    return rows;
}

std::vector<std::string> floodWaveLines(const TableRows& rows) {
    return joinedLines(rows, ' ');
}

std::vector<std::string> curveLines(const TableRows& rows) {
    return joinedLines(rows, '\t');
}

project_files::FileResult writeFloodWaveFiles(const std::filesystem::path& directory,
                                              const TableRows& rows) {
    return writeTableAndCount(directory / exchange::kFloodWave, floodWaveLines(rows),
                              directory / exchange::kInflowPointCount);
}

project_files::FileResult writeCurveFiles(const std::filesystem::path& directory,
                                          const TableRows& rows) {
    return writeTableAndCount(directory / exchange::kCurve, curveLines(rows),
                              directory / exchange::kCurveRowCount);
}

} // namespace desk
