// How a run of the core ended, told as what it is: done, stopped on an error
// the core detected, refused for its input, or failed.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace gui {

enum class RunEnding {
    Done,    // exit status 0
    Stopped, // exit status 1: ERROR 1/2/3 or overtopping, after the core's wait
    Refused, // exit status 2: an input or output file error, one *ERR* line
    Failed   // any other status, a crash or a kill
};

/// How the core's process ended.
struct CoreExit {
    bool crashed = false; // ended by a signal or otherwise without an exit status
    int code = 0;         // the exit status when not crashed
};

/// The box to show at the end of a run.
struct RunReport {
    RunEnding ending = RunEnding::Failed;
    std::string text; // Czech, complete: nothing is cut from the core's lines
};

/// The run's report from its exit, everything the core printed (lines ending
/// in LF) and the run summary it wrote, if any (shown after exit 0 and 1).
/// Stopped: the core's message line in full and, for overtopping and ERROR 3,
/// which arise while routing, the step (the one after the last step number
/// printed). Refused: the *ERR* line in full and the form and field of every
/// exchange file it names.
RunReport reportRun(const CoreExit& exit, const std::string& consoleText,
                    const std::optional<std::string>& summary);

/// The run summary's modification time, or none when it does not exist.
std::optional<std::filesystem::file_time_type>
summaryTime(const std::filesystem::path& summaryFile);

/// The summary's text (CR removed, trailing line ends dropped) when the file
/// was written by this run: it exists, is not empty, and its modification
/// time differs from `before` (taken just before the core started; none when
/// the file did not exist then).
std::optional<std::string>
summaryWrittenSince(const std::filesystem::path& summaryFile,
                    const std::optional<std::filesystem::file_time_type>& before);

} // namespace gui
