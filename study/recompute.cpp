// Recomputing a kept variant.
#include "study/recompute.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "project_files/file_io.h"
#include "project_files/saved_inputs.h"
#include "study/variant_store.h"

namespace study {

namespace fs = std::filesystem;

std::string RecomputeResult::text() const {
    if (outcome.end != RunEnd::Normal)
        return "Přepočet varianty nedoběhl: " + outcome.message +
               "\nUložené výsledky doběhlého výpočtu se tak nepodařilo zopakovat.";
    const std::string inflowNote =
        inflowNotKept ? " Přítok se neporovnával: varianta byla uložena bez přítoku, který "
                        "výpočet použil (povodnova_vlna)."
                      : "";
    if (differing.empty())
        return "Přepočet dal stejné výsledky, jaké jsou u varianty uloženy." + inflowNote;
    std::string files;
    for (const std::string& name : differing)
        files += (files.empty() ? "" : ", ") + name;
    return "Přepočet dal JINÉ výsledky, než jaké jsou u varianty uloženy (liší se: " + files +
           "). Uložené výsledky zůstaly beze změny." + inflowNote;
}

RecomputeJob::RecomputeJob(const fs::path& root, const std::string& name)
    : m_variant(variantDir(root, name)) {
    std::error_code error;
    if (!fs::is_directory(m_variant, error))
        throw StudyError("Varianta „" + name + "“ neexistuje.");
    if (const auto finding =
            project_files::inputsFinding(project_files::readSavedInputs(m_variant)))
        throw InputsRefused(*finding);
    for (const char* input : exchange::kCoreInputs)
        copyFile(m_variant / input, m_scratch.exchangeDir() / input);
}

RecomputeResult RecomputeJob::finish(const CoreRunResult& run) const {
    RecomputeResult result{judgeRun(run, root()), {}};
    std::error_code error;
    result.inflowNotKept = !fs::exists(m_variant / exchange::kInflowSeries, error) && !error;
    for (const char* name : resultFileNames()) {
        if (result.inflowNotKept && std::string_view(name) == exchange::kInflowSeries) continue;
        const auto kept = project_files::readBytes(m_variant / name);
        const auto now = project_files::readBytes(exchange::outResultDir(root()) / name);
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
