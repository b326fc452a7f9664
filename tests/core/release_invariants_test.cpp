// What more ability to release must never do: raise the highest level. An
// operator who opens outlets can never end higher than one who keeps them
// shut, nor can more outlets end higher than fewer. Checked on the prism and
// on reservoirs the test draws itself, besides the faults that broke it.
#include "testkit/reservoir_case.h"
#include "tests/support/prism_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <random>

using veldron::testing::number;
using veldron::testing::Prism;
using veldron::testing::ReservoirCase;
using veldron::testing::RunRecords;

namespace {

// How high a run went: its highest level, or the step before which it
// overtopped. A run that emptied the reservoir below its curve (ERROR 3)
// says nothing of how high the flood would have gone.
struct Height {
    double highest = 0; // m
    std::size_t stepsBeforeOvertopping = 0;
    bool overtopped = false;
    bool emptied = false;
};

Height heightOf(const RunRecords& run) {
    Height h;
    h.overtopped =
        run.status == 1 && run.summary.find("přelití nádrže v kroku") != std::string::npos;
    h.emptied = run.status != 0 && !h.overtopped;
    h.stepsBeforeOvertopping = run.level.size();
    for (const double level : run.level)
        h.highest = std::max(h.highest, level);
    return h;
}

// `a` ends no higher than `b`, within a millimetre: it overtops no sooner.
::testing::AssertionResult noHigher(const Height& a, const Height& b) {
    if (a.emptied || b.emptied) return ::testing::AssertionSuccess();
    if (b.overtopped ? !a.overtopped || a.stepsBeforeOvertopping >= b.stepsBeforeOvertopping
                     : !a.overtopped && a.highest <= b.highest + 0.001)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << (a.overtopped ? "overtopped after " + std::to_string(a.stepsBeforeOvertopping)
                            : "highest " + number(a.highest))
           << " against "
           << (b.overtopped ? "overtopped after " + std::to_string(b.stepsBeforeOvertopping)
                            : "highest " + number(b.highest));
}

ReservoirCase with(ReservoirCase c,
                   std::initializer_list<std::pair<const char*, std::string>> values) {
    for (const auto& [name, text] : values)
        c.values[name] = text;
    return c;
}

Height height(const ReservoirCase& c) {
    return heightOf(veldron::testing::runCase(c));
}

// The same flood released by ever more: outlets kept closed above the crest
// (mode 1), gradual manipulation (mode 2), outlets open (mode 0); and in each
// mode one outlet more.
void expectMoreReleaseNeverHigher(const ReservoirCase& c, const std::string& name) {
    const Height closed = height(with(c, {{"IN_MANIP_0_1_2", "1"}, {"IN_MANIP1_0_1", "1"}}));
    const Height gradual = height(with(c, {{"IN_MANIP_0_1_2", "2"}}));
    const Height open = height(with(c, {{"IN_MANIP_0_1_2", "0"}}));
    EXPECT_TRUE(noHigher(gradual, closed)) << name << ": mode 2 against mode 1 kept closed";
    EXPECT_TRUE(noHigher(open, gradual)) << name << ": mode 0 against mode 2";
    const int outlets = std::stoi(c.values.at("IN_NUMBER_OF_OUTLET"));
    for (const char* mode : {"0", "1", "2"}) {
        const ReservoirCase fewer = with(c, {{"IN_MANIP_0_1_2", mode}});
        const ReservoirCase more =
            with(fewer, {{"IN_NUMBER_OF_OUTLET", std::to_string(outlets + 1)}});
        EXPECT_TRUE(noHigher(height(more), height(fewer)))
            << name << ": mode " << mode << ", " << outlets + 1 << " outlets against " << outlets;
    }
}

const ReservoirCase& sample() {
    static const ReservoirCase c =
        ReservoirCase::read(std::filesystem::path(VELDRON_SOURCE_DIR) / "data/sample");
    return c;
}

// A valley reservoir of random size, dam, options and flood.
ReservoirCase drawReservoir(std::mt19937& random) {
    auto uniform = [&](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    const double scale = uniform(0.2, 3.0);
    ReservoirCase c = ReservoirCase::valley(scale);
    const double crest = uniform(9.0, 13.0);
    const double storageTop = crest - uniform(0.5, 4.0);
    c.values["IN_START_RN_OWERFLOW"] = number(crest);
    c.values["IN_TOTAL_HEIGHT_OWERFLOW"] = number(uniform(1.0, 4.0));
    c.values["IN_START_RO"] = number(storageTop);
    c.values["IN_START_VYP"] = number(uniform(storageTop - 1.0, crest + 0.3));
    c.values["IN_NUMBER_OF_OUTLET"] = std::to_string(pick(4));
    c.values["IN_OUTLET_DIAMETER"] = number(uniform(0.4, 1.6));
    c.values["IN_WIDTH_SPILLWAY_B0"] = number(uniform(8.0, 60.0));
    c.values["IN_MANPR"] = number(uniform(0.1, 1.5));
    const int minutes = std::array{5, 10, 15, 20, 30, 60}[static_cast<std::size_t>(pick(6))];
    c.values["IN_TIME_STEP_min"] = std::to_string(minutes);
    std::vector<double> hourly = std::move(c.inflow);
    c.inflow.clear();
    for (const double q : hourly)
        c.inflow.insert(c.inflow.end(), static_cast<std::size_t>(60 / minutes), q);
    for (const char* option : {"IN_PREDP1_0_1", "IN_PREDP2_0_1", "IN_PREDP3_0_1"})
        c.values[option] = std::to_string(pick(2));
    const double flood = uniform(0.3, 2.0);
    for (double& q : c.inflow)
        q *= flood;
    return c;
}

// The spillway alone at a level, as the core's grid formula gives it (m3/s).
double spillwayAt(const ReservoirCase& c, double level) {
    const double head = level - std::stod(c.values.at("IN_START_RN_OWERFLOW"));
    return head <= 0 ? 0.0
                     : std::stod(c.values.at("IN_COEFFICIENT_OVERFLOW_m")) / 1000.0 *
                           std::stod(c.values.at("IN_WIDTH_SPILLWAY_B0")) * std::sqrt(19.62) *
                           std::pow(head, 1.5);
}

} // namespace

// Each fault as it was found, then the invariants it broke on every reservoir.
TEST(ReleaseInvariants, TheFaultsFoundStayMended) {
    const struct {
        const char* fault;
        std::function<void()> check;
    } faults[] = {
        {"the sample in gradual manipulation ends higher than with the outlets kept closed",
         [] { expectMoreReleaseNeverHigher(sample(), "the sample"); }},
        {"without outlets the manipulation zone releases nothing while the spillway overflows",
         [] {
             const ReservoirCase c = with(sample(), {{"IN_NUMBER_OF_OUTLET", "0"}});
             const RunRecords run = veldron::testing::runCase(c);
             ASSERT_EQ(run.status, 0);
             // A step that starts at or above the crest releases at least what
             // the spillway passes at the level it ends at (the transformation
             // curve's chords lie a little above the formula).
             for (std::size_t i = 0; i + 1 < run.level.size(); ++i) {
                 if (run.level[i] < 12.0) continue;
                 EXPECT_GE(run.outflow[i], 0.98 * spillwayAt(c, run.level[i + 1]))
                     << "step " << i + 1;
             }
         }},
        {"the level chatters around the storage top after the flood",
         [] {
             // Outlets open above RO, closed below it after the flood, steps of two hours.
             const ReservoirCase c = with(
                 sample(),
                 {{"IN_PREDP2_0_1", "1"}, {"IN_PREDP3_0_1", "0"}, {"IN_TIME_STEP_min", "120"}});
             const RunRecords run = veldron::testing::runCase(c);
             ASSERT_EQ(run.status, 0);
             const auto reached = std::find_if(run.level.begin(), run.level.end(),
                                               [](double h) { return h <= 9.0; });
             ASSERT_NE(reached, run.level.end());
             for (auto i = static_cast<std::size_t>(reached - run.level.begin());
                  i < run.level.size(); ++i) {
                 EXPECT_NEAR(run.level[i], 9.0, 1e-6) << "step " << i + 1;
                 EXPECT_NEAR(run.outflow[i], c.inflow[i], 1e-5) << "step " << i + 1;
             }
         }},
    };
    for (const auto& f : faults) {
        SCOPED_TRACE(f.fault);
        f.check();
    }
}

TEST(ReleaseInvariants, MoreReleaseNeverEndsHigherOnThePrism) {
    Prism prism;
    prism.area = 5000.0;
    const std::vector<double> flood{1, 3, 6, 10, 14, 16, 14, 10, 6, 3, 2, 1, 1, 1};
    ReservoirCase c = prism.files(9.5, flood);
    expectMoreReleaseNeverHigher(c, "the prism");
}

TEST(ReleaseInvariants, MoreReleaseNeverEndsHigherOnDrawnReservoirs) {
    std::mt19937 random(2026);
    for (int k = 0; k < 60; ++k) {
        const ReservoirCase c = drawReservoir(random);
        expectMoreReleaseNeverHigher(c, "reservoir " + std::to_string(k));
    }
}
