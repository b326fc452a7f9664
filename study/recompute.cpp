// Recomputing a kept variant.
#include "study/recompute.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/io/file_io.h"
#include "study/variant_store.h"

namespace study {

namespace fs = std::filesystem;

std::string RecomputeResult::text() const {
    if (outcome.end != RunEnd::Normal)
        return "Přepočet varianty nedoběhl: " + outcome.message +
               "\nUložené výsledky doběhlého výpočtu se tak nepodařilo zopakovat.";
    if (differing.empty()) return "Přepočet dal stejné výsledky, jaké jsou u varianty uloženy.";
    std::string files;
    for (const std::string& name : differing)
        files += (files.empty() ? "" : ", ") + name;
    return "Přepočet dal JINÉ výsledky, než jaké jsou u varianty uloženy (liší se: " + files +
           "). Uložené výsledky zůstaly beze změny.";
}

RecomputeJob::RecomputeJob(const fs::path& root, const std::string& name)
    : m_variant(variantDir(root, name)) {
    if (!fs::is_directory(m_variant)) throw StudyError("Varianta „" + name + "“ neexistuje.");
    for (const char* input : exchange::kCoreInputs)
        copyFile(m_variant / input, m_scratch.exchangeDir() / input);
}

RecomputeResult RecomputeJob::finish(const CoreRunResult& run) const {
    RecomputeResult result{judgeRun(run, root()), {}};
    for (const char* name : resultFileNames()) {
        const auto kept = exchange::readBytes(m_variant / name);
        const auto now = exchange::readBytes(exchange::outResultDir(root()) / name);
        if (!kept || !now || *kept != *now) result.differing.push_back(name);
    }
    return result;
}

RecomputeResult recomputeVariant(const fs::path& root, const std::string& name,
                                 const RunCoreInRoot& runCore) {
    const RecomputeJob job(root, name);
    return job.finish(runCore(job.root()));
}

} // namespace study
