// The calculation settings as plain logic: what each option group writes,
// where, and the order of the start of a calculation.
#include "gui/common/calculation_options.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "gui/common/input_fields.h"

namespace gui {

const char* const kStartQuestion = "Data zapsána. SPUSTIT VÝPOČET ???";

int optionValue(OptionGroup group, int itemIndex) {
    if (itemIndex == 1) return 1;
    if (itemIndex == 2 && group == OptionGroup::RadioGroup2) return 2;
    return 0;
}

const char* optionFileName(OptionGroup group) {
    switch (group) {
    case OptionGroup::RadioGroup1:
        return exchange::kPreReleaseStorage;
    case OptionGroup::RadioGroup4:
        return exchange::kPreReleaseControlled;
    case OptionGroup::RadioGroup5:
        return exchange::kEmptyAfterFlood;
    case OptionGroup::RadioGroup2:
        return exchange::kManipulationMode;
    case OptionGroup::RadioGroup3:
        return exchange::kKeepClosedAfterPeak;
    }
    return "";
}

FileWrite optionWrite(const std::filesystem::path& programDir, OptionGroup group, int itemIndex) {
    return {programDir / optionFileName(group), std::to_string(optionValue(group, itemIndex))};
}

CalculationCheck checkCalculationFields(const CalculationFields& typed,
                                        const std::optional<CurveLevels>& curve) {
    CalculationCheck check;
    const ParsedNumber start = parseTypedNumber(typed.startLevel);
    const std::string startName = fieldName(label::kStartLevel, label::kMetres);
    if (std::string problem = nonNegativeProblem(startName, typed.startLevel, start);
        !problem.empty()) {
        check.refusal = Refusal{kStartLevelField, -1, -1, problem};
        return check;
    }
    const ParsedNumber step = parseTypedNumber(typed.timeStep);
    const std::string stepName = fieldName(label::kTimeStep, label::kMinutes);
    if (!step) {
        check.refusal = Refusal{kTimeStepField, -1, -1,
                                numberProblemText(stepName, typed.timeStep, step.error)};
        return check;
    }
    if (!(step.value > 0.0)) {
        check.refusal = Refusal{kTimeStepField, -1, -1,
                                stepName + ": „" + typed.timeStep +
                                    "“ nelze použít. Časový krok musí být větší než 0."};
        return check;
    }
    const ParsedNumber zone = parseTypedNumber(typed.manipulationZone);
    const std::string zoneName = std::string(label::kManipulationGroup) + " → " +
                                 fieldName(label::kManipulationZone, label::kMetres);
    if (std::string problem = nonNegativeProblem(zoneName, typed.manipulationZone, zone);
        !problem.empty()) {
        check.refusal = Refusal{kManipulationZoneField, -1, -1, problem};
        return check;
    }
    if (curve && start.value > curve->highest)
        check.warnings.push_back("Výška vody na začátku řešení (" + czechNumber(start.text) +
                                 " m) leží mimo batygrafickou křivku, jejíž nejvyšší hladina je " +
                                 czechNumber(curve->highestText) +
                                 " m. Výpočet skončí chybou ERROR 2.");
    check.fields = {start.text, step.text, zone.text};
    return check;
}

int optionItem(OptionGroup group, double value) {
    const int items = group == OptionGroup::RadioGroup2 ? 3 : 2;
    for (int item = 0; item < items; ++item)
        if (optionValue(group, item) == value) return item;
    return -1;
}

SavedCalculationSettings readSavedCalculationSettings(const std::filesystem::path& programDir,
                                                      const std::filesystem::path& root) {
    SavedCalculationSettings saved;
    for (std::size_t g = 0; g < std::size(kOptionGroups); ++g)
        if (const auto value = readSavedNumber(programDir / optionFileName(kOptionGroups[g])))
            saved.items[g] = optionItem(kOptionGroups[g], *value);
    const auto shown = [](const std::filesystem::path& file, std::string& field) {
        if (const auto text = readSavedText(file))
            if (const ParsedNumber number = parseSavedNumber(*text))
                field = czechNumber(number.text);
    };
    shown(exchange::exchangeDir(root) / exchange::kStartLevel, saved.fields.startLevel);
    shown(programDir / exchange::kTimeStep, saved.fields.timeStep);
    shown(programDir / exchange::kManipulationZone, saved.fields.manipulationZone);
    return saved;
}

std::vector<FileWrite> writesBeforeQuestion(const std::filesystem::path& programDir,
                                            const CalculationFields& fields) {
    return {{programDir / exchange::kManipulationZone, fields.manipulationZone},
            {programDir / exchange::kTimeStep, fields.timeStep}};
}

FileWrite startLevelWrite(const std::filesystem::path& root, const CalculationFields& fields) {
    return {exchange::exchangeDir(root) / exchange::kStartLevel, fields.startLevel};
}

std::filesystem::path coreExecutable(const std::filesystem::path& root) {
    return exchange::exchangeDir(root) / exchange::kCoreExecutable;
}

FileResult perform(const FileWrite& write) {
    return writeOneLineFile(write.path, write.text);
}

StartOutcome runStartSequence(const std::filesystem::path& programDir,
                              const std::filesystem::path& root, const CalculationFields& fields,
                              const StartActions& actions) {
    for (const FileWrite& write : writesBeforeQuestion(programDir, fields)) {
        if (const FileResult result = perform(write); !result) {
            actions.showError(result.error);
            return StartOutcome::WriteFailed;
        }
    }
    if (!actions.ask(kStartQuestion)) return StartOutcome::Declined;
    if (const FileResult result = perform(startLevelWrite(root, fields)); !result) {
        actions.showError(result.error);
        return StartOutcome::WriteFailed;
    }
    actions.launch(coreExecutable(root));
    return StartOutcome::Launched;
}

} // namespace gui
