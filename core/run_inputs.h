// Every input of a run, read from the exchange directory and checked.
#pragma once

#include "core/routing/routing.h"
#include "core/tables/bathygraphic_curve.h"
#include "core/tables/reservoir_tables.h"
#include "exchange/inputs_record.h"

#include <filesystem>
#include <vector>

namespace veldron {

struct RunInputs {
    float startLevel = 0; // m above the bottom
    DamData dam;
    OperatingOptions options;
    std::vector<CurveRow> curve;
    float timeStepMinutes = 0;
    std::vector<float> inflow; // m3/s, inflow[i - 1] during step i
    float inflowPeakIndex = 0; // step of the last largest inflow from 0.01 up; 0 when none
    /// Every file read (name, bytes), in the order read: what the run's
    /// result set records as the inputs it was computed from.
    exchange::InputFiles files;
};

/// Reads the IN_* files of the exchange directory: the start level, the dam,
/// the operating options, the curve and the flood wave. Each file must be a
/// regular file of at most 64 MiB and every value the whole of its token
/// (FreeFormatReader). Throws FileError for a file that cannot be read, a
/// text that is not a value, and the values the calculation cannot use:
/// options outside their values, what the one check of the inputs refuses
/// (exchange/input_check.h: sizes, counts and heights, a curve that does
/// not rise, a start level at or above the overtopping level), a time step
/// whose seconds leave single precision, and a retention height beyond
/// kMostGridLevels grid levels.
RunInputs readRunInputs(const std::filesystem::path& exchangeDir);

} // namespace veldron
