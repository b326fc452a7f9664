// What the calculation report of a project holds, gathered from the
// project's files without a toolkit: the inputs, the settings in words, the
// run summary as the core wrote it, the series, and, when the project keeps
// them, the last flood-safety assessment, the last safety-margin search and
// the kept variants side by side.
// Every number that is shown is text with a decimal comma already.
#pragma once

#include "desk/kept_assessment.h"
#include "desk/kept_margin.h"
#include "project_files/saved_inputs.h"

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace desk {

/// Why no report can be made of a project (Czech, complete).
class ReportRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A label and the value shown beside it.
struct ReportLine {
    std::string label;
    std::string value;
};

/// One number of a table or a chart: the value drawn and the text shown.
struct ReportNumber {
    double value = 0.0;
    std::string text;
};

/// The kept variants side by side.
struct ReportComparison {
    std::vector<std::string> headers; // "Varianta", then each figure with its unit
    struct Row {
        std::string name;
        std::string settings;
        std::vector<std::string> values; // "" where the summary has none
        std::vector<bool> best;          // the column's best value
    };
    std::vector<Row> rows;
};

struct ReportContent {
    std::string projectName;
    std::string projectFolder;
    std::string resultsTime; // when the run's summary was written, "8. 12. 2026 10:49"

    /// A stopped run: the reason as the summary gives it, with a decimal comma.
    bool stopped = false;
    std::string stopReason;

    std::vector<ReportLine> technicalData; // label with its unit, value
    /// The curve's rows H, h, V, A, as the file holds them with a decimal comma.
    std::vector<std::vector<ReportNumber>> curve;
    std::vector<ReportNumber> floodWave; // IN_FLOOD_WAVE, every value given
    std::vector<ReportLine> settings;    // the calculation window's choices and fields

    std::vector<ReportLine> summary; // every line of souhrn_vypoctu, decimal comma
    double timeStepMinutes = 0.0;    // the run's, for the hours of the series
    /// The series of the steps routed, from the result set.
    std::vector<double> inflow, outflow, levels;
    project_files::ReservoirLevels reservoirLevels;

    std::optional<KeptAssessment> assessment;
    std::optional<KeptMargin> safetyMargin;
    std::optional<ReportComparison> comparison;
};

/// Gathers the report of the project at `root`, its inputs those the result
/// set records (the inputs the run read, IN_START_VYP included). Throws
/// ReportRefused when the folder is no project, when it holds no complete
/// result set (a set exchange::isCompleteResultSet calls incomplete is no
/// results), when the set records no inputs (a set of an earlier version),
/// when an input differs from the one the run read (naming it: the report
/// would not describe the inputs saved now), and when the one check of the
/// inputs refuses the inputs the run read.
ReportContent gatherReport(const std::filesystem::path& root);

} // namespace desk
