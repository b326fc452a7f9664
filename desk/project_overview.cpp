// The open project at a glance.
#include "desk/project_overview.h"

#include "desk/input_fields.h"
#include "desk/project.h"
#include "desk/typed_number.h"
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/result_set.h"
#include "exchange/run_summary.h"
#include "exchange/set_journal.h"
#include "project_files/result_inputs.h"
#include "project_files/saved_inputs.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <map>
#include <string_view>

namespace desk {

namespace fs = std::filesystem;

namespace {

/// Whether the core reads `file` from what the typed reading found.
bool coreReads(const project_files::SavedInputs& in, std::string_view file) {
    using namespace exchange;
    using project_files::SavedInputs;
    static const std::map<std::string_view, std::function<bool(const SavedInputs&)>> read = {
        {kCurve, [](const SavedInputs& i) { return i.curve.has_value(); }},
        {kCurveRowCount, [](const SavedInputs& i) { return i.curve.has_value(); }},
        {kCrestHeight, [](const SavedInputs& i) { return i.crestHeight.has_value(); }},
        {kRetentionHeight, [](const SavedInputs& i) { return i.retentionHeight.has_value(); }},
        {kOutletCount, [](const SavedInputs& i) { return i.outletCount.has_value(); }},
        {kOutletDiameter, [](const SavedInputs& i) { return i.outletDiameter.has_value(); }},
        {kOutletCoefficient,
         [](const SavedInputs& i) { return i.outletCoefficientScaled.has_value(); }},
        {kSpillwayWidth, [](const SavedInputs& i) { return i.spillwayWidth.has_value(); }},
        {kOverflowCoefficient,
         [](const SavedInputs& i) { return i.overflowCoefficientScaled.has_value(); }},
        {kTimeStep, [](const SavedInputs& i) { return i.timeStepMinutes.has_value(); }},
        {kInflowPointCount, [](const SavedInputs& i) { return i.inflow.has_value(); }},
        {kFloodWave, [](const SavedInputs& i) { return i.inflow.has_value(); }},
        {kStorageTop, [](const SavedInputs& i) { return i.storageTopHeight.has_value(); }},
        {kManipulationMode, [](const SavedInputs& i) { return i.manipulationMode.has_value(); }},
        {kKeepClosedAfterPeak,
         [](const SavedInputs& i) { return i.keepClosedAfterPeak.has_value(); }},
        {kManipulationZone,
         [](const SavedInputs& i) { return i.manipulationZoneHeight.has_value(); }},
        {kPreReleaseStorage, [](const SavedInputs& i) { return i.preReleaseStorage.has_value(); }},
        {kPreReleaseControlled,
         [](const SavedInputs& i) { return i.preReleaseControlled.has_value(); }},
        {kEmptyAfterFlood, [](const SavedInputs& i) { return i.emptyAfterFlood.has_value(); }},
    };
    const auto found = read.find(file);
    return found != read.end() && found->second(in);
}

std::vector<InputOverview> readInputs(const fs::path& exchangeDir) {
    const project_files::SavedInputs saved = project_files::readSavedInputs(exchangeDir);
    std::vector<InputOverview> inputs;
    for (const char* form :
         {kFloodWaveFormName, kCurveFormName, kTechnicalDataFormName, kCalculationFormName})
        inputs.push_back(InputOverview{form, {}, {}, std::nullopt});
    for (const InputField& field : inputFields()) {
        if (std::string_view(field.file) == exchange::kStartLevel) continue;
        for (InputOverview& input : inputs) {
            if (std::string_view(input.form) != field.form) continue;
            std::error_code error;
            const fs::file_time_type time = fs::last_write_time(exchangeDir / field.file, error);
            if (error) {
                input.missing.push_back(field.name);
            } else {
                if (!coreReads(saved, field.file)) input.unread.push_back(field.name);
                if (!input.savedAt || time > *input.savedAt) input.savedAt = time;
            }
        }
    }
    return inputs;
}

const char* const kKeyFigures[] = {exchange::summary::kInflowPeak, exchange::summary::kFloodPeak,
                                   exchange::summary::kOutflowPeak,
                                   exchange::summary::kHighestLevel, exchange::summary::kFreeboard};

// The input saved since the results that they were not computed from.
void findNewerInput(const fs::path& root, const fs::path& summaryFile, RunOverview& run) {
    const project_files::ResultInputs recorded = project_files::readResultInputs(root);
    run.inputsKnown = recorded.known;
    const project_files::ResultAge age =
        project_files::resultAgainstInputs(root, summaryFile, recorded);
    run.newerInput = age.newerInput;
    run.newerInputTime = age.newerInputTime;
}

RunOverview readRun(const fs::path& root) {
    RunOverview run;
    const exchange::ResultSetReading reading(root);
    if (!exchange::isCompleteResultSet(root)) return run;
    const fs::path summaryFile = exchange::outResultDir(root) / exchange::summary::kFileName;
    const project_files::SummaryRead read = project_files::readRunSummary(summaryFile);
    if (!read.summary) return run;
    std::error_code error;
    const fs::file_time_type computed = fs::last_write_time(summaryFile, error);
    if (!error) run.computedAt = computed;
    run.stopReason = read.summary->stopReason;
    run.stoppedStep = read.summary->stoppedStep;
    for (const char* label : kKeyFigures)
        for (const project_files::SummaryLine& line : read.summary->lines)
            if (line.label == label)
                run.keyFigures.push_back({line.label, czechFigures(line.text)});
    findNewerInput(root, summaryFile, run);
    // The core removes IN_START_VYP when it puts a new set in place: beside
    // a set, it was written for a run that did not get that far.
    if (fs::exists(exchange::exchangeDir(root) / exchange::kStartLevel, error))
        run.state = LastRun::Refused;
    else if (!run.newerInput.empty())
        run.state = LastRun::Outdated;
    else
        run.state = read.summary->stopped ? LastRun::Stopped : LastRun::Done;
    return run;
}

} // namespace

ProjectOverview readProjectOverview(const fs::path& root) {
    return {projectName(root), root, readInputs(exchange::exchangeDir(root)), readRun(root),
            readKeptAssessment(root)};
}

std::string lastRunText(const RunOverview& run) {
    const std::string computed = run.computedAt ? czechDateTime(*run.computedAt) : std::string();
    const std::string stop =
        run.stoppedStep ? "zastaven v kroku " + std::to_string(*run.stoppedStep) : "zastaven";
    const std::string unknownInputs =
        run.inputsKnown ? std::string()
                        : " Výsledky nemají záznam vstupů, ze kterých byly vypočteny (starší verze "
                          "programu).";
    switch (run.state) {
    case LastRun::None:
        return "Žádné úplné výsledky: výpočet v tomto projektu zatím neproběhl, nebo jeho "
               "výsledky nejsou celé.";
    case LastRun::Done:
        return "Výpočet doběhl (" + computed + ")." + unknownInputs;
    case LastRun::Stopped:
        return "Výpočet " + stop + " – " + czechFigures(run.stopReason) + " (" + computed + ")." +
               unknownInputs;
    case LastRun::Refused:
        return "Poslední spuštění výpočtu výsledky nenahradilo: jádro vstupy odmítlo, nebo "
               "výpočet nedoběhl. Výsledky jsou z výpočtu " +
               computed + ".";
    case LastRun::Outdated:
        return "Výsledky (" + computed +
               ") jsou starší než vstupy: " + savedInputPlace(run.newerInput) +
               (run.newerInputTime ? " byl uložen " + czechDateTime(*run.newerInputTime)
                                   : std::string(" se od výpočtu změnil")) +
               ". Spusťte výpočet znovu.";
    }
    return {};
}

std::string assessmentText(const std::optional<KeptAssessment>& kept) {
    if (!kept) return "Posouzení bezpečnosti za povodně v tomto projektu zatím neproběhlo.";
    if (kept->outdated()) return outdatedText(*kept);
    return "Posouzení z " + czechDateTime(kept->time) + ": " + kept->result.sentence(',');
}

std::string czechDateTime(fs::file_time_type time) {
    const std::time_t seconds = project_files::secondsSinceEpoch(time);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[40];
    std::snprintf(text, sizeof text, "%d. %d. %d %d:%02d", local.tm_mday, local.tm_mon + 1,
                  local.tm_year + 1900, local.tm_hour, local.tm_min);
    return text;
}

} // namespace desk
