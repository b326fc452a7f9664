// The exchange files written by the flood wave and bathygraphic curve forms.
// Cell texts are written exactly as they stand: the forms check nothing.
#pragma once

#include "gui/common/file_io.h"
#include "gui/common/grid.h"

#include <filesystem>
#include <string>
#include <vector>

namespace gui {

/// One line per data row: each value cell (columns 1 .. columnCount-1)
/// followed by one blank. Empty rows give lines of blanks.
std::vector<std::string> floodWaveLines(const Grid& grid);

/// One line per data row: cells 1 to 4 each followed by one tab.
std::vector<std::string> curveLines(const Grid& grid);

/// Writes IN_FLOOD_WAVE (floodWaveLines, CR LF) into `directory`, then
/// IN_NUMBER_OF_POINT_FW holding `pointCountText`. When IN_FLOOD_WAVE cannot
/// be created or written completely, it is left closed with the lines written
/// so far and IN_NUMBER_OF_POINT_FW is not touched.
FileResult writeFloodWaveFiles(const std::filesystem::path& directory, const Grid& grid,
                               const std::string& pointCountText);

/// Writes IN_BAT_CURVE_BC (curveLines, CR LF) into `directory`, then
/// IN_NUMBER_OF_POINT_BK holding `rowCountText`; a failure of the first file
/// leaves the second untouched.
FileResult writeCurveFiles(const std::filesystem::path& directory, const Grid& grid,
                           const std::string& rowCountText);

} // namespace gui
