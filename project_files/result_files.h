// The result series the core writes under OUT_RESULT (transformovana_povoden,
// vyska_vody): one value per step, right-aligned in a 16-character field.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

namespace project_files {

/// The first value of each line of a result series; blank lines are skipped.
/// Empty when the file cannot be read or a line does not start with a number.
std::optional<std::vector<double>> readResultSeries(const std::filesystem::path& file);

/// The time of step `step` (from 1) in hours from the start of the flood. The
/// grids number the routing's states from 1, step 1 being the state at the
/// start, so step i stands at (i - 1) * timeStepMin / 60: for 30-minute steps
/// step 1 at 0 h, step 3 at 1 h.
double stepHours(std::size_t step, double timeStepMin);

} // namespace project_files
