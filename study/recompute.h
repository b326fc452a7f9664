// Recomputing a kept variant from its own inputs, in a temporary root, and
// telling whether the core still gives the results that were kept: the
// outflow, the levels, the inflow routed and the summary, byte for byte.
#pragma once

#include "study/core_run.h"
#include "study/run_outcome.h"
#include "study/study_files.h"

#include <filesystem>
#include <string>
#include <vector>

namespace study {

struct RecomputeResult {
    RunOutcome outcome;
    std::vector<std::string> differing; // result files whose bytes differ from those kept
    // The variant was kept without the inflow its run routed: not compared.
    bool inflowNotKept = false;
    std::string text() const; // the Czech report for the user
};

/// One recomputation: the root is prepared on construction (the variant's
/// inputs in a fresh temporary root), the caller runs the core there and hands
/// the run to finish(). Throws StudyError when the variant cannot be read.
class RecomputeJob {
public:
    RecomputeJob(const std::filesystem::path& root, const std::string& name);
    const std::filesystem::path& root() const { return m_scratch.path(); }
    RecomputeResult finish(const CoreRunResult& run) const;

private:
    std::filesystem::path m_variant;
    ScratchRoot m_scratch;
};

/// The whole recomputation with a blocking run.
RecomputeResult recomputeVariant(const std::filesystem::path& root, const std::string& name,
                                 const RunCoreInRoot& runCore);

} // namespace study
