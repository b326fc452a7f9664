// Loading a two-blank separated text table into a grid.
#include "desk/two_blank_table.h"

#include "project_files/file_io.h"

#include <cerrno>
#include <system_error>

namespace desk {

std::vector<std::string> splitTwoBlankLine(const std::string& line) {
    std::vector<std::string> fields;
    const std::string text = line + "  ";
    std::size_t start = 0; // the text still to split is text.substr(start)
    for (;;) {
        const std::size_t pair = text.find("  ", start);
        if (pair == std::string::npos) break;
        fields.push_back(text.substr(start, pair - start));
        start = pair + 1; // drop the field and only the first blank of the pair
    }
    return fields;
}

namespace {

enum class LineRead { kLine, kEnd, kError };

// Reads the next line without its line end (LF, CR LF, or a CR before the
// end of the file). kEnd: the file was already at its end, nothing was read.
LineRead readLine(std::FILE* file, std::string& line, int& errorNumber) {
    line.clear();
    bool any = false;
    for (;;) {
        errno = 0;
        const int c = std::getc(file);
        if (c == EOF) {
            if (std::ferror(file)) {
                errorNumber = errno != 0 ? errno : EIO;
                return LineRead::kError;
            }
            if (!any) return LineRead::kEnd;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return LineRead::kLine;
        }
        any = true;
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return LineRead::kLine;
        }
        line.push_back(static_cast<char>(c));
    }
}

} // namespace

TableLoad readTwoBlankTable(std::FILE* file, const std::filesystem::path& name, Grid& grid) {
    TableLoad result;
    result.opened = true;
    int n = 0;
    std::string line;
    for (;;) {
        int errorNumber = 0;
        const LineRead read = readLine(file, line, errorNumber);
        if (read == LineRead::kEnd) break;
        if (read == LineRead::kError) {
            result.error = project_files::fileErrorText(errorNumber, name);
            break;
        }
        ++n;
        if (grid.rowCount() <= n) grid.setRowCount(n + 1);
        grid.setCell(0, n, std::to_string(n));
        const std::vector<std::string> fields = splitTwoBlankLine(line);
        for (std::size_t k = 0; k < fields.size(); ++k)
            grid.setCell(static_cast<int>(k) + 1, n, fields[k]);
    }
    grid.setRowCount(n + 1);
    result.lines = n;
    return result;
}

TableLoad readTwoBlankTable(const std::filesystem::path& path, Grid& grid) {
    // Opening a directory for reading succeeds on POSIX; it is no table.
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored))
        return {false, 0, project_files::fileErrorText(EISDIR, path)};
    errno = 0;
    std::FILE* file = std::fopen(path.string().c_str(), "rb");
    if (file == nullptr)
        return {false, 0, project_files::fileErrorText(errno != 0 ? errno : EIO, path)};
    TableLoad result = readTwoBlankTable(file, path, grid);
    std::fclose(file);
    return result;
}

} // namespace desk
