// The exchange files written by the flood wave and bathygraphic curve forms,
// and the checks of their grids before anything is written.
#pragma once

#include "desk/grid.h"
#include "desk/typed_number.h"
#include "project_files/file_io.h"
#include "project_files/saved_inputs.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace desk {

/// A table as the core reads it: rows of value texts with a decimal point.
using TableRows = std::vector<std::vector<std::string>>;

/// What a grid's form may write, or why not.
struct TableCheck {
    std::optional<Refusal> refusal;    // the cell to mend (column, grid row)
    std::vector<std::string> warnings; // what is probably wrong (Czech)
    TableRows rows;                    // only without a refusal
};

/// The flood wave of the grid's column 1: the rows up to the last one that
/// holds text, each a number not below 0 (typed with a decimal comma or
/// point). Refused: a cell that is empty or not a number, a negative inflow,
/// or no value at all. Rows below the last value are not part of the wave.
TableCheck checkFloodWave(const Grid& grid);

/// The curve of the grid's columns 1 to 4: the rows up to the last one that
/// holds text, every cell a number. Refused: a cell that is empty or not a
/// number, fewer than two rows, and what the one check of the inputs refuses
/// (the first row whose level h or volume V does not rise above the row
/// before it, row 1 above the bottom, or whose area A falls), at its cell.
TableCheck checkCurve(const Grid& grid);

/// The data rows a table form writes: up to the last one with text (not only
/// blanks) in any value column; 0 for none.
int filledRowCount(const Grid& grid);

/// The saved flood wave as the grid shows it: one row per value, the file's
/// text with a decimal comma ("12.50" -> "12,50"). No row without a saved wave.
TableRows savedFloodWaveRows(const project_files::SavedInputs& inputs);

/// The saved curve as the grid shows it: H, h, V and A of each row, the
/// file's texts with a decimal comma. No row without a saved curve.
TableRows savedCurveRows(const project_files::SavedInputs& inputs);

/// One line per row: each value followed by one blank.
std::vector<std::string> floodWaveLines(const TableRows& rows);

/// One line per row: each value followed by one tab.
std::vector<std::string> curveLines(const TableRows& rows);

/// Writes IN_FLOOD_WAVE (floodWaveLines, CR LF) into `directory`, then
/// IN_NUMBER_OF_POINT_FW holding the number of rows, so the count always
/// matches what the wave holds. When IN_FLOOD_WAVE cannot be created or
/// written completely, it is left closed with the lines written so far and
/// IN_NUMBER_OF_POINT_FW is not touched.
project_files::FileResult writeFloodWaveFiles(const std::filesystem::path& directory,
                                              const TableRows& rows);

/// Writes IN_BAT_CURVE_BC (curveLines, CR LF) into `directory`, then
/// IN_NUMBER_OF_POINT_BK holding the number of rows; a failure of the first
/// file leaves the second untouched.
project_files::FileResult writeCurveFiles(const std::filesystem::path& directory,
                                          const TableRows& rows);

} // namespace desk
