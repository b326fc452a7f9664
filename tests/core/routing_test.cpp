// The operating rules at their boundaries, and whole routing steps checked by hand.
#include "core/errors.h"
#include "core/routing/routing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using namespace veldron;

namespace {

constexpr float kCrest = 10.0f;

OperatingOptions options(int mode, int keep = 0, float pre1 = 0, float pre2 = 0, float empty = 0) {
    OperatingOptions o;
    o.storageTopHeight = 8.0f;
    o.manipulationZoneHeight = 0.5f;
    o.manipulationMode = mode;
    o.keepClosedAfterPeak = keep;
    o.preReleaseStorage = pre1;
    o.preReleaseControlled = pre2;
    o.emptyAfterFlood = empty;
    return o;
}

RuleState at(float level, float inflow = 5.0f, float previousOutflow = 4.0f,
             bool beforePeak = true) {
    RuleState s;
    s.level = level;
    s.inflow = inflow;
    s.previousOutflow = previousOutflow;
    s.outletCapacity = 3.0f;
    s.previousOutletCapacity = 3.0f;
    s.previousNetVolume = 0.0f;
    s.beforePeak = beforePeak;
    return s;
}

} // namespace

TEST(OperatingRules, SpillwayRangeStartsExactlyAtTheCrest) {
    EXPECT_EQ(selectRule(at(10.0f), options(0), kCrest), Rule::R1);
    EXPECT_EQ(selectRule(at(9.999999f), options(0), kCrest), Rule::R10);
    EXPECT_EQ(selectRule(at(10.0f), options(1, 1), kCrest), Rule::R2);
}

TEST(OperatingRules, ClosedOutletsOpenOnceTheInflowStopsRising) {
    EXPECT_EQ(selectRule(at(10.5f, 5.0f, 4.0f), options(1, 0), kCrest), Rule::R3);
    EXPECT_EQ(selectRule(at(10.5f, 5.0f, 5.0f), options(1, 0), kCrest), Rule::R4);
    EXPECT_EQ(selectRule(at(10.5f, 5.0f, 6.0f), options(1, 0), kCrest), Rule::R4);
}

TEST(OperatingRules, ManipulationZoneIncludesItsTopWhileRising) {
    // RN + Z = 10.5 exactly.
    EXPECT_EQ(selectRule(at(10.5f, 5.0f, 5.0f), options(2), kCrest), Rule::R5);
    EXPECT_EQ(selectRule(at(10.5f, 5.0f, 6.0f), options(2), kCrest), Rule::R6);
    EXPECT_EQ(selectRule(at(10.2f, 5.0f, 6.0f), options(2), kCrest), Rule::R7);
    EXPECT_EQ(selectRule(at(10.6f, 5.0f, 4.0f), options(2), kCrest), Rule::R6);
    // The zone top is evaluated in double: 10 + 0.1f is above the float 10.1f.
    OperatingOptions o = options(2);
    o.manipulationZoneHeight = 0.1f;
    EXPECT_EQ(selectRule(at(10.1f, 5.0f, 5.0f), o, kCrest),
              10.1f <= 10.0 + static_cast<double>(0.1f) ? Rule::R5 : Rule::R6);
}

TEST(OperatingRules, StorageSpaceIncludesItsTop) {
    EXPECT_EQ(selectRule(at(8.0f), options(0, 0, 0), kCrest), Rule::R8);
    EXPECT_EQ(selectRule(at(8.0f), options(0, 0, 1), kCrest), Rule::R9);
    EXPECT_EQ(selectRule(at(8.0001f), options(0, 0, 1, 0), kCrest), Rule::R10);
    EXPECT_EQ(selectRule(at(8.0001f), options(0, 0, 1, 1), kCrest), Rule::R11);
}

TEST(OperatingRules, FromThePeakOnTheEmptyingOptionDecidesInTheStorageSpace) {
    RuleState s = at(7.0f, 5.0f, 4.0f, false);
    EXPECT_EQ(selectRule(s, options(0, 0, 0, 0, 0), kCrest), Rule::R15);
    EXPECT_EQ(selectRule(s, options(0, 0, 0, 0, 1), kCrest), Rule::R16);
}

TEST(OperatingRules, OptionsCountOnlyWhenExactlyZeroOrOne) {
    EXPECT_EQ(selectRule(at(7.0f), options(0, 0, -0.0f), kCrest), Rule::R8);
    EXPECT_EQ(selectRule(at(7.0f), options(0, 0, 0.99999f, 0, 2), kCrest), Rule::None);
    EXPECT_EQ(selectRule(at(10.5f), options(3), kCrest), Rule::None);
    EXPECT_EQ(selectRule(at(10.5f), options(1, 2, 0, 0, 0), kCrest), Rule::None);
}

