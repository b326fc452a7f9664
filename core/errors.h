// The two ways a run stops early: an input/output error and the error exit.
#pragma once

#include "exchange/file_error.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace veldron {

// Input/output errors are exchange::FileError; the core names them with its codes.
using exchange::FileError;
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
