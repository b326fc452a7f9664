// What the results window shows of a run's result set.
#include "gui/results/result_series.h"

#include "desk/typed_number.h"
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/result_set.h"
#include "exchange/run_summary.h"
#include "exchange/set_journal.h"
#include "project_files/result_files.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace gui {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRunAgain = " Spusťte výpočet znovu (nabídka Výpočet).";

bool isNonEmptyFile(const fs::path& file) {
    std::error_code error;
    return fs::is_regular_file(file, error) && fs::file_size(file, error) > 0 && !error;
}

/// `value` as to_chars writes it (a decimal point whatever the locale), with a decimal comma.
template <typename... Format> std::string commaText(double value, Format... format) {
    char text[400]; // room for the 309 digits of the largest double
    const auto written = std::to_chars(text, text + sizeof text, value, format...);
    return desk::czechNumber(std::string(text, written.ptr));
}

} // namespace

double stepTime(std::size_t step, std::optional<double> timeStepMin) {
    return timeStepMin ? project_files::stepHours(step, *timeStepMin) : static_cast<double>(step);
}

StepScale stepScale(std::optional<double> timeStepMin) {
    if (!timeStepMin) return {};
    return {0.0, *timeStepMin, 60.0};
}

std::string incompleteSetText(const fs::path& root) {
    const fs::path results = exchange::outResultDir(root);
    if (!isNonEmptyFile(results / exchange::summary::kFileName))
        return std::string("Výsledky nejsou k dispozici: v OUT_RESULT chybí souhrn výpočtu (") +
               exchange::summary::kFileName + "), výpočet tedy neproběhl nebo nedoběhl do konce." +
               kRunAgain;
    std::error_code error;
    if (!fs::is_regular_file(results / exchange::kInflowSeries, error))
        return std::string("Výsledky nejsou k dispozici: v OUT_RESULT chybí soubor ") +
               exchange::kInflowSeries +
               " s přítokem, ze kterého byly vypočteny (výsledky starší verze programu)." +
               kRunAgain;
    return std::string("Výsledky nejsou k dispozici: soubory v OUT_RESULT a OUT_DATA nepatří "
                       "k jednomu výpočtu (výpočet byl přerušen, nebo byly soubory po výpočtu "
                       "změněny).") +
           kRunAgain;
}

SeriesRead readResultSet(const fs::path& root, const std::vector<std::string>& names) {
    // No run replaces the set while it is read.
    const exchange::ResultSetReading reading(root);
    const fs::path results = exchange::outResultDir(root);
    const fs::path summary = results / exchange::summary::kFileName;
    std::error_code error;
    const fs::file_time_type sealed = fs::last_write_time(summary, error);
    if (error || !exchange::isCompleteResultSet(root)) return {{}, incompleteSetText(root)};
    SeriesRead read;
    for (const std::string& name : names) {
        std::optional<std::vector<double>> values = project_files::readResultSeries(results / name);
        if (!values)
            return {{}, "Výsledky nelze zobrazit: soubor " + name + " v OUT_RESULT nelze přečíst."};
        read.series.push_back(std::move(*values));
    }
    // A run that ended meanwhile replaced the set: what was read may mix two runs.
    if (fs::last_write_time(summary, error) != sealed || error ||
        !exchange::isCompleteResultSet(root))
        return {{}, "Výsledky se během načítání změnily (doběhl další výpočet). Načtěte je znovu."};
    return read;
}

std::string shownValue(double value) {
    return commaText(value, std::chars_format::fixed, 3);
}

double singlePrecisionValue(double value) {
    const auto single = static_cast<float>(value);
    if (!std::isfinite(single)) return value;
    char text[64];
    const auto written = std::to_chars(text, text + sizeof text, single);
    double shortest = value;
    std::from_chars(text, written.ptr, shortest);
    return shortest;
}

std::string fullValue(double value) {
    return commaText(singlePrecisionValue(value));
}

SheetRows resultTable(const std::vector<TableColumn>& columns, std::optional<double> timeStepMin) {
    std::size_t steps = 0;
    for (const TableColumn& column : columns)
        steps = std::max(steps, column.values->size());
    SheetRows table(steps + 1);
    table[0].emplace_back(std::string(kStepHeader));
    if (timeStepMin) table[0].emplace_back(std::string(kTimeHeader));
    for (const TableColumn& column : columns)
        table[0].emplace_back(column.header);
    for (std::size_t i = 1; i <= steps; ++i) {
        std::vector<SheetCell>& cells = table[i];
        cells.reserve(columns.size() + 2);
        cells.emplace_back(static_cast<double>(i));
        if (timeStepMin) cells.emplace_back(stepTime(i, timeStepMin));
        for (const TableColumn& column : columns) {
            if (i <= column.values->size())
                cells.emplace_back(singlePrecisionValue((*column.values)[i - 1]));
            else
                cells.emplace_back();
        }
    }
    return table;
}

} // namespace gui
