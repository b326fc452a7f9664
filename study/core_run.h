// What a study needs of the core: run it in a given installation root and
// tell how the run ended. Tests hand in a stand-in, the front end a child
// process, the main job the real program.
#pragma once

#include "exchange/input_check.h"

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

namespace study {

/// The end of one run of the core.
struct CoreRunResult {
    // The core's exit status (exchange::ExitCode: 0 normal, 1 error exit,
    // 2 a file error), or one of the three below.
    int exitCode = 0;
    std::string console; // everything it printed
};

inline constexpr int kRunNotStarted = -1; // the program could not be started
inline constexpr int kRunCrashed = -2;    // killed or crashed
inline constexpr int kRunCancelled = -3;  // ended by the study: a cancel or a stop signal

/// Runs the core once on the installation root `root` with its standard input
/// closed (so an error exit does not wait) and returns when it has ended.
using RunCoreInRoot = std::function<CoreRunResult(const std::filesystem::path& root)>;

/// How a finished run ended, as a study judges it.
enum class RunEnd {
    Normal,     // exit 0 and a complete result set
    Overtopped, // error exit on overtopping
    Stopped,    // another error exit (ERROR 1/2/3)
    Refused,    // an input refused (*ERR* 2, 24, 59, 60, ...)
    Busy,       // another run of the core holds the root (*ERR* 5): nothing changed
    NotWritten, // the results could not be written or replaced (*ERR* 10, 11, 12): the previous
                // stay
    Cancelled,  // ended by the study before it ended by itself
    Failed      // not started, crashed, out of memory or a fault of the core (*ERR* 90, 99), an
                // exit status the core never gives, or a normal end without a complete set
};

/// A study's own failure (a file it could not copy, inputs it could not read):
/// the UTF-8 Czech text for the user.
class StudyError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Inputs the core would refuse (the one check of the inputs), found before
/// any run: the text is the core's own, the finding for a window to say it
/// in its words.
class InputsRefused : public StudyError {
public:
    explicit InputsRefused(const exchange::InputFinding& found)
        : StudyError("Vstupy nelze použít, jádro by je odmítlo: " + exchange::findingText(found)),
          finding(found) {}
    exchange::InputFinding finding;
};

} // namespace study
