// The flood-safety assessment kept in a project: read back as it was kept,
// an overtopped case and an unknown k included; outdated while an input's
// bytes differ from those it read, and current again once they are the same.
#include "desk/kept_assessment.h"

#include "exchange/exchange_paths.h"
#include "tests/support/sample_root.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using veldron::testing::installSample;
using veldron::testing::TempDir;

namespace {

study::Routing routing(study::RunEnd end, std::optional<double> kmh, std::vector<double> levels) {
    study::Routing r;
    r.end = end;
    r.highestLevel = kmh;
    r.highestStep = kmh ? 14 : 0;
    r.overtoppingStep = kmh ? std::nullopt : std::optional(14);
    r.peakOutflow = kmh ? std::optional(80.25) : std::nullopt;
    r.levels = std::move(levels);
    return r;
}

} // namespace

TEST(KeptAssessment, ReadsBackWhatWasKeptAndTellsWhenTheInputsChanged) {
    TempDir root;
    installSample(root.path());
    const fs::path inputs = exchange::exchangeDir(root.path());
    study::AssessmentResult kept;
    study::AssessmentPlan& p = kept.plan;
    p.returnPeriod = 1000;
    p.damageGroup = "B2";
    p.startLevelText = "9.5";
    p.startLevel = 9.5;
    p.mbh = 13.5;
    p.deciding = study::OutletCase::None;
    p.floods = {{100, 90.5}};
    p.crest = 12.0, p.overtopping = 14.5, p.outletCount = 2.0, p.designPeak = 100.0;
    p.timeStepMinutes = 60.0;
    using study::RunEnd;
    kept.cases = {{study::OutletCase::All, routing(RunEnd::Normal, 13.25, {9.5, 13.25, 12.75})},
                  {study::OutletCase::OneOut, routing(RunEnd::Normal, 13.4375, {9.5, 13.4375})},
                  {study::OutletCase::None, routing(RunEnd::Overtopped, std::nullopt, {9.5})}};
    kept.floods = {{p.floods.front(), routing(RunEnd::Normal, 13.125, {})}};
    kept.inputDigests = study::inputDigests(inputs);
    ASSERT_TRUE(desk::keepAssessment(root.path(), kept));
    ASSERT_TRUE(desk::keepAssessmentSettings(root.path(), p));

    const auto read = desk::readKeptAssessment(root.path());
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->outdated());
    EXPECT_FALSE(read->result.factor);
    EXPECT_EQ(read->result.sentence(), "Vodní dílo při kontrolní povodni nevyhovuje: nádrž "
                                       "přelije v kroku 14 (žádná výpust v provozu).");
    EXPECT_EQ(read->result.settingRows(), kept.settingRows());
    EXPECT_EQ(read->result.findings(), kept.findings());
    for (std::size_t c = 0; c < 3; ++c) {
        EXPECT_EQ(read->result.caseCells(read->result.cases[c]), kept.caseCells(kept.cases[c]));
        EXPECT_EQ(read->result.cases[c].routing.levels, kept.cases[c].routing.levels);
    }
    const auto settings = desk::readAssessmentSettings(root.path());
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->returnPeriod + settings->damageGroup + settings->startLevel + settings->mbh,
              "1000B29.513.5");
    EXPECT_EQ(settings->tabledFloods, std::vector<std::string>{"100:90.5"});
    EXPECT_EQ(settings->deciding, study::OutletCase::None);

    // Outdated by its bytes, not by its time: saved again unchanged, current.
    const std::string diameter = veldron::testing::readFile(inputs / "IN_OUTLET_DIAMETER");
    veldron::testing::writeFile(inputs / "IN_OUTLET_DIAMETER", "1.2\r\n");
    const auto changed = desk::readKeptAssessment(root.path());
    ASSERT_TRUE(changed);
    EXPECT_EQ(changed->changedInputs,
              std::vector<std::string>{"Technické údaje → Průměr potrubí [m]"});
    veldron::testing::writeFile(inputs / "IN_OUTLET_DIAMETER", diameter);
    EXPECT_FALSE(desk::readKeptAssessment(root.path())->outdated());
}
