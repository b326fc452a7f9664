// The calculation settings as plain logic: what each option group writes,
// where, and the order of the start of a calculation.
#include "gui/common/calculation_options.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"

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
