// The error of a file that cannot be opened, read or written, with the *ERR*
// code the front end reads: thrown by the readers and writers of the exchange
// files, reported once at the top of a run.
#pragma once

#include "exchange/file_names.h"

#include <stdexcept>
#include <string>

namespace exchange {

/// A file that cannot be opened, read or written. Reported as one console
/// line "*ERR* <code> <text>" and the process ends at once (no wait). Its code is one of the kErr*
/// codes of file_names.h.
struct FileError : std::runtime_error {
    int code;
    FileError(int errorCode, const std::string& text) : std::runtime_error(text), code(errorCode) {}
};

} // namespace exchange
