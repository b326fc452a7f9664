// Each operating rule by what it does: a short run of the real core on a
// prismatic reservoir per rule and per side of each boundary the rules compare
// (RO, RN, RN + Z, the peak step, Q_prev against Q_in), the outflow and the
// volume change of the step the rule decides checked against arithmetic done
// here (the prism's formulas, the storage line met exactly), never against
// the rule's own code.
#include "tests/support/prism_model.h"

#include <gtest/gtest.h>

#include <functional>

using veldron::testing::Prism;
using veldron::testing::PrismOptions;

namespace {

struct Effect {
    double outflow;      // m3/s
    double volumeChange; // m3
    double tolerance;    // m3/s on the outflow
};

struct RuleCase {
    const char* decides; // the rule and the side of the boundary
    PrismOptions options;
    double start; // m
    std::vector<double> inflow;
    std::size_t step; // the step the rule decides, 1-based
    std::function<Effect(const Prism&)> expected;
    double storageTop = 8.0; // RO, m
};

Effect closed(const Prism& p, double qIn) {
    return {0.0, qIn * p.dt, 1e-5};
}
// The outlets fully open at the level of the step before: for steps 1 and 2
// alike, the start level.
Effect open(const Prism& p, double level, double qIn) {
    const double qo = p.outlets(level);
    return {qo, (qIn - qo) * p.dt, 1e-5};
}
// A Klemes step meets the line on samples 1 l/s apart, with whole-number volumes.
Effect klemes(const Prism& p, int opening, double qIn, double w) {
    const double q = p.meet(opening, qIn, w).value().flow;
    return {q, (qIn - q) * p.dt, 0.005};
}

PrismOptions mode(int m, int keepClosed = 0) {
    PrismOptions o;
    o.mode = m;
    o.keepClosed = keepClosed;
    return o;
}
PrismOptions zone(PrismOptions o, double height) {
    o.zone = height;
    return o;
}
// Outlets open below the crest too, so a release above it may take the level below.
PrismOptions openBelowTheCrest(PrismOptions o) {
    o.preControlled = 1;
    return o;
}
PrismOptions below(int preStorage, int preControlled, int emptyAfter) {
    PrismOptions o;
    o.preStorage = preStorage;
    o.preControlled = preControlled;
    o.emptyAfter = emptyAfter;
    return o;
}

// The prism: 1000 m2, RO 8 m, RN 10 m, Z 0.5 m, one outlet of 0.5 m (mu 0.6),
// a spillway of 20 m (m 0.38), steps of 10 minutes.
// One case to two lines: what decides, the options, the start level, the
// inflows, the step; then what it does.
// clang-format off
const RuleCase kCases[] = {
    // The storage space includes RO; before the peak the pre-release option decides.
    {"R8 at RO, before the peak, closed", below(0, 1, 1), 8.0, {1, 2, 1}, 1,
     [](const Prism& p) { return closed(p, 1); }},
    {"R9 at RO, before the peak, open", below(1, 0, 0), 8.0, {1, 2, 1}, 1,
     [](const Prism& p) { return open(p, 8.0, 1); }},
    {"R10 just above RO, closed", below(1, 0, 1), 8.001, {1, 2, 1}, 1,
     [](const Prism& p) { return closed(p, 1); }},
    {"R11 just below RN, open", below(0, 1, 0), 9.999, {3, 1}, 1,
     [](const Prism& p) { return open(p, 9.999, 3); }},
    // The spillway range includes RN.
    {"R1 at RN, outlets open", below(0, 1, 0), 10.0, {3, 1}, 1,
     [](const Prism& p) { return klemes(p, 20, 3, 0); }},
    {"R2 at RN, kept closed", mode(1, 1), 10.0, {3, 1}, 1,
     [](const Prism& p) { return klemes(p, 0, 3, 0); }},
    {"R3 Q_prev < Q_in, closed", mode(1), 10.0, {0.5, 0.5}, 1,
     [](const Prism& p) { return klemes(p, 0, 0.5, 0); }},
    {"R4 Q_prev = Q_in, raised to the outlets", openBelowTheCrest(mode(1)), 10.0, {0, 0}, 1,
     [](const Prism& p) { return open(p, 10.0, 0); }},
    // The manipulation zone includes RN + Z while rising.
    {"R5 at RN + Z, rising", openBelowTheCrest(zone(mode(2), 0.125)), 10.125, {1, 1}, 1,
     [](const Prism& p) { return open(p, 10.125, 1); }},
    // The ungated spillway alone passes more than the outlets' capacity: the
    // outlets close and the spillway decides, from the 500 m3 above the crest.
    {"R5 under the spillway's floor", mode(2), 10.5, {2, 2}, 1,
     [](const Prism& p) { return klemes(p, 0, 2, 500); }},
    {"R6 above RN + Z, spillway only, from the 600 m3 above the crest", mode(2), 10.6, {2, 2}, 1,
     [](const Prism& p) { return klemes(p, 0, 2, 600); }},
    {"R7 in the zone, Q_prev > Q_in", openBelowTheCrest(mode(2)), 10.2, {2, 0.5, 0.5}, 2,
     [](const Prism& p) { return open(p, 10.2, 0.5); }},
    // Where the outlets close below the crest, a release that would take the
    // level below it ends at the crest: the inflow and the 200 m3 above it.
    {"R4 raised, closed below the crest: held at the crest", mode(1), 10.2, {0, 0}, 1,
     [](const Prism&) { return Effect{200.0 / 600.0, -200.0, 1e-5}; }},
    // With RO at the crest there is no controlled space to close the outlets in.
    {"R4 raised, RO at the crest: not held", mode(1), 10.2, {0, 0}, 1,
     [](const Prism& p) { return open(p, 10.2, 0); }, 10.0},
    // The peak: the last step holding the largest inflow counts as from the peak on.
    {"R15 at the peak step, closed", below(1, 0, 0), 5.0, {1, 2, 1}, 2,
     [](const Prism& p) { return closed(p, 2); }},
    {"R16 at the peak step, emptying", below(0, 0, 1), 5.0, {1, 2, 1}, 2,
     [](const Prism& p) { return open(p, 5.0, 2); }},
    {"R9 before the later of two equal peaks", below(1, 0, 0), 5.0, {1, 2, 2, 1}, 2,
     [](const Prism& p) { return open(p, 5.0, 2); }},
    {"R15, no inflow of 0.01: all from the peak on", below(1, 0, 0), 5.0, {0.005, 0.005}, 1,
     [](const Prism& p) { return closed(p, 0.005); }},
};
// clang-format on

} // namespace

TEST(OperatingRuleEffects, EachRuleReleasesAndStoresWhatItSays) {
    for (const RuleCase& c : kCases) {
        Prism prism;
        prism.options = c.options;
        prism.storageTop = c.storageTop;
        const auto run = veldron::testing::runCase(prism.files(c.start, c.inflow));
        ASSERT_EQ(run.status, 0) << c.decides;
        ASSERT_GT(run.level.size(), c.step) << c.decides;
        const Effect want = c.expected(prism);
        const double stored = (run.level[c.step] - run.level[c.step - 1]) * prism.area;
        EXPECT_NEAR(run.outflow[c.step - 1], want.outflow, want.tolerance) << c.decides;
        EXPECT_NEAR(stored, want.volumeChange, want.tolerance * prism.dt + 0.05) << c.decides;
    }
}
