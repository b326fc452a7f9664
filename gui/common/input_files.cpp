// The exchange files written by the flood wave and bathygraphic curve forms.
#include "gui/common/input_files.h"

#include "exchange/file_names.h"

namespace gui {

namespace {

// The core reads four curve columns whatever the grid holds beyond them.
constexpr int kCurveColumns = 4;

FileResult writeTableAndCount(const std::filesystem::path& tablePath,
                              const std::vector<std::string>& lines,
                              const std::filesystem::path& countPath,
                              const std::string& countText) {
    FileResult table = writeLines(tablePath, lines);
    if (!table) return table; // a count without its table would mislead the core
    return writeOneLineFile(countPath, countText);
}

} // namespace

std::vector<std::string> floodWaveLines(const Grid& grid) {
    std::vector<std::string> lines;
    for (int row = 1; row < grid.rowCount(); ++row) {
        std::string line;
        for (int column = 1; column < grid.columnCount(); ++column)
            line += grid.cell(column, row) + ' ';
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> curveLines(const Grid& grid) {
    std::vector<std::string> lines;
    for (int row = 1; row < grid.rowCount(); ++row) {
        std::string line;
        for (int column = 1; column <= kCurveColumns; ++column)
            line += grid.cell(column, row) + '\t';
        lines.push_back(std::move(line));
    }
    return lines;
}

FileResult writeFloodWaveFiles(const std::filesystem::path& directory, const Grid& grid,
                               const std::string& pointCountText) {
    return writeTableAndCount(directory / exchange::kFloodWave, floodWaveLines(grid),
                              directory / exchange::kInflowPointCount, pointCountText);
}

FileResult writeCurveFiles(const std::filesystem::path& directory, const Grid& grid,
                           const std::string& rowCountText) {
    return writeTableAndCount(directory / exchange::kCurve, curveLines(grid),
                              directory / exchange::kCurveRowCount, rowCountText);
}

} // namespace gui
