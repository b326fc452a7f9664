// The safety margin: coarse scan and bisection, with stand-in cores whose
// answer is known and with the real core.
#include "study/safety_factor.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "study_fixture.h"
#include "testkit/reservoir_case.h"
#include "tests/support/sample_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <numeric>

namespace fs = std::filesystem;
using namespace veldron::testing;

namespace {

// A prismatic reservoir (10,000 m2 at every level, RO 8 m, crest 10 m,
// overtopping at 12 m) with no outlet and a spillway too narrow to pass a
// drop (its curves hold no sample of a litre per second): nothing leaves it, so ten hourly steps of
// Q x k fill it from 5 m by k Q 3600 m3 each. The overtopping check sees the level at the start of
// a step, after the steps before it, so the answer is the largest k with 9 k Q 3600 < 70,000 m3,
// and the crest is reached from 9 k Q 3600 >= 50,000 m3.
veldron::testing::ReservoirCase prismatic(double inflow) {
    veldron::testing::ReservoirCase c;
    for (int h = 0; h <= 20; ++h)
        c.curve.push_back({h, 10000.0 * h});
    c.inflow.assign(10, inflow);
    c.values = {{"IN_START_VYP", "5"},
                {"IN_START_RN_OWERFLOW", "10"},
                {"IN_TOTAL_HEIGHT_OWERFLOW", "2"},
                {"IN_START_RO", "8"},
                {"IN_NUMBER_OF_OUTLET", "0"},
                {"IN_OUTLET_DIAMETER", "1"},
                {"IN_TOTAL_COEFFICIENT_OUTLET", "6200"},
                {"IN_WIDTH_SPILLWAY_B0", "1e-9"},
                {"IN_COEFFICIENT_OVERFLOW_m", "380"},
                {"IN_TIME_STEP_min", "60"},
                {"IN_MANIP_0_1_2", "1"},
                {"IN_MANIP1_0_1", "1"},
                {"IN_MANPR", "0.5"},
                {"IN_PREDP1_0_1", "0"},
                {"IN_PREDP2_0_1", "0"},
                {"IN_PREDP3_0_1", "0"}};
    return c;
}

} // namespace

TEST(SafetyFactor, ScaledInflowIsTheFloatTheCoreReadsBack) {
    for (const float q : {100.0f, 4.51f, 0.3f, 1.0e-5f, 123456.789f})
        for (const int h : {1, 100, 187, 1000}) {
            const std::string text = study::scaledInflowText(q, h);
            float read = 0.0f;
            std::from_chars(text.data(), text.data() + text.size(), read);
            EXPECT_EQ(read, study::scaledInflow(q, h)) << text;
        }
    EXPECT_EQ(study::scaledInflow(4.51f, 100), 4.51f);
}

// Inputs the core refuses end the search before its first run, with the
// finding: the sample's curve upside down, a start above the overtopping level.
TEST(SafetyFactor, InputsTheCoreRefusesStartNoRun) {
    TempDir dir;
    const fs::path inputs = sampleInputs(dir);
    int runs = 0;
    const auto core = levelCore([&](double) {
        ++runs;
        return 11.0;
    });
    try {
        study::findSafetyFactor(inputs, std::string("16"), core);
        ADD_FAILURE() << "searched from 16 m";
    } catch (const study::InputsRefused& e) {
        EXPECT_EQ(e.finding.quantity, exchange::InputQuantity::StartLevel);
    }
    std::ifstream in(inputs / exchange::kCurve, std::ios::binary);
    std::vector<std::string> rows;
    for (std::string row; std::getline(in, row);)
        rows.insert(rows.begin(), row + "\n");
    std::ofstream(inputs / exchange::kCurve, std::ios::binary)
        << std::accumulate(rows.begin(), rows.end(), std::string());
    try {
        study::findSafetyFactor(inputs, std::nullopt, core);
        ADD_FAILURE() << "searched on a falling curve";
    } catch (const study::InputsRefused& e) {
        EXPECT_EQ(e.finding.quantity, exchange::InputQuantity::CurveLevel);
        EXPECT_EQ(e.finding.row, 2);
    }
    EXPECT_EQ(runs, 0);
}

// Highest level 10 + k x 2 m for the sample's peak of 100 m3/s: the level
// reaches the crest (12 m) at k = 1 and the overtopping level (14.5 m) at 2.25.
TEST(SafetyFactor, FindsTheAnswerOfALinearResponseToAHundredth) {
    TempDir dir;
    int runs = 0;
    const auto core = levelCore([&](double peak) {
        ++runs;
        return 10.0 + peak / 50.0;
    });
    const auto result = study::findSafetyFactor(sampleInputs(dir), std::nullopt, core);
    EXPECT_TRUE(result.complete());
    EXPECT_EQ(result.firstOvertopping, 225);
    EXPECT_EQ(result.largestSafe, 224);
    EXPECT_EQ(result.firstAtCrest, 100);
    ASSERT_TRUE(result.atLargestSafe);
    EXPECT_FLOAT_EQ(result.atLargestSafe->peakInflow, 224.0);
    EXPECT_DOUBLE_EQ(*result.atLargestSafe->highestLevel, 14.48);
    // 23 scan points, then two bisections inside brackets of 0.1.
    EXPECT_EQ(runs, static_cast<int>(result.trials.size()));
    EXPECT_LE(runs, 23 + 2 * 4);
    EXPECT_EQ(result.text('.').front(),
              "Největší násobek přítoku bez přelití nádrže: k = 2.24 (přelití od k = 2.25)");
}

