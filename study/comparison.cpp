// Kept variants side by side.
#include "study/comparison.h"

#include "exchange/file_names.h"
#include "exchange/io/result_files.h"
#include "exchange/run_summary.h"
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
    v.summary = exchange::readRunSummary(dir / label::kFileName).summary;
    const exchange::SavedInputs inputs = exchange::readSavedInputs(dir);
    if (inputs.inflow)
        for (const exchange::SavedReal& q : *inputs.inflow)
            v.inflow.push_back(q.value);
    if (auto outflow = exchange::readResultSeries(dir / exchange::kOutflowSeries))
        v.outflow = std::move(*outflow);
    if (auto levels = exchange::readResultSeries(dir / exchange::kLevelSeries))
        v.levels = std::move(*levels);
    if (inputs.timeStepMinutes) v.timeStepMinutes = inputs.timeStepMinutes->value;
    v.reservoirLevels = exchange::reservoirLevels(inputs);
    return v;
}

const std::array<ComparisonColumn, kComparedFigures>& comparisonColumns() {
    static const std::array<ComparisonColumn, kComparedFigures> columns = {{
        {"Kulminace odtoku [m3/s]", &exchange::RunSummary::outflowPeak, Best::Lowest, 3},
        {"Transformace kulminace [%]", &exchange::RunSummary::attenuationPercent, Best::Highest, 1},
        {"Zpoždění kulminace [h]", &exchange::RunSummary::peakLagHours, Best::Highest, 3},
        {"Nejvyšší hladina [m]", &exchange::RunSummary::highestLevel, Best::Lowest, 3},
        {"Rezerva do přelití [m]", &exchange::RunSummary::freeboard, Best::Highest, 3},
        {"Chyba bilance objemů [%]", &exchange::RunSummary::balanceErrorPercent, Best::NearestZero,
         4},
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
