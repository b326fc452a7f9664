// The crest grid and its tables, checked against hand calculations.
#include "core/errors.h"
#include "core/tables/reservoir_tables.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace veldron;

namespace {

std::size_t records(const std::string& text) {
    std::size_t n = 0;
    for (std::size_t pos = 0; (pos = text.find("\r\n", pos)) != std::string::npos; pos += 2)
        ++n;
    return n;
}

// A straight-sided reservoir: 1000 m2 at every level up to 20 m.
std::vector<CurveRow> prism() {
    return {{300.0f, 20.0f, 20000.0f, 1000.0f}};
}

DamData dam(float retention) {
    DamData d;
    d.crestHeight = 10.0f;
    d.retentionHeight = retention;
    d.outletCount = 1.0f;
    d.outletDiameter = 1.0f;
    d.outletCoefficientScaled = 6523;
    d.spillwayWidth = 10.0f;
    d.overflowCoefficientScaled = 385.0f;
    return d;
}

} // namespace

TEST(CrestGrid, SinglePrecisionProductDecidesTheCount) {
    float g = 0;
    EXPECT_EQ(crestGridLevelCount(0.35f, g), 7);
    EXPECT_EQ(crestGridLevelCount(1.15f, g), 23);
    EXPECT_EQ(crestGridLevelCount(4.95f, g), 99);
    EXPECT_EQ(crestGridLevelCount(5.0f, g), 100);
    EXPECT_EQ(crestGridLevelCount(2.03f, g), 40);
    EXPECT_EQ(crestGridLevelCount(0.05f, g), 1);
    EXPECT_EQ(crestGridLevelCount(0.04f, g), 0);
    EXPECT_EQ(crestGridLevelCount(-1.0f, g), 0);
    EXPECT_THROW(crestGridLevelCount(2.0e8f, g), FileError);
}

TEST(CrestGrid, DischargesMatchTheOrificeAndWeirFormulas) {
    // mu 0.6523, one outlet of 1 m at a head of 10 m: 0.6523 x 0.785398 x sqrt(196.2).
    const float area = static_cast<float>(0.25 * 3.14159265358979);
    EXPECT_NEAR(outletDischarge(10.0f, 6523, area), 7.17604, 1e-4);
    EXPECT_EQ(outletDischarge(10.0f, 0, area), 0.0f);

    // Retention 1 m: 20 levels, the top exactly 1 m above the crest.
    TableTexts s;
    const ReservoirTables t = buildReservoirTables(dam(1.0f), prism(), s.files());
    ASSERT_EQ(t.gridLevelCount, 20);
    EXPECT_EQ(t.gridLevel.back(), 11.0f);
    // m 0.385, b0 10 m, 1 m above the crest: 0.385 x 10 x sqrt(19.62).
    EXPECT_NEAR(t.spillwayFlow.back(), 17.0534, 1e-3);
    EXPECT_NEAR(t.outletFlow[0], 7.17604, 1e-4);
}

TEST(CrestGrid, TablesAndRecordsOfFortyLevels) {
    TableTexts s;
    const ReservoirTables t = buildReservoirTables(dam(2.0f), prism(), s.files());
    ASSERT_EQ(t.gridLevelCount, 40);
    EXPECT_EQ(t.gridLevel.front(), 10.0f);
    EXPECT_EQ(t.gridLevel.back(), 12.0f);
    EXPECT_NEAR(t.gridLevel[1] - t.gridLevel[0], 2.0 / 39.0, 1e-6);
    EXPECT_EQ(t.gridVolume.front(), 10000.0f);
    EXPECT_EQ(t.volumeAboveCrest.front(), 0.0f);
    EXPECT_EQ(t.spillwayFlow.front(), 0.0f);
    EXPECT_NEAR(t.volumeAboveCrest.back(), 2000.0f, 1e-2);
    for (std::size_t i = 0; i < 40; ++i)
        EXPECT_EQ(t.klemesCurve[0][i], t.spillwayFlow[i]);
    // By hand at the top (12 m, 2 m above the crest): the outlet 0.6523 x
    // pi/4 x sqrt(19.62 x 12) = 7.86099 and the spillway 0.385 x 10 x
    // sqrt(19.62) x 2^1.5 = 48.23422 m3/s; at 10 + 40/39 m they give 25.24855 fully
    // open and 19.59723 with a quarter of the outlets (opening 5).
    EXPECT_NEAR(t.klemesCurve[20][39], 56.09521, 2e-4);
    EXPECT_NEAR(t.klemesCurve[10][39], 52.16471, 2e-4);
    EXPECT_NEAR(t.klemesCurve[20][20], 25.24855, 2e-4);
    EXPECT_NEAR(t.klemesCurve[5][20], 19.59723, 2e-4);
    for (const std::string* text :
         {&s.gridVolumes.text, &s.volumesAboveCrest.text, &s.outletFlows.text,
          &s.spillwayFlows.text, &s.totalFlows.text, &s.curves[0].text, &s.curves[20].text})
        EXPECT_EQ(records(*text), 40u);
    EXPECT_EQ(s.volumesAboveCrest.text.substr(0, 18), "       0.0000000\r\n");
    EXPECT_EQ(s.gridVolumes.text.substr(0, 34), "      10.0000000   10000.0000000\r\n");
}

TEST(CrestGrid, RetentionNotAWholeNumberOfStepsStaysBelowTheTop) {
    TableTexts s;
    const ReservoirTables t = buildReservoirTables(dam(2.03f), prism(), s.files());
    ASSERT_EQ(t.gridLevelCount, 40);
    EXPECT_NEAR(t.gridLevel.back(), 10.0f + 2.03f * 39.0f / 39.6f, 1e-4);
}

TEST(CrestGrid, ClosedOutletsLeaveOnlyTheSpillway) {
    DamData d = dam(1.0f);
    d.outletCount = 0.0f;
    TableTexts s;
    const ReservoirTables t = buildReservoirTables(d, prism(), s.files());
    for (int p = 0; p < kOpeningCount; ++p)
        EXPECT_EQ(t.klemesCurve[p], t.spillwayFlow);
}

TEST(CrestGrid, LevelOutsideTheCurveIsErrorOneAfterTheLowerRecords) {
    // The curve ends at 10.5 m; grid levels every 1/19 m from 10 m.
    TableTexts s;
    const std::vector<CurveRow> low{{300.0f, 10.5f, 10500.0f, 1000.0f}};
    try {
        buildReservoirTables(dam(1.0f), low, s.files());
        FAIL();
    } catch (const ErrorExit& e) {
        EXPECT_EQ(e.kind, ErrorExit::CrestGridOffCurve);
    }
    EXPECT_EQ(records(s.gridVolumes.text), 10u); // 10 + 9/19 < 10.5 <= 10 + 10/19
    EXPECT_TRUE(s.volumesAboveCrest.text.empty());
}

TEST(CrestGrid, TopLevelOnTheLastRowIsErrorOne) {
    TableTexts s;
    const std::vector<CurveRow> exact{{300.0f, 11.0f, 11000.0f, 1000.0f}};
    EXPECT_THROW(buildReservoirTables(dam(1.0f), exact, s.files()), ErrorExit);
    EXPECT_EQ(records(s.gridVolumes.text), 19u);
}

TEST(CrestGrid, OneLevelIsNotANumberAndErrorOne) {
    TableTexts s;
    EXPECT_THROW(buildReservoirTables(dam(0.05f), prism(), s.files()), ErrorExit);
    EXPECT_TRUE(s.gridVolumes.text.empty());
}