TEST(OperatingRules, ReopeningAndEmptyingAfterTheFlood) {
    // Between RO and RN with a falling inflow (negative) the pre-release rules pass.
    RuleState s = at(9.0f, -1.0f, 2.0f, false);
    s.previousNetVolume = 10.0f; // still filling
    EXPECT_EQ(selectRule(s, options(0, 0, 0, 0, 0), kCrest), Rule::R12);
    s.previousNetVolume = -10.0f;
    EXPECT_EQ(selectRule(s, options(0, 0, 0, 0, 0), kCrest), Rule::R13);
    EXPECT_EQ(selectRule(s, options(0, 0, 0, 0, 1), kCrest), Rule::R14);
    s.previousNetVolume = 0.0f;
    EXPECT_EQ(selectRule(s, options(0, 0, 0, 0, 1), kCrest), Rule::None);
    // R13 reaches the crest itself only when the spillway rules do not apply.
    RuleState top = at(10.0f, 1.0f, 2.0f, false);
    top.previousNetVolume = -1.0f;
    EXPECT_EQ(selectRule(top, options(5, 0, 0, 0, 0), kCrest), Rule::R13);
}

namespace {

// A prism reservoir of 1000 m2 up to 20 m; crest 10 m, retention 2 m.
struct Scenario {
    std::vector<CurveRow> curve{{300.0f, 20.0f, 20000.0f, 1000.0f}};
    ReservoirTables tables;
    std::vector<KlemesCurve> klemes;
    RoutingInput input;
    exchange::StringSink outflow, level, rows;
    std::vector<std::int64_t> printed;
    RoutingOutput output{outflow, level, rows, [this](std::int64_t i) { printed.push_back(i); }};

    Scenario(float startLevel, std::vector<float> inflow, OperatingOptions o,
             float outletCount = 1.0f, float spillwayWidth = 2.0f) {
        DamData dam;
        dam.crestHeight = kCrest;
        dam.retentionHeight = 2.0f;
        dam.outletCount = outletCount;
        dam.outletDiameter = 0.5f;
        dam.outletCoefficientScaled = 6000;
        dam.spillwayWidth = spillwayWidth;
        dam.overflowCoefficientScaled = 380.0f;
        TableTexts texts;
        tables = buildReservoirTables(dam, curve, texts.files());
        klemes = buildKlemesCurves(tables);
        input.crestHeight = kCrest;
        input.crestVolume = tables.gridVolume.front();
        input.retentionHeight = 2.0f;
        input.outletCoefficientScaled = dam.outletCoefficientScaled;
        input.outletArea = tables.outletArea;
        input.options = o;
        input.timeStepSeconds = 600.0f;
        input.startLevel = startLevel;
        input.startVolume = *volumeAtLevel(curve, startLevel, Bracket::Inclusive);
        input.inflow = std::move(inflow);
        float peak = 0.01f;
        for (std::size_t i = 0; i < input.inflow.size(); ++i)
            if (input.inflow[i] >= peak)
                peak = input.inflow[i], input.inflowPeakIndex = float(i + 1);
    }
};

} // namespace

TEST(Routing, ClosedStorageFillsByTheInflowVolume) {
    Scenario s(5.0f, {1.0f, 2.0f, 1.0f}, options(0));
    Router router(s.input, s.curve, s.klemes, s.output);
    router.routeFloodWave();
    // Step 1 starts at the start level; each step adds Q_in x 600 s over 1000 m2.
    EXPECT_EQ(router.levelSeries()[1], 5.0f);
    EXPECT_NEAR(router.levelSeries()[2], 5.6f, 1e-5);
    EXPECT_NEAR(router.levelSeries()[3], 6.8f, 1e-5);
    EXPECT_EQ(router.outflow()[1], 0.0f);
    EXPECT_EQ(s.outflow.text, "       0.0000000\r\n       0.0000000\r\n       0.0000000\r\n");
    EXPECT_EQ(s.level.text.substr(0, 18), "       5.0000000\r\n");
    EXPECT_EQ(s.printed, (std::vector<std::int64_t>{1, 2, 3}));
    EXPECT_TRUE(s.rows.text.empty()); // never above the crest
}

TEST(Routing, PreReleaseUsesTheOutletsAtThePreviousLevel) {
    Scenario s(5.0f, {1.0f, 2.0f}, options(0, 0, 1));
    Router router(s.input, s.curve, s.klemes, s.output);
    router.routeFloodWave();
    // Q_o = 0.6 x (pi/16) x sqrt(19.62 x 5) at the start level.
    const double qo = 0.6 * (3.14159265 / 16.0) * std::sqrt(19.62 * 5.0);
    EXPECT_NEAR(router.outflow()[1], qo, 1e-5);
    EXPECT_NEAR(router.levelSeries()[2], 5.0 + (1.0 - qo) * 0.6, 1e-5);
}

