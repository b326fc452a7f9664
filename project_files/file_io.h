// Writing the exchange directory's text files (CR LF lines), reading a file's
// bytes, and the Czech error texts of failed file operations.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace project_files {

/// The outcome of a file operation: ok, or the text to show the user.
struct FileResult {
    bool ok = true;
    std::string error; // UTF-8, Czech, names the file
    explicit operator bool() const { return ok; }
};

/// The user's text for an errno value of a failed operation on `path`
/// ("Soubor nenalezen: ...", "Přístup k souboru odepřen: ...", ...).
std::string fileErrorText(int errorNumber, const std::filesystem::path& path);

/// Creates or overwrites `path` with each line followed by CR LF. A failure
/// part of the way leaves the file closed with the lines written so far.
FileResult writeLines(const std::filesystem::path& path, const std::vector<std::string>& lines);

/// Creates or overwrites `path` with one line: `text` followed by CR LF.
FileResult writeOneLineFile(const std::filesystem::path& path, const std::string& text);

/// Creates or overwrites `path` with `bytes` as they are.
FileResult writeBytes(const std::filesystem::path& path, std::string_view bytes);

/// The bytes of a regular file; empty when it cannot be read.
std::optional<std::string> readBytes(const std::filesystem::path& path);

} // namespace project_files
