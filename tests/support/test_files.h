// Temporary directories and whole files for the tests: one helper instead of
// a copy in every test file.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <stdlib.h>

namespace veldron::testing {

/// A fresh directory of its own in the system's temporary directory, removed
/// with everything in it when the object goes, also where a test took the
/// write permission away from a folder in it.
class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "veldron_test_XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("no temporary directory: " + pattern);
        m_path = pattern;
    }
    ~TempDir() {
        allowAll(m_path);
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    /// The names in the directory, sorted.
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_path))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    static void allowAll(const std::filesystem::path& dir) {
        std::error_code ignored;
        std::filesystem::permissions(dir, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        for (const auto& entry : std::filesystem::directory_iterator(dir, ignored))
            if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) allowAll(entry.path());
    }

    std::filesystem::path m_path;
};

/// The bytes of a file; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// Creates or overwrites a file with `bytes`; returns its path.
inline std::filesystem::path writeFile(const std::filesystem::path& file,
                                       const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    return file;
}

} // namespace veldron::testing
