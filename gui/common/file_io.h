// Writing the front end's text files (CR LF lines) and the error texts of
// failed file operations.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace gui {

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

} // namespace gui
