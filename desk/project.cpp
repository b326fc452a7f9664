// Projects: making one, checking one, copying one whole.
#include "desk/project.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/result_set.h"
#include "exchange/set_journal.h"
#include "project_files/folder_name.h"
#include "study/study_files.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <system_error>

namespace desk {

namespace fs = std::filesystem;

namespace {

using study::pathUtf8;
using study::utf8Path;

/// A step of making a project failed; the text says which and why.
class ProjectError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string quoted(const fs::path& path) {
    return "„" + pathUtf8(path) + "“";
}

bool isInstallationFile(const fs::path& name) {
    const std::string text = pathUtf8(name);
    return std::any_of(exchange::kInstallationFiles.begin(), exchange::kInstallationFiles.end(),
                       [&](const char* own) { return text == own; });
}

// A file a run writes on its way and puts into place, the lock a run holds,
// or the journal of its commit: none belongs to a copy.
bool isPartOfARun(const fs::path& name) {
    return exchange::isTemporaryPath(name) || name == exchange::kRunLock ||
           name == exchange::kResultJournal;
}

void makeFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        throw ProjectError("Složku " + quoted(folder) + " nelze vytvořit: " + error.message() +
                           ".");
}

// The copy keeps the source's modification time: the age of results against
// their inputs and the completeness of a result set rest on it.
void copyFileKeepingTime(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    if (!error) {
        const fs::file_time_type time = fs::last_write_time(from, error);
        if (!error) fs::last_write_time(to, time, error);
    }
    if (error)
        throw ProjectError("Soubor " + quoted(from) + " nelze zkopírovat do " + quoted(to) + ": " +
                           error.message() + ".");
}

void copyPlainFile(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    if (error)
        throw ProjectError("Soubor " + quoted(from) + " nelze zkopírovat do " + quoted(to) + ": " +
                           error.message() + ".");
}

/// The regular files directly in `folder` that `keep` accepts, by name.
template <class Keep> std::vector<fs::path> filesIn(const fs::path& folder, Keep keep) {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error))
        if (entry->is_regular_file(error) && keep(entry->path().filename()))
            files.push_back(entry->path());
    if (error)
        throw ProjectError("Obsah složky " + quoted(folder) + " nelze přečíst: " + error.message() +
                           ".");
    return files;
}

/// Copies `from` into `to` with every subfolder, times kept, without the
/// files of a run in progress.
void copyTree(const fs::path& from, const fs::path& to) {
    makeFolder(to);
    std::error_code error;
    for (fs::directory_iterator entry(from, error), end; !error && entry != end;
         entry.increment(error)) {
        const fs::path name = entry->path().filename();
        if (entry->is_directory(error) && !entry->is_symlink(error))
            copyTree(entry->path(), to / name);
        else if (entry->is_regular_file(error) && !isPartOfARun(name))
            copyFileKeepingTime(entry->path(), to / name);
    }
    if (error)
        throw ProjectError("Obsah složky " + quoted(from) + " nelze přečíst: " + error.message() +
                           ".");
}

void makeProjectFolders(const fs::path& root) {
    for (const fs::path& folder : requiredProjectFolders())
        makeFolder(root / folder);
    makeFolder(exchange::variantsDir(root));
}

/// Where a new project goes, or why it cannot go there.
fs::path newProjectPath(const fs::path& parent, const std::string& name) {
    if (const std::string problem = projectNameProblem(name); !problem.empty())
        throw ProjectError(problem);
    std::error_code error;
    if (!fs::is_directory(parent, error))
        throw ProjectError("Složka " + quoted(parent) + " neexistuje nebo to není složka.");
    const fs::path target = parent / utf8Path(project_files::trimmedName(name));
    if (fs::exists(fs::symlink_status(target, error)))
        throw ProjectError("Složka " + quoted(target) +
                           " už existuje: zvolte jiný název projektu.");
    return target;
}

/// Builds a project with `fill` in a hidden folder beside `target` and
/// renames it into place; the hidden folder goes whatever happens.
template <class Fill> ProjectMade buildInPlace(const fs::path& target, Fill fill) {
    const fs::path draft = target.parent_path() / utf8Path("." + pathUtf8(target.filename()) +
                                                           ".novy-" + study::uniqueSuffix());
    std::error_code error;
    try {
        makeFolder(draft);
        fill(draft);
        fs::rename(draft, target, error);
        if (error)
            throw ProjectError("Složku " + quoted(draft) + " nelze přejmenovat na " +
                               quoted(target) + ": " + error.message() + ".");
    } catch (const ProjectError& e) {
        fs::remove_all(draft, error);
        return {std::nullopt, e.what()};
    }
    return {target, {}};
}

} // namespace

