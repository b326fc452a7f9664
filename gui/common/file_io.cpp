// Writing the front end's text files (CR LF lines) and the error texts of
// failed file operations.
#include "gui/common/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace gui {

std::string fileErrorText(int errorNumber, const std::filesystem::path& path) {
    std::string reason;
    switch (errorNumber) {
    case ENOENT:
        reason = "Soubor nenalezen";
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        reason = "Přístup k souboru odepřen";
        break;
    case ENOSPC:
        reason = "Na disku není místo";
        break;
    case EISDIR:
        reason = "Cesta je adresář, ne soubor";
        break;
    default:
        reason = std::string("Chyba vstupu/výstupu (") + std::strerror(errorNumber) + ")";
    }
    return reason + ": " + path.string();
}

FileResult writeLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return {false, fileErrorText(errno, path)};
    FileResult result;
    for (const std::string& line : lines) {
        errno = 0;
        if (std::fwrite(line.data(), 1, line.size(), file) != line.size() ||
            std::fwrite("\r\n", 1, 2, file) != 2) {
            result = {false, fileErrorText(errno != 0 ? errno : EIO, path)};
            break;
        }
    }
    errno = 0;
    if (std::fclose(file) != 0 && result.ok)
        result = {false, fileErrorText(errno != 0 ? errno : EIO, path)};
    return result;
}

FileResult writeOneLineFile(const std::filesystem::path& path, const std::string& text) {
    return writeLines(path, {text});
}

} // namespace gui
