// The time loop: volume balance, overtopping stop and the ordered operating rules.
#pragma once

#include "core/klemes/klemes.h"
#include "core/tables/bathygraphic_curve.h"
#include "core/tables/reservoir_tables.h"
#include "exchange/record_writer.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace veldron {

/// The operator's choices for the bottom outlets.
struct OperatingOptions {
    float storageTopHeight = 0;        // RO, m above the bottom
    float manipulationZoneHeight = 0;  // Z, m above the crest
    std::int32_t manipulationMode = 0; // 0 open, 1 closed, 2 gradual manipulation
    std::int32_t keepClosedAfterPeak = 0;
    float preReleaseStorage = 0; // 0.0 or 1.0; anything else selects no rule
    float preReleaseControlled = 0;
    float emptyAfterFlood = 0;
};

/// The operating rules in the order they are tried; None when no rule holds.
enum class Rule { None, R1, R2, R3, R4, R5, R6, R7, R8, R9, R10, R11, R12, R13, R14, R15, R16 };

/// What the rules of step i look at.
struct RuleState {
    float level = 0;                  // H, at the start of step i
    float inflow = 0;                 // Q_in of step i
    float previousOutflow = 0;        // outflow of step i - 1
    float outletCapacity = 0;         // Q_o of step i (outlets fully open at the previous level)
    float previousOutletCapacity = 0; // Q_o of step i - 1
    float previousNetVolume = 0;      // dt (Q_in - Q_out) of step i - 1
    bool beforePeak = false;          // i < inflowPeakIndex
};

/// The first rule whose condition holds. A level exactly at the crest is
/// above it, exactly at the storage top is in the storage space; 0/1 options
/// match only 0.0 (either sign) and exactly 1.0.
Rule selectRule(const RuleState& state, const OperatingOptions& options, float crestHeight);

/// Everything the routing reads.
struct RoutingInput {
    float crestHeight = 0;     // RN, m
    float retentionHeight = 0; // m
    // The volume at the crest, gridVolume[1] [m3]; empty without a crest grid.
    std::optional<float> crestVolume;
    std::int32_t outletCoefficientScaled = 0;
    float outletArea = 0; // m2
    OperatingOptions options;
    float timeStepSeconds = 0;        // dt
    float startLevel = 0;             // m
    float startVolume = 0;            // m3
    std::vector<float> inflow;        // m3/s, inflow[i - 1] is the inflow of step i
    float inflowPeakIndex = 0;        // step of the peak, a real; 0 when no inflow reaches 0.01
    KlemesSolver solver = klemesStep; // the scans stand in where whole runs are compared
};

/// Where each completed step goes.
struct RoutingOutput {
    exchange::RecordSink& outflow;    // transformovana_povoden
    exchange::RecordSink& level;      // vyska_vody
    exchange::RecordSink& klemesRows; // tab_min_radek_pro_klemese
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

    /// Steps completed, their records written: 1 ... stepsDone().
    std::int64_t stepsDone() const { return m_stepsDone; }
    /// The level [m] the last step completed ended at: the curve's level of
    /// the volume it left stored, as the next step would look it up; none
    /// when the curve cannot give it.
    std::optional<float> levelAfterLastStep() const;
    // Series, entry 0 the state before the first step.
    const std::vector<float>& levelSeries() const { return m_level; }
    const std::vector<float>& outflow() const { return m_outflow; }
    std::int64_t routedVolumeAboveCrest() const { return m_routedVolume; }

private:
    void applyRule(std::int64_t i, Rule rule);
    // Klemes on curve p, logged; the raised variant never lets the outflow
    // fall below the outlets' capacity.
    void klemesOnCurve(std::int64_t i, int p, bool raiseToOutlets);
    void continuousManipulation(std::int64_t i);
    // A logged Klemes step on curve p that chose no row.
    void noRowChosen(std::int64_t i, int p);
    void holdAtCrest(std::int64_t i);
    // The storage top held where the outlets close below it: a release from
    // above that would end below RO ends at RO; a level held there stays
    // while the open outlets could pass the inflow. Each returns whether it
    // decided the step.
    bool endAtStorageTop(std::int64_t i, bool beforePeak);
    bool holdLevelAtStorageTop(std::int64_t i, const RuleState& state, Rule rule);
    void setOutlets(std::int64_t i, float outflow, float volumeChange);
    StorageLine storageLine(std::int64_t i) const;
    // The stored volume above the crest as a whole number, 0 below it.
    std::int64_t volumeAboveCrest(float storedVolume) const;

    const RoutingInput& m_in;
    const std::vector<CurveRow>& m_curve;
    const std::vector<KlemesCurve>& m_klemes;
    const RoutingOutput& m_out;
    RowSink m_logRow;

    std::vector<float> m_level, m_storedVolume, m_volumeChange, m_outletCapacity, m_outflow,
        m_netVolume;
    std::int64_t m_stepsDone = 0;
    std::int64_t m_routedVolume = 0; // W, volume above the crest carried between steps
    std::array<float, kOpeningCount> m_openingFlow{};
    int m_chosenOpening = 0;
    std::optional<float> m_storageTopVolume; // at RO, when RO lies in the curve below the crest
    bool m_heldAtStorageTop = false;         // the step before ended at RO by the hold
};

} // namespace veldron
