// The last safety-margin search of a project.
#include "desk/kept_margin.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "project_files/run_summary_reader.h"

#include <sstream>

namespace desk {

namespace fs = std::filesystem;

namespace {

// The first line of the kept file says what the search ran on.
constexpr std::string_view kOnProject = "Vstupy hledání: aktuální vstupy projektu";
constexpr std::string_view kOnVariant = "Vstupy hledání: varianta";

fs::path keptFile(const fs::path& root) {
    return root / exchange::kKeptSafetyMargin;
}

} // namespace

project_files::FileResult keepSafetyMargin(const fs::path& root, bool ofProjectInputs,
                                           const std::string& startLevelOrVariant,
                                           const std::vector<std::string>& answer) {
    std::vector<std::string> lines;
    lines.push_back(ofProjectInputs ? std::string(kOnProject) + ", výška vody na začátku řešení " +
                                          startLevelOrVariant + " m"
                                    : std::string(kOnVariant) + " „" + startLevelOrVariant + "“");
    lines.insert(lines.end(), answer.begin(), answer.end());
    return project_files::writeLines(keptFile(root), lines);
}

std::optional<KeptMargin> readKeptSafetyMargin(const fs::path& root) {
    const fs::path file = keptFile(root);
    const std::optional<std::string> bytes = project_files::readBytes(file);
    if (!bytes) return std::nullopt;
    KeptMargin kept;
    std::istringstream in(*bytes);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (kept.inputs.empty())
            kept.inputs = line;
        else if (!line.empty())
            kept.answer.push_back(line);
    }
    if (kept.inputs.rfind(kOnProject, 0) != 0 && kept.inputs.rfind(kOnVariant, 0) != 0)
        return std::nullopt;
    kept.ofProjectInputs = kept.inputs.rfind(kOnProject, 0) == 0;
    std::error_code error;
    kept.time = fs::last_write_time(file, error);
    if (kept.ofProjectInputs)
        kept.newerInput = project_files::resultAge(file, exchange::exchangeDir(root)).newerInput;
    return kept;
}

} // namespace desk
