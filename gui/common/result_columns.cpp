// Loading the core's result files into a grid, one row per record.
#include "gui/common/result_columns.h"

#include "exchange/io/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sstream>

namespace gui {

namespace {

/// Replaces every non-overlapping run of `count` blanks, scanning once from
/// left to right, by `replacement`; replaced text is not scanned again.
std::string replaceBlankRuns(const std::string& text, std::size_t count,
                             const std::string& replacement) {
    const std::string pattern(count, ' ');
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find(pattern); at != std::string::npos;
         at = text.find(pattern, from)) {
        out.append(text, from, at - from);
        out += replacement;
        from = at + count;
    }
    out.append(text, from, std::string::npos);
    return out;
}

std::string reduceBlanks(const std::string& line) {
    // Runs of 12 are shortened to one blank rather than deleted: deleting them
    // would glue the two values around such a run into one number. No record
    // of the core holds such a run, so its lines reduce the same either way.
    std::string text = replaceBlankRuns(line, 12, " ") + ' ';
    text = replaceBlankRuns(text, 5, " ") + ' ';
    text = replaceBlankRuns(text, 4, " ") + ' ';
    text = replaceBlankRuns(text, 3, " ") + ' ';
    text = replaceBlankRuns(text, 2, " ");
    return text + ' ';
}

} // namespace

std::vector<std::string> reduceResultLine(const std::string& line) {
    std::string text = reduceBlanks(line);
    // A line whose reduced text starts with a value would lose that value to
    // the row number in column 0.
    if (text.front() != ' ') text.insert(text.begin(), ' ');

    std::vector<std::string> fields;
    for (std::size_t blank = text.find(' '); blank != std::string::npos; blank = text.find(' ')) {
        fields.push_back(text.substr(0, blank));
        text.erase(0, blank + 1);
    }
    while (fields.size() > 1 && fields.back().empty())
        fields.pop_back();
    return fields;
}

ResultLoad readResultColumns(std::istream& in, Grid& grid) {
    ResultLoad load;
    load.opened = true;
    int lastFieldCount = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const int row = ++load.lines;
        if (row >= grid.rowCount()) grid.setRowCount(row + 1);
        const std::vector<std::string> fields = reduceResultLine(line);
        for (std::size_t k = 1; k < fields.size(); ++k)
            grid.setCell(static_cast<int>(k), row, fields[k]);
        grid.setCell(0, row, std::to_string(row));
        lastFieldCount = static_cast<int>(fields.size());
    }
    grid.setRowCount(load.lines + 1);
    grid.setColumnCount(std::max(lastFieldCount, 2));
    return load;
}

ResultLoad readResultColumns(const std::filesystem::path& path, Grid& grid) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored))
        return {false, 0, exchange::fileErrorText(EISDIR, path)};
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return {false, 0, exchange::fileErrorText(errno != 0 ? errno : EIO, path)};

    std::string content;
    char buffer[65536];
    std::size_t got = 0;
    errno = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    const int readError = std::ferror(file) != 0 ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(file);

    std::istringstream in(content);
    ResultLoad load = readResultColumns(in, grid);
    if (readError != 0) load.error = exchange::fileErrorText(readError, path);
    return load;
}

} // namespace gui
