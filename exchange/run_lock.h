// The root's run lock seen from outside the core: whether a run is going on
// in a root, and a hold on the lock for a reader that must see one run's
// whole result set.
#pragma once

#include <filesystem>
#include <memory>

namespace exchange {

class FileLock;

/// Whether a run of the core holds the lock of `root` (kRunLock) now. Never
/// creates the lock file and never throws: a lock file that cannot be opened
/// is no run going on, as a core could not hold it either.
bool runInProgress(const std::filesystem::path& root);

/// The root's run lock, held for as long as the object lives when no run
/// holds it, so that no run of the core starts replacing the result set
/// meanwhile: a core started then is refused at once (*ERR* 5) and changes
/// nothing. Never throws; where no lock can be taken (a folder that cannot
/// hold the lock file, a file system without locks) the reader goes on
/// unguarded, as the core does.
class RunLockHold {
public:
    explicit RunLockHold(const std::filesystem::path& root);
    ~RunLockHold();
    RunLockHold(const RunLockHold&) = delete;
    RunLockHold& operator=(const RunLockHold&) = delete;

    /// A run of the core holds the lock: its results may be being replaced.
    bool busy() const { return m_busy; }

private:
    std::unique_ptr<FileLock> m_lock;
    bool m_busy = false;
};

} // namespace exchange
