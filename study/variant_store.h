// Kept variants: a finished run kept under a name, each in its own folder
// <root>/VARIANTY/<name>/ holding copies of the inputs the core read, its
// outflow, level and inflow series and run summary, and a short description
// of its settings.
#pragma once

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
/// the start level and the time step. One line each. `startLevel`, when
/// given, stands for the text of IN_START_VYP (gone from the exchange
/// directory once the core has read it).
std::vector<std::string> describeSettings(const std::filesystem::path& dir,
                                          const std::optional<std::string>& startLevel = {});

/// The same in one line, for a table.
std::string settingsInOneLine(const std::filesystem::path& dir);

/// Throws StudyError saying why the last run in `root` cannot be kept: a run
/// of the core is still going on there (it holds the root's lock); no
/// summary (no run yet, or a summary that cannot be read); a result set that
/// is not complete (exchange::isCompleteResultSet: an empty summary, a run
/// killed or a disk filled while it replaced the set, files changed since);
/// a run that stopped; an input changed or missing since the run.
void checkLastRunKeepable(const std::filesystem::path& root);

/// Keeps the last run in `root` as variant `name`: the inputs it read and its
/// results (resultFileNames). `startLevel` is the text that run's
/// IN_START_VYP held (a number with a decimal point): the core deletes that
/// file once it has read it. The root's run lock is held while the set is
/// checked as checkLastRunKeepable does and copied, so that no run replaces
/// it meanwhile. An existing variant of that name is replaced only when
/// `replace` is set. The variant is written into a hidden folder first and
/// renamed into place, so a failure leaves no half-written variant and the
/// one it was to replace stays. Throws StudyError.
void keepVariant(const std::filesystem::path& root, const std::string& name,
                 const std::string& startLevel, bool replace);

/// The names of the kept variants, in byte order of their UTF-8 names.
std::vector<std::string> listVariants(const std::filesystem::path& root);

/// Deletes a variant's folder; throws StudyError.
void deleteVariant(const std::filesystem::path& root, const std::string& name);

} // namespace study
