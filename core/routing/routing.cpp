// The time loop: volume balance, overtopping stop and the ordered operating rules.
#include "core/routing/routing.h"

#include "core/errors.h"

#include <algorithm>
#include <cmath>

namespace veldron {

namespace {

constexpr double kReopenMargin = 0.00001f; // m3/s kept below the outlets' capacity

bool isZero(float option) {
    return option == 0.0f;
} // 0.0 of either sign
bool isOne(float option) {
    return option == 1.0f;
}

} // namespace

std::vector<KlemesCurve> buildKlemesCurves(const ReservoirTables& tables) {
    std::vector<KlemesCurve> curves;
    curves.reserve(kOpeningCount);
    for (int p = 0; p < kOpeningCount; ++p)
        curves.emplace_back(tables.volumeAboveCrest, tables.klemesCurve[p]);
    return curves;
}

Router::Router(const RoutingInput& input, const std::vector<CurveRow>& curve,
               const std::vector<KlemesCurve>& klemesCurves, const RoutingOutput& output)
    : m_in(input), m_curve(curve), m_klemes(klemesCurves), m_out(output) {
    const std::size_t n = input.inflow.size() + 1;
    m_level.assign(n, 0.0f);
    m_storedVolume.assign(n, 0.0f);
    m_volumeChange.assign(n, 0.0f);
    m_outletCapacity.assign(n, 0.0f);
    m_outflow.assign(n, 0.0f);
    m_netVolume.assign(n, 0.0f);
    m_level[0] = input.startLevel;
    m_storedVolume[0] = input.startVolume;
    // The storage top is held only where it lies in the curve below the crest.
    if (input.options.storageTopHeight < input.crestHeight)
        m_storageTopVolume =
            volumeAtLevel(curve, input.options.storageTopHeight, Bracket::Inclusive);
    m_logRow = [this](const KlemesRow& row) {
        m_out.klemesRows.write({row.flow, row.lineVolume, row.curveVolume, row.gap});
    };
}

void Router::routeFloodWave() {
    const auto n = static_cast<std::int64_t>(m_in.inflow.size());
    for (std::int64_t i = 1; i <= n; ++i)
        routeStep(i);
}

void Router::routeStep(std::int64_t i) {
    m_outletCapacity[i] =
        outletDischarge(m_level[i - 1], m_in.outletCoefficientScaled, m_in.outletArea);
    m_storedVolume[i] =
        static_cast<float>(static_cast<double>(m_storedVolume[i - 1]) + m_volumeChange[i - 1]);
    const std::optional<float> level = levelAtVolume(m_curve, m_storedVolume[i]);
    if (!level) throw ErrorExit{ErrorExit::StepLevelOffCurve, i};
    m_level[i] = *level;
    if (m_level[i] >= static_cast<double>(m_in.crestHeight) + m_in.retentionHeight)
        throw ErrorExit{ErrorExit::Overtopping, i};
    // Entering the spillway range, the transformation curves start from the
    // volume the reservoir holds above the crest, not from wherever W was
    // left: otherwise the outflow would belong to a lower reservoir than the
    // level series shows.
    if (m_level[i] >= m_in.crestHeight && (i == 1 || m_level[i - 1] < m_in.crestHeight))
        m_routedVolume = volumeAboveCrest(m_storedVolume[i]);

    const RuleState state{m_level[i],
                          m_in.inflow[i - 1],
                          m_outflow[i - 1],
                          m_outletCapacity[i],
                          m_outletCapacity[i - 1],
                          m_netVolume[i - 1],
                          static_cast<double>(i) < m_in.inflowPeakIndex};
    const Rule rule = selectRule(state, m_in.options, m_in.crestHeight);
    if (!holdLevelAtStorageTop(i, state, rule)) {
        applyRule(i, rule);
        holdAtCrest(i);
        m_heldAtStorageTop = endAtStorageTop(i, state.beforePeak);
    }

    const double dt = m_in.timeStepSeconds;
    m_netVolume[i] = static_cast<float>(dt * m_in.inflow[i - 1] - dt * m_outflow[i]);
    m_out.outflow.write({m_outflow[i]});
    m_out.level.write({m_level[i]});
    m_stepsDone = i;
    if (m_out.printStep) m_out.printStep(i);
}

std::optional<float> Router::levelAfterLastStep() const {
    const auto i = static_cast<std::size_t>(m_stepsDone);
    return levelAtVolume(
        m_curve, static_cast<float>(static_cast<double>(m_storedVolume[i]) + m_volumeChange[i]));
}

StorageLine Router::storageLine(std::int64_t i) const {
    return StorageLine{m_in.inflow[i - 1], m_in.timeStepSeconds, m_routedVolume};
}

void Router::setOutlets(std::int64_t i, float outflow, float volumeChange) {
    m_outflow[i] = outflow;
    m_volumeChange[i] = volumeChange;
}

std::int64_t Router::volumeAboveCrest(float storedVolume) const {
    if (!m_in.crestVolume) return 0;
    const double above = static_cast<double>(storedVolume) - *m_in.crestVolume;
    return above > 0 ? cutTowardZero(above) : 0;
}

void Router::klemesOnCurve(std::int64_t i, int p, bool raiseToOutlets) {
    const bool fromCrest = m_routedVolume <= 0;
    const StorageLine line = storageLine(i);
    // Every chosen row is applied in turn; the last one decides the step.
    const std::optional<KlemesRow> row = m_in.solver(m_klemes[p], line, &m_logRow);
    if (!row) return noRowChosen(i, p);
    const double qIn = m_in.inflow[i - 1];
    float outflow = row->flow;
    m_routedVolume = cutTowardZero(row->lineVolume);
    // Raised to the outlets' capacity, the step releases more than the row
    // it met: the volume above the crest is the storage line's at what it
    // released, or the curves would go on from a fuller reservoir than the
    // level shows (and more outlets, open longer, could end higher).
    if (raiseToOutlets && !(row->flow >= m_outletCapacity[i])) {
        outflow = m_outletCapacity[i];
        m_routedVolume = cutTowardZero(lineVolume(line, outflow));
    }
    // At the crest the curve rises straight from the origin to what the open
    // outlets release there, so the step could release no more than the
    // inflow and open outlets would hold the level at the crest for ever.
    // Starting and ending at the crest they release their crest discharge
    // instead, and the level falls below the crest, where the rules below it
    // decide. A storage line that ends a cubic metre left of the origin (the
    // nearest sample on the vertical part) leaves W = -1: that is the crest too.
    const std::vector<float>& flow = m_klemes[p].y();
    if (fromCrest && m_routedVolume <= 0 && flow.size() > 1 && outflow < flow[1]) outflow = flow[1];
    setOutlets(i, outflow, static_cast<float>((qIn - outflow) * m_in.timeStepSeconds));
}

void Router::continuousManipulation(std::int64_t i) {
    const StorageLine line = storageLine(i);
    const float qo = m_outletCapacity[i];
    for (int p = 0; p < kOpeningCount; ++p)
        if (const auto row = m_in.solver(m_klemes[p], line, nullptr)) m_openingFlow[p] = row->flow;

    // The spillway is ungated: where it alone passes more than the outlets'
    // capacity, closing the outlets cannot bring the outflow down to that
    // capacity. The outlets close and the spillway decides the step.
    if (m_openingFlow[0] > qo) {
        m_chosenOpening = 0;
        return klemesOnCurve(i, 0, false);
    }

    std::array<float, kOpeningCount> gap{};
    float smallest = kNoGap;
    for (int p = 0; p < kOpeningCount; ++p) {
        gap[p] = static_cast<float>(std::fabs(static_cast<double>(m_openingFlow[p]) - qo));
        if (gap[p] <= smallest) smallest = gap[p];
    }
    // The largest opening among equal gaps; none equal keeps the last choice.
    for (int p = kOpeningCount; p-- > 0;)
        if (gap[p] == smallest) {
            m_chosenOpening = p;
            break;
        }

    const std::optional<KlemesRow> row = m_in.solver(m_klemes[m_chosenOpening], line, &m_logRow);
    if (!row) return noRowChosen(i, m_chosenOpening);
    // The step releases the outlets' capacity, not the chosen row's discharge:
    // the volume above the crest is the storage line's at what it released.
    m_routedVolume = cutTowardZero(lineVolume(line, qo));
    setOutlets(i, qo,
               static_cast<float>((static_cast<double>(line.inflow) - qo) * m_in.timeStepSeconds));
}

void Router::noRowChosen(std::int64_t i, int p) {
    // No sample lies within reach of the storage line. When even the curve's
    // largest sample leaves more water than the curve holds below the
    // overtopping level, the flood needs more than the reservoir can release:
    // it overtops in this step.
    const KlemesCurve& curve = m_klemes[p];
    const StorageLine line = storageLine(i);
    if (curve.sampleCount() > 0 &&
        lineVolume(line, curve.sampleFlow(curve.sampleCount())) > curve.x().back())
        throw ErrorExit{ErrorExit::Overtopping, i};
    // Otherwise nothing is released and the whole inflow is stored, so no
    // water leaves the account; the volume above the crest stays unchanged.
    setOutlets(i, 0.0f, static_cast<float>(static_cast<double>(line.inflow) * line.timeStep));
}

// Outlets opened above the crest release, over a whole step, far more than
// the little the reservoir holds just above it. Where the rules below the
// crest keep the outlets closed, the level would drop below the crest, the
// outlets close, the inflow lifts it back and they open again a step later:
// an outflow swinging between nothing and full capacity around a level held
// at the crest on average. An operator holds the crest instead, as the
// reservoir itself would in continuous time: the step releases the inflow
// and what lies above the crest, and ends at the crest.
void Router::holdAtCrest(std::int64_t i) {
    const OperatingOptions& o = m_in.options;
    if (!m_in.crestVolume || m_level[i] < m_in.crestHeight) return;
    if (!isZero(o.preReleaseControlled) || !(o.storageTopHeight < m_in.crestHeight)) return;
    const double stored = m_storedVolume[i];
    const double crest = *m_in.crestVolume;
    if (stored + m_volumeChange[i] >= crest) return;
    const double above = std::max(stored - crest, 0.0);
    const double qIn = m_in.inflow[i - 1];
    const double held = qIn + above / m_in.timeStepSeconds;
    if (!(m_outflow[i] > held)) return;
    setOutlets(i, static_cast<float>(held), static_cast<float>(-above));
    m_routedVolume = 0;
}

// Where the outlets close below the storage top RO (before the peak by the
// pre-release option, from the peak on by the emptying option), a release
// from above RO that would take the level below it swings like the crest's:
// closed below RO the inflow lifts the level back over it, the outlets open
// a step later and release a whole step's capacity. An operator closes them
// as the level reaches RO: the step releases the inflow and what lies above
// RO, and ends at RO.
bool Router::endAtStorageTop(std::int64_t i, bool beforePeak) {
    const OperatingOptions& o = m_in.options;
    if (!m_storageTopVolume || !(m_level[i] > o.storageTopHeight)) return false;
    if (!isZero(beforePeak ? o.preReleaseStorage : o.emptyAfterFlood)) return false;
    const double stored = m_storedVolume[i];
    const double top = *m_storageTopVolume;
    if (stored + m_volumeChange[i] >= top) return false;
    const double above = std::max(stored - top, 0.0);
    const double held = static_cast<double>(m_in.inflow[i - 1]) + above / m_in.timeStepSeconds;
    if (!(m_outflow[i] > held)) return false;
    setOutlets(i, static_cast<float>(held), static_cast<float>(-above));
    return true;
}

// A level held at RO stays there while the outlets, open above it, can pass
// the inflow: the step releases the inflow and stores nothing. A larger
// inflow is stored by the closed rule below RO and lifts the level over it,
// where the open outlets release their capacity.
bool Router::holdLevelAtStorageTop(std::int64_t i, const RuleState& state, Rule rule) {
    const bool closedBelow = rule == Rule::R8 || rule == Rule::R15;
    if (!m_heldAtStorageTop || !closedBelow || !isOne(m_in.options.preReleaseControlled) ||
        !(state.inflow <= state.outletCapacity))
        return false;
    setOutlets(i, state.inflow, 0.0f);
    return true;
}

namespace {

// What the operating rules compare in step i, named as core/README.md's rule
// table names it. Levels compare as floats; RN + Z in double.
struct Situation {
    const RuleState& s;
    const OperatingOptions& o;
    float rn; // the crest

