// The result set replaced in one step for every reader: a journal rolled
// forward. A run writes every file of its set under the file's temporary
// name, then, holding the journal's lock alone, records the commit in the
// root's journal (<root>/zurnal_vysledku: each file and the identity of its
// new file, sealed by a last line) and puts the files in place one by one
// (exchangeOrRename), then unseals the journal. Whatever ends the run in
// between, a kill or a power cut, the journal tells the next run or reader
// what to finish: an empty or unsealed journal means the old set is whole
// (no file was touched before the seal); a sealed one, that the new set is
// whole under the files' names and temporary names, and putting the rest in
// place completes it. Readers share the journal's lock while they read, so
// no commit changes a set under them.
#pragma once

#include "exchange/platform_files.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace exchange {

/// One file of a commit: its path relative to the root and the identity of
/// the new file (fileIdentity; 0 where the system gives none).
struct CommitEntry {
    std::filesystem::path relative;
    std::uint64_t identity = 0;
};

/// The commit record of `entries`, sealed by its last line.
std::string journalText(const std::vector<CommitEntry>& entries);

/// The entries of a sealed commit record; none for an empty journal or one
/// whose writing stopped before the seal.
std::optional<std::vector<CommitEntry>> parseJournal(std::string_view text);

/// Puts each file of a recorded commit in place, in order, skipping those
/// already there (the identity at the file's name is the new file's, or, where
/// there are no identities, nothing is left at the temporary name): doing it
/// twice does no harm. The error of the first file that cannot be put in
/// place; a file found neither in place nor at its temporary name is one.
std::error_code rollForward(const std::filesystem::path& root,
                            const std::vector<CommitEntry>& entries);

/// Finishes a commit a run that died left recorded, waiting for a commit
/// going on, and unseals the journal. False when a recorded commit cannot be
/// finished (the set is then no complete set); true otherwise, also where the
/// journal cannot be opened and none is recorded. Never throws.
bool settleResultSet(const std::filesystem::path& root);

/// Whether the journal of `root` holds a recorded commit not yet finished:
/// its set is not whole under the files' names. Never throws.
bool commitPending(const std::filesystem::path& root);

/// A reader's hold on the result set of a root: a commit left by a run that
/// died is finished first, then the journal's lock is shared for as long as
/// the object lives, so no run replaces a file of the set meanwhile (a run
/// that ends waits for the reader). Never throws; where no lock can be taken
/// the reader goes on unguarded.
class ResultSetReading {
public:
    explicit ResultSetReading(const std::filesystem::path& root);
    ResultSetReading(const ResultSetReading&) = delete;
    ResultSetReading& operator=(const ResultSetReading&) = delete;

private:
    FileLock m_lock;
};

/// The writer's side of the journal, held alone while the object lives (the
/// run waits for readers to finish).
class JournalWriter {
public:
    /// Throws FileError (kErrOpenOutput) when the journal cannot be opened.
    explicit JournalWriter(const std::filesystem::path& root);
    /// Records the commit; throws FileError (kErrWrite) when it cannot.
    void record(const std::vector<CommitEntry>& entries);
    /// Unseals the journal: the commit is finished (or undone).
    void clear() noexcept;

private:
    std::filesystem::path m_path;
    FileLock m_lock;
};

} // namespace exchange
