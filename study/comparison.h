// Kept variants side by side: what a variant holds for the comparison, and
// the comparison table with the best value of each column marked.
#pragma once

#include "exchange/io/run_summary_reader.h"
#include "exchange/io/saved_inputs.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace study {

/// A kept variant as the comparison shows it.
struct Variant {
    std::string name;
    std::string settings; // settingsInOneLine
    std::optional<exchange::RunSummary> summary;
    std::vector<double> inflow;  // m3/s, the series the core routed
    std::vector<double> outflow; // m3/s per step
    std::vector<double> levels;  // m above the bottom per step
    std::optional<double> timeStepMinutes;
    exchange::ReservoirLevels reservoirLevels; // RO, RN and the overtopping level
};

/// Reads a kept variant; parts that cannot be read stay empty.
Variant loadVariant(const std::filesystem::path& root, const std::string& name);

/// Which value of a column is the best one.
enum class Best { Lowest, Highest, NearestZero };

struct ComparisonColumn {
    const char* header;                                 // Czech, with its unit
    std::optional<double> exchange::RunSummary::*value; // the summary's figure
    Best best;
    int decimals; // as shown
};

inline constexpr std::size_t kComparedFigures = 6;

/// Peak outflow, attenuation, lag, highest level, freeboard, balance error.
const std::array<ComparisonColumn, kComparedFigures>& comparisonColumns();

struct ComparisonRow {
    std::string name;
    std::string settings;
    std::array<std::optional<double>, kComparedFigures> values; // from the summary
    std::array<bool, kComparedFigures> best{};                  // the column's best value
};

/// One row per variant, in the given order. A column's best value is marked
/// in every row that holds it (equal as shown), unless every value of the
/// column is the same.
std::vector<ComparisonRow> compareVariants(const std::vector<Variant>& variants);

} // namespace study
