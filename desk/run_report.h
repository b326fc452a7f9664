// How a run of the core ended, told as what it is: done, stopped on an error
// the core detected (with what to mend), refused for its input, not run for
// another reason the core named, or failed.
#pragma once

#include "project_files/saved_inputs.h"

#include <filesystem>
#include <optional>
#include <string>

namespace desk {

enum class RunEnding {
    Done,    // exit status 0
    Stopped, // exit status 1: ERROR 1/2/3 or overtopping, after the core's wait
    Refused, // exit status 2: an input or output file error, one *ERR* line
    Busy,    // exit status 2, *ERR* 5: another run holds the root; nothing changed
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
/// in LF), the run summary it wrote, if any (shown after exit 0 and 1), and
/// the inputs the run read (for the figures of what to mend).
/// Stopped: the core's message line in full and, for overtopping and ERROR 3,
/// which arise while routing, the step (the one after the last step number
/// printed); under it what the stop means and where to mend it (stopAdvice).
/// Exit 2 by the *ERR* code: an input the core refused (2, 24, 59, 60: the
/// form and field of every exchange file the line names); a calculation
/// already running in the root (5); result files that cannot be created (10),
/// written (11: the file and the system's reason; the previous results stay)
/// or replaced (12: close the file or mend its rights); no memory (90); a
/// fault of the core (99). The *ERR* line is always shown in full.
RunReport reportRun(const CoreExit& exit, const std::string& consoleText,
                    const std::optional<std::string>& summary,
                    const project_files::SavedInputs& inputs = {});

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

} // namespace desk
