// One run of the core as a child process, waited for in the calling thread:
// what the console studies and a study's worker threads hand in as their
// "run the core in this root".
#pragma once

#include "study/core_run.h"

#include <QString>

#include <filesystem>
#include <functional>

namespace study {

/// Runs `program` with VELDRON_ROOT = `root` and its standard input closed
/// (so an error exit does not wait), and waits for its end in the calling
/// thread, which may be any thread. `stopAsked` is asked every 50 ms; when it
/// answers true the core is killed and the run ends as kRunCancelled.
CoreRunResult runCoreProcess(const QString& program, const std::filesystem::path& root,
                             const std::function<bool()>& stopAsked);

} // namespace study
