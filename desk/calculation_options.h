// The calculation settings as plain logic: what each option group writes,
// where, and the order of the start of a calculation.
#pragma once

#include "desk/typed_number.h"
#include "project_files/file_io.h"
#include "project_files/saved_inputs.h"

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace desk {

/// The five single-choice groups of the calculation window, named for the
/// core's option each one sets.
enum class OptionGroup {
    PreReleaseStorage,    // bottom outlets in the storage space before the flood
    PreReleaseControlled, // bottom outlets in the controlled retention space before the flood
    EmptyAfterFlood,      // bottom outlets after the flood
    ManipulationMode,     // bottom outlets above the safety spillway: open, closed, gradual
    KeepClosedAfterPeak   // outlets closed after the peak: open at once or keep closed
};

inline constexpr OptionGroup kOptionGroups[] = {
    OptionGroup::PreReleaseStorage, OptionGroup::PreReleaseControlled, OptionGroup::EmptyAfterFlood,
    OptionGroup::ManipulationMode, OptionGroup::KeepClosedAfterPeak};

/// The selected item of each group, in kOptionGroups order; -1: none selected.
using OptionItems = std::array<int, 5>;

/// The number a group writes for its selected item (-1: none selected):
/// the second item 1, the third item of ManipulationMode 2, anything else 0.
int optionValue(OptionGroup group, int itemIndex);

/// The exchange file a group writes (IN_PREDP1_0_1, ...).
const char* optionFileName(OptionGroup group);

/// One file write: where, and the one line of text it holds.
struct FileWrite {
    std::filesystem::path path;
    std::string text; // written as is, followed by CR LF
};

/// The write of a group's selection: the group's file in `programDir`.
FileWrite optionWrite(const std::filesystem::path& programDir, OptionGroup group, int itemIndex);

/// The three field texts, exactly as typed (UTF-8).
struct CalculationFields {
    std::string startLevel = "0";       // IN_START_VYP [m]
    std::string timeStep = "0";         // IN_TIME_STEP_min [min]
    std::string manipulationZone = "0"; // IN_MANPR [m]
};

/// The three fields as Refusal::field.
enum CalculationField : int { kStartLevelField, kTimeStepField, kManipulationZoneField };

/// What the start may write, or why not.
struct CalculationCheck {
    std::optional<Refusal> refusal;    // the first field that cannot be right
    std::vector<std::string> warnings; // what is probably wrong (Czech)
    CalculationFields fields;          // as the files hold them; only without a refusal
};

/// Checks the typed fields: each a number (decimal comma or point) written
/// with a decimal point; the time step above 0 and the zone height not below
/// 0, as the one check of the inputs holds them; the start level not below 0
/// and checked against the saved inputs (checkStartLevel).
CalculationCheck checkCalculationFields(const CalculationFields& typed,
                                        const project_files::SavedInputs& saved);

/// The start level against the saved inputs, into `check`: at or above the
/// overtopping level (RN + retention height) a refusal, as the core refuses
/// it; above the curve's top a refusal naming it (the core would stop with
/// ERROR 2); below its first row a warning (the core interpolates from the
/// bottom, 0 m and 0 m3, and a start at 0 m is an empty reservoir). The
/// calculation window and the safety margin, which both start the core, ask
/// the same.
void checkStartLevel(const ParsedNumber& start, const project_files::SavedInputs& saved,
                     CalculationCheck& check);

/// The item of `group` whose value is `value`; -1 when no item writes it.
int optionItem(OptionGroup group, double value);

/// What a run needs of the five groups, apart from the typed fields.
struct RunOptions {
    /// The choices not made that the run needs, in kOptionGroups order. What
    /// to do after the peak is needed only with the outlets closed above the
    /// crest, the one mode that reads it.
    std::vector<OptionGroup> missing;
    /// What the run writes: `selected`, with the choice after the peak, where
    /// the chosen mode does not read it and none is made, as its first item,
    /// so that the core finds every option file it reads.
    OptionItems items{};
};
RunOptions runOptions(const OptionItems& selected);

/// The refusal of a start with choices missing, naming each by its field.
std::string missingChoicesText(const std::vector<OptionGroup>& missing);

/// What the exchange files hold for the calculation window.
struct SavedCalculationSettings {
    OptionItems items{-1, -1, -1, -1, -1};
    CalculationFields fields; // "0" for a file that is missing or holds no number
};

/// The option files, IN_TIME_STEP_min and IN_MANPR from `programDir` as the
/// core reads them, and the start level kept in `root` (lastStartLevel);
/// field texts with a decimal comma.
SavedCalculationSettings readSavedCalculationSettings(const std::filesystem::path& programDir,
                                                      const std::filesystem::path& root);

/// The question asked between the settings and the start of the core.
extern const char* const kStartQuestion;

/// The files the settings are written to, in order: the option file of each
/// group with an item selected (a group without one leaves its file as it
/// is), then IN_MANPR and IN_TIME_STEP_min, all in `programDir`.
std::vector<FileWrite> settingsWrites(const std::filesystem::path& programDir,
                                      const OptionItems& items, const CalculationFields& fields);

/// Writes the settings (settingsWrites), then keeps the start level in `root`
/// (keepStartLevel). The first file that cannot be written stops it there;
/// files written before it stay written. Nothing else writes the settings:
/// choosing and typing in the window only change the window.
project_files::FileResult saveSettings(const std::filesystem::path& programDir,
                                       const std::filesystem::path& root, const OptionItems& items,
                                       const CalculationFields& fields);

/// IN_START_VYP, written only when the user confirms the start; in the
/// exchange directory of the root the core runs on, where it reads it.
FileWrite startLevelWrite(const std::filesystem::path& root, const CalculationFields& fields);

/// The core's executable under an installation root.
std::filesystem::path coreExecutable(const std::filesystem::path& root);

/// What the start sequence needs from the window.
struct StartActions {
    std::function<bool(const std::string& question)> ask;          // true for Yes
    std::function<void(const std::string& error)> showError;       // a failed write
    std::function<void(const std::filesystem::path& root)> launch; // returns when the core ended
};

enum class StartOutcome {
    WriteFailed, // a file could not be written: error shown, nothing after it ran
    Declined,    // the user answered No: the settings are written, no core started
    Launched     // IN_START_VYP written and the launch returned
};

/// The start of a calculation: saveSettings, the question, and on Yes
/// IN_START_VYP and the launch of the core on `root`. The first file that
/// cannot be written stops the sequence there; files written before it stay
/// written.
StartOutcome runStartSequence(const std::filesystem::path& programDir,
                              const std::filesystem::path& root, const OptionItems& items,
                              const CalculationFields& fields, const StartActions& actions);

/// Writes one planned file.
project_files::FileResult perform(const FileWrite& write);

} // namespace desk
