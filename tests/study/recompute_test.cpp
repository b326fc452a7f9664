// Recomputing a kept variant through the core in a temporary root.
#include "study/recompute.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "project_files/file_io.h"
#include "study/variant_store.h"
#include "study_fixture.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace veldron::testing;

TEST(Recompute, ReportsWhenTheCoreNoLongerGivesTheKeptResults) {
    TempDir dir;
    installSample(dir.path());
    ASSERT_EQ(realCore(dir.path()).exitCode, 0);
    study::keepVariant(dir.path(), "A", false);
    const auto before =
        project_files::readBytes(exchange::exchangeDir(dir.path()) / exchange::kFloodWave);

    const study::RunCoreInRoot core = [&](const fs::path& root) {
        EXPECT_NE(root, dir.path());
        return realCore(root);
    };
    const auto same = study::recomputeVariant(dir.path(), "A", core);
    EXPECT_EQ(same.outcome.end, study::RunEnd::Normal);
    EXPECT_TRUE(same.differing.empty());
    EXPECT_EQ(same.text(), "Přepočet dal stejné výsledky, jaké jsou u varianty uloženy.");

    // The inflow the run routed is compared too.
    const fs::path kept = study::variantDir(dir.path(), "A") / exchange::kInflowSeries;
    auto edited = *project_files::readBytes(kept);
    edited[10] = edited[10] == '9' ? '8' : '9';
    writeFile(kept, edited);
    const auto changed = study::recomputeVariant(dir.path(), "A", core);
    EXPECT_EQ(changed.differing, std::vector<std::string>{exchange::kInflowSeries});
    EXPECT_EQ(changed.text(), "Přepočet dal JINÉ výsledky, než jaké jsou u varianty uloženy "
                              "(liší se: povodnova_vlna). Uložené výsledky zůstaly beze změny.");
    // Neither the variant's inputs nor the user's were touched.
    EXPECT_EQ(project_files::readBytes(kept), edited);
    EXPECT_EQ(project_files::readBytes(exchange::exchangeDir(dir.path()) / exchange::kFloodWave),
              before);

    // A variant kept without the inflow: the rest is compared, and the report says so.
    fs::remove(kept);
    const auto older = study::recomputeVariant(dir.path(), "A", core);
    EXPECT_TRUE(older.differing.empty());
    EXPECT_EQ(older.text(), "Přepočet dal stejné výsledky, jaké jsou u varianty uloženy. Přítok "
                            "se neporovnával: varianta byla uložena bez přítoku, který výpočet "
                            "použil (povodnova_vlna).");
}
