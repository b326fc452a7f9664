// The projects opened last, newest first, remembered between sessions in a
// small file of their own (one UTF-8 path per line).
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace desk {

class RecentProjects {
public:
    static constexpr std::size_t kMostKept = 5;

    /// Reads the list kept in `storeFile`; an empty path keeps nothing
    /// between sessions. A missing or unreadable file gives an empty list.
    explicit RecentProjects(std::filesystem::path storeFile = {});

    /// Newest first, at most kMostKept, each project once.
    const std::vector<std::filesystem::path>& projects() const { return m_projects; }

    /// Puts `root` first (moving it up when it is listed already), drops the
    /// oldest beyond kMostKept and writes the list. The text of the write's
    /// failure (Czech), empty when it was written or nothing is kept.
    std::string add(const std::filesystem::path& root);
    /// Takes `root` off the list (a project that can no longer be opened).
    std::string remove(const std::filesystem::path& root);

private:
    std::string save() const;

    std::filesystem::path m_storeFile;
    std::vector<std::filesystem::path> m_projects;
};

} // namespace desk
