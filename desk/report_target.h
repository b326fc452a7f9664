// Where a calculation report may be written: a regular PDF file the report
// may replace, never one of a project's files or anything else a careless
// path names (a link, a directory, a device, a FIFO).
#pragma once

#include <filesystem>
#include <string>

namespace desk {

/// Why the report of the project at `root` cannot be written to `target`, in
/// Czech; empty when it can. Refused: a name that does not end in ".pdf", a
/// symbolic link, anything there that is no regular file, a folder that does
/// not exist, and a file of the project itself (its inputs, sources, results,
/// journal, lock and kept files), which the report would destroy.
std::string reportTargetProblem(const std::filesystem::path& root,
                                const std::filesystem::path& target);

} // namespace desk
