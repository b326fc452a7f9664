// The last safety-margin search of a project, kept in the project by the
// safety-margin window so that the calculation report can give it.
#pragma once

#include "project_files/file_io.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace desk {

struct KeptMargin {
    /// What the search ran on: the project's own inputs (with its start
    /// level) or a kept variant, in words.
    std::string inputs;
    bool ofProjectInputs = false;
    std::vector<std::string> answer; // the search's report, a paragraph a line
    std::filesystem::file_time_type time{};
    /// Of a search on the project's own inputs: an input saved after it.
    std::string newerInput;
};

/// Keeps a finished search in `root`, replacing the one kept before.
/// `startLevel` (the text typed, for the project's inputs) or `variant`
/// (the name of the variant searched) says what it ran on.
project_files::FileResult keepSafetyMargin(const std::filesystem::path& root, bool ofProjectInputs,
                                           const std::string& startLevelOrVariant,
                                           const std::vector<std::string>& answer);

/// The search kept in `root`; empty when none was kept or it cannot be read.
std::optional<KeptMargin> readKeptSafetyMargin(const std::filesystem::path& root);

} // namespace desk
