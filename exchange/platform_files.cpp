// The core's file operations that differ between POSIX and Windows.
#include "exchange/platform_files.h"

#include "exchange/file_error.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace exchange {

namespace fs = std::filesystem;

namespace {

std::string reasonOf(int errorNumber) {
    return std::strerror(errorNumber);
}

FileError cannotOpen(const fs::path& path, const std::string& reason) {
    return FileError(kErrOpenInput,
                     "nelze otevrit vstupni soubor " + path.string() + " (" + reason + ")");
}

FileError notRegular(const fs::path& path, const char* kind) {
    return FileError(kErrOpenInput, "vstupni soubor neni obycejny soubor (" + std::string(kind) +
                                        "): " + path.string());
}

FileError tooLarge(const fs::path& path, std::uintmax_t bytes, std::uintmax_t largest) {
    return FileError(kErrOpenInput, "vstupni soubor je prilis velky (" + std::to_string(bytes) +
                                        " bajtu, nejvice " + std::to_string(largest) +
                                        "): " + path.string());
}

FileError cannotLock(const fs::path& path, const std::string& reason) {
    return FileError(kErrOpenOutput,
                     "nelze vytvorit soubor zamku " + path.string() + " (" + reason + ")");
}

} // namespace

bool FileLock::tryLock(const fs::path& path) {
    return take(path, Mode::Exclusive, false);
}

void FileLock::lock(const fs::path& path, Mode mode) {
    take(path, mode, true);
}

#ifdef _WIN32

namespace {

std::string systemReason(DWORD error) {
    return std::system_category().message(static_cast<int>(error));
}

const char* kindOf(fs::file_type type) {
    switch (type) {
    case fs::file_type::directory:
        return "adresar";
    case fs::file_type::fifo:
        return "pojmenovana roura";
    case fs::file_type::character:
    case fs::file_type::block:
        return "zarizeni";
    default:
        return "jiny druh souboru";
    }
}

} // namespace

bool FileLock::take(const fs::path& path, Mode mode, bool wait) {
    // Without FILE_SHARE_DELETE nobody removes the file while it is held.
    HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw cannotLock(path, systemReason(GetLastError()));
    // A byte far beyond any content: Windows' locks are mandatory, and the
    // journal is read and written through other handles while it is held.
    OVERLAPPED whole{};
    whole.OffsetHigh = 0x40000000;
    const DWORD flags = (mode == Mode::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0) |
                        (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
    if (!LockFileEx(handle, flags, 0, 1, 0, &whole)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) return false;
        throw cannotLock(path, systemReason(error));
    }
    m_handle = handle;
    return true;
}

void FileLock::release() {
    if (m_handle == nullptr) return;
    CloseHandle(static_cast<HANDLE>(m_handle)); // closing the handle releases its lock
    m_handle = nullptr;
}

std::string readInputFile(const fs::path& path, std::uintmax_t largestBytes) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error) throw cannotOpen(path, error.message());
    if (status.type() != fs::file_type::regular) throw notRegular(path, kindOf(status.type()));
    const std::uintmax_t size = fs::file_size(path, error);
    if (error) throw cannotOpen(path, error.message());
    if (size > largestBytes) throw tooLarge(path, size, largestBytes);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw cannotOpen(path, reasonOf(errno));
    std::string text;
    text.reserve(static_cast<std::size_t>(size));
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        const auto n = static_cast<std::size_t>(in.gcount());
        if (text.size() + n > largestBytes) throw tooLarge(path, text.size() + n, largestBytes);
        text.append(buffer, n);
    }
    if (in.bad()) throw cannotOpen(path, reasonOf(errno));
    return text;
}

std::optional<std::string> replaceProblem(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return std::nullopt;
        return systemReason(error);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "je to adresar";
    if (attributes & FILE_ATTRIBUTE_READONLY) return "soubor je jen pro cteni";
    // A spreadsheet that holds the file open without sharing its deletion
    // would make the rename fail: ask for the same access the rename needs.
    HANDLE handle =
        CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION) return "soubor ma otevreny jiny program";
        return systemReason(error);
    }
    CloseHandle(handle);
    return std::nullopt;
}

std::optional<std::string> folderProblem(const fs::path& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return systemReason(GetLastError());
    return std::nullopt; // what Windows allows in a folder only creating a file tells
}

std::FILE* createForWriting(const fs::path& path) {
    return _wfopen(path.c_str(), L"wbx");
}

std::FILE* rewriteForWriting(const fs::path& path, std::uint64_t& identity) {
    identity = 0;
    std::error_code ignored;
    if (fs::is_symlink(path, ignored) || fs::is_directory(path, ignored)) fs::remove(path, ignored);
    return _wfopen(path.c_str(), L"wb");
}

std::uint64_t fileIdentity(const fs::path&) {
    return 0;
}

std::error_code exchangeOrRename(const fs::path& from, const fs::path& to, bool* exchanged) {
    if (exchanged != nullptr) *exchanged = false;
    std::error_code error;
    fs::rename(from, to, error);
    return error;
}

