// Kept variants side by side.
#include "study/comparison.h"

#include "exchange/file_names.h"
#include "exchange/run_summary.h"
#include "project_files/result_files.h"
#include "study/variant_store.h"

#include <cmath>

namespace study {

namespace fs = std::filesystem;

namespace {

namespace label = exchange::summary;

// A value as the table shows it, so that values shown alike count as equal.
double shown(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

double merit(double value, Best best) {
    switch (best) {
    case Best::Lowest:
        return -value;
    case Best::Highest:
        return value;
    case Best::NearestZero:
        return -std::fabs(value);
    }
    return value;
}

} // namespace

Variant loadVariant(const fs::path& root, const std::string& name) {
    const fs::path dir = variantDir(root, name);
    Variant v;
    v.name = name;
    v.settings = settingsInOneLine(dir);
    const project_files::SavedInputs inputs = project_files::readSavedInputs(dir);
    if (inputs.timeStepMinutes) v.timeStepMinutes = inputs.timeStepMinutes->value;
    v.reservoirLevels = project_files::reservoirLevels(inputs);

    auto summary = project_files::readRunSummary(dir / label::kFileName).summary;
    auto outflow = project_files::readResultSeries(dir / exchange::kOutflowSeries);
    auto levels = project_files::readResultSeries(dir / exchange::kLevelSeries);
    auto inflow = project_files::readResultSeries(dir / exchange::kInflowSeries);
    v.inflowFromInputs = !inflow;
    // The floats the core routed, as its records give them back: the same
    // numbers whichever file a variant's inflow comes from.
    if (inflow)
        for (double& q : *inflow)
            q = static_cast<float>(q);
    if (!inflow && inputs.inflow) {
        inflow.emplace();
        for (const project_files::SavedReal& q : *inputs.inflow)
            inflow->push_back(q.value);
    }
    const auto holdsSteps = [&](const std::optional<std::vector<double>>& series) {
        return series && summary && summary->steps &&
               series->size() == static_cast<std::size_t>(*summary->steps);
    };
    // An inflow from the inputs holds every value given, the steps routed or not.
    v.complete = holdsSteps(outflow) && holdsSteps(levels) &&
                 (v.inflowFromInputs ? inflow.has_value() : holdsSteps(inflow));
    if (!v.complete) return v;
    v.summary = std::move(summary);
    v.outflow = std::move(*outflow);
    v.levels = std::move(*levels);
    v.inflow = std::move(*inflow);
    return v;
}

std::vector<std::string> comparisonNotes(const std::vector<Variant>& variants) {
    std::string incomplete, fromInputs;
    for (const Variant& v : variants) {
        std::string* list = !v.complete ? &incomplete : v.inflowFromInputs ? &fromInputs : nullptr;
        if (list) *list += (list->empty() ? "„" : ", „") + v.name + "“";
    }
    std::vector<std::string> notes;
    if (!incomplete.empty())
        notes.push_back("Bez úplných výsledků (souhrn výpočtu chybí, je prázdný nebo neodpovídá "
                        "řadám výsledků), proto bez údajů a průběhů: " +
                        incomplete + ".");
    if (!fromInputs.empty())
        notes.push_back("Uloženo bez přítoku, který výpočet použil (povodnova_vlna); přítok je "
                        "vzat ze vstupu IN_FLOOD_WAVE varianty: " +
                        fromInputs + ".");
    return notes;
}

const std::array<ComparisonColumn, kComparedFigures>& comparisonColumns() {
    static const std::array<ComparisonColumn, kComparedFigures> columns = {{
        {"Kulminace odtoku [m3/s]", &project_files::RunSummary::outflowPeak, Best::Lowest, 3},
        {"Transformace kulminace [%]", &project_files::RunSummary::attenuationPercent,
         Best::Highest, 1},
        {"Zpoždění kulminace [h]", &project_files::RunSummary::peakLagHours, Best::Highest, 3},
        {"Nejvyšší hladina [m]", &project_files::RunSummary::highestLevel, Best::Lowest, 3},
        {"Rezerva do přelití [m]", &project_files::RunSummary::freeboard, Best::Highest, 3},
        {"Chyba bilance objemů [%]", &project_files::RunSummary::balanceErrorPercent,
         Best::NearestZero, 4},
    }};
    return columns;
}

std::vector<ComparisonRow> compareVariants(const std::vector<Variant>& variants) {
    const auto& columns = comparisonColumns();
    std::vector<ComparisonRow> rows;
    for (const Variant& v : variants) {
        ComparisonRow row{v.name, v.settings, {}, {}};
        for (std::size_t c = 0; c < columns.size(); ++c)
            if (v.summary) row.values[c] = (*v.summary).*columns[c].value;
        rows.push_back(std::move(row));
    }
    for (std::size_t c = 0; c < columns.size(); ++c) {
        std::optional<double> best, worst;
        for (const ComparisonRow& row : rows) {
            if (!row.values[c]) continue;
            const double m = merit(shown(*row.values[c], columns[c].decimals), columns[c].best);
            if (!best || m > *best) best = m;
            if (!worst || m < *worst) worst = m;
        }
        // Nothing to choose between: no mark.
        if (!best || *best == *worst) continue;
        for (ComparisonRow& row : rows)
            row.best[c] = row.values[c] && merit(shown(*row.values[c], columns[c].decimals),
                                                 columns[c].best) == *best;
    }
    return rows;
}

} // namespace study
