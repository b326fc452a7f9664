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

/// An exclusive lock on a file (flock on POSIX, LockFileEx on Windows), held
/// until release() or the end of the process: the operating system releases
/// it on any end of the process, a kill or a power cut included.
class FileLock {
public:
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock() { release(); }

    /// Takes the lock on `path`, creating the file when it is missing; false,
    /// holding nothing, when another process holds it. Throws FileError
    /// (kErrOpenOutput) when the file cannot be created or opened. On a file
    /// system without locks (some network shares) the run goes on unguarded.
    bool tryLock(const std::filesystem::path& path);
    void release();

private:
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

} // namespace exchange
