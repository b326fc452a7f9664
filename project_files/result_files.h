// The result series the core writes under OUT_RESULT (transformovana_povoden,
// vyska_vody): one value per step, right-aligned in a 16-character field.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace project_files {

/// The first value of each line of a result series; blank lines are skipped.
/// Empty when the file cannot be read or a line does not start with a number.
std::optional<std::vector<double>> readResultSeries(const std::filesystem::path& file);

} // namespace project_files
