// Whole runs of the real PRGVELDRON in a temporary installation root holding the sample.
#pragma once

#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace veldron::testing {

/// Records (CR LF lines) in a text.
std::size_t records(const std::string& text);

struct Result {
    int status = -1; // exit status; -1 when the core did not exit by itself
    std::string console;
};

/// A fresh root with the sample's IN_* files and empty OUT_* directories.
class CoreRun : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Runs the core on the root; `input` is what the user types on its
    /// console, `shell` a shell command run before it (a ulimit, say).
    Result run(const std::string& input = "", const std::string& shell = "");

    std::string result(const char* name) const;
    std::string data(const std::string& name) const;
    /// The bytes of every file under OUT_DATA and OUT_RESULT but the temporary ones.
    std::map<std::string, std::string> resultFiles() const;
    /// Temporary files of the result set left in the OUT_* directories.
    std::vector<std::filesystem::path> temporaryFiles() const;
    static std::string lastLine(const std::string& console);

    std::filesystem::path root, exchange;
};

} // namespace veldron::testing
