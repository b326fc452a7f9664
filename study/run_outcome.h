// Judging how a run of the core ended, from its exit status, its console and
// its run summary.
#pragma once

#include "study/core_run.h"

#include <filesystem>
#include <string>

namespace study {

struct RunOutcome {
    RunEnd end = RunEnd::Failed;
    // The core's own line for anything but a normal end (the overtopping
    // text, "ERROR 3 ...", the "*ERR*" line), or the study's text when the
    // core did not run to an end.
    std::string message;
};

/// The core's console line that announces overtopping.
inline constexpr const char* kOvertoppingMessage = "!!! doslo k preliti nadrze !!!";

/// How the run in `root` ended. A normal end counts only with a complete
/// result set (exchange::isCompleteResultSet); an error exit is overtopping
/// when the summary of a complete set says so or the console shows the
/// overtopping text; exit status 2 is judged by the code of its "*ERR*" line.
RunOutcome judgeRun(const CoreRunResult& run, const std::filesystem::path& root);

} // namespace study
