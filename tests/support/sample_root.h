// Installation roots holding the bundled sample, and runs of the real core on
// them: one helper for every test program (the target defines
// VELDRON_SOURCE_DIR and, to run the core, VELDRON_CORE_EXE).
#pragma once

#include "exchange/exchange_paths.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/wait.h>

namespace veldron::testing {

/// The exchange directory and the empty result directories of a root.
inline void makeEmptyRoot(const std::filesystem::path& root) {
    for (const std::filesystem::path& dir :
         {exchange::exchangeDir(root), exchange::curvesDir(root), exchange::outResultDir(root),
          exchange::outPicturesDir(root)})
        std::filesystem::create_directories(dir);
}

/// Every file of the bundled sample (its IN_* files, IN_START_VYP included,
/// the forms' sources, the about panel's pictures and sound) in
/// root/PULT_na_vypocty, replacing what is there, and the empty result directories.
inline void installSample(const std::filesystem::path& root) {
    makeEmptyRoot(root);
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(VELDRON_SOURCE_DIR) / "data/sample"))
        std::filesystem::copy_file(entry.path(),
                                   exchange::exchangeDir(root) / entry.path().filename(),
                                   std::filesystem::copy_options::overwrite_existing);
}

#ifdef VELDRON_CORE_EXE
/// The real PRGVELDRON run on `root` as a child process with its input and
/// output closed; its exit status, or -1 when it did not exit by itself.
inline int runRealCore(const std::filesystem::path& root) {
    const std::string command =
        "VELDRON_ROOT='" + root.string() + "' '" VELDRON_CORE_EXE "' </dev/null >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
#endif

} // namespace veldron::testing