TEST(SafetyFactor, ReportsBeyondTenAndOvertoppingAtTheDesignFlood) {
    TempDir dir;
    const fs::path inputs = sampleInputs(dir);
    const auto never =
        study::findSafetyFactor(inputs, std::nullopt, levelCore([](double) { return 11.0; }));
    EXPECT_TRUE(never.beyondScan());
    EXPECT_EQ(never.trials.size(), 100u);
    EXPECT_FALSE(never.firstAtCrest);
    EXPECT_EQ(never.text().front(), "Nádrž nepřelije ani při k = 10: k > 10.");

    // 14.5 m is reached at 0.6 x 100 m3/s.
    const auto early = study::findSafetyFactor(
        inputs, std::nullopt, levelCore([](double peak) { return 11.5 + peak / 20.0; }));
    EXPECT_EQ(early.largestSafe, 59);
    EXPECT_EQ(early.firstAtCrest, 10);
    EXPECT_EQ(early.text()[1], "POZOR: nádrž přelije již při zadané povodni (k = 1).");
}

TEST(SafetyFactor, TheCrestBetweenScanPointsAndALevelThatFallsWithK) {
    TempDir dir;
    const fs::path inputs = sampleInputs(dir);
    // The crest (12 m) is reached at 86 m3/s, between the scan's 0.8 and 0.9.
    const auto crest = study::findSafetyFactor(
        inputs, std::nullopt, levelCore([](double peak) { return 10.0 + peak / 43.0; }));
    EXPECT_EQ(crest.firstAtCrest, 86);
    EXPECT_FALSE(crest.fallingLevel);

    // Higher from k = 1 to 2 than beyond: the answer is read off all the same,
    // and the report says the response is not monotonic where it fell.
    const auto falling = study::findSafetyFactor(
        inputs, std::nullopt,
        levelCore([](double peak) { return peak <= 200.0 ? 11.0 + peak / 100.0 : 12.5; }));
    ASSERT_TRUE(falling.fallingLevel);
    EXPECT_EQ(falling.fallingLevel->second, 210);
    const std::vector<std::string> said = falling.text();
    EXPECT_NE(std::find(said.begin(), said.end(),
                        "Nejvyšší hladina neroste s k všude (při k = 2,10 je nižší než při k = "
                        "2,00): odezva nádrže na k není monotónní."),
              said.end());
}

TEST(SafetyFactor, AFailedRunOrACancelEndsTheSearch) {
    TempDir dir;
    const fs::path inputs = sampleInputs(dir);
    const auto refusedAtThree = [](const fs::path& root) -> study::CoreRunResult {
        auto run = levelCore([](double) { return 11.0; })(root);
        std::ifstream wave(exchange::exchangeDir(root) / exchange::kFloodWave);
        double first = 0.0;
        wave >> first;
        if (first >= 3.0 * 4.0) return {2, "*ERR* 7 chybna hodnota\n"};
        return run;
    };
    const auto failed = study::findSafetyFactor(inputs, std::nullopt, refusedAtThree);
    ASSERT_TRUE(failed.failure);
    EXPECT_EQ(failed.failure->hundredths, 300);
    EXPECT_EQ(failed.largestSafe, 290);
    EXPECT_EQ(failed.text().front(), "Hledání skončilo předčasně: výpočet při k = 3,00 "
                                     "nedoběhl: Jádro odmítlo vstupní data: *ERR* 7 chybna "
                                     "hodnota");

    int calls = 0;
    const auto cancelled =
        study::findSafetyFactor(inputs, std::nullopt, levelCore([](double) { return 11.0; }),
                                [&](const study::FactorSearch&) { return ++calls < 5; });
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.trials.size(), 5u);
}

TEST(SafetyFactor, SampleWithTheRealCore) {
    TempDir dir;
    const auto result = study::findSafetyFactor(sampleInputs(dir), std::nullopt, realCore);
    ASSERT_TRUE(result.complete()) << result.text().front();
    ASSERT_TRUE(result.firstOvertopping);
    EXPECT_EQ(result.largestSafe + 1, *result.firstOvertopping);
    EXPECT_EQ(result.largestSafe, veldron::testing::sample::kMargins[0].largestSafe);
    // The run at k = 1 is the sample's own.
    const auto& trials = result.trials;
    const auto design = std::find_if(trials.begin(), trials.end(),
                                     [](const auto& t) { return t.hundredths == 100; });
    ASSERT_NE(design, trials.end());
    EXPECT_NEAR(*design->highestLevel, veldron::testing::sample::kHighestLevel, 1e-7);
}

TEST(SafetyFactor, HandSolvedCasesWithTheRealCore) {
    struct Case {
        double inflow; // m3/s
        std::optional<int> firstOvertopping;
        int largestSafe;
        std::optional<int> firstAtCrest;
    };
    const Case cases[] = {
        {1.0, 217, 216, 155},                    // k* = 70,000 / 32,400 = 2.160; crest 1.543
        {3.0, 73, 72, 52},                       // overtops at k = 1: 0.720; crest 0.514
        {0.1, std::nullopt, 1000, std::nullopt}, // 8.24 m at k = 10
    };
    for (const Case& c : cases) {
        TempDir dir;
        prismatic(c.inflow).writeRoot(dir.path());
        const auto result =
            study::findSafetyFactor(exchange::exchangeDir(dir.path()), std::nullopt, realCore);
        EXPECT_TRUE(result.complete()) << c.inflow << ": " << result.text().front();
        EXPECT_EQ(result.firstOvertopping, c.firstOvertopping) << c.inflow;
        EXPECT_EQ(result.largestSafe, c.largestSafe) << c.inflow;
        EXPECT_EQ(result.firstAtCrest, c.firstAtCrest) << c.inflow;
    }
}
