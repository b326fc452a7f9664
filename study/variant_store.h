// Kept variants: a finished run kept under a name, each in its own folder
// <root>/VARIANTY/<name>/ holding copies of the inputs the core read, its
// outflow, level and inflow series and run summary, and a short description
// of its settings.
#pragma once

#include "project_files/result_inputs.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace study {

/// <root>/VARIANTY.
std::filesystem::path variantsDir(const std::filesystem::path& root);

/// The folder of a variant.
std::filesystem::path variantDir(const std::filesystem::path& root, const std::string& name);

/// The description file in a variant's folder (UTF-8, CR LF lines).
inline constexpr const char* kDescriptionFile = "popis_varianty";

/// A name as it is kept: the blanks around it removed.
std::string trimmedVariantName(const std::string& name);

/// Why `name` (UTF-8, blanks around it removed) cannot name a variant
/// folder, in Czech; empty when it can. Refused: what exchange::
/// folderNameProblem refuses (a name Linux or Windows cannot hold), a leading
/// point (hidden folders are variants being written), over 100 characters.
std::string variantNameProblem(const std::string& name);

/// Whether a variant of that name (blanks around it removed) is kept.
/// Throws StudyError when its folder cannot be examined.
bool variantExists(const std::filesystem::path& root, const std::string& name);

/// The settings of a calculation, read from the inputs in `dir` as the core
/// reads them: the manipulation above the spillway crest with its zone or
/// choice after the peak, the pre-release choices, emptying after the flood,
/// the start level and the time step. One line each.
std::vector<std::string> describeSettings(const std::filesystem::path& dir);
/// The same of inputs already read (those a result set records, say).
std::vector<std::string> describeSettings(const project_files::SavedInputs& inputs);

/// The same in one line, for a table.
std::string settingsInOneLine(const std::filesystem::path& dir);

/// The inputs the last run in `root` read (its result set's record), or
/// StudyError saying why it cannot be kept: a run of the core is still going
/// on there (it holds the root's lock); no summary (no run yet, or a summary
/// that cannot be read); a result set that is not complete
/// (exchange::isCompleteResultSet: an empty summary, a run killed or a disk
/// filled while it replaced the set, files changed since); a run that
/// stopped; a set that records no inputs (one of an earlier version of the
/// core: its inputs are not known); inputs the one check of the inputs
/// refuses (InputsRefused).
project_files::ResultInputs checkLastRunKeepable(const std::filesystem::path& root);

/// Keeps the last run in `root` as variant `name`: the inputs it read, as its
/// result set records them (IN_START_VYP, which the core consumed, among
/// them, and none saved since), and its results (resultFileNames). The
/// root's run lock is held while the set is checked as checkLastRunKeepable
/// does and copied, so that no run replaces it meanwhile. An existing
/// variant of that name is replaced only when `replace` is set. The variant
/// is written into a hidden folder first and renamed into place, so a
/// failure leaves no half-written variant and the one it was to replace
/// stays. Throws StudyError.
void keepVariant(const std::filesystem::path& root, const std::string& name, bool replace);

/// The names of the kept variants, in byte order of their UTF-8 names.
std::vector<std::string> listVariants(const std::filesystem::path& root);

/// Deletes a variant's folder; throws StudyError.
void deleteVariant(const std::filesystem::path& root, const std::string& name);

} // namespace study
