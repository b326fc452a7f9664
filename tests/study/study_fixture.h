// Roots, runs and stand-in cores shared by the tests of the studies.
#pragma once

#include "study/core_run.h"
#include "tests/support/test_files.h"

#include <filesystem>
#include <functional>
#include <map>
#include <string>

namespace study_testing {

using veldron::testing::TempDir;
using veldron::testing::writeFile;

/// An installation root with the sample's IN_* files and empty OUT_* directories.
void installSample(const std::filesystem::path& root);

/// The real core, run in-process on `root` with no console input.
study::CoreRunResult realCore(const std::filesystem::path& root);

/// A run summary as the core writes it, from label -> text after the colon.
void writeSummary(const std::filesystem::path& root,
                  const std::map<std::string, std::string>& lines);

/// A stand-in core for the safety-margin search: it reads the largest inflow
/// of the root's IN_FLOOD_WAVE, takes the highest level from `level`, and
/// overtops (summary stop line, console text, exit 1) from `overtopping` on;
/// otherwise it writes one step of results and a summary and ends with 0.
study::RunCoreInRoot levelCore(std::function<double(double peakInflow)> level,
                               double overtopping = 14.5);

} // namespace study_testing