TEST(Routing, CrossingTheCrestStartsFromTheVolumeAboveIt) {
    // Two outlets, 3.30 m3/s at the crest. Step 1 (closed below the crest)
    // stores 1 m3/s x 600 s: step 2 starts at 10.4 m with W = 10,400 - 10,000
    // = 400 m3. Its storage line through (400, 2) reaches volume 0 at
    // 2 + 400/600 = 2.667 m3/s, below the outlets' crest discharge: the
    // outlets pass that and the overshoot goes.
    Scenario s(9.8f, {1.0f, 2.0f}, options(0), 2.0f);
    Router router(s.input, s.curve, s.klemes, s.output);
    router.routeFloodWave();
    EXPECT_NEAR(router.levelSeries()[2], 10.4f, 1e-5);
    std::istringstream row(s.rows.text);
    double flow = 0, lineVolume = 0;
    row >> flow >> lineVolume;
    EXPECT_NEAR(lineVolume - (2.0 - flow) * 600.0, 400.0, 0.01); // W at the start of step 2
    EXPECT_NEAR(router.outflow()[2], 2.0 + 400.0 / 600.0, 0.0006);
    EXPECT_EQ(router.routedVolumeAboveCrest(), 0);
}

TEST(Routing, OpenOutletsDrainBelowTheCrestOrHoldItWhereTheyCloseThere) {
    // From the crest with less inflow than the open outlets pass there, the
    // step starts and ends with W = 0: it releases the outlets' crest
    // discharge, 2 x 0.6 x pi/16 x sqrt(19.62 x 10) = 3.3004 m3/s, and the
    // level falls by (3.3004 - 0.5) x 600 / 1000 m, where the outlets stay
    // open (R11). Its rows stay logged.
    const double qo = 2 * 0.6 * (3.14159265 / 16.0) * std::sqrt(19.62 * 10.0);
    Scenario open(10.0f, {0.5f, 0.5f}, options(0, 0, 0, 1), 2.0f);
    Router draining(open.input, open.curve, open.klemes, open.output);
    draining.routeFloodWave();
    EXPECT_NEAR(draining.outflow()[1], qo, 1e-5);
    EXPECT_NEAR(draining.levelSeries()[2], 10.0 - (qo - 0.5) * 0.6, 1e-5);
    EXPECT_FALSE(open.rows.text.empty());
    EXPECT_GT(draining.outflow()[2], 0.0f);
    // Where the outlets close below the crest (R10), the step releases the
    // inflow and the level stays at the crest instead of dropping below it
    // and swinging back.
    Scenario closedBelow(10.0f, {0.5f, 0.5f}, options(0), 2.0f);
    Router holding(closedBelow.input, closedBelow.curve, closedBelow.klemes, closedBelow.output);
    holding.routeFloodWave();
    for (int i : {1, 2}) {
        EXPECT_NEAR(holding.outflow()[i], 0.5, 1e-6);
        EXPECT_NEAR(holding.levelSeries()[i], 10.0, 1e-6);
    }
}

TEST(Routing, RaisedOutflowNeverFallsBelowTheOutlets) {
    // Mode 1, open after the peak: falling inflow above the crest.
    Scenario s(10.5f, {3.0f, 2.0f, 1.0f}, options(1, 0));
    Router router(s.input, s.curve, s.klemes, s.output);
    router.routeFloodWave();
    for (int i = 2; i <= 3; ++i) {
        const double qo =
            0.6 * (3.14159265 / 16.0) * std::sqrt(19.62 * router.levelSeries()[i - 1]);
        EXPECT_GE(router.outflow()[i], qo - 1e-5) << i;
    }
}

TEST(Routing, GradualManipulationHoldsTheOutletCapacity) {
    // Inflows near the outlets' capacity keep the level inside the zone:
    // rising (R5) in steps 1-3, falling (R7) in step 4.
    Scenario s(10.2f, {2.0f, 2.2f, 2.3f, 1.0f}, options(2));
    s.input.timeStepSeconds = 60.0f;
    Router router(s.input, s.curve, s.klemes, s.output);
    router.routeFloodWave();
    for (int i = 1; i <= 4; ++i) {
        ASSERT_LT(router.levelSeries()[i], 10.5f);
        const double qo =
            0.6 * (3.14159265 / 16.0) * std::sqrt(19.62 * router.levelSeries()[i - 1]);
        EXPECT_NEAR(router.outflow()[i], qo, 1e-5) << i;
    }
}

