// The projects opened last, remembered between sessions.
#include "desk/recent_projects.h"

#include "project_files/file_io.h"
#include "study/study_files.h"

#include <algorithm>
#include <sstream>
#include <system_error>

namespace desk {

namespace fs = std::filesystem;

namespace {

// Two spellings of one folder ("a/b/", "a/./b") are one project.
fs::path normalised(const fs::path& root) {
    fs::path normal = root.lexically_normal();
    if (!normal.has_filename() && normal.has_parent_path() && normal != normal.root_path())
        normal = normal.parent_path();
    return normal;
}

} // namespace

RecentProjects::RecentProjects(fs::path storeFile) : m_storeFile(std::move(storeFile)) {
    if (m_storeFile.empty()) return;
    const std::optional<std::string> bytes = project_files::readBytes(m_storeFile);
    if (!bytes) return;
    std::istringstream lines(*bytes);
    for (std::string line; std::getline(lines, line) && m_projects.size() < kMostKept;) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const fs::path root = normalised(study::utf8Path(line));
        if (std::find(m_projects.begin(), m_projects.end(), root) == m_projects.end())
            m_projects.push_back(root);
    }
}

std::string RecentProjects::add(const fs::path& root) {
    const fs::path project = normalised(root);
    std::erase(m_projects, project);
    m_projects.insert(m_projects.begin(), project);
    if (m_projects.size() > kMostKept) m_projects.resize(kMostKept);
    return save();
}

std::string RecentProjects::remove(const fs::path& root) {
    std::erase(m_projects, normalised(root));
    return save();
}

std::string RecentProjects::save() const {
    if (m_storeFile.empty()) return {};
    std::error_code error;
    fs::create_directories(m_storeFile.parent_path(), error);
    if (error)
        return "Seznam nedávných projektů nelze uložit: složku " +
               study::pathUtf8(m_storeFile.parent_path()) + " nelze vytvořit (" + error.message() +
               ").";
    std::vector<std::string> lines;
    for (const fs::path& project : m_projects)
        lines.push_back(study::pathUtf8(project));
    const project_files::FileResult written = project_files::writeLines(m_storeFile, lines);
    return written ? std::string() : "Seznam nedávných projektů nelze uložit: " + written.error;
}

} // namespace desk
