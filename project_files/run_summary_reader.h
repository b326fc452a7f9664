// Reading the run summary the core writes after a run (OUT_RESULT/souhrn_vypoctu),
// and telling whether the results on disk may be older than the last attempt.
#pragma once

#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace project_files {

/// One line of the summary as the core wrote it: its label and the text after
/// the colon (value, unit and any more text), blanks around it removed.
struct SummaryLine {
    std::string label;
    std::string text;
};

/// The figures of a run summary. A figure the file does not hold (or holds in
/// a form that is not a number) stays empty.
struct RunSummary {
    std::optional<int> steps;      // steps routed
    std::optional<int> stepsGiven; // inflow values given
    std::optional<double> timeStepMin;
    std::optional<double> inflowPeak; // m3/s
    std::optional<int> inflowPeakStep;
    std::optional<double> floodPeak; // m3/s, of every inflow value given (a stopped run)
    std::optional<int> floodPeakStep;
    std::optional<double> outflowPeak; // m3/s
    std::optional<int> outflowPeakStep;
    std::optional<double> attenuationPercent;
    std::optional<double> peakLagHours;
    std::optional<int> peakLagSteps;
    std::optional<double> highestLevel; // m above the bottom
    std::optional<int> highestLevelStep;
    std::optional<double> overtoppingLevel; // m
    std::optional<double> freeboard;        // m
    std::optional<double> floodVolume;      // m3
    std::optional<double> releasedVolume;   // m3
    std::optional<double> netInflow;        // m3
    std::optional<double> storageChange;    // m3
    std::optional<double> balanceErrorPercent;
    std::optional<double> balanceErrorVolume; // m3

    /// The run ended on an error exit; the figures cover the steps done.
    bool stopped = false;
    std::string stopReason;         // "přelití nádrže v kroku 14", "ERROR 2"
    std::optional<int> stoppedStep; // the step named in the reason, if any

    /// Every line with a known label, in the file's order, for showing the
    /// figures exactly as the core wrote them.
    std::vector<SummaryLine> lines;
};

/// Reads a summary from `in`: one `label: value [unit] [more]` per line (CR LF
/// or LF). Lines with an unknown label, without a colon, or blank are
/// skipped, so a later core may add lines.
RunSummary parseRunSummary(std::istream& in);

/// The outcome of looking for a run's summary.
struct SummaryRead {
    /// Empty when there is no summary: the file is missing (results of a
    /// core that writes none) or could not be read.
    std::optional<RunSummary> summary;
    std::string error; // why an existing file could not be read (UTF-8, Czech); else empty
};

/// Reads the summary file at `path`.
SummaryRead readRunSummary(const std::filesystem::path& path);

/// When a result file was written, and whether an input was saved after it:
/// written after it, or put in place (by a copy or a rename that kept an
/// older modification time) after the result file was put in place.
struct ResultAge {
    /// The result file's modification time; empty when it does not exist.
    std::optional<std::filesystem::file_time_type> computed;
    /// The newest IN_* file of the exchange directory written after the
    /// result file (its name and time), if any. The calculation window
    /// rewrites IN_TIME_STEP_min and IN_MANPR before every start and the core
    /// writes its results after reading its inputs, so a newer input means
    /// that the results were not computed from the inputs saved now: a later
    /// run was refused or not started, or an input was changed since.
    std::string newerInput;
    std::optional<std::filesystem::file_time_type> newerInputTime;
};

/// The age of `resultFile` against the IN_* files in `exchangeDir`.
ResultAge resultAge(const std::filesystem::path& resultFile,
                    const std::filesystem::path& exchangeDir);

/// A file time as seconds since 1970-01-01 UTC, for showing it.
long long secondsSinceEpoch(std::filesystem::file_time_type time);

} // namespace project_files
