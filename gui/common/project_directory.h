// Creating a project directory, or replacing an empty one, and saying in
// Czech what really happened. A directory that has content is never removed.
#pragma once

#include <filesystem>
#include <string>

namespace gui {

/// The Czech texts the user sees.
inline constexpr const char* kProjectCreatedText = "Projekt byl založen";
inline constexpr const char* kDirectoryReplacedText = "Adresář byl přepsán";

/// What was done with a project directory, and the text to show for it.
struct ProjectDirectoryResult {
    bool ok = false;
    std::string message; // UTF-8, Czech
};

/// True when `path` (relative paths against the current directory) names an
/// existing directory, so the user is asked before it is replaced.
bool projectDirectoryExists(const std::filesystem::path& path);

/// Creates the directory `path`, one level only: its parent must exist.
/// Nothing is created for an empty name, a name the file system rejects, a
/// missing parent, or a name already taken.
ProjectDirectoryResult createProjectDirectory(const std::filesystem::path& path);

/// Replaces the existing directory `path` with a new empty one. Only an empty
/// directory is replaced; one with content, or a link, stays as it is.
ProjectDirectoryResult replaceProjectDirectory(const std::filesystem::path& path);

} // namespace gui
