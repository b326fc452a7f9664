// Roots, runs and stand-in cores shared by the tests of the studies.
#include "study_fixture.h"

#include "core/run.h"
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/result_set.h"
#include "exchange/run_summary.h"
#include "study/study_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace veldron::testing {

namespace {

std::string record(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%16.7f\r\n", value);
    return buffer;
}

} // namespace

study::CoreRunResult realCore(const fs::path& root) {
    std::ostringstream console;
    std::istringstream noInput;
    const int code = veldron::runCore(root, console, noInput);
    return {code, console.str()};
}

std::string summaryText(const std::map<std::string, std::string>& lines) {
    std::string text;
    for (const auto& [label, value] : lines)
        text += label + ": " + value + "\r\n";
    return text;
}

void writeSummary(const fs::path& root, const std::map<std::string, std::string>& lines) {
    writeFile(exchange::outResultDir(root) / exchange::summary::kFileName, summaryText(lines));
}

void writeResultSet(const fs::path& root, const std::vector<double>& levels,
                    const std::vector<double>& outflow, const std::vector<double>& inflow,
                    std::map<std::string, std::string> lines) {
    const auto records = [](const std::vector<double>& values) {
        std::string text;
        for (const double value : values)
            text += record(value);
        return text;
    };
    for (const fs::path& file : exchange::resultSetFiles(root))
        writeFile(file, "");
    const fs::path results = exchange::outResultDir(root);
    writeFile(results / exchange::kLevelSeries, records(levels));
    writeFile(results / exchange::kOutflowSeries, records(outflow));
    writeFile(results / exchange::kInflowSeries, records(inflow));
    lines[exchange::summary::kSteps] =
        std::to_string(levels.size()) + " z " + std::to_string(inflow.size());
    writeSummary(root, lines);
}

study::RunCoreInRoot levelCore(std::function<double(double)> level, double overtopping) {
    return [level, overtopping](const fs::path& root) -> study::CoreRunResult {
        double peak = 0.0;
        std::ifstream wave(exchange::exchangeDir(root) / exchange::kFloodWave);
        for (std::string token; wave >> token;) {
            float value = 0.0f;
            std::from_chars(token.data(), token.data() + token.size(), value);
            peak = std::max(peak, static_cast<double>(value));
        }
        const double h = level(peak);
        if (h >= overtopping) {
            writeResultSet(root, {}, {}, {},
                           {{exchange::summary::kStopped, "přelití nádrže v kroku 1"}});
            return {1, "!!! doslo k preliti nadrze !!!\n"};
        }
        writeResultSet(root, {h}, {peak / 2.0}, {peak},
                       {{exchange::summary::kHighestLevel, std::to_string(h) + " m"}});
        return {0, "1\n"};
    };
}

} // namespace veldron::testing
