// A run's result set written as one transaction: every file under its
// temporary name, then the commit recorded in the root's journal and every
// file put in place, the summary last (exchange/set_journal.h).
#pragma once

#include "exchange/platform_files.h"
#include "exchange/record_writer.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace exchange {
class JournalWriter;
}

namespace veldron {

/// A file of the set being written under its temporary name.
class OutputFile : public exchange::RecordSink {
public:
    /// Takes over `file`, open for writing; `target` is the name it gets.
    OutputFile(std::FILE* file, std::filesystem::path target);
    ~OutputFile() override;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    /// Appends one record; throws FileError (kErrWrite) naming the file and
    /// the system's reason ("No space left on device") when it cannot.
    void write(std::initializer_list<float> values) override;
    /// Text that already holds whole records (or lines), each ended by CR LF.
    void writeText(const std::string& text);
    /// Closes the file; throws FileError (kErrWrite) as write() does when
    /// what was written did not reach the file.
    void close();
    const std::filesystem::path& target() const { return m_target; }

private:
    void put(const char* data, std::size_t size);
    [[noreturn]] void failed(int errorNumber) const;

    std::FILE* m_file;
    std::filesystem::path m_target;
    std::unique_ptr<char[]> m_buffer;
    std::string m_record; // the record being written, kept to save an allocation per record
};

/// Opens a temporary file of the set for writing from its start and gives
/// its identity (exchange::fileIdentity); nullptr (errno set) when it cannot.
using FileOpener = std::function<std::FILE*(const std::filesystem::path&, std::uint64_t& identity)>;

/// The result set of one run under a root (exchange::resultSetFiles).
/// Until commit() the previous set stays as it was; a set that is destroyed
/// uncommitted (an error, an exception) removes its temporary files, and one
/// whose process dies leaves either the previous set whole (and its
/// temporary files, which the next set writes again) or a recorded commit,
/// which the next run or reader finishes. Only one run may write a root's
/// set at a time (the root's lock).
class OutputSet {
public:
    /// Checks that every file of the set can be replaced and opens every
    /// temporary file (exchange::rewriteForWriting). Throws FileError,
    /// having changed nothing: kErrOpenOutput for a missing folder or a
    /// temporary file that cannot be created, kErrNotReplaceable for a result
    /// file (or a temporary one left behind) that cannot be replaced.
    explicit OutputSet(const std::filesystem::path& root,
                       FileOpener open = exchange::rewriteForWriting);
    ~OutputSet();
    OutputSet(const OutputSet&) = delete;
    OutputSet& operator=(const OutputSet&) = delete;

    /// The file of the set with this name (each name occurs once in the set).
    OutputFile& file(const std::string& name);

    /// Closes every file, then replaces the previous set: the commit is
    /// recorded in the root's journal (waiting for readers of the set to
    /// finish), every file put in place (exchange::exchangeOrRename), the
    /// summary last, and the journal unsealed. Throws FileError (kErrWrite)
    /// naming the file and the system's reason: a failure to write leaves
    /// the previous set untouched; a file that cannot be put in place (which
    /// the checks of the constructor make rare) takes back those put in
    /// place before it, or, where even that fails, leaves the commit
    /// recorded for the next run or reader to finish.
    void commit();

private:
    void undo(std::size_t placed, exchange::JournalWriter& journal) noexcept;
    void discard() noexcept;

    std::filesystem::path m_root;
    std::vector<std::unique_ptr<OutputFile>> m_files; // in the order of resultSetFiles
    std::vector<std::uint64_t> m_identities;          // of the temporary files, as opened
    bool m_recorded = false; // the commit is in the journal and not taken back
    bool m_committed = false;
};

} // namespace veldron
