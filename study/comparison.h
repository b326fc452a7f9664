// Kept variants side by side: what a variant holds for the comparison, and
// the comparison table with the best value of each column marked.
#pragma once

#include "project_files/run_summary_reader.h"
#include "project_files/saved_inputs.h"

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
    /// Empty unless the kept set is complete (see loadVariant).
    std::optional<project_files::RunSummary> summary;
    std::vector<double> inflow;  // m3/s, the series the core routed
    std::vector<double> outflow; // m3/s per step
    std::vector<double> levels;  // m above the bottom per step
    std::optional<double> timeStepMinutes;
    project_files::ReservoirLevels reservoirLevels; // RO, RN and the overtopping level
    /// The kept set is one run's whole set: a summary that is not empty and
    /// series that hold the steps it counts. Otherwise the variant has no
    /// summary and no series (a variant kept from a run that was killed).
    bool complete = false;
    /// The inflow is the variant's IN_FLOOD_WAVE: the variant was kept
    /// without the inflow its run routed (povodnova_vlna).
    bool inflowFromInputs = false;
};

/// Reads a kept variant; parts that cannot be read stay empty. The inflow is
/// the one the run routed, kept beside its outflow; a variant kept without
/// it falls back on its own IN_FLOOD_WAVE, which is that inflow as long as
/// the run went through every step (a stopped run is never kept) and the
/// inputs were not saved after the run (refused too).
Variant loadVariant(const std::filesystem::path& root, const std::string& name);

/// What the comparison must say of the variants it shows, in Czech, one
/// line each: those without complete results, those whose inflow is their
/// IN_FLOOD_WAVE. Empty when there is nothing to say.
std::vector<std::string> comparisonNotes(const std::vector<Variant>& variants);

/// Which value of a column is the best one.
enum class Best { Lowest, Highest, NearestZero };

struct ComparisonColumn {
    const char* header;                                      // Czech, with its unit
    std::optional<double> project_files::RunSummary::*value; // the summary's figure
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
