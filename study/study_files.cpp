// Files a study handles, and its temporary installation roots.
#include "study/study_files.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/run_summary.h"
#include "study/core_run.h"

#include <atomic>
#include <charconv>
#include <fstream>
#include <random>
#include <sstream>

namespace study {

namespace fs = std::filesystem;

fs::path utf8Path(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string pathUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

const std::array<const char*, 3>& resultFileNames() {
    static const std::array<const char*, 3> names = {
        exchange::kOutflowSeries, exchange::kLevelSeries, exchange::summary::kFileName};
    return names;
}

std::optional<std::string> readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in || fs::is_directory(file)) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return bytes.str();
}

std::optional<std::vector<double>> readSeries(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<double> values;
    std::string line;
    while (std::getline(in, line)) {
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos) continue;
        const auto last = line.find_first_of(" \t\r", first);
        const std::string token = line.substr(first, last - first);
        double value = 0.0;
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
        if (error != std::errc() || end != token.data() + token.size()) return std::nullopt;
        values.push_back(value);
    }
    return values;
}

void copyFile(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    if (error)
        throw StudyError("Soubor " + pathUtf8(from) + " nelze zkopírovat do " + pathUtf8(to) +
                         ": " + error.message());
}

void writeOneLine(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text << "\r\n";
    out.close();
    if (!out) throw StudyError("Soubor " + pathUtf8(file) + " nelze zapsat.");
}

std::string uniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    static std::random_device seed;
    return std::to_string(seed()) + "-" + std::to_string(++counter);
}

ScratchRoot::ScratchRoot() {
    std::error_code error;
    const fs::path temp = fs::temp_directory_path(error);
    if (error) throw StudyError("Dočasný adresář nelze najít: " + error.message());
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
        const fs::path candidate = temp / ("veldron-studie-" + uniqueSuffix());
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
