// Roots, runs and stand-in cores shared by the tests of the studies.
#pragma once

#include "exchange/exchange_paths.h"
#include "study/core_run.h"
#include "tests/support/sample_root.h"
#include "tests/support/test_files.h"

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace veldron::testing {

/// The sample's inputs with the start level in a root of their own; its
/// exchange directory.
inline std::filesystem::path sampleInputs(const TempDir& dir) {
    installSample(dir.path());
    return exchange::exchangeDir(dir.path());
}

/// The real core, run in-process on `root` with no console input.
study::CoreRunResult realCore(const std::filesystem::path& root);

/// A run summary as the core writes it, from label -> text after the colon.
std::string summaryText(const std::map<std::string, std::string>& lines);
void writeSummary(const std::filesystem::path& root,
                  const std::map<std::string, std::string>& lines);

/// A complete result set as a run leaves it: the series as records, the
/// other files of the set empty, and a summary that counts the steps of the
/// series and holds `lines` besides.
void writeResultSet(const std::filesystem::path& root, const std::vector<double>& levels,
                    const std::vector<double>& outflow, const std::vector<double>& inflow,
                    std::map<std::string, std::string> lines = {});

/// A stand-in core for the safety-margin search: it reads the largest inflow
/// of the root's IN_FLOOD_WAVE, takes the highest level from `level`, and
/// overtops (a set of no steps whose summary says so, the console text, exit 1)
/// from `overtopping` on; otherwise it writes a set of one step and ends with 0.
study::RunCoreInRoot levelCore(std::function<double(double peakInflow)> level,
                               double overtopping = 14.5);

} // namespace veldron::testing
