// Kept variants: folders under <root>/VARIANTY, written whole or not at all.
#include "study/variant_store.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/result_set.h"
#include "exchange/run_lock.h"
#include "exchange/run_summary.h"
#include "exchange/set_journal.h"
#include "project_files/file_io.h"
#include "project_files/folder_name.h"
#include "project_files/result_inputs.h"
#include "project_files/run_summary_reader.h"
#include "project_files/saved_inputs.h"
#include "study/core_run.h"
#include "study/study_files.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace study {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxNameCharacters = 100;

// A number for a description: with a decimal comma, or "?" when there is none.
std::string shown(std::optional<float> number) {
    if (!number) return "?";
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(*number),
                                   std::chars_format::general, 6)
                         .ptr;
    std::string result(buffer, end);
    std::replace(result.begin(), result.end(), '.', ',');
    return result;
}

std::optional<float> valueOf(const std::optional<project_files::SavedReal>& saved) {
    return saved ? std::optional(saved->value) : std::nullopt;
}

// An option as the core compares it: exactly 1 (or 2) or not.
template <class Saved> bool optionIs(const std::optional<Saved>& saved, int value) {
    return saved && saved->value == value;
}

struct Settings {
    std::string manipulation, storage, controlled, after, start, step;
};

Settings settingsOf(const project_files::SavedInputs& inputs) {
    Settings s;
    if (optionIs(inputs.manipulationMode, 2))
        s.manipulation =
            "průběžná manipulace v zóně " + shown(valueOf(inputs.manipulationZoneHeight)) + " m";
    else if (optionIs(inputs.manipulationMode, 1))
        s.manipulation = optionIs(inputs.keepClosedAfterPeak, 1)
                             ? "výpusti zavřené, po kulminaci zůstanou zavřené"
                             : "výpusti zavřené, po kulminaci je ihned otevřu";
    else
        s.manipulation = "výpusti otevřené";
    const auto yesNo = [](const std::optional<project_files::SavedReal>& option) {
        return optionIs(option, 1) ? "ano" : "ne";
    };
    s.storage = yesNo(inputs.preReleaseStorage);
    s.controlled = yesNo(inputs.preReleaseControlled);
    s.after = optionIs(inputs.emptyAfterFlood, 1) ? "prázdním nádrž" : "neprázdním";
    s.start = shown(valueOf(inputs.startLevel));
    s.step = shown(valueOf(inputs.timeStepMinutes));
    return s;
}

std::size_t characterCount(const std::string& utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// A hidden folder beside the variants, for one being written, replaced or
// deleted. Its name does not hold the variant's, so it is never longer than
// a folder name may be.
fs::path hiddenFolder(const fs::path& root, const char* kind) {
    return variantsDir(root) / ("." + std::string(kind) + "-" + uniqueSuffix());
}

// Whether a path exists; a path that cannot be examined is named in the error.
bool pathExists(const fs::path& path) {
    std::error_code error;
    const bool found = fs::exists(path, error);
    if (error)
        throw StudyError("Cestu " + pathUtf8(path) + " nelze prozkoumat: " + error.message());
    return found;
}

// Renames the finished folder into place, moving a variant it replaces aside
// first and back again when the rename fails.
void moveIntoPlace(const fs::path& root, const fs::path& finished, const fs::path& target) {
    std::error_code error;
    fs::path replaced;
    if (pathExists(target)) {
        replaced = hiddenFolder(root, "stara");
        fs::rename(target, replaced, error);
        if (error)
            throw StudyError("Variantu " + pathUtf8(target) +
                             " nelze nahradit: " + error.message());
    }
    fs::rename(finished, target, error);
    if (error) {
        std::error_code ignored;
        if (!replaced.empty()) fs::rename(replaced, target, ignored);
        throw StudyError("Variantu " + pathUtf8(target) + " nelze uložit: " + error.message());
    }
    if (!replaced.empty()) fs::remove_all(replaced, error);
}

} // namespace

fs::path variantsDir(const fs::path& root) {
    return root / "VARIANTY";
}

fs::path variantDir(const fs::path& root, const std::string& name) {
    return variantsDir(root) / utf8Path(name);
}

std::string trimmedVariantName(const std::string& name) {
    return project_files::trimmedName(name);
}

std::string variantNameProblem(const std::string& name) {
    const std::string kept = trimmedVariantName(name);
    // Hidden folders are variants being written, replaced or deleted.
    if (std::string problem = project_files::visibleFolderNameProblem(kept, "Název varianty");
        !problem.empty())
        return problem;
    if (characterCount(kept) > kMaxNameCharacters)
        return "Název varianty je příliš dlouhý (nejvýše " + std::to_string(kMaxNameCharacters) +
               " znaků).";
    return {};
}

std::vector<std::string> describeSettings(const fs::path& dir) {
    return describeSettings(project_files::readSavedInputs(dir));
}

std::vector<std::string> describeSettings(const project_files::SavedInputs& inputs) {
    const Settings s = settingsOf(inputs);
    return {"Manipulace při překročení přelivu (v RN): " + s.manipulation,
            "Předpouštění v zásobním prostoru (Vz): " + s.storage,
            "Předpouštění v ovladatelném retenčním prostoru (RO): " + s.controlled,
            "Po povodni: " + s.after,
            "Výška vody na začátku řešení: " + s.start + " m",
            "Časový krok: " + s.step + " min"};
}

std::string settingsInOneLine(const fs::path& dir) {
    const Settings s = settingsOf(project_files::readSavedInputs(dir));
    return s.manipulation + "; předpouštění Vz " + s.storage + ", RO " + s.controlled +
           "; po povodni " + s.after + "; start " + s.start + " m; krok " + s.step + " min";
}

