// Loading a text table whose fields are separated by two blanks into a grid
// (the flood wave and bathygraphic curve sources, the inflow of the results).
#pragma once

#include "desk/grid.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace desk {

/// The outcome of a table load.
struct TableLoad {
    bool opened = false; // false: the file could not be opened, the grid is untouched
    int lines = 0;       // data rows now in the grid (lines read completely)
    std::string error;   // empty on success; otherwise the text to show the user
};

/// Splits one line (without its line end) into fields at pairs of blanks.
/// Two blanks are appended; then, while the text holds a pair of blanks, the
/// text before the first pair is the next field and the text up to and
/// including the first blank of the pair is removed. Consequences: every field
/// after the first keeps one leading blank, one blank does not separate, three
/// blanks give an empty field, and an empty line gives one empty field.
std::vector<std::string> splitTwoBlankLine(const std::string& line);

/// Fills data rows 1, 2, ... of `grid` with the lines of the file at `path`,
/// field k of a line into column k (fields beyond the last column stay with
/// the row, unseen), numbers the rows in column 0 and sets the row count to
/// the lines read plus one; the grid grows past its rows when needed. Cells a
/// line does not reach keep their text.
///
/// Lines end at LF; a CR directly before the LF (or at the very end of the
/// file) belongs to the line end, so files written on Windows read the same.
/// A final line without a line end is read; a line end after the last line
/// adds no row; an empty line is a row.
///
/// A file that cannot be opened (or is a directory) leaves the grid untouched.
/// A read error part of the way keeps the lines read completely before it.
TableLoad readTwoBlankTable(const std::filesystem::path& path, Grid& grid);

/// The same on a file already open for reading; `name` is used in the error
/// text. The file is not closed.
TableLoad readTwoBlankTable(std::FILE* file, const std::filesystem::path& name, Grid& grid);

} // namespace desk
