// A run's result set: the files one run of the core writes together, the
// temporary names they are written under, and how a reader tells whether the
// set in a root is complete.
//
// The core writes every file of the set under its temporary name in the
// file's own folder and, once all are written and closed, records the
// commit in the root's journal and puts them in place (set_journal.h), the
// summary last. The summary seals the set: a set whose summary is missing,
// empty or older than any of its files, or whose commit is recorded but not
// finished, is not one run's whole set.
#pragma once

#include <filesystem>
#include <vector>

namespace exchange {

/// Every file of the result set under `root`, in the order the core puts
/// them in place: the six OUT_DATA tables, the 21 transformation curves,
/// vyska_vody, transformovana_povoden, povodnova_vlna, the record of the
/// inputs (vstupy_vypoctu) and the summary last.
std::vector<std::filesystem::path> resultSetFiles(const std::filesystem::path& root);

/// The name a file of the set is written under until the whole set is
/// written: "<name>.docasny" beside it. Such a file is never part of a set:
/// between runs it holds the file of the set before (where the system
/// exchanges names), which the next run writes over, sparing the file system
/// a new file.
std::filesystem::path temporaryPath(const std::filesystem::path& file);
/// Whether `file` is named as such a temporary file.
bool isTemporaryPath(const std::filesystem::path& file);

/// Whether `root` holds one run's complete result set: no commit is recorded
/// and unfinished in the journal, every file of the set is a regular file
/// (the record of the inputs may be missing: a set of an earlier version of
/// the core, whose inputs are not known), the summary is not empty and not
/// older than any other file of the set, and the three series (vyska_vody,
/// transformovana_povoden, povodnova_vlna) hold one record for each step the
/// summary counts. A set of an earlier version of the core without
/// povodnova_vlna, or one whose files were edited since, is not complete.
/// Never throws: a file that cannot be examined makes the set incomplete.
/// Readers settle a commit a dead run left first (ResultSetReading).
bool isCompleteResultSet(const std::filesystem::path& root);

} // namespace exchange
