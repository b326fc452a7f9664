// One calculation from the exchange files to the result files.
#pragma once

#include <filesystem>
#include <istream>
#include <ostream>

namespace veldron {

/// Runs the whole calculation on the tree under `root` (exchange directory,
/// OUT_DATA, OUT_DATA/TK, OUT_RESULT), printing to `console` and, after an
/// error exit, waiting for one line of `consoleInput` (end of input ends the
/// wait). Returns the exit status of exchange::ExitCode.
int runCore(const std::filesystem::path& root, std::ostream& console, std::istream& consoleInput);

} // namespace veldron
