// Loading the core's result files (one value per record, right-aligned in a
// 16-character field) into a grid, one row per record.
#pragma once

#include "gui/common/grid.h"

#include <filesystem>
#include <istream>
#include <string>
#include <vector>

namespace gui {

/// The outcome of a result load.
struct ResultLoad {
    bool opened = false; // false: the file could not be opened, the grid is untouched
    int lines = 0;       // lines read into data rows 1 .. lines
    std::string error;   // empty on success; otherwise the text to show (UTF-8, Czech)
};

/// The fields of one line after its blanks have been reduced: runs of 12
/// blanks are shortened to one, then runs of 5, 4, 3 and 2 blanks are
/// shortened to one (each step one left-to-right pass over non-overlapping
/// runs, with blanks appended between the steps), and the text is cut at
/// every blank.
///
/// Field 0 is the part before the first blank; it is empty for every record
/// the core writes (1 to 8 blanks before each value), so the values are
/// fields 1, 2, ... Three layouts a literal reduction would mangle, none of
/// which the core writes, are read so that every value is kept and no value
/// is invented:
///  - a run of exactly 12 (24, ...) blanks counts as a separator like any
///    other run; deleting it would glue the values around it into one number
///    and, at the start of a line, move the first value into field 0.
///  - a line that starts with a value is read as if it began with one blank,
///    so its first value is field 1, not the field the row number overwrites.
///  - the blanks the reduction appends, and blanks that end the line, give
///    empty trailing fields. They hold no value and are dropped, so they never
///    become an extra column that would be drawn as zeros.
/// The result always holds field 0 (empty) and then the line's values.
std::vector<std::string> reduceResultLine(const std::string& line);

/// Fills data rows 1, 2, ... of `grid` with the lines of `in` (fields from
/// reduceResultLine put into columns 1, 2, ...), writes the row number into
/// column 0, and sets the row count to the header row plus one row per line.
/// A CR before the LF is part of the line end; a line end after the last line
/// adds no row. The grid grows when the file has more lines than it had rows.
///
/// The column count comes from the last line: the numbering column plus its
/// values (at least one value column, so the headers stay visible after an
/// empty file or an empty last line). The core's files thus always give two
/// columns. Row 0 (the header) is never touched.
ResultLoad readResultColumns(std::istream& in, Grid& grid);

/// The same for a file. When it cannot be opened (or is a directory), `opened` is false, `error`
/// names the file and the grid is untouched. A read error part of the way
/// keeps the rows read so far, sets the counts from them and reports the error.
ResultLoad readResultColumns(const std::filesystem::path& path, Grid& grid);

} // namespace gui
