// The time loop: volume balance, overtopping stop and the ordered operating rules.
#pragma once

#include "core/io/record_writer.h"
#include "core/klemes/klemes.h"
#include "core/tables/bathygraphic_curve.h"
#include "core/tables/reservoir_tables.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace veldron {

/// The operator's choices for the bottom outlets.
struct OperatingOptions {
    float storageTopHeight = 0;        // RO, m above the bottom
    float manipulationZoneHeight = 0;  // Z, m above the crest
    std::int32_t manipulationMode = 0; // 0 open, 1 closed, 2 gradual manipulation
    std::int32_t keepClosedAfterPeak = 0;
    float preReleaseStorage = 0;       // 0.0 or 1.0; anything else selects no rule
    float preReleaseControlled = 0;
    float emptyAfterFlood = 0;
};

/// Everything the routing reads.
struct RoutingInput {
    float crestHeight = 0;      // RN, m
    float retentionHeight = 0;  // m
    std::int32_t outletCoefficientScaled = 0;
    float outletArea = 0;       // m2
    OperatingOptions options;
    float timeStepSeconds = 0;  // dt
    float startLevel = 0;       // m
    float startVolume = 0;      // m3
    std::vector<float> inflow;  // m3/s, inflow[i - 1] is the inflow of step i
    float inflowPeakIndex = 0;  // step of the peak, a real; 0 when no inflow reaches 0.01
};

/// Where each completed step goes.
struct RoutingOutput {
    RecordSink& outflow;    // transformovana_povoden
    RecordSink& level;      // vyska_vody
    RecordSink& klemesRows; // tab_min_radek_pro_klemese
    std::function<void(std::int64_t)> printStep;
};

/// The 21 transformation curves of a reservoir as the Klemes step uses them.
std::vector<KlemesCurve> buildKlemesCurves(const ReservoirTables& tables);

class Router {
public:
    Router(const RoutingInput& input, const std::vector<CurveRow>& curve,
           const std::vector<KlemesCurve>& klemesCurves, const RoutingOutput& output);

    /// Steps 1 ... n in order; takes the error exit (throws ErrorExit) on
    /// ERROR 3 or overtopping, after the records of the earlier steps.
    void routeFloodWave();
    void routeStep(std::int64_t i);

    // Series, entry 0 the state before the first step.
    const std::vector<float>& levelSeries() const { return m_level; }
    const std::vector<float>& outflow() const { return m_outflow; }
    std::int64_t routedVolumeAboveCrest() const { return m_routedVolume; }
    int chosenOpening() const { return m_chosenOpening; }

private:
    void applyRules(std::int64_t i);
    // Klemes on curve p, logged; the raised variant never lets the outflow
    // fall below the outlets' capacity.
    void klemesOnCurve(std::int64_t i, int p, bool raiseToOutlets);
    void continuousManipulation(std::int64_t i);
    void setOutlets(std::int64_t i, float outflow, float volumeChange);
    StorageLine storageLine(std::int64_t i) const;

    const RoutingInput& m_in;
    const std::vector<CurveRow>& m_curve;
    const std::vector<KlemesCurve>& m_klemes;
    const RoutingOutput& m_out;
    RowSink m_logRow;

    std::vector<float> m_level, m_storedVolume, m_volumeChange, m_outletCapacity, m_outflow,
        m_netVolume;
    std::int64_t m_routedVolume = 0; // W, volume above the crest carried between steps
    std::array<float, kOpeningCount> m_openingFlow{};
    int m_chosenOpening = 0;
};

} // namespace veldron
