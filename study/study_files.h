// Files a study handles: the core's inputs, the results it keeps, and the
// temporary installation roots in which it runs the core.
#pragma once

#include <array>
#include <filesystem>
#include <string>

namespace study {

/// The files of OUT_RESULT that a study keeps and compares: the outflow, the
/// level series, the inflow routed and the run summary.
const std::array<const char*, 4>& resultFileNames();

/// A path from a UTF-8 text, and back.
std::filesystem::path utf8Path(const std::string& text);
std::string pathUtf8(const std::filesystem::path& path);

/// Copies a file byte for byte, replacing the target; throws StudyError naming
/// the file.
void copyFile(const std::filesystem::path& from, const std::filesystem::path& to);

/// Writes `text` followed by CR LF as a file of its own; throws StudyError.
void writeOneLine(const std::filesystem::path& file, const std::string& text);

/// A suffix for a file or folder name that no other call in any process is
/// likely to give; callable from several threads at once.
std::string uniqueSuffix();

/// The name every temporary root of a study begins with.
inline const std::string kScratchPrefix = "veldron-studie-";

/// Removes the temporary roots in `temp` that studies left more than a day
/// ago (a study killed outright cannot remove its own): no study runs that
/// long. Never throws.
void removeAbandonedScratchRoots(const std::filesystem::path& temp);

/// A fresh installation root in the system's temporary directory (exchange
/// directory and the OUT_* directories, all empty), removed with everything
/// in it when the object goes. Each run of a study gets its own, so runs never
/// see each other's files nor the user's. The first one of a process removes
/// the abandoned roots (removeAbandonedScratchRoots).
class ScratchRoot {
public:
    ScratchRoot();
    ~ScratchRoot();
    ScratchRoot(const ScratchRoot&) = delete;
    ScratchRoot& operator=(const ScratchRoot&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path exchangeDir() const;

private:
    std::filesystem::path m_path;
};

} // namespace study
