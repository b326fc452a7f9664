// The crest grid: volumes, outlet and spillway discharges and the 21
// transformation curves over the ladder of levels above the spillway crest.
#pragma once

#include "core/tables/bathygraphic_curve.h"
#include "exchange/record_writer.h"

#include <array>
#include <cstdint>
#include <vector>

namespace veldron {

inline constexpr int kOpeningCount = 21; // outlet openings 0, 5, ... 100 %

/// The technical data of the dam as read from the exchange files.
struct DamData {
    float crestHeight = 0;                    // m above the bottom
    float retentionHeight = 0;                // m above the crest
    float outletCount = 0;                    // -
    float outletDiameter = 0;                 // m
    std::int32_t outletCoefficientScaled = 0; // outflow velocity coefficient x 10000
    float spillwayWidth = 0;                  // m
    float overflowCoefficientScaled = 0;      // spillway coefficient m x 1000
};

struct ReservoirTables {
    float outletArea = 0;     // m2, all outlets together
    float gridLevelsReal = 0; // G = 20 x retention height, single precision
    std::int64_t gridLevelCount = 0;
    std::vector<float> gridLevel;                              // m
    std::vector<float> gridVolume;                             // m3
    std::vector<float> volumeAboveCrest;                       // m3
    std::vector<float> outletFlow;                             // m3/s, outlets fully open
    std::vector<float> spillwayFlow;                           // m3/s
    std::array<std::vector<float>, kOpeningCount> klemesCurve; // m3/s per opening index
};

/// The record files the build writes, one per table.
struct TableFiles {
    exchange::RecordSink& gridVolumes;       // objemy_nad_prelivem_z_BK: level, volume
    exchange::RecordSink& volumesAboveCrest; // objemy_nad_prelivem
    exchange::RecordSink& outletFlows;       // odtok_vypuste_pro_h_nad_prelivem_100
    exchange::RecordSink& spillwayFlows;     // odtok_nad_prelivem
    std::array<exchange::RecordSink*, kOpeningCount> curves; // TRANSF_KRIVKA_KLEMES_0 ... _100
    exchange::RecordSink& totalFlows;                        // suma_odtoku_pro_h_nad_prelivem_100
};

/// The tables' records held in memory, in the files' order: for a run that
/// writes them only once every check has passed, and for tests.
struct TableTexts {
    exchange::StringSink gridVolumes, volumesAboveCrest, outletFlows, spillwayFlows, totalFlows;
    std::array<exchange::StringSink, kOpeningCount> curves;

    TableFiles files() {
        TableFiles f{gridVolumes, volumesAboveCrest, outletFlows, spillwayFlows, {}, totalFlows};
        for (int p = 0; p < kOpeningCount; ++p)
            f.curves[p] = &curves[p];
        return f;
    }
};

/// The most crest-grid levels a run builds: 100,000, a retention height below
/// 5000.05 m (no dam comes near). A run takes about 2 kB per level for the
/// tables, the curves and their records, so at most about 210 MB.
inline constexpr std::int64_t kMostGridLevels = 100000;

/// G = 20 x retentionHeight rounded to single precision.
float crestGridSize(float retentionHeight);

/// Number of crest-grid levels: G cut toward zero (0.35 gives 7, 1.15 gives
/// 23). Throws FileError beyond kMostGridLevels, before anything is allocated.
std::int64_t crestGridLevelCount(float retentionHeight, float& g);

/// Outlet discharge [m3/s] of all outlets fully open at a level [m] above the
/// bottom: Q = mu A sqrt(2 g h).
float outletDischarge(float level, std::int32_t outletCoefficientScaled, float outletArea);

/// Builds every table in order and writes each record as it is computed.
/// A grid level outside the curve takes the error exit ERROR 1 after the
/// records of the levels below it have been written.
ReservoirTables buildReservoirTables(const DamData& dam, const std::vector<CurveRow>& curve,
                                     const TableFiles& files);

} // namespace veldron