TEST(Routing, OvertoppingStopsAtExactlyTheTopWithoutItsRecords) {
    // Closed outlets below the crest: 5 m3/s x 500 s over 1000 m2 lifts 9.5 m
    // to 12.0 m, exactly the crest plus the retention height.
    Scenario s(9.5f, {5.0f, 0.0f}, options(0));
    s.input.timeStepSeconds = 500.0f;
    Router router(s.input, s.curve, s.klemes, s.output);
    try {
        router.routeFloodWave();
        FAIL();
    } catch (const ErrorExit& e) {
        EXPECT_EQ(e.kind, ErrorExit::Overtopping);
    }
    EXPECT_EQ(s.printed.size(), 1u);
    EXPECT_EQ(s.level.text, "       9.5000000\r\n");
}

TEST(Routing, VolumeOutsideTheCurveIsErrorThree) {
    Scenario s(5.0f, {-20.0f, 0.0f}, options(0));
    Router router(s.input, s.curve, s.klemes, s.output);
    try {
        router.routeFloodWave();
        FAIL();
    } catch (const ErrorExit& e) {
        EXPECT_EQ(e.kind, ErrorExit::StepLevelOffCurve);
    }
    EXPECT_EQ(s.printed.size(), 1u);
}

TEST(Routing, CurvesWithoutSamplesStoreTheInflow) {
    // No outlet and no spillway width: every curve is flat at 0 and has no
    // sample. Above the crest nothing leaves, and the inflow is stored.
    for (int mode : {0, 1, 2}) {
        Scenario s(10.5f, {1.0f, 1.0f, 0.5f}, options(mode), 0.0f, 0.0f);
        Router router(s.input, s.curve, s.klemes, s.output);
        router.routeFloodWave();
        EXPECT_EQ(router.outflow()[1], 0.0f) << mode;
        EXPECT_NEAR(router.levelSeries()[2], 10.5f + 0.6f, 1e-5) << mode;
        EXPECT_NEAR(router.levelSeries()[3], 10.5f + 1.2f, 1e-5) << mode;
        // W is set on entering the range (500 m3 above the crest) and kept
        // by the steps that choose no row.
        EXPECT_EQ(router.routedVolumeAboveCrest(), 500) << mode;
        EXPECT_TRUE(s.rows.text.empty());
    }
}

TEST(Routing, RulesThatNoValidRunReachesActAsWritten) {
    // R12-R14 lie behind R10/R11 between RO and RN, which take every inflow
    // of 0 or more: only a falling (negative) inflow, refused by the run,
    // gets past them. Q_o of step 2 is the outlets' capacity at 9 m.
    const double dt = 600.0, qo = 0.6 * (3.14159265 / 16.0) * std::sqrt(19.62 * 9.0);
    auto stored = [](const Router& r, int i) {
        return (static_cast<double>(r.levelSeries()[i + 1]) - r.levelSeries()[i]) * 1000.0;
    };
    // R12: filling in step 1 (N_prev > 0) and no outflow: reopened just below capacity.
    Scenario filling(9.0f, {1.0f, -1.0f, 0.0f}, options(0));
    Router reopened(filling.input, filling.curve, filling.klemes, filling.output);
    reopened.routeFloodWave();
    EXPECT_NEAR(reopened.outflow()[2], qo - 0.00001, 2e-6);
    EXPECT_NEAR(stored(reopened, 2), (-1.0 - qo - 0.00001) * dt, 0.003);
    // After an emptying step (R11 releases more than flows in, N_prev < 0):
    // R13 keeps the outlets closed, R14 empties with 0.00001 m3/s less volume.
    for (const float empty : {0.0f, 1.0f}) {
        Scenario emptied(9.0f, {1.0f, -1.0f, 0.0f}, options(0, 0, 0, 1, empty));
        Router router(emptied.input, emptied.curve, emptied.klemes, emptied.output);
        router.routeFloodWave();
        ASSERT_NEAR(router.outflow()[1], qo, 2e-6) << empty;
        const double q = empty == 1.0f ? qo : 0.0;
        EXPECT_NEAR(router.outflow()[2], q, 2e-6) << empty;
        EXPECT_NEAR(stored(router, 2), (-1.0 - q - (empty == 1.0f ? 0.00001 : 0.0)) * dt, 0.003)
            << empty;
    }
    // N_prev = 0 (step 1) selects none of them: nothing released, nothing stored.
    Scenario first(9.0f, {-1.0f, 0.0f}, options(0));
    Router none(first.input, first.curve, first.klemes, first.output);
    none.routeFloodWave();
    EXPECT_EQ(none.outflow()[1], 0.0f);
    EXPECT_EQ(stored(none, 1), 0.0);
}
