// The calculation settings as plain logic: what each option group writes,
// where, and the order of the start of a calculation.
#include "desk/calculation_options.h"

#include "desk/input_fields.h"
#include "desk/input_findings.h"
#include "desk/start_level.h"
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"

#include <string_view>

namespace desk {

const char* const kStartQuestion = "Data zapsána. SPUSTIT VÝPOČET ???";

int optionValue(OptionGroup group, int itemIndex) {
    if (itemIndex == 1) return 1;
    if (itemIndex == 2 && group == OptionGroup::ManipulationMode) return 2;
    return 0;
}

const char* optionFileName(OptionGroup group) {
    switch (group) {
    case OptionGroup::PreReleaseStorage:
        return exchange::kPreReleaseStorage;
    case OptionGroup::PreReleaseControlled:
        return exchange::kPreReleaseControlled;
    case OptionGroup::EmptyAfterFlood:
        return exchange::kEmptyAfterFlood;
    case OptionGroup::ManipulationMode:
        return exchange::kManipulationMode;
    case OptionGroup::KeepClosedAfterPeak:
        return exchange::kKeepClosedAfterPeak;
    }
    return "";
}

FileWrite optionWrite(const std::filesystem::path& programDir, OptionGroup group, int itemIndex) {
    return {programDir / optionFileName(group), std::to_string(optionValue(group, itemIndex))};
}

namespace {

// Above the curve's top the core stops with ERROR 2; below its first row it
// interpolates from the bottom (0 m, 0 m3).
void checkStartAgainstCurve(const ParsedNumber& start, const project_files::CurveLevels& curve,
                            CalculationCheck& check) {
    // The core compares in single precision.
    const auto level = static_cast<float>(start.value);
    const std::string shown = czechNumber(start.text);
    if (level > static_cast<float>(curve.highest)) {
        const std::string top = czechNumber(curve.highestText);
        check.refusal =
            Refusal{kStartLevelField, -1, -1,
                    "Výška vody " + shown + " m leží nad horním koncem batygrafické křivky (" +
                        top + " m).\n\nZadejte výšku nejvýše " + top +
                        " m, nebo doplňte křivku o vyšší řádky (Vstupy → " + kCurveFormName + ")."};
    } else if (level < static_cast<float>(curve.lowest)) {
        check.warnings.push_back(
            "Výška vody " + shown + " m leží pod prvním řádkem batygrafické křivky (" +
            czechNumber(curve.lowestText) +
            " m). Jádro počítá pod ním se dnem nádrže (0 m, 0 m3) a objem dopočte lineárně; "
            "při 0 m začíná výpočet s prázdnou nádrží.");
    }
}

// A field's refusal from the one check of the inputs, or none.
std::optional<Refusal> checked(CalculationField field, exchange::InputQuantity quantity,
                               const std::string& name, const std::string& typed,
                               const ParsedNumber& number) {
    std::string problem = valueProblem(number, quantity, name, typed);
    if (problem.empty()) return std::nullopt;
    return Refusal{field, -1, -1, std::move(problem)};
}

} // namespace

void checkStartLevel(const ParsedNumber& start, const project_files::SavedInputs& saved,
                     CalculationCheck& check) {
    if (saved.crestHeight && saved.retentionHeight)
        if (const auto finding = exchange::startLevelFinding(static_cast<float>(start.value),
                                                             saved.crestHeight->value,
                                                             saved.retentionHeight->value)) {
            check.refusal =
                Refusal{kStartLevelField, -1, -1, findingSentence(*finding, {}, start.text)};
            return;
        }
    if (const auto curve = project_files::curveLevels(saved))
        checkStartAgainstCurve(start, *curve, check);
}

CalculationCheck checkCalculationFields(const CalculationFields& typed,
                                        const project_files::SavedInputs& saved) {
    CalculationCheck check;
    const ParsedNumber start = parseTypedNumber(typed.startLevel);
    const std::string startName = fieldName(label::kStartLevel, label::kMetres);
    if (std::string problem = nonNegativeProblem(startName, typed.startLevel, start);
        !problem.empty()) {
        check.refusal = Refusal{kStartLevelField, -1, -1, problem};
        return check;
    }
    const ParsedNumber step = parseTypedNumber(typed.timeStep);
    check.refusal = checked(kTimeStepField, exchange::InputQuantity::TimeStep,
                            fieldName(label::kTimeStep, label::kMinutes), typed.timeStep, step);
    if (check.refusal) return check;
    const ParsedNumber zone = parseTypedNumber(typed.manipulationZone);
    check.refusal = checked(kManipulationZoneField, exchange::InputQuantity::ManipulationZone,
                            std::string(label::kManipulationGroup) + " → " +
                                fieldName(label::kManipulationZone, label::kMetres),
                            typed.manipulationZone, zone);
    if (check.refusal) return check;
    checkStartLevel(start, saved, check);
    if (!check.refusal) check.fields = {start.text, step.text, zone.text};
    return check;
}

RunOptions runOptions(const OptionItems& selected) {
    RunOptions options{{}, selected};
    const auto at = [](OptionGroup group) { return static_cast<std::size_t>(group); };
    const int mode = selected[at(OptionGroup::ManipulationMode)];
    for (const OptionGroup group : kOptionGroups) {
        if (selected[at(group)] >= 0) continue;
        if (group != OptionGroup::KeepClosedAfterPeak || mode == 1)
            options.missing.push_back(group);
        else if (mode >= 0)
            options.items[at(group)] = 0;
    }
    return options;
}

std::string missingChoicesText(const std::vector<OptionGroup>& missing) {
    std::string text = "Výpočet nelze spustit: není zvolena každá volba manipulace se spodními "
                       "výpustmi. Zvolte:";
    for (const OptionGroup group : missing)
        if (const InputField* field = inputFieldOf(optionFileName(group)))
            text += "\n• " + field->name;
    return text;
}

int optionItem(OptionGroup group, double value) {
    const int items = group == OptionGroup::ManipulationMode ? 3 : 2;
    for (int item = 0; item < items; ++item)
        if (optionValue(group, item) == value) return item;
    return -1;
}

namespace {

// The option a group sets, as the core reads it.
std::optional<double> savedOption(const project_files::SavedInputs& inputs, OptionGroup group) {
    const auto value = [](const auto& saved) {
        return saved ? std::optional<double>(saved->value) : std::nullopt;
    };
    switch (group) {
    case OptionGroup::PreReleaseStorage:
        return value(inputs.preReleaseStorage);
    case OptionGroup::PreReleaseControlled:
        return value(inputs.preReleaseControlled);
    case OptionGroup::EmptyAfterFlood:
        return value(inputs.emptyAfterFlood);
    case OptionGroup::ManipulationMode:
        return value(inputs.manipulationMode);
    case OptionGroup::KeepClosedAfterPeak:
        return value(inputs.keepClosedAfterPeak);
    }
    return std::nullopt;
}

// A saved value as its field shows it; the field keeps its text without one.
void showSaved(const std::optional<project_files::SavedReal>& saved, std::string& field) {
    if (saved) field = savedFieldText(saved->text);
}

} // namespace

SavedCalculationSettings readSavedCalculationSettings(const std::filesystem::path& programDir,
                                                      const std::filesystem::path& root) {
    const project_files::SavedInputs inputs = project_files::readSavedInputs(programDir);
    SavedCalculationSettings saved;
    for (std::size_t g = 0; g < std::size(kOptionGroups); ++g)
        if (const auto value = savedOption(inputs, kOptionGroups[g]))
            saved.items[g] = optionItem(kOptionGroups[g], *value);
    // The core takes IN_START_VYP away with every run: the root keeps the level.
    if (const std::string start = shownStartLevel(root); !start.empty())
        saved.fields.startLevel = start;
    showSaved(inputs.timeStepMinutes, saved.fields.timeStep);
    showSaved(inputs.manipulationZoneHeight, saved.fields.manipulationZone);
    return saved;
}

std::vector<FileWrite> settingsWrites(const std::filesystem::path& programDir,
                                      const OptionItems& items, const CalculationFields& fields) {
    std::vector<FileWrite> writes;
    for (std::size_t g = 0; g < std::size(kOptionGroups); ++g)
        if (items[g] >= 0) writes.push_back(optionWrite(programDir, kOptionGroups[g], items[g]));
    writes.push_back({programDir / exchange::kManipulationZone, fields.manipulationZone});
    writes.push_back({programDir / exchange::kTimeStep, fields.timeStep});
    return writes;
}

project_files::FileResult saveSettings(const std::filesystem::path& programDir,
                                       const std::filesystem::path& root, const OptionItems& items,
                                       const CalculationFields& fields) {
    for (const FileWrite& write : settingsWrites(programDir, items, fields))
        if (project_files::FileResult result = perform(write); !result) return result;
    return keepStartLevel(root, fields.startLevel);
}

FileWrite startLevelWrite(const std::filesystem::path& root, const CalculationFields& fields) {
    return {exchange::exchangeDir(root) / exchange::kStartLevel, fields.startLevel};
}

std::filesystem::path coreExecutable(const std::filesystem::path& root) {
    return exchange::exchangeDir(root) / exchange::kCoreExecutable;
}

project_files::FileResult perform(const FileWrite& write) {
    return project_files::writeOneLineFile(write.path, write.text);
}

StartOutcome runStartSequence(const std::filesystem::path& programDir,
                              const std::filesystem::path& root, const OptionItems& items,
                              const CalculationFields& fields, const StartActions& actions) {
    if (const project_files::FileResult result = saveSettings(programDir, root, items, fields);
        !result) {
        actions.showError(result.error);
        return StartOutcome::WriteFailed;
    }
    if (!actions.ask(kStartQuestion)) return StartOutcome::Declined;
    if (const project_files::FileResult result = perform(startLevelWrite(root, fields)); !result) {
        actions.showError(result.error);
        return StartOutcome::WriteFailed;
    }
    actions.launch(root);
    return StartOutcome::Launched;
}

} // namespace desk
