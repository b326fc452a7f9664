// The result set replaced in one step for every reader: a journal rolled forward.
#include "exchange/set_journal.h"

#include "exchange/file_error.h"
#include "exchange/file_names.h"
#include "exchange/inputs_record.h"
#include "exchange/result_set.h"

#include <charconv>
#include <cstring>
#include <fstream>
#include <sstream>

namespace exchange {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHeader = "VELDRON zurnal vysledku 1\r\n";

fs::path journalPath(const fs::path& root) {
    return root / kResultJournal;
}

std::string readJournal(const fs::path& root) {
    std::ifstream in(journalPath(root), std::ios::binary);
    std::ostringstream text;
    if (in) text << in.rdbuf();
    return text.str();
}

// Replaces the journal's content through a file of its own: emptied when
// opened and closed at the end, so that on ext4 its data reach the disk
// ahead of the renames that follow it.
bool writeJournal(const fs::path& root, const std::string& text) {
    std::FILE* file = std::fopen(journalPath(root).c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

std::string sealOf(std::string_view body) {
    return "konec " + fingerprintText(body) + "\r\n";
}

} // namespace

std::string journalText(const std::vector<CommitEntry>& entries) {
    std::string text(kHeader);
    for (const CommitEntry& entry : entries)
        text += std::to_string(entry.identity) + " " + entry.relative.generic_string() + "\r\n";
    return text + sealOf(text);
}

std::optional<std::vector<CommitEntry>> parseJournal(std::string_view text) {
    const std::size_t last = text.rfind("konec ");
    if (!text.starts_with(kHeader) || last == std::string_view::npos ||
        text.substr(last) != sealOf(text.substr(0, last)))
        return std::nullopt;
    std::vector<CommitEntry> entries;
    for (std::size_t pos = kHeader.size(); pos < last;) {
        const std::size_t end = text.find("\r\n", pos);
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 2;
        CommitEntry entry;
        const auto [stop, error] =
            std::from_chars(line.data(), line.data() + line.size(), entry.identity);
        if (error != std::errc() || stop == line.data() + line.size() || *stop != ' ')
            return std::nullopt;
        entry.relative = fs::path(std::string(stop + 1, line.data() + line.size()));
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::error_code rollForward(const fs::path& root, const std::vector<CommitEntry>& entries) {
    for (const CommitEntry& entry : entries) {
        const fs::path target = root / entry.relative;
        const fs::path temporary = temporaryPath(target);
        const bool identified = entry.identity != 0;
        if (identified ? fileIdentity(target) == entry.identity
                       : !fs::exists(temporary) && fs::exists(target))
            continue;
        if (identified && fileIdentity(temporary) != entry.identity)
            return std::make_error_code(std::errc::no_such_file_or_directory);
        if (const std::error_code error = exchangeOrRename(temporary, target)) return error;
    }
    return {};
}

bool settleResultSet(const fs::path& root) {
    try {
        // Unsealed (empty, emptied, or a writer died before the seal): the
        // old set is whole, no file was touched.
        if (!parseJournal(readJournal(root))) return true;
        JournalWriter writer(root);
        const auto entries = parseJournal(readJournal(root));
        // Unsealed: the run died before any file was touched.
        if (entries && rollForward(root, *entries)) return false;
        writer.clear();
        return true;
    } catch (const std::exception&) {
        return !commitPending(root);
    }
}

bool commitPending(const fs::path& root) {
    try {
        return parseJournal(readJournal(root)).has_value();
    } catch (const std::exception&) {
        return false;
    }
}

ResultSetReading::ResultSetReading(const fs::path& root) {
    try {
        settleResultSet(root);
        m_lock.lock(journalPath(root), FileLock::Mode::Shared);
        // A run may have died between the settling and the lock: its commit
        // is finished by the next one to read alone.
        if (commitPending(root)) {
            m_lock.release();
            settleResultSet(root);
            m_lock.lock(journalPath(root), FileLock::Mode::Shared);
        }
    } catch (const std::exception&) {
        m_lock.release();
    }
}

JournalWriter::JournalWriter(const fs::path& root) : m_path(journalPath(root)) {
    m_lock.lock(m_path, FileLock::Mode::Exclusive);
}

void JournalWriter::record(const std::vector<CommitEntry>& entries) {
    if (!writeJournal(m_path.parent_path(), journalText(entries)))
        throw FileError(kErrWrite, "nelze zapsat zurnal vysledku " + m_path.string() + " (" +
                                       std::strerror(errno) + ")");
}

void JournalWriter::clear() noexcept {
    // One byte over the header unseals the record. Emptying the file instead
    // would wait for the disk to take the record just written (ext4 writes a
    // file emptied and written again when it is closed), a millisecond or two.
    std::FILE* file = std::fopen(m_path.c_str(), "r+b");
    if (file == nullptr) return;
    std::fputc('#', file);
    std::fclose(file);
}

} // namespace exchange
