// The inputs a project's result set was computed from.
#include "project_files/result_inputs.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/platform_files.h"
#include "project_files/file_io.h"

namespace project_files {

namespace {

// Whether the project keeps another start level than the run started from:
// the core consumes IN_START_VYP, the calculation window keeps the level.
bool startLevelChanged(const std::filesystem::path& root, const std::string& recorded) {
    const std::optional<std::string> kept = readBytes(root / exchange::kLastStartLevel);
    if (!kept) return false;
    const std::optional<float> now = coreReal(*kept);
    return now && coreReal(recorded) != now;
}

} // namespace

ResultInputs readResultInputs(const std::filesystem::path& root) {
    ResultInputs result;
    try {
        std::optional<exchange::InputFiles> files = exchange::readInputsRecord(root);
        if (!files) return result;
        result.known = true;
        result.files = std::move(*files);
        result.inputs = readSavedInputs(result.files);
        const std::filesystem::path dir = exchange::exchangeDir(root);
        for (const auto& [name, bytes] : result.files) {
            if (name == exchange::kStartLevel) {
                if (startLevelChanged(root, bytes)) result.changed.push_back(name);
                continue;
            }
            const std::optional<std::string> now = readBytes(dir / name);
            if (!now || *now != bytes) result.changed.push_back(name);
        }
    } catch (const std::exception&) {
        result = ResultInputs{};
    }
    return result;
}

ResultAge resultAgainstInputs(const std::filesystem::path& root,
                              const std::filesystem::path& resultFile) {
    return resultAgainstInputs(root, resultFile, readResultInputs(root));
}

ResultAge resultAgainstInputs(const std::filesystem::path& root,
                              const std::filesystem::path& resultFile,
                              const ResultInputs& recorded) {
    ResultAge age = resultAge(resultFile, exchange::exchangeDir(root));
    if (!recorded.known) return age;
    age.newerInput.clear();
    age.newerInputTime.reset();
    if (recorded.changed.empty()) return age;
    age.newerInput = recorded.changed.front();
    std::error_code error;
    const std::filesystem::path changed = age.newerInput == exchange::kStartLevel
                                              ? root / exchange::kLastStartLevel
                                              : exchange::exchangeDir(root) / age.newerInput;
    const std::filesystem::file_time_type time = std::filesystem::last_write_time(changed, error);
    if (!error) age.newerInputTime = time;
    return age;
}

} // namespace project_files
