// The two ways a run stops early: an input/output error and the error exit.
#pragma once

#include "exchange/file_names.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace veldron {

/// A file that cannot be opened, read or written. Reported as one console
/// line "*ERR* <code> <text>" and the process ends at once (no wait).
struct FileError : std::runtime_error {
    int code;
    FileError(int errorCode, const std::string& text) : std::runtime_error(text), code(errorCode) {}
};

// Codes of FileError: the *ERR* codes of exchange/, which the front end reads.
using exchange::kErrBadValue;
using exchange::kErrEndOfFile;
using exchange::kErrInternal;
using exchange::kErrNoMemory;
using exchange::kErrNotReplaceable;
using exchange::kErrOpenInput;
using exchange::kErrOpenOutput;
using exchange::kErrOutOfRange;
using exchange::kErrRootBusy;
using exchange::kErrWrite;

/// An inconsistency the core detects itself (ERROR 1/2/3, overtopping):
/// the message is printed, the run waits for Enter and ends.
struct ErrorExit {
    enum Kind {
        CrestGridOffCurve = 1,  // ERROR 1: a crest-grid level outside the curve or its bracket
        StartLevelOffCurve = 2, // ERROR 2: the start level, likewise
        StepLevelOffCurve = 3,  // ERROR 3: a routing step's volume, likewise
        Overtopping = 4,        // the level reached the crest plus the retention height
    };
    Kind kind;
    std::int64_t step = 0; // the routing step that stopped (ERROR 3, overtopping); else 0
};

/// The exact console text of each error exit; the blank counts differ on purpose.
const char* errorExitMessage(ErrorExit::Kind kind);

} // namespace veldron
