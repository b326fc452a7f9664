// The flood-safety assessment kept in a project by its window: the settings
// it was last started with, read back when the window opens again, and the
// last finished assessment with the digests of the inputs it read, which the
// main window's overview and the calculation report give, marked outdated
// once an input differs from those.
#pragma once

#include "project_files/file_io.h"
#include "study/assessment.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace desk {

/// Keeps the settings of `plan` (as checked, numbers with a decimal point).
project_files::FileResult keepAssessmentSettings(const std::filesystem::path& root,
                                                 const study::AssessmentPlan& plan);

/// The settings kept in `root`; empty when none were kept or they cannot be read.
std::optional<study::AssessmentSettings> readAssessmentSettings(const std::filesystem::path& root);

struct KeptAssessment {
    study::AssessmentResult result; // the figures of the runs; no console lines
    std::filesystem::file_time_type time{};
    /// The inputs whose files differ from those the assessment read, as
    /// "form → field"; empty while the assessment is current.
    std::vector<std::string> changedInputs;
    bool outdated() const { return !changedInputs.empty(); }
};

/// Keeps a complete assessment in `root`, replacing the one kept before.
project_files::FileResult keepAssessment(const std::filesystem::path& root,
                                         const study::AssessmentResult& result);

/// The assessment kept in `root`, compared with the inputs it holds now;
/// empty when none was kept or it cannot be read.
std::optional<KeptAssessment> readKeptAssessment(const std::filesystem::path& root);

/// Why a kept assessment no longer describes the inputs, in one Czech
/// sentence; empty while it is current.
std::string outdatedText(const KeptAssessment& kept);

} // namespace desk