#else

namespace {

const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "adresar";
    if (S_ISFIFO(mode)) return "pojmenovana roura";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "zarizeni";
    if (S_ISSOCK(mode)) return "socket";
    return "jiny druh souboru";
}

struct Descriptor {
    int fd;
    ~Descriptor() { ::close(fd); }
};

} // namespace

bool FileLock::take(const fs::path& path, Mode mode, bool wait) {
    // The file may be removed or replaced between its opening and its lock; a
    // lock on a file no longer at the path would guard nothing, so try again.
    const int operation = (mode == Mode::Exclusive ? LOCK_EX : LOCK_SH) | (wait ? 0 : LOCK_NB);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) throw cannotLock(path, reasonOf(errno));
        int locked = 0;
        while ((locked = ::flock(fd, operation)) != 0 && errno == EINTR) {
        }
        if (locked != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK) return false;
            if (error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS) return true;
            throw cannotLock(path, reasonOf(error));
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            m_fd = fd;
            return true;
        }
        ::close(fd);
    }
    throw cannotLock(path, "soubor se stale meni");
}

void FileLock::release() {
    if (m_fd < 0) return;
    ::close(m_fd); // closing the only descriptor releases its lock
    m_fd = -1;
}

std::string readInputFile(const fs::path& path, std::uintmax_t largestBytes) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) throw cannotOpen(path, reasonOf(errno));
    if (!S_ISREG(info.st_mode)) throw notRegular(path, kindOf(info.st_mode));
    if (static_cast<std::uintmax_t>(info.st_size) > largestBytes)
        throw tooLarge(path, static_cast<std::uintmax_t>(info.st_size), largestBytes);
    // Without waiting: a FIFO put in the file's place since the check would
    // otherwise block the open until a writer comes.
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) throw cannotOpen(path, reasonOf(errno));
    if (::fstat(file.fd, &info) != 0) throw cannotOpen(path, reasonOf(errno));
    if (!S_ISREG(info.st_mode)) throw notRegular(path, kindOf(info.st_mode));
    std::string text;
    text.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(file.fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw cannotOpen(path, reasonOf(errno));
        if (n == 0) return text;
        // A file that grows while it is read is held to the same bound.
        if (text.size() + static_cast<std::size_t>(n) > largestBytes)
            throw tooLarge(path, text.size() + static_cast<std::size_t>(n), largestBytes);
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

std::optional<std::string> replaceProblem(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode))
            return std::string("je to ") + kindOf(info.st_mode);
        // access() reports an immutable file (chattr +i) with EPERM.
        if (S_ISREG(info.st_mode) && ::access(path.c_str(), W_OK) != 0)
            return errno == EACCES  ? "soubor je jen pro cteni"
                   : errno == EPERM ? "soubor je chranen proti zmenam"
                                    : reasonOf(errno);
    } else if (errno != ENOENT) {
        return reasonOf(errno);
    }
    return std::nullopt;
}

std::optional<std::string> folderProblem(const fs::path& folder) {
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return reasonOf(errno);
    return std::nullopt;
}

std::FILE* createForWriting(const fs::path& path) {
    return std::fopen(path.c_str(), "wbx");
}

std::FILE* rewriteForWriting(const fs::path& path, std::uint64_t& identity) {
    // Without waiting: a FIFO in the file's place is no file to write again.
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    struct stat info {};
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1)) {
        ::close(fd);
        fd = -1;
        errno = EEXIST;
    }
    if (fd < 0) {
        if (errno != ENOENT && ::unlink(path.c_str()) != 0 && errno != ENOENT) return nullptr;
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 && ::fstat(fd, &info) != 0) {
            ::close(fd);
            return nullptr;
        }
    }
    // Emptied, a new file too: ext4 then writes its data out when it is
    // closed. O_NONBLOCK stays: it changes nothing for a regular file.
    if (fd < 0 || ::ftruncate(fd, 0) != 0) {
        const int error = errno;
        if (fd >= 0) ::close(fd);
        errno = error;
        return nullptr;
    }
    identity = static_cast<std::uint64_t>(info.st_ino);
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    return file;
}

std::uint64_t fileIdentity(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_ino) : 0;
}

std::error_code exchangeOrRename(const fs::path& from, const fs::path& to, bool* exchanged) {
    if (exchanged != nullptr) *exchanged = false;
#ifdef RENAME_EXCHANGE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) == 0) {
        if (exchanged != nullptr) *exchanged = true;
        return {};
    }
    // No file at `to` to exchange with, or a file system that cannot exchange.
    if (errno != ENOENT && errno != EINVAL && errno != ENOSYS)
        return std::error_code(errno, std::generic_category());
#endif
    if (::rename(from.c_str(), to.c_str()) == 0) return {};
    return std::error_code(errno, std::generic_category());
}

#endif

} // namespace exchange
