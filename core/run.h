// One calculation from the exchange files to the result files.
#pragma once

#include "core/klemes/klemes.h"

#include <filesystem>
#include <istream>
#include <ostream>

namespace veldron {

/// Runs the whole calculation on the tree under `root` (exchange directory,
/// OUT_DATA, OUT_DATA/TK, OUT_RESULT), printing to `console` and, after an
/// error exit, waiting for one line of `consoleInput` (end of input ends the
/// wait). Returns the exit status of exchange::ExitCode.
/// `solver` is the Klemes step; tests and benchmarks pass a scan to compare.
int runCore(const std::filesystem::path& root, std::ostream& console, std::istream& consoleInput,
            KlemesSolver solver = klemesStep);

} // namespace veldron
