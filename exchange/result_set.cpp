// A run's result set: its files, their temporary names, its completeness.
#include "exchange/result_set.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/run_summary.h"
#include "exchange/set_journal.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace exchange {

namespace fs = std::filesystem;

namespace {

// A record of one real: 16 characters and CR LF.
constexpr std::uintmax_t kSeriesRecordBytes = 18;

// The steps routed, from the summary's line "Kroků výpočtu:   48 z 48".
std::optional<std::uintmax_t> stepsRouted(const fs::path& summaryFile) {
    std::ifstream in(summaryFile, std::ios::binary);
    const std::string label = std::string(summary::kSteps) + ":";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(label, 0) != 0) continue;
        std::istringstream value(line.substr(label.size()));
        std::uintmax_t steps = 0;
        if (value >> steps) return steps;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::vector<fs::path> resultSetFiles(const fs::path& root) {
    const fs::path data = outDataDir(root);
    const fs::path result = outResultDir(root);
    std::vector<fs::path> files;
    for (const char* name :
         {kGridVolumes, kVolumesAboveCrest, kOutletFlows, kSpillwayFlows, kTotalFlows, kKlemesRows})
        files.push_back(data / name);
    for (int p = 0; p < kOpeningCount; ++p)
        files.push_back(curvesDir(root) / transformationCurveName(p));
    for (const char* name :
         {kLevelSeries, kOutflowSeries, kInflowSeries, kInputsRecord, summary::kFileName})
        files.push_back(result / name);
    return files;
}

namespace {
const char* const kTemporaryExtension = ".docasny";
}

fs::path temporaryPath(const fs::path& file) {
    fs::path temporary = file;
    temporary += kTemporaryExtension;
    return temporary;
}

bool isTemporaryPath(const fs::path& file) {
    return file.extension() == kTemporaryExtension;
}

bool isCompleteResultSet(const fs::path& root) {
    if (commitPending(root)) return false;
    std::vector<fs::path> files = resultSetFiles(root);
    const fs::path summaryFile = files.back();
    std::error_code error;
    // An earlier core kept no record of its inputs: its set is whole all the same.
    if (!fs::exists(outResultDir(root) / kInputsRecord, error))
        std::erase(files, outResultDir(root) / kInputsRecord);
    if (!fs::is_regular_file(summaryFile, error) || fs::file_size(summaryFile, error) == 0 || error)
        return false;
    const fs::file_time_type sealed = fs::last_write_time(summaryFile, error);
    if (error) return false;
    for (const fs::path& file : files) {
        if (!fs::is_regular_file(file, error) || error) return false;
        if (fs::last_write_time(file, error) > sealed || error) return false;
    }
    const std::optional<std::uintmax_t> steps = stepsRouted(summaryFile);
    if (!steps) return false;
    for (const char* name : {kLevelSeries, kOutflowSeries, kInflowSeries}) {
        const std::uintmax_t size = fs::file_size(outResultDir(root) / name, error);
        if (error || size != *steps * kSeriesRecordBytes) return false;
    }
    return true;
}

} // namespace exchange
