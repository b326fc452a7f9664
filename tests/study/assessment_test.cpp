// The flood-safety assessment: the three outlet cases of a prism whose levels
// are worked out apart from the core, the tabled floods and k with a stand-in
// core whose answers are known, each refusal once, and a cancel.
#include "study/assessment.h"

#include "exchange/exchange_paths.h"
#include "study/safety_factor.h"
#include "study_fixture.h"
#include "tests/support/prism_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace fs = std::filesystem;
using namespace veldron::testing;

namespace {

// A prism whose outlets are open above the crest only (mode 0), so the
// cases part once the flood lifts the level over the crest; minute steps of a
// smooth flood, so that the highest level of a step's start rises with the
// flood's size (to half a millimetre).
const std::vector<double> kFlood = [] {
    std::vector<double> flood(60, 2.0);
    for (int i = 0; i < 40; ++i)
        flood[static_cast<std::size_t>(i)] += 12.0 * std::sin(std::acos(-1.0) * i / 40.0);
    return flood;
}();

Prism twoOutlets() {
    Prism p;
    p.area = 20000.0;
    p.storageTop = 9.5;
    p.dt = 60.0;
    p.outletCount = 2.0;
    p.options.mode = 0;
    return p;
}

// The prism's highest level over the steps before any overtopping, and
// whether it overtopped.
std::pair<double, bool> prismTop(Prism p, double outlets, double factor) {
    p.outletCount = outlets;
    std::vector<double> flood = kFlood;
    for (double& q : flood)
        q *= factor;
    const auto steps = p.run(p.storageTop, flood);
    double top = 0.0;
    for (const Prism::Step& s : steps)
        top = std::max(top, s.level);
    return {top, steps.size() < flood.size()};
}

// A root holding the inputs of `prism`, and its exchange directory.
fs::path prismInputs(const TempDir& dir, const Prism& prism) {
    prism.files(prism.storageTop, kFlood).writeRoot(dir.path());
    return exchange::exchangeDir(dir.path());
}

bool says(const std::vector<std::string>& lines, const std::string& text) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return line.find(text) != line.npos; });
}

} // namespace

TEST(Assessment, ThePrismsThreeCasesAsWorkedOutApart) {
    const Prism prism = twoOutlets();
    const double kmh[] = {prismTop(prism, 2, 1).first, prismTop(prism, 1, 1).first,
                          prismTop(prism, 0, 1).first};
    ASSERT_GT(kmh[0], prism.crest);
    ASSERT_GT(kmh[2] - kmh[1], 0.01);
    ASSERT_GT(kmh[1] - kmh[0], 0.01);
    // MBH between one outlet out of service and none.
    const double mbh = std::round((kmh[1] + kmh[2]) / 2.0 * 1000.0) / 1000.0;
    TempDir dir;
    study::AssessmentSettings settings;
    settings.mbh = study::decimalText(mbh, 3, ',');
    const study::Assessment assessment(prismInputs(dir, prism), settings);
    EXPECT_TRUE(assessment.plan().startAtStorageTop);
    const study::AssessmentResult result = assessment.run(realCore, {}, 2);
    ASSERT_TRUE(result.complete()) << result.sentence();
    for (std::size_t c = 0; c < 3; ++c) {
        const study::Routing& r = result.cases[c].routing;
        ASSERT_TRUE(r.highestLevel) << c;
        EXPECT_NEAR(*r.highestLevel, kmh[c], 0.003) << c;
        EXPECT_EQ(r.holds(mbh), c < 2) << c;
    }
    EXPECT_TRUE(result.holds());
    EXPECT_EQ(result.sentence().rfind("Vodní dílo při kontrolní povodni vyhovuje: KMH ", 0), 0u)
        << result.sentence();
    EXPECT_NE(result.sentence().find("(jedna výpust mimo provoz)."), std::string::npos);

    // k: the largest hundredth whose prism level with one outlet stays at MBH or below.
    int largestSafe = 0;
    for (int h = 1; h <= 300; ++h) {
        const auto [top, overtopped] = prismTop(prism, 1, h / 100.0);
        if (overtopped || top > mbh) break;
        largestSafe = h;
    }
    ASSERT_TRUE(result.factor);
    EXPECT_NEAR(result.factor->largestSafe, largestSafe, 2);
    EXPECT_EQ(result.factor->firstExceeding, result.factor->largestSafe + 1);
}

