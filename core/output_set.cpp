// A run's result set written as one transaction.
#include "core/output_set.h"

#include "core/errors.h"
#include "exchange/exchange_paths.h"
#include "exchange/result_set.h"
#include "exchange/set_journal.h"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace veldron {

namespace fs = std::filesystem;

namespace {

// Large enough that the step records of a long run go out in few writes.
constexpr std::size_t kBufferBytes = std::size_t{1} << 15;

// The temporary file of `target`, written from its start (a run that died
// may have left it; the lock keeps any other run from writing it).
std::FILE* create(const fs::path& target, const FileOpener& open, std::uint64_t& identity) {
    const fs::path temporary = exchange::temporaryPath(target);
    errno = 0;
    std::FILE* file = open(temporary, identity);
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

OutputSet::OutputSet(const fs::path& root, FileOpener open) : m_root(root) {
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
        for (const fs::path& target : targets) {
            std::uint64_t identity = 0;
            std::FILE* file = create(target, open, identity);
            m_identities.push_back(identity);
            m_files.push_back(std::make_unique<OutputFile>(file, target));
        }
    } catch (...) {
        discard();
        throw;
    }
}

OutputSet::~OutputSet() {
    // A recorded commit's files are the next run's or reader's to put in place.
    if (!m_committed && !m_recorded) discard();
}

OutputFile& OutputSet::file(const std::string& name) {
    for (const auto& file : m_files)
        if (file->target().filename() == name) return *file;
    throw FileError(kErrInternal, "soubor " + name + " nepatri k vysledkum vypoctu");
}

void OutputSet::commit() {
    std::vector<exchange::CommitEntry> entries;
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        m_files[i]->close();
        entries.push_back({m_files[i]->target().lexically_relative(m_root), m_identities[i]});
    }
    // Readers share the journal's lock while they read: the set changes
    // only between them. Once the commit is recorded the new set is whole,
    // under the files' names or their temporary ones, whatever comes next.
    exchange::JournalWriter journal(m_root);
    journal.record(entries);
    m_recorded = true;
    std::vector<fs::path> spareless;
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        const fs::path& target = m_files[i]->target();
        bool exchanged = false;
        if (const std::error_code error =
                exchange::exchangeOrRename(exchange::temporaryPath(target), target, &exchanged)) {
            undo(i, journal);
            throw replaceFailed(target, error);
        }
        if (!exchanged) spareless.push_back(exchange::temporaryPath(target));
    }
    journal.clear();
    m_committed = true;
    // A file a first run renamed into place leaves no file behind for the
    // next run to write again: an empty one spares that run a new file.
    for (const fs::path& spare : spareless)
        if (std::FILE* file = exchange::createForWriting(spare)) std::fclose(file);
}

void OutputSet::undo(std::size_t placed, exchange::JournalWriter& journal) noexcept {
    // The files put in place go back, last first; where one cannot, the
    // journal stays and the next run or reader finishes the commit instead.
    for (std::size_t i = placed; i-- > 0;) {
        const fs::path& target = m_files[i]->target();
        if (exchange::exchangeOrRename(target, exchange::temporaryPath(target))) return;
    }
    journal.clear();
    m_recorded = false;
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