    bool atOrAboveCrest() const { return s.level >= rn; }
    bool inStorage() const { return s.level <= o.storageTopHeight; }
    bool aboveStorage() const { return o.storageTopHeight < s.level; }
    bool inControlled() const { return aboveStorage() && s.level < rn; }
    bool upToCrest() const { return aboveStorage() && s.level <= rn; }
    double zoneTop() const { return static_cast<double>(rn) + o.manipulationZoneHeight; }
    bool inZone() const { return atOrAboveCrest() && s.level <= zoneTop(); }
    bool atOrAboveZoneTop() const { return s.level >= zoneTop(); }
    bool mode(int m) const { return o.manipulationMode == m; }
    bool keepClosed(int k) const { return o.keepClosedAfterPeak == k; }
    bool rising() const { return s.previousOutflow < s.inflow; }
    bool risingOrSteady() const { return s.previousOutflow <= s.inflow; }
    bool steadyOrFalling() const { return s.previousOutflow >= s.inflow; }
    bool falling() const { return s.previousOutflow > s.inflow; }
    bool fromPeak() const { return !s.beforePeak; }
    bool filled() const { return s.previousNetVolume > 0; }
    bool drained() const { return s.previousNetVolume < 0; }
    bool belowCapacity() const { return s.previousOutflow < s.previousOutletCapacity; }
    bool emptyingChosen() const { return isZero(o.emptyAfterFlood) || isOne(o.emptyAfterFlood); }
};

using Condition = bool (*)(const Situation&);

// The rules in the order they are tried: the first that holds decides the step.
constexpr std::pair<Rule, Condition> kRuleTable[] = {
    {Rule::R1, [](const Situation& x) { return x.atOrAboveCrest() && x.mode(0); }},
    {Rule::R2,
     [](const Situation& x) { return x.atOrAboveCrest() && x.mode(1) && x.keepClosed(1); }},
    {Rule::R3,
     [](const Situation& x) {
         return x.atOrAboveCrest() && x.mode(1) && x.keepClosed(0) && x.rising();
     }},
    {Rule::R4,
     [](const Situation& x) {
         return x.atOrAboveCrest() && x.mode(1) && x.keepClosed(0) && x.steadyOrFalling();
     }},
    {Rule::R5, [](const Situation& x) { return x.inZone() && x.mode(2) && x.risingOrSteady(); }},
    {Rule::R6, [](const Situation& x) { return x.atOrAboveZoneTop() && x.mode(2); }},
    {Rule::R7, [](const Situation& x) { return x.atOrAboveCrest() && x.mode(2) && x.falling(); }},
    {Rule::R8,
     [](const Situation& x) {
         return x.inStorage() && x.s.beforePeak && isZero(x.o.preReleaseStorage);
     }},
    {Rule::R9,
     [](const Situation& x) {
         return x.inStorage() && x.s.beforePeak && isOne(x.o.preReleaseStorage);
     }},
    {Rule::R10,
     [](const Situation& x) {
         return x.inControlled() && x.s.inflow >= 0 && isZero(x.o.preReleaseControlled);
     }},
    {Rule::R11,
     [](const Situation& x) {
         return x.inControlled() && x.s.inflow >= 0 && isOne(x.o.preReleaseControlled);
     }},
    {Rule::R12,
     [](const Situation& x) {
         return x.aboveStorage() && x.belowCapacity() && x.emptyingChosen() && x.filled();
     }},
    {Rule::R13,
     [](const Situation& x) {
         return x.upToCrest() && x.fromPeak() && isZero(x.o.emptyAfterFlood) && x.drained();
     }},
    {Rule::R14,
     [](const Situation& x) {
         return x.upToCrest() && x.fromPeak() && isOne(x.o.emptyAfterFlood) && x.drained();
     }},
    {Rule::R15, [](const Situation& x) { return x.inStorage() && isZero(x.o.emptyAfterFlood); }},
    {Rule::R16, [](const Situation& x) { return x.inStorage() && isOne(x.o.emptyAfterFlood); }},
};

} // namespace

Rule selectRule(const RuleState& state, const OperatingOptions& options, float crestHeight) {
    const Situation situation{state, options, crestHeight};
    for (const auto& [rule, holds] : kRuleTable)
        if (holds(situation)) return rule;
    return Rule::None;
}

void Router::applyRule(std::int64_t i, Rule rule) {
    const float qIn = m_in.inflow[i - 1];
    const float qo = m_outletCapacity[i];
    const double dt = m_in.timeStepSeconds;
    auto closed = [&] { setOutlets(i, 0.0f, static_cast<float>(static_cast<double>(qIn) * dt)); };
    auto open = [&] {
        setOutlets(i, qo, static_cast<float>((static_cast<double>(qIn) - qo) * dt));
    };
    switch (rule) {
    case Rule::R1:
        return klemesOnCurve(i, 20, false); // spillway and outlets fully open
    case Rule::R2:
    case Rule::R3:
    case Rule::R6:
        return klemesOnCurve(i, 0, false); // spillway only
    case Rule::R4:
        return klemesOnCurve(i, 0, true); // spillway, outflow at least the outlets' capacity
    case Rule::R5:
    case Rule::R7:
        return continuousManipulation(i);
    case Rule::R8:
    case Rule::R10:
    case Rule::R13:
    case Rule::R15:
        return closed();
    case Rule::R9:
    case Rule::R11:
    case Rule::R16:
        return open();
    case Rule::R12: // just below capacity, so the condition holds again next step
        return setOutlets(i, static_cast<float>(qo - kReopenMargin),
                          static_cast<float>((static_cast<double>(qIn) - qo - kReopenMargin) * dt));
    case Rule::R14:
        return setOutlets(i, qo,
                          static_cast<float>((static_cast<double>(qIn) - qo - kReopenMargin) * dt));
    case Rule::None:
        return; // no outflow and no volume change
    }
}

} // namespace veldron
