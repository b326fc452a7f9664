// The bundled sample's safety margin in each manipulation mode, as its
// regression record holds it, with the real core.
#include "study/safety_factor.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "study_fixture.h"
#include "tests/support/sample_record.h"

#include <gtest/gtest.h>

using namespace veldron::testing;

TEST(SampleMargin, EachModeAsRecorded) {
    for (const auto& c : veldron::testing::sample::kMargins) {
        TempDir dir;
        installSample(dir.path());
        const auto inputs = exchange::exchangeDir(dir.path());
        writeFile(inputs / exchange::kManipulationMode, std::string(c.mode) + "\r\n");
        const auto result = study::findSafetyFactor(inputs, std::nullopt, realCore);
        ASSERT_TRUE(result.complete()) << c.mode << ": " << result.text().front();
        EXPECT_EQ(result.largestSafe, c.largestSafe) << "mode " << c.mode;
        EXPECT_EQ(result.firstOvertopping, c.largestSafe + 1) << "mode " << c.mode;
    }
}
