// Writing and reading the exchange directory's files.
#include "project_files/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace project_files {

namespace {

int errorOr(int fallback) {
    return errno != 0 ? errno : fallback;
}

// Writes every piece in turn into a file created or overwritten at `path`;
// stops at the first piece that cannot be written, then closes the file.
FileResult writePieces(const std::filesystem::path& path,
                       const std::vector<std::string_view>& pieces) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return {false, fileErrorText(errorOr(EIO), path)};
    FileResult result;
    for (const std::string_view piece : pieces) {
        errno = 0;
        if (std::fwrite(piece.data(), 1, piece.size(), file) != piece.size()) {
            result = {false, fileErrorText(errorOr(EIO), path)};
            break;
        }
    }
    errno = 0;
    if (std::fclose(file) != 0 && result.ok) result = {false, fileErrorText(errorOr(EIO), path)};
    return result;
}

} // namespace

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
    std::vector<std::string_view> pieces;
    for (const std::string& line : lines) {
        pieces.push_back(line);
        pieces.push_back("\r\n");
    }
    return writePieces(path, pieces);
}

FileResult writeOneLineFile(const std::filesystem::path& path, const std::string& text) {
    return writeLines(path, {text});
}

FileResult writeBytes(const std::filesystem::path& path, std::string_view bytes) {
    return writePieces(path, {bytes});
}

std::optional<std::string> readBytes(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    // Read in one piece when the size is known (a long result series is tens
    // of megabytes); a file that changes size meanwhile is read to its end.
    std::string bytes;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error) {
        bytes.resize(static_cast<std::size_t>(size));
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        if (in.bad()) return std::nullopt;
        if (!in.eof()) in.peek();
        if (in.eof()) return bytes;
        in.clear();
    }
    std::ostringstream rest;
    rest << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return bytes + rest.str();
}

} // namespace project_files
