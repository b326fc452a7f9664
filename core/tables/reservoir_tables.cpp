// The crest grid: volumes, outlet and spillway discharges and the 21
// transformation curves over the ladder of levels above the spillway crest.
#include "core/tables/reservoir_tables.h"

#include "core/errors.h"

#include <charconv>
#include <cmath>

namespace veldron {

namespace {

// Single-precision constants, promoted to double inside each formula.
constexpr double kTwoG = 19.62f; // 2 g, m/s2
constexpr double kHalf = 0.5f;
constexpr double kThreeHalves = 1.5f;
const double kPi = static_cast<float>(std::acos(-1.0));

} // namespace

float crestGridSize(float retentionHeight) {
    return static_cast<float>(20.0 * static_cast<double>(retentionHeight));
}

std::int64_t crestGridLevelCount(float retentionHeight, float& g) {
    g = crestGridSize(retentionHeight);
    if (!(g < static_cast<float>(kMostGridLevels + 1))) {
        // to_chars, not to_string: the text keeps its decimal point under any locale.
        char height[32];
        const auto written = std::to_chars(height, height + sizeof height, retentionHeight);
        throw FileError(kErrOutOfRange, "vyska retencniho prostoru " +
                                            std::string(height, written.ptr) +
                                            " m je mimo rozsah: IN_TOTAL_HEIGHT_OWERFLOW");
    }
    return g >= 1.0f ? static_cast<std::int64_t>(g) : 0;
}

float outletDischarge(float level, std::int32_t outletCoefficientScaled, float outletArea) {
    return static_cast<float>(
        std::pow(kTwoG * level, kHalf) *
        (static_cast<double>(outletCoefficientScaled) * outletArea / 10000.0));
}

ReservoirTables buildReservoirTables(const DamData& dam, const std::vector<CurveRow>& curve,
                                     const TableFiles& files) {
    ReservoirTables t;
    t.outletArea = static_cast<float>(std::pow(static_cast<double>(dam.outletDiameter) * kHalf, 2) *
                                      kPi * dam.outletCount);
    const std::int64_t n = crestGridLevelCount(dam.retentionHeight, t.gridLevelsReal);
    t.gridLevelCount = n;
    const double g = t.gridLevelsReal;

    // Levels are looked up and written one by one, so a failure leaves the
    // records of the levels below it; nothing is sized before it is known.
    for (std::int64_t i = 1; i <= n; ++i) {
        // With G exactly 1 this is 0/0: NaN, which no lookup accepts (ERROR 1).
        const float level = static_cast<float>(
            dam.crestHeight + static_cast<double>(i - 1) / (g - 1.0) * dam.retentionHeight);
        const std::optional<float> volume = volumeAtLevel(curve, level, Bracket::Strict);
        if (!volume) throw ErrorExit{ErrorExit::CrestGridOffCurve};
        t.gridLevel.push_back(level);
        t.gridVolume.push_back(*volume);
        files.gridVolumes.write({level, *volume});
    }
    for (std::int64_t i = 0; i < n; ++i) {
        const float above =
            static_cast<float>(static_cast<double>(t.gridVolume[i]) - t.gridVolume[0]);
        t.volumeAboveCrest.push_back(above);
        files.volumesAboveCrest.write({above});
    }
    for (std::int64_t i = 0; i < n; ++i) {
        const float outlet =
            outletDischarge(t.gridLevel[i], dam.outletCoefficientScaled, t.outletArea);
        const float spillway = static_cast<float>(
            std::pow(static_cast<double>(t.gridLevel[i]) - dam.crestHeight, kThreeHalves) *
            (static_cast<double>(dam.overflowCoefficientScaled) / 1000.0 * dam.spillwayWidth) *
            std::pow(kTwoG, kHalf));
        t.outletFlow.push_back(outlet);
        t.spillwayFlow.push_back(spillway);
        files.outletFlows.write({outlet});
        files.spillwayFlows.write({spillway});
    }
    for (int p = 0; p < kOpeningCount; ++p) {
        std::vector<float>& curveP = t.klemesCurve[p];
        curveP.reserve(static_cast<std::size_t>(n));
        for (std::int64_t i = 0; i < n; ++i) {
            const float q = static_cast<float>(static_cast<double>(p) * t.outletFlow[i] / 20.0 +
                                               t.spillwayFlow[i]);
            curveP.push_back(q);
            files.curves[p]->write({t.volumeAboveCrest[i], q});
        }
    }
    for (std::int64_t i = 0; i < n; ++i)
        files.totalFlows.write(
            {static_cast<float>(static_cast<double>(t.outletFlow[i]) + t.spillwayFlow[i])});
    return t;
}

} // namespace veldron
