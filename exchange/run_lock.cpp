// The root's run lock, taken with the core's own lock so that both sides
// mean the same lock on every system.
#include "exchange/run_lock.h"

#include "exchange/file_error.h"
#include "exchange/file_names.h"
#include "exchange/platform_files.h"

namespace exchange {

RunLockHold::RunLockHold(const std::filesystem::path& root) : m_lock(std::make_unique<FileLock>()) {
    try {
        m_busy = !m_lock->tryLock(root / kRunLock);
    } catch (const FileError&) {
        m_busy = false;
    }
}

RunLockHold::~RunLockHold() = default;

bool runInProgress(const std::filesystem::path& root) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(root / kRunLock, error)) return false;
    return RunLockHold(root).busy();
}

} // namespace exchange
