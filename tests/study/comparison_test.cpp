// The comparison table: each variant's figures from its summary, the best marked.
#include "study/comparison.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/run_summary.h"
#include "study/variant_store.h"
#include "study_fixture.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace veldron::testing;
namespace label = exchange::summary;

TEST(Comparison, TakesEachVariantsFiguresFromItsSummaryAndMarksTheBest) {
    TempDir dir;
    installSample(dir.path());
    ASSERT_EQ(realCore(dir.path()).exitCode, 0);
    struct Figures {
        const char* name;
        std::map<std::string, std::string> lines;
    };
    const Figures figures[] = {
        {"otevřené",
         {{label::kOutflowPeak, "95.500 m3/s v kroku 11"},
          {label::kAttenuation, "4.5 %"},
          {label::kPeakLag, "2.000 h (2 kroky)"},
          {label::kHighestLevel, "13.5004 m v kroku 11"},
          {label::kFreeboard, "1.000 m"},
          {label::kBalanceError, "-0.0020 % (-40.0 m3)"}}},
        {"průběžně",
         {{label::kOutflowPeak, "88.057 m3/s v kroku 12"},
          {label::kAttenuation, "11.9 %"},
          {label::kPeakLag, "3.000 h (3 kroky)"},
          {label::kHighestLevel, "13.5001 m v kroku 13"},
          {label::kFreeboard, "0.519 m"},
          {label::kBalanceError, "0.0010 % (20.0 m3)"}}},
        {"zavřené",
         {{label::kOutflowPeak, "88.057 m3/s v kroku 12"},
          {label::kHighestLevel, "13.600 m v kroku 13"}}},
    };
    std::vector<study::Variant> variants;
    for (const Figures& f : figures) {
        study::keepVariant(dir.path(), f.name, false);
        auto lines = f.lines;
        lines[label::kSteps] = "48 z 48";
        writeFile(study::variantDir(dir.path(), f.name) / label::kFileName, summaryText(lines));
        variants.push_back(study::loadVariant(dir.path(), f.name));
    }

    const auto rows = study::compareVariants(variants);
    ASSERT_EQ(rows.size(), 3u);
    // Columns: peak outflow, attenuation, lag, highest level, freeboard, balance error.
    using Values = std::array<std::optional<double>, study::kComparedFigures>;
    const Values expected[] = {{95.5, 4.5, 2.0, 13.5004, 1.0, -0.002},
                               {88.057, 11.9, 3.0, 13.5001, 0.519, 0.001},
                               {88.057, {}, {}, 13.6, {}, {}}};
    for (std::size_t r = 0; r < rows.size(); ++r) {
        EXPECT_EQ(rows[r].name, figures[r].name);
        EXPECT_EQ(rows[r].values, expected[r]) << r;
    }
    // Lowest outflow (a tie marks both), highest attenuation and lag, lowest
    // level (13.5004 and 13.5001 are both 13.500 as shown: both marked),
    // largest freeboard, balance error nearest zero.
    using Marks = std::array<bool, study::kComparedFigures>;
    EXPECT_EQ(rows[0].best, (Marks{false, false, false, true, true, false}));
    EXPECT_EQ(rows[1].best, (Marks{true, true, true, true, false, true}));
    EXPECT_EQ(rows[2].best, (Marks{true, false, false, false, false, false}));
    // The series and levels of the dam come with the variant, the inflow the
    // one the run routed.
    EXPECT_TRUE(variants[0].complete);
    EXPECT_FALSE(variants[0].inflowFromInputs);
    EXPECT_EQ(variants[0].inflow.size(), 48u);
    EXPECT_EQ(variants[0].inflow[1], 4.51f);
    EXPECT_EQ(variants[0].outflow.size(), 48u);
    EXPECT_EQ(variants[0].reservoirLevels.overtopping, 14.5);
    EXPECT_EQ(variants[0].settings, "průběžná manipulace v zóně 0,6 m; předpouštění Vz ne, RO "
                                    "ne; po povodni prázdním nádrž; start 11 m; krok 60 min");
}

TEST(Comparison, AVariantWithoutCompleteResultsHasNoFiguresAndAnOlderOneItsInputsInflow) {
    TempDir dir;
    installSample(dir.path());
    ASSERT_EQ(realCore(dir.path()).exitCode, 0);
    for (const char* name : {"prázdný souhrn", "bez přítoku", "celá"})
        study::keepVariant(dir.path(), name, false);
    // Kept from a run killed while it wrote (an empty summary), and kept by
    // a version that did not keep the inflow the run routed.
    writeFile(study::variantDir(dir.path(), "prázdný souhrn") / label::kFileName, "");
    fs::remove(study::variantDir(dir.path(), "bez přítoku") / exchange::kInflowSeries);
    const std::vector<study::Variant> variants = {study::loadVariant(dir.path(), "prázdný souhrn"),
                                                  study::loadVariant(dir.path(), "bez přítoku"),
                                                  study::loadVariant(dir.path(), "celá")};

    EXPECT_FALSE(variants[0].complete);
    EXPECT_FALSE(variants[0].summary);
    EXPECT_TRUE(variants[0].outflow.empty());
    EXPECT_FALSE(study::compareVariants(variants)[0].values[0]);
    EXPECT_TRUE(variants[1].complete && variants[1].inflowFromInputs);
    EXPECT_EQ(variants[1].inflow, variants[2].inflow);
    EXPECT_EQ(study::comparisonNotes(variants),
              (std::vector<std::string>{
                  "Bez úplných výsledků (souhrn výpočtu chybí, je prázdný nebo neodpovídá řadám "
                  "výsledků), proto bez údajů a průběhů: „prázdný souhrn“.",
                  "Uloženo bez přítoku, který výpočet použil (povodnova_vlna); přítok je vzat ze "
                  "vstupu IN_FLOOD_WAVE varianty: „bez přítoku“."}));
}
