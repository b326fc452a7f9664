// What the calculation report of a project holds.
#include "desk/report_content.h"

#include "desk/calculation_options.h"
#include "desk/input_fields.h"
#include "desk/input_findings.h"
#include "desk/option_texts.h"
#include "desk/project.h"
#include "desk/project_overview.h"
#include "desk/technical_data.h"
#include "desk/typed_number.h"
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/result_set.h"
#include "exchange/run_summary.h"
#include "exchange/set_journal.h"
#include "project_files/result_files.h"
#include "project_files/result_inputs.h"
#include "project_files/run_summary_reader.h"
#include "study/comparison.h"
#include "study/study_files.h"
#include "study/variant_store.h"

namespace desk {

namespace fs = std::filesystem;

namespace {

/// Why the inputs the results were computed from cannot stand beside them
/// in a report, or nothing.
std::string inputsProblem(const project_files::ResultInputs& inputs, const fs::path& root,
                          const std::string& name) {
    if (!inputs.known)
        return "Výsledky projektu " + name +
               " nemají záznam vstupů, ze kterých byly vypočteny (výsledky starší verze "
               "programu): spusťte výpočet znovu (Výpočet) a protokol vytvořte po něm.";
    if (!inputs.changed.empty()) {
        std::error_code error;
        const fs::path file = exchange::exchangeDir(root) / inputs.changed.front();
        const auto saved = fs::last_write_time(file, error);
        return "Výsledky projektu " + name +
               " jsou starší než vstupy: " + savedInputPlace(inputs.changed.front()) +
               (error ? std::string(" se od výpočtu změnil")
                      : " byl od výpočtu změněn (uložen " + czechDateTime(saved) + ")") +
               ". Protokol by nepopisoval zadané vstupy: spusťte výpočet znovu (Výpočet).";
    }
    if (const auto finding = project_files::inputsFinding(inputs.inputs))
        return "Výsledky projektu " + name +
               " byly vypočteny ze vstupů, které výpočet dnes odmítá: " + findingSentence(*finding);
    return {};
}

/// The run's summary, or why there is no run to report.
project_files::RunSummary checkedSummary(const fs::path& root,
                                         const project_files::ResultInputs& inputs) {
    if (const std::string problem = projectProblem(root); !problem.empty())
        throw ReportRefused(problem);
    const std::string name = "„" + projectName(root) + "“";
    const fs::path summaryFile = exchange::outResultDir(root) / exchange::summary::kFileName;
    if (!exchange::isCompleteResultSet(root))
        throw ReportRefused("Projekt " + name +
                            " nemá úplné výsledky výpočtu: spusťte výpočet (Výpočet) a "
                            "protokol vytvořte po něm.");
    const project_files::SummaryRead read = project_files::readRunSummary(summaryFile);
    if (!read.summary) throw ReportRefused("Souhrn výpočtu nelze přečíst: " + read.error);
    if (const std::string problem = inputsProblem(inputs, root, name); !problem.empty())
        throw ReportRefused(problem);
    return *read.summary;
}

std::vector<double> series(const fs::path& root, const char* name) {
    const fs::path file = exchange::outResultDir(root) / name;
    if (auto values = project_files::readResultSeries(file)) return std::move(*values);
    throw ReportRefused("Výsledek " + study::pathUtf8(file) + " nelze přečíst.");
}

ReportNumber shown(const project_files::SavedReal& saved) {
    return {saved.value, czechNumber(saved.text)};
}

std::vector<ReportLine> technicalData(const project_files::SavedInputs& inputs) {
    const TechnicalDataTexts t = technicalDataTexts(inputs);
    return {{label::kOutletCount, t.outletCount},
            {label::kOutletDiameter, t.outletDiameter},
            {label::kOutletCoefficient, t.outletCoefficient},
            {label::kSpillwayWidth, t.spillwayWidth},
            {label::kOverflowCoefficient, t.overflowCoefficient},
            {label::kStorageTop, t.storageTop},
            {label::kCrestHeight, t.crestHeight},
            {label::kRetentionHeight, t.retentionHeight}};
}

/// The chosen item of a group in the calculation window's words.
std::string chosen(OptionGroup group, const std::optional<double>& value) {
    const int item = value ? optionItem(group, *value) : -1;
    if (item < 0) return "neuvedeno";
    return optionItemTexts(group)[static_cast<std::size_t>(item)];
}

template <class Saved> std::optional<double> valueOf(const std::optional<Saved>& saved) {
    return saved ? std::optional<double>(saved->value) : std::nullopt;
}

std::string savedText(const std::optional<project_files::SavedReal>& saved, const char* unit) {
    return saved ? czechNumber(saved->text) + " " + unit : "neuvedeno";
}

/// The settings as the calculation window names them; the panel the window
/// hides for the chosen manipulation is left out here too.
std::vector<ReportLine> settings(const project_files::SavedInputs& in) {
    std::vector<ReportLine> lines = {
        {label::kPreReleaseStorage,
         chosen(OptionGroup::PreReleaseStorage, valueOf(in.preReleaseStorage))},
        {label::kPreReleaseControlled,
         chosen(OptionGroup::PreReleaseControlled, valueOf(in.preReleaseControlled))},
        {label::kAfterFlood, chosen(OptionGroup::EmptyAfterFlood, valueOf(in.emptyAfterFlood))},
        {label::kAboveCrest, chosen(OptionGroup::ManipulationMode, valueOf(in.manipulationMode))}};
    const int mode = in.manipulationMode ? in.manipulationMode->value : -1;
    if (mode == 1)
        lines.push_back({label::kKeepClosed, chosen(OptionGroup::KeepClosedAfterPeak,
                                                    valueOf(in.keepClosedAfterPeak))});
    if (mode == 2)
        lines.push_back({fieldName(label::kManipulationZone, label::kMetres),
                         savedText(in.manipulationZoneHeight, "m")});
    // The set's record keeps IN_START_VYP, which the core consumed.
    lines.push_back({fieldName(label::kStartLevel, label::kMetres), savedText(in.startLevel, "m")});
    lines.push_back(
        {fieldName(label::kTimeStep, label::kMinutes), savedText(in.timeStepMinutes, "min")});
    return lines;
}

std::optional<ReportComparison> comparison(const fs::path& root) {
    std::vector<study::Variant> variants;
    for (const std::string& name : study::listVariants(root))
        variants.push_back(study::loadVariant(root, name));
    if (variants.empty()) return std::nullopt;
    ReportComparison table;
    table.headers.push_back("Varianta");
    for (const study::ComparisonColumn& column : study::comparisonColumns())
        table.headers.push_back(column.header);
    for (const study::ComparisonRow& row : study::compareVariants(variants)) {
        ReportComparison::Row shownRow{row.name, row.settings, {}, {}};
        for (std::size_t c = 0; c < row.values.size(); ++c) {
            const auto& value = row.values[c];
            shownRow.values.push_back(
                value ? displayNumber(*value, study::comparisonColumns()[c].decimals) : "");
            shownRow.best.push_back(row.best[c]);
        }
        table.rows.push_back(std::move(shownRow));
    }
    return table;
}

} // namespace

ReportContent gatherReport(const fs::path& root) {
    // No run replaces the set while it is read; a commit a dead run left is finished.
    const exchange::ResultSetReading reading(root);
    const project_files::ResultInputs recorded = project_files::readResultInputs(root);
    const project_files::RunSummary summary = checkedSummary(root, recorded);
    ReportContent report;
    report.projectName = projectName(root);
    report.projectFolder = study::pathUtf8(root);
    std::error_code error;
    report.resultsTime = czechDateTime(
        fs::last_write_time(exchange::outResultDir(root) / exchange::summary::kFileName, error));
    report.stopped = summary.stopped;
    report.stopReason = czechFigures(summary.stopReason);
    for (const project_files::SummaryLine& line : summary.lines)
        if (line.label != exchange::summary::kStopped)
            report.summary.push_back({line.label, czechFigures(line.text)});

    const project_files::SavedInputs& inputs = recorded.inputs;
    report.technicalData = technicalData(inputs);
    if (inputs.curve)
        for (const project_files::SavedCurveRow& row : *inputs.curve)
            report.curve.push_back(
                {shown(row.elevation), shown(row.level), shown(row.volume), shown(row.area)});
    if (inputs.inflow)
        for (const project_files::SavedReal& value : *inputs.inflow)
            report.floodWave.push_back(shown(value));

    report.inflow = series(root, exchange::kInflowSeries);
    report.outflow = series(root, exchange::kOutflowSeries);
    report.levels = series(root, exchange::kLevelSeries);
    report.settings = settings(inputs);
    report.timeStepMinutes =
        summary.timeStepMin.value_or(inputs.timeStepMinutes ? inputs.timeStepMinutes->value : 0.0);
    report.reservoirLevels = project_files::reservoirLevels(inputs);
    report.assessment = readKeptAssessment(root);
    report.safetyMargin = readKeptSafetyMargin(root);
    report.comparison = comparison(root);
    return report;
}

} // namespace desk
