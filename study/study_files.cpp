// Files a study handles, and its temporary installation roots.
#include "study/study_files.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/run_summary.h"
#include "project_files/file_io.h"
#include "study/core_run.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <random>

namespace study {

namespace fs = std::filesystem;

fs::path utf8Path(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string pathUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

const std::array<const char*, 4>& resultFileNames() {
    static const std::array<const char*, 4> names = {
        exchange::kOutflowSeries, exchange::kLevelSeries, exchange::kInflowSeries,
        exchange::summary::kFileName};
    return names;
}

void copyFile(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    if (error)
        throw StudyError("Soubor " + pathUtf8(from) + " nelze zkopírovat do " + pathUtf8(to) +
                         ": " + error.message());
}

void writeOneLine(const fs::path& file, const std::string& text) {
    if (!project_files::writeOneLineFile(file, text))
        throw StudyError("Soubor " + pathUtf8(file) + " nelze zapsat.");
}

std::string uniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    static std::random_device seed;
    // Studies prepare their roots from several threads at once.
    static std::mutex seedInUse;
    unsigned random = 0;
    {
        const std::lock_guard<std::mutex> lock(seedInUse);
        random = seed();
    }
    return std::to_string(random) + "-" + std::to_string(++counter);
}

void removeAbandonedScratchRoots(const fs::path& temp) {
    const auto dayAgo = fs::file_time_type::clock::now() - std::chrono::hours(24);
    std::error_code error;
    for (fs::directory_iterator it(temp, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        const fs::path& path = it->path();
        if (!pathUtf8(path.filename()).starts_with(kScratchPrefix) ||
            fs::symlink_status(path, ignored).type() != fs::file_type::directory)
            continue;
        const fs::file_time_type made = fs::last_write_time(path, ignored);
        if (!ignored && made < dayAgo) fs::remove_all(path, ignored);
    }
}

ScratchRoot::ScratchRoot() {
    std::error_code error;
    const fs::path temp = fs::temp_directory_path(error);
    if (error) throw StudyError("Dočasný adresář nelze najít: " + error.message());
    // A study killed outright (SIGKILL, a power cut) could not remove its
    // root; the first study of a process removes those no study still runs in.
    static std::once_flag swept;
    std::call_once(swept, [&temp] { removeAbandonedScratchRoots(temp); });
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
        const fs::path candidate = temp / (kScratchPrefix + uniqueSuffix());
        if (fs::create_directory(candidate, error)) m_path = candidate;
    }
    if (m_path.empty())
        throw StudyError("Dočasný kořen výpočtu nelze vytvořit v " + pathUtf8(temp));
    for (const fs::path& dir : {exchange::exchangeDir(m_path), exchange::curvesDir(m_path),
                                exchange::outResultDir(m_path), exchange::outPicturesDir(m_path)}) {
        fs::create_directories(dir, error);
        if (error) {
            fs::remove_all(m_path, error);
            throw StudyError("Dočasný kořen výpočtu nelze vytvořit v " + pathUtf8(temp));
        }
    }
}

ScratchRoot::~ScratchRoot() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

fs::path ScratchRoot::exchangeDir() const {
    return exchange::exchangeDir(m_path);
}

} // namespace study
