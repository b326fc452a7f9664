// The few file operations the core needs from the operating system, for POSIX
// and Windows: the root's lock, reading an input that must be a regular file
// of a bounded size, whether a result file can be replaced, creating a file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace exchange {

/// A lock on a file (flock on POSIX, LockFileEx on Windows), exclusive or
/// shared, held until release() or the end of the process: the operating
/// system releases it on any end of the process, a kill or a power cut
/// included.
class FileLock {
public:
    enum class Mode { Exclusive, Shared };

    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock() { release(); }

    /// Takes the exclusive lock on `path`, creating the file when it is
    /// missing; false, holding nothing, when another process holds it.
    /// Throws FileError (kErrOpenOutput) when the file cannot be created or
    /// opened. On a file system without locks (some network shares) the run
    /// goes on unguarded.
    bool tryLock(const std::filesystem::path& path);
    /// Takes the lock in `mode`, waiting while another process holds it
    /// against that mode; otherwise as tryLock.
    void lock(const std::filesystem::path& path, Mode mode);
    void release();

private:
    bool take(const std::filesystem::path& path, Mode mode, bool wait);
#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};

/// The largest input file the core reads: 64 MiB. The largest real input, a
/// flood wave of a million steps, is about 10 MB.
inline constexpr std::uintmax_t kLargestInputBytes = std::uintmax_t{64} << 20;

/// The whole content of an input file. Throws FileError (kErrOpenInput) for a
/// file that is missing or unreadable, one that is not a regular file (a
/// FIFO, device, directory or socket: refused before it is opened, and the
/// opened file is checked again without waiting for a writer), and one larger
/// than `largestBytes`.
std::string readInputFile(const std::filesystem::path& path,
                          std::uintmax_t largestBytes = kLargestInputBytes);

/// Why the file at `path` cannot be replaced by a file renamed from its folder
/// (a directory, a device, read-only, immutable, open in another program on
/// Windows), in plain ASCII Czech; nothing when it can or does not exist.
std::optional<std::string> replaceProblem(const std::filesystem::path& path);

/// Why no file can be created or replaced in `folder` (no write permission,
/// immutable); nothing when it can, as far as the system tells beforehand.
std::optional<std::string> folderProblem(const std::filesystem::path& folder);

/// Creates a new file for writing; nullptr (errno set) on failure, also when
/// something already exists at `path`.
std::FILE* createForWriting(const std::filesystem::path& path);

/// Opens `path` for writing from its start: a regular file with one name is
/// emptied and written again, sparing the file system a new file (on ext4
/// creating files after deleting others costs more than the writing), and
/// an emptied file's data go to the disk when it is closed, ahead of any
/// rename after it; whatever else is there (a link, a FIFO, a file with
/// other names) is removed and a new file created. Never follows a link.
/// nullptr (errno set) on failure. `identity` gets the file's (fileIdentity).
std::FILE* rewriteForWriting(const std::filesystem::path& path, std::uint64_t& identity);

/// What names a file whichever name it has: its inode number on POSIX; 0
/// where there is none to tell (missing, or Windows).
std::uint64_t fileIdentity(const std::filesystem::path& path);

/// Gives `to` the file at `from` in one step: where the system can, the two
/// names exchange their files (Linux renameat2 RENAME_EXCHANGE), so the file
/// that was at `to` stays at `from` for the next run to write again;
/// otherwise (no file at `to`, Windows, a file system without it) `from` is
/// renamed over `to`. `exchanged`, when given, tells which of the two.
std::error_code exchangeOrRename(const std::filesystem::path& from, const std::filesystem::path& to,
                                 bool* exchanged = nullptr);

} // namespace exchange
