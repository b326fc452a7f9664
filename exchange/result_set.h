// A run's result set: the files one run of the core writes together, the
// temporary names they are written under, and how a reader tells whether the
// set in a root is complete.
//
// The core writes every file of the set under its temporary name in the
// file's own folder and, once all are written and closed, renames them into
// place, the summary last (an old summary is removed before the first
// rename). So the summary seals the set: a set whose summary is missing,
// empty or older than any of its files is one a run did not finish replacing.
#pragma once

#include <filesystem>
#include <vector>

namespace exchange {

/// Every file of the result set under `root`, in the order the core renames
/// them into place: the six OUT_DATA tables, the 21 transformation curves,
/// vyska_vody, transformovana_povoden, povodnova_vlna and the summary last.
std::vector<std::filesystem::path> resultSetFiles(const std::filesystem::path& root);

/// The name a file of the set is written under until the whole set is
/// written: "<name>.docasny" beside it. Such a file is never part of a set;
/// the next run removes any that a run which died left behind.
std::filesystem::path temporaryPath(const std::filesystem::path& file);

/// Whether `root` holds one run's complete result set: every file of the set
/// is a regular file, the summary is not empty and not older than any other
/// file of the set, and the three series (vyska_vody, transformovana_povoden,
/// povodnova_vlna) hold one record for each step the summary counts. A set
/// of an earlier version of the core (no povodnova_vlna), one a run died
/// while replacing, or one whose files were edited since is not complete.
/// Never throws: a file that cannot be examined makes the set incomplete.
bool isCompleteResultSet(const std::filesystem::path& root);

} // namespace exchange
