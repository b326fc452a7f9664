// What the results window shows of a run's result set: the series read from
// its files, their points over steps or hours, the values as the grids show
// them, and the series side by side as the export writes them.
#pragma once

#include "gui/charts/line_decimation.h"
#include "gui/workbook/workbook_file.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace gui {

/// The x of step `step` (from 1): the step itself, or with a time step its
/// hours from the start (project_files::stepHours: step 1 at 0 h).
double stepTime(std::size_t step, std::optional<double> timeStepMin);
/// The same as a chart's scale of steps.
StepScale stepScale(std::optional<double> timeStepMin);

/// The series of a result set, one value per step routed.
struct SeriesRead {
    std::vector<std::vector<double>> series; // in the order asked for
    std::string error; // why there are no results to show (UTF-8, Czech); empty when read
};

/// Reads the series `names` (files under OUT_RESULT) of the result set in
/// `root`, when it is complete (exchange::isCompleteResultSet); otherwise, or
/// when a run replaced the set while it was read, no series and the reason.
/// Never throws; takes the time of the files' reading, so it may run on a
/// thread of its own.
SeriesRead readResultSet(const std::filesystem::path& root, const std::vector<std::string>& names);

/// Why the result set in `root` is not one that can be shown, in Czech: no
/// summary (no run, or one that did not end), a set without the inflow file
/// (an earlier version of the core), or files that do not belong together.
std::string incompleteSetText(const std::filesystem::path& root);

/// A value as a grid shows it: three decimals and a decimal comma ("48,789").
std::string shownValue(double value);
/// A value of a result series as the core holds it, in single precision, in
/// the shortest decimal that reads back as that value: the file's 4.5100002
/// (the core's 4.51 to seven decimals) is 4.51, 48.7890015 is 48.789.
/// A value beyond single precision stays as it is.
double singlePrecisionValue(double value);

/// singlePrecisionValue with a decimal comma ("4,51"): what a copied cell holds.
std::string fullValue(double value);

/// The header texts of the step and time columns of a result table.
inline constexpr const char* kStepHeader = "i";
inline constexpr const char* kTimeHeader = "t [h]";

/// A column of a result table: its header and its values (not owned).
struct TableColumn {
    std::string header;
    const std::vector<double>* values = nullptr;
};

/// The series side by side as one table: a header row, then one row per
/// step i = 1 .. n: i, then (with a time step) t = stepTime(i), then each
/// column's value at that step (singlePrecisionValue), numbers as numbers. n
/// is the longest column's length; a shorter column leaves its cells empty
/// below its end.
SheetRows resultTable(const std::vector<TableColumn>& columns, std::optional<double> timeStepMin);

} // namespace gui
