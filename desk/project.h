// Projects: a project is a folder laid out like an installation root (the
// exchange directory with the IN_* files, OUT_DATA, OUT_DATA/TK, OUT_RESULT,
// OUT_PICTURES, VARIANTY) without the programs, which stay in the
// installation. Creating one, checking one before it is opened, and copying
// one whole under a new name. Toolkit-free; every text is Czech (UTF-8).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace desk {

/// The folders a project cannot do without, relative to its root, in the
/// order a message names them: PULT_na_vypocty, OUT_DATA, OUT_DATA/TK,
/// OUT_RESULT, OUT_PICTURES. VARIANTY belongs to a new project as well, but
/// a root without it (an installation laid out before variants existed) is
/// still a project: the variant store makes it on the first kept variant.
std::vector<std::filesystem::path> requiredProjectFolders();

/// Why `root` cannot be opened as a project, naming what is missing; empty
/// when it can. A folder holding none of the required folders is "not a
/// project"; one holding some of them is "incomplete".
std::string projectProblem(const std::filesystem::path& root);

/// The project's name as the window title and the report show it: the
/// name of its folder.
std::string projectName(const std::filesystem::path& root);

/// Why `name` (UTF-8, as typed; the blanks around it are not part of the
/// name) cannot name a project folder that Windows and Linux can both hold;
/// empty when it can.
std::string projectNameProblem(const std::string& name);

/// Where a new project begins.
enum class ProjectStart {
    Sample, // the bundled sample reservoir's inputs and the forms' sources
    Empty   // no inputs: every form starts empty
};

/// The outcome of making a project: its root, or why nothing was made.
struct ProjectMade {
    std::optional<std::filesystem::path> root;
    std::string problem; // Czech, complete; empty with a root
};

/// Makes the project `name` in `parent`: the folders of a project and, from
/// the sample, every file of `sampleDir` except the installation's own (the
/// programs, the about panel's media). Refused: a name no file system can
/// hold, a parent that is not a folder, a name already taken. The project is
/// built under a hidden name and renamed into place, so a failure leaves
/// nothing behind.
ProjectMade createProject(const std::filesystem::path& parent, const std::string& name,
                          ProjectStart start, const std::filesystem::path& sampleDir);

/// Copies the project at `source` whole as the project `name` in `parent`:
/// its inputs (every file of its exchange directory except the
/// installation's own), results, pictures, kept variants and the files the
/// front end keeps for it. Modification times are kept, so results stay as
/// old as they were against their inputs and a complete result set stays
/// complete. Files a run writes on its way (*.docasny) and the run lock are
/// left out. Refused like createProject, and when `source` is no project.
ProjectMade saveProjectAs(const std::filesystem::path& source, const std::filesystem::path& parent,
                          const std::string& name);

} // namespace desk
