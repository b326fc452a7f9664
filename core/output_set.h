// A run's result set written as one transaction: every file under its
// temporary name, then all renamed into place together, the summary last.
#pragma once

#include "exchange/platform_files.h"
#include "exchange/record_writer.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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

/// Opens a temporary file of the set for writing; nullptr (errno set) when it cannot.
using FileOpener = std::function<std::FILE*(const std::filesystem::path&)>;

/// The result set of one run under a root (exchange::resultSetFiles).
/// Until commit() the previous set stays as it was; a set that is destroyed
/// uncommitted (an error, an exception) removes its temporary files, and one
/// whose process dies leaves at most its temporary files, which the next set
/// replaces. Only one run may write a root's set at a time (the root's lock).
class OutputSet {
public:
    /// Checks that every file of the set can be replaced and creates every
    /// temporary file (removing one a run that died left). Throws FileError,
    /// having changed nothing: kErrOpenOutput for a missing folder or a
    /// temporary file that cannot be created, kErrNotReplaceable for a result
    /// file (or a temporary one left behind) that cannot be replaced.
    explicit OutputSet(const std::filesystem::path& root,
                       FileOpener open = exchange::createForWriting);
    ~OutputSet();
    OutputSet(const OutputSet&) = delete;
    OutputSet& operator=(const OutputSet&) = delete;

    /// The file of the set with this name (each name occurs once in the set).
    OutputFile& file(const std::string& name);

    /// Closes every file, then replaces the previous set: its summary is
    /// removed, every file renamed into place, the new summary last. Throws
    /// FileError (kErrWrite) naming the file and the system's reason: a
    /// failure to write leaves the previous set untouched; a failed rename
    /// (which the checks of the constructor make rare) leaves a set without
    /// a summary, which no reader takes for complete.
    void commit();

private:
    void discard() noexcept;

    std::vector<std::unique_ptr<OutputFile>> m_files; // in the order of resultSetFiles
    bool m_committed = false;
};

} // namespace veldron
