// Where a calculation report may be written.
#include "desk/report_target.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/result_set.h"
#include "study/study_files.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace desk {

namespace fs = std::filesystem;

namespace {

std::string quoted(const fs::path& path) {
    return "„" + study::pathUtf8(path) + "“";
}

const char* kindOf(fs::file_type type) {
    switch (type) {
    case fs::file_type::directory:
        return "složka";
    case fs::file_type::fifo:
        return "pojmenovaná roura";
    case fs::file_type::character:
    case fs::file_type::block:
        return "zařízení";
    case fs::file_type::socket:
        return "socket";
    default:
        return "jiný druh souboru";
    }
}

// Every file of the project that the report could overwrite.
std::vector<fs::path> projectFiles(const fs::path& root) {
    std::vector<fs::path> files = exchange::resultSetFiles(root);
    for (const char* input : exchange::kCoreInputs)
        files.push_back(exchange::exchangeDir(root) / input);
    for (const char* source : {exchange::kFloodWaveSource, exchange::kCurveSource})
        files.push_back(exchange::exchangeDir(root) / source);
    for (const char* own : {exchange::kRunLock, exchange::kResultJournal, exchange::kLastStartLevel,
                            exchange::kKeptSafetyMargin})
        files.push_back(root / own);
    return files;
}

} // namespace

std::string reportTargetProblem(const fs::path& root, const fs::path& target) {
    std::string extension = study::pathUtf8(target.extension());
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension != ".pdf")
        return "Protokol se ukládá jen do souboru s příponou .pdf, ne do " + quoted(target) + ".";
    std::error_code error;
    const fs::file_status status = fs::symlink_status(target, error);
    if (status.type() == fs::file_type::symlink)
        return "Cesta " + quoted(target) +
               " je symbolický odkaz: protokol nepřepíše soubor, na který ukazuje.";
    if (fs::exists(status) && status.type() != fs::file_type::regular)
        return "Cesta " + quoted(target) + " není obyčejný soubor (" + kindOf(status.type()) +
               "): protokol do ní zapsat nelze.";
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, error))
        return "Složka " + quoted(folder) + " neexistuje: protokol do ní uložit nelze.";
    if (fs::exists(status))
        for (const fs::path& file : projectFiles(root))
            if (fs::equivalent(file, target, error))
                return "Soubor " + quoted(target) +
                       " patří k projektu (vstup nebo výsledek výpočtu): protokol jej nepřepíše.";
    return {};
}

} // namespace desk
