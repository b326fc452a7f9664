// A run's result set written as one transaction.
#include "core/output_set.h"

#include "core/errors.h"
#include "exchange/exchange_paths.h"
#include "exchange/result_set.h"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace veldron {

namespace fs = std::filesystem;

namespace {

// Large enough that the step records of a long run go out in few writes.
constexpr std::size_t kBufferBytes = std::size_t{1} << 15;

// The temporary file of `target`, created new. One left by a run that died
// is removed first: the lock keeps any other run from writing it.
std::FILE* create(const fs::path& target, const FileOpener& open) {
    const fs::path temporary = exchange::temporaryPath(target);
    errno = 0;
    std::FILE* file = open(temporary);
    if (file == nullptr && errno == EEXIST) {
        std::error_code error;
        fs::remove(temporary, error);
        if (error)
            throw FileError(kErrNotReplaceable,
                            "docasny soubor nelze odstranit: " + temporary.string() + " (" +
                                error.message() + ")");
        errno = 0;
        file = open(temporary);
    }
    if (file == nullptr)
        throw FileError(kErrOpenOutput, "nelze vytvorit vystupni soubor " + temporary.string() +
                                            " (" + std::strerror(errno != 0 ? errno : EIO) + ")");
    return file;
}

FileError replaceFailed(const fs::path& target, const std::error_code& error) {
    return FileError(kErrWrite, "nelze nahradit vystupni soubor " + target.string() + " (" +
                                    error.message() + ")");
}

} // namespace

OutputFile::OutputFile(std::FILE* file, fs::path target)
    : m_file(file), m_target(std::move(target)), m_buffer(new char[kBufferBytes]) {
    // A buffer of its own also spares the C library a query of the file per file.
    std::setvbuf(m_file, m_buffer.get(), _IOFBF, kBufferBytes);
}

OutputFile::~OutputFile() {
    if (m_file != nullptr) std::fclose(m_file);
}

void OutputFile::failed(int errorNumber) const {
    throw FileError(kErrWrite, "chyba zapisu do souboru " + m_target.string() + " (" +
                                   std::strerror(errorNumber != 0 ? errorNumber : EIO) + ")");
}

void OutputFile::put(const char* data, std::size_t size) {
    errno = 0;
    if (std::fwrite(data, 1, size, m_file) != size) failed(errno);
}

void OutputFile::write(std::initializer_list<float> values) {
    m_record.clear();
    exchange::appendRecord(m_record, values);
    put(m_record.data(), m_record.size());
}

void OutputFile::writeText(const std::string& text) {
    put(text.data(), text.size());
}

void OutputFile::close() {
    std::FILE* file = m_file;
    m_file = nullptr;
    const bool failedBefore = std::ferror(file) != 0;
    errno = 0;
    if (std::fclose(file) != 0 || failedBefore) failed(errno);
}

OutputSet::OutputSet(const fs::path& root, FileOpener open) {
    for (const fs::path& dir :
         {exchange::outDataDir(root), exchange::curvesDir(root), exchange::outResultDir(root)}) {
        if (!fs::is_directory(dir))
            throw FileError(kErrOpenOutput, "vystupni adresar neexistuje: " + dir.string());
        if (const std::optional<std::string> problem = exchange::folderProblem(dir))
            throw FileError(kErrNotReplaceable, "do vystupniho adresare nelze zapisovat: " +
                                                    dir.string() + " (" + *problem + ")");
    }
    const std::vector<fs::path> targets = exchange::resultSetFiles(root);
    for (const fs::path& target : targets)
        if (const std::optional<std::string> problem = exchange::replaceProblem(target))
            throw FileError(kErrNotReplaceable, "vystupni soubor nelze nahradit: " +
                                                    target.string() + " (" + *problem + ")");
    try {
        for (const fs::path& target : targets)
            m_files.push_back(std::make_unique<OutputFile>(create(target, open), target));
    } catch (...) {
        discard();
        throw;
    }
}

OutputSet::~OutputSet() {
    if (!m_committed) discard();
}

OutputFile& OutputSet::file(const std::string& name) {
    for (const auto& file : m_files)
        if (file->target().filename() == name) return *file;
    throw FileError(kErrInternal, "soubor " + name + " nepatri k vysledkum vypoctu");
}

void OutputSet::commit() {
    for (const auto& file : m_files)
        file->close();
    // From here until the last rename the folder holds no summary, so no
    // reader takes a mix of two runs' files for a complete set.
    const fs::path& summary = m_files.back()->target();
    std::error_code error;
    fs::remove(summary, error);
    if (error) throw replaceFailed(summary, error);
    for (const auto& file : m_files) {
        fs::rename(exchange::temporaryPath(file->target()), file->target(), error);
        if (error) throw replaceFailed(file->target(), error);
    }
    m_committed = true;
}

void OutputSet::discard() noexcept {
    for (auto& file : m_files) {
        try {
            const fs::path temporary = exchange::temporaryPath(file->target());
            file.reset(); // closed first: Windows removes no open file
            std::error_code ignored;
            fs::remove(temporary, ignored);
        } catch (...) {
            // Out of memory for a path: the next run removes the file.
        }
    }
    m_files.clear();
}

} // namespace veldron
