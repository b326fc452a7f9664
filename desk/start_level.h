// The start level of the last calculation saved or started in a root, kept in
// a file of the front end's own: the core takes IN_START_VYP away with every
// run, and the calculation window, the keep-variant dialog and the safety
// margin window show the level afterwards too.
#pragma once

#include "project_files/file_io.h"

#include <filesystem>
#include <optional>
#include <string>

namespace desk {

/// The root's kept start level as its file holds it ("11.5"); while none is
/// kept (a root no calculation window has written yet), the IN_START_VYP of
/// the root's exchange directory as the core reads it. Empty when neither
/// holds a number.
std::optional<std::string> lastStartLevel(const std::filesystem::path& root);

/// The same as a field shows it, with a decimal comma ("11,5"); "" for none.
std::string shownStartLevel(const std::filesystem::path& root);

/// Keeps `text` (a number with a decimal point) as the root's start level.
project_files::FileResult keepStartLevel(const std::filesystem::path& root,
                                         const std::string& text);

} // namespace desk