// A stand-in core whose highest level is known from the peak it routes:
// 12 m + Q_max / 100, MBH 13.5 m. The tabled floods of 90, 140 and 160 m3/s
// reach 12.9, 13.4 and 13.6 m; k = 1.50 keeps 13.5 m exactly.
TEST(Assessment, TabledFloodsAndKWithAKnownResponse) {
    TempDir dir;
    const fs::path inputs = sampleInputs(dir);
    study::AssessmentSettings settings;
    settings.mbh = "13.5";
    settings.returnPeriod = "1 000";
    settings.tabledFloods = {"10000:160", "100:90", "1000:140"};
    const study::Assessment assessment(inputs, settings, '.');
    const auto result =
        assessment.run(levelCore([](double peak) { return 12.0 + peak / 100.0; }), {}, 3);
    ASSERT_TRUE(result.complete()) << result.sentence('.');
    EXPECT_EQ(result.plan.returnPeriod, 1000);
    ASSERT_EQ(result.floods.size(), 3u);
    EXPECT_EQ(result.floods.front().flood.years, 100);
    EXPECT_EQ(result.factor->largestSafe, 150);
    EXPECT_EQ(result.factor->firstExceeding, 151);
    const auto findings = result.findings('.');
    EXPECT_TRUE(says(findings, "z tabulky, jejíž povodeň drží KMH ≤ MBH: N = 1000 let; první, "
                               "která nevyhovuje: N = 10000 let."));
    EXPECT_TRUE(says(findings, "k = 1.50 (KMH > MBH od k = 1.51)"));
    EXPECT_FALSE(says(findings, "není monotónní"));

    // A response that falls again: 100 m3/s fails, 120 m3/s holds.
    settings.tabledFloods = {"100:90", "1000:100", "10000:120"};
    const auto falling =
        study::Assessment(inputs, settings, '.')
            .run(levelCore([](double peak) { return peak > 99.0 && peak < 101.0 ? 13.6 : 13.0; }),
                 {}, 2);
    EXPECT_TRUE(says(falling.findings('.'), "N = 10000 let; první, která nevyhovuje: N = 1000"));
    EXPECT_TRUE(says(falling.findings('.'), "N = 10000 let vyhovuje, ač N = 1000 let ne"));
}

TEST(Assessment, EachRefusalNamesItsField) {
    struct Case {
        std::string start, mbh, returnPeriod, flood;
        study::SettingField field;
        std::string said;
    };
    // The sample: curve 0.5 to 18 m, RN 12 m, overtopping at 14.5 m.
    const Case cases[] = {
        {"99", "13.5", "", "", study::SettingField::StartLevel,
         "Výška vody na začátku posouzení 99,000 m leží mimo batygrafickou křivku (0,500 až "
         "18,000 m)"},
        {"14,5", "13.5", "", "", study::SettingField::StartLevel,
         "leží na úrovni přelití nádrže nebo nad ní (14,500 m"},
        {"", "15", "", "", study::SettingField::Mbh,
         "Mezní bezpečná hladina MBH 15,000 m leží nad hladinou přelití nádrže 14,500 m"},
        {"", " ", "", "", study::SettingField::Mbh, "Mezní bezpečná hladina MBH není zadána"},
        {"", "11,9", "", "", study::SettingField::Mbh,
         "MBH 11,900 m leží pod bezpečnostním přelivem RN 12,000 m"},
        {"", "13.5", "1,5", "", study::SettingField::ReturnPeriod,
         "N „1,5“ není kladné celé číslo"},
        {"", "13.5", "", "100-90", study::SettingField::TabledFlood,
         "Kontrolní povodeň č. 1 „100-90“ nemá tvar N:Q"},
    };
    TempDir dir;
    const fs::path inputs = sampleInputs(dir);
    for (const Case& c : cases) {
        study::AssessmentSettings settings{
            c.returnPeriod, "", c.start, c.mbh, study::OutletCase::OneOut, {}};
        if (!c.flood.empty()) settings.tabledFloods = {c.flood};
        try {
            study::Assessment refused(inputs, settings);
            ADD_FAILURE() << "accepted: " << c.said;
        } catch (const study::SettingRefused& e) {
            EXPECT_EQ(e.field, c.field) << c.said;
            EXPECT_NE(std::string(e.what()).find(c.said), std::string::npos) << e.what();
        }
    }
}

TEST(Assessment, ACancelEndsTheRunsWithoutAVerdict) {
    TempDir dir;
    study::AssessmentSettings settings;
    settings.mbh = "13.5";
    int calls = 0;
    const auto result =
        study::Assessment(sampleInputs(dir), settings)
            .run(
                levelCore([](double) { return 13.0; }), [&](int, int) { return ++calls < 2; }, 1);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.holds());
    EXPECT_EQ(result.runs, 2);
    EXPECT_EQ(result.sentence(), "Posouzení bylo zrušeno: verdikt nelze vyslovit.");
}