namespace {

// Why the result set in `root` cannot be kept, for a root no run holds; the
// inputs it was computed from otherwise.
project_files::ResultInputs checkSetKeepable(const fs::path& root) {
    const fs::path results = exchange::outResultDir(root);
    const fs::path summaryFile = results / exchange::summary::kFileName;
    const project_files::SummaryRead read = project_files::readRunSummary(summaryFile);
    if (!read.error.empty()) throw StudyError(read.error);
    if (!read.summary)
        throw StudyError("Poslední výsledky nemají souhrn výpočtu: spusťte výpočet a pak jej "
                         "uložte jako variantu.");
    // An empty summary, or one that does not seal the files beside it, is no
    // summary: a run was killed or its disk filled while it wrote them.
    if (!exchange::isCompleteResultSet(root))
        throw StudyError("Poslední výsledky nejsou úplné (souhrn výpočtu je prázdný nebo "
                         "neodpovídá souborům výsledků: výpočet byl přerušen nebo výsledky "
                         "změněny): spusťte výpočet znovu a pak jej uložte jako variantu.");
    if (read.summary->stopped)
        throw StudyError("Poslední výpočet byl zastaven (" + read.summary->stopReason +
                         "): jako variantu lze uložit jen výpočet, který doběhl.");
    // The variant keeps the inputs the run read, whatever was saved since.
    project_files::ResultInputs recorded = project_files::readResultInputs(root);
    if (!recorded.known)
        throw StudyError("Poslední výsledky nemají záznam vstupů, ze kterých byly vypočteny "
                         "(výsledky starší verze programu): spusťte výpočet znovu a pak jej "
                         "uložte jako variantu.");
    if (const auto finding = project_files::inputsFinding(recorded.inputs))
        throw InputsRefused(*finding);
    return recorded;
}

const char* const kRunGoingOn = "V tomto projektu právě běží výpočet: jeho výsledky ještě nejsou "
                                "celé. Variantu uložte, až výpočet skončí.";

// Writes the inputs the last run read and copies its results into `draft`.
void writeDraft(const fs::path& root, const fs::path& draft, const std::string& kept,
                const project_files::ResultInputs& recorded) {
    for (const auto& [name, bytes] : recorded.files)
        if (const project_files::FileResult written =
                project_files::writeBytes(draft / name, bytes);
            !written)
            throw StudyError(written.error);
    for (const char* result : resultFileNames())
        copyFile(exchange::outResultDir(root) / result, draft / result);
    std::vector<std::string> description = {"Varianta: " + kept};
    const auto settings = describeSettings(draft);
    description.insert(description.end(), settings.begin(), settings.end());
    if (const project_files::FileResult written =
            project_files::writeLines(draft / kDescriptionFile, description);
        !written)
        throw StudyError(written.error);
}

} // namespace

project_files::ResultInputs checkLastRunKeepable(const fs::path& root) {
    if (exchange::runInProgress(root)) throw StudyError(kRunGoingOn);
    const exchange::ResultSetReading reading(root);
    return checkSetKeepable(root);
}

void keepVariant(const fs::path& root, const std::string& name, bool replace) {
    if (const std::string problem = variantNameProblem(name); !problem.empty())
        throw StudyError(problem);
    // Held while the set is checked and copied: no run replaces it meanwhile.
    const exchange::RunLockHold lock(root);
    if (lock.busy()) throw StudyError(kRunGoingOn);
    const exchange::ResultSetReading reading(root);
    const project_files::ResultInputs recorded = checkSetKeepable(root);
    const std::string kept = trimmedVariantName(name);
    const fs::path dir = variantsDir(root);
    const fs::path target = variantDir(root, kept);
    std::error_code error;
    fs::create_directories(dir, error);
    if (error) throw StudyError("Adresář " + pathUtf8(dir) + " nelze vytvořit: " + error.message());
    if (pathExists(target) && !replace) throw StudyError("Varianta „" + kept + "“ už existuje.");

    const fs::path draft = hiddenFolder(root, "nova");
    if (!fs::create_directory(draft, error))
        throw StudyError("Adresář " + pathUtf8(draft) + " nelze vytvořit: " + error.message());
    try {
        writeDraft(root, draft, kept, recorded);
        moveIntoPlace(root, draft, target);
    } catch (...) {
        fs::remove_all(draft, error);
        throw;
    }
}

bool variantExists(const fs::path& root, const std::string& name) {
    return variantNameProblem(name).empty() &&
           pathExists(variantDir(root, trimmedVariantName(name)));
}

std::vector<std::string> listVariants(const fs::path& root) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(variantsDir(root), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = pathUtf8(it->path().filename());
        // Hidden folders are variants being written or replaced.
        std::error_code kind;
        if (!name.starts_with(".") && it->is_directory(kind)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void deleteVariant(const fs::path& root, const std::string& name) {
    std::error_code error;
    if (!variantNameProblem(name).empty() || !fs::is_directory(variantDir(root, name), error))
        throw StudyError("Varianta „" + name + "“ neexistuje.");
    // Moved aside first, so that a delete that fails part of the way never
    // leaves a variant with some of its files.
    const fs::path doomed = hiddenFolder(root, "mazana");
    fs::rename(variantDir(root, name), doomed, error);
    if (error) throw StudyError("Variantu „" + name + "“ nelze smazat: " + error.message());
    fs::remove_all(doomed, error);
}

} // namespace study