std::vector<fs::path> requiredProjectFolders() {
    const fs::path root;
    return {exchange::exchangeDir(root), exchange::outDataDir(root), exchange::curvesDir(root),
            exchange::outResultDir(root), exchange::outPicturesDir(root)};
}

std::string projectProblem(const fs::path& root) {
    std::error_code error;
    if (!fs::is_directory(root, error))
        return "Složka " + quoted(root) + " neexistuje nebo to není složka.";
    std::vector<std::string> missing;
    for (const fs::path& folder : requiredProjectFolders())
        if (!fs::is_directory(root / folder, error)) missing.push_back(pathUtf8(folder));
    if (missing.empty()) return {};
    std::string list;
    for (const std::string& folder : missing)
        list += (list.empty() ? "" : ", ") + folder;
    if (missing.size() == requiredProjectFolders().size())
        return "Složka " + quoted(root) + " není projekt VELDRON: chybí v ní složky " + list + ".";
    return "Složka " + quoted(root) + " není úplný projekt VELDRON: chybí v ní " +
           (missing.size() == 1 ? "složka " : "složky ") + list + ".";
}

std::string projectNameProblem(const std::string& name) {
    return project_files::visibleFolderNameProblem(project_files::trimmedName(name),
                                                   "Název projektu");
}

std::string projectName(const fs::path& root) {
    const fs::path normal = root.lexically_normal();
    const fs::path name =
        normal.has_filename() ? normal.filename() : normal.parent_path().filename();
    return pathUtf8(name.empty() ? normal : name);
}

ProjectMade createProject(const fs::path& parent, const std::string& name, ProjectStart start,
                          const fs::path& sampleDir) {
    try {
        const fs::path target = newProjectPath(parent, name);
        std::error_code error;
        if (start == ProjectStart::Sample && !fs::is_directory(sampleDir, error))
            return {std::nullopt, "Vzorová nádrž v instalaci chybí: složka " + quoted(sampleDir) +
                                      " neexistuje."};
        return buildInPlace(target, [&](const fs::path& draft) {
            makeProjectFolders(draft);
            if (start != ProjectStart::Sample) return;
            const fs::path inputs = exchange::exchangeDir(draft);
            for (const fs::path& file :
                 filesIn(sampleDir, [](const fs::path& n) { return !isInstallationFile(n); }))
                copyPlainFile(file, inputs / file.filename());
        });
    } catch (const ProjectError& e) {
        return {std::nullopt, e.what()};
    }
}

ProjectMade saveProjectAs(const fs::path& source, const fs::path& parent, const std::string& name) {
    if (const std::string problem = projectProblem(source); !problem.empty())
        return {std::nullopt, problem};
    try {
        const fs::path target = newProjectPath(parent, name);
        // The copy takes one run's whole set: none replaces it meanwhile.
        const exchange::ResultSetReading reading(source);
        return buildInPlace(target, [&](const fs::path& draft) {
            makeProjectFolders(draft);
            // The exchange directory of an installation holds the programs
            // and the sample's folder too: only its own files go.
            const fs::path inputs = exchange::exchangeDir(source);
            for (const fs::path& file : filesIn(inputs, [](const fs::path& n) {
                     return !isInstallationFile(n) && !isPartOfARun(n);
                 }))
                copyFileKeepingTime(file, exchange::exchangeDir(draft) / file.filename());
            for (const fs::path& folder :
                 {exchange::outDataDir(fs::path()), exchange::outResultDir(fs::path()),
                  exchange::outPicturesDir(fs::path()), exchange::variantsDir(fs::path())}) {
                std::error_code error;
                if (fs::is_directory(source / folder, error))
                    copyTree(source / folder, draft / folder);
            }
            for (const fs::path& file :
                 filesIn(source, [](const fs::path& n) { return !isPartOfARun(n); }))
                copyFileKeepingTime(file, draft / file.filename());
        });
    } catch (const ProjectError& e) {
        return {std::nullopt, e.what()};
    }
}

} // namespace desk
