// Whole calculations with the fast Klemes solver and with the sample scan
// write the same bytes to every output file, in every manipulation mode.
#include "core/run.h"
#include "exchange/result_set.h"
#include "testkit/klemes_solvers.h"
#include "testkit/reservoir_case.h"

#include <gtest/gtest.h>

#include <sstream>

namespace fs = std::filesystem;
using veldron::testing::ReservoirCase;

namespace {

struct Options {
    const char* mode;
    const char* keepClosed;
    const char* zone;
    const char* pre1;
    const char* pre2;
    const char* empty;
    const char* start;
};

class WholeRunScan : public ::testing::TestWithParam<Options> {};

fs::path freshRoot(const std::string& name) {
    const fs::path root = fs::temp_directory_path() / (name + "_" + std::to_string(::getpid()));
    fs::remove_all(root);
    return root;
}

} // namespace

TEST_P(WholeRunScan, SameFilesAsTheScan) {
    const Options o = GetParam();
    // A tenth of the sample: about 18 m3/s at the top, so the scan stays cheap.
    ReservoirCase c = ReservoirCase::valley(0.1);
    c.values["IN_WIDTH_SPILLWAY_B0"] = "2.5";
    c.values["IN_OUTLET_DIAMETER"] = "0.3";
    c.values["IN_MANIP_0_1_2"] = o.mode;
    c.values["IN_MANIP1_0_1"] = o.keepClosed;
    c.values["IN_MANPR"] = o.zone;
    c.values["IN_PREDP1_0_1"] = o.pre1;
    c.values["IN_PREDP2_0_1"] = o.pre2;
    c.values["IN_PREDP3_0_1"] = o.empty;
    c.values["IN_START_VYP"] = o.start;

    const fs::path fast = freshRoot("veldron_fast"), scan = freshRoot("veldron_scan");
    c.writeRoot(fast);
    c.writeRoot(scan);
    std::ostringstream consoleFast, consoleScan;
    std::istringstream noInput;
    const int statusFast = veldron::runCore(fast, consoleFast, noInput, veldron::klemesStep);
    const int statusScan =
        veldron::runCore(scan, consoleScan, noInput, veldron::testing::klemesStepPieceScan);
    EXPECT_EQ(statusFast, statusScan);
    EXPECT_EQ(consoleFast.str(), consoleScan.str());
    const auto filesFast = veldron::testing::outputFiles(fast);
    const auto filesScan = veldron::testing::outputFiles(scan);
    ASSERT_EQ(filesFast.size(), exchange::resultSetFiles(fast).size());
    for (const auto& [name, text] : filesScan)
        EXPECT_TRUE(filesFast.at(name) == text) << name;
    // The run must have worked above the crest for the comparison to mean something.
    EXPECT_GT(filesFast.at("OUT_DATA/tab_min_radek_pro_klemese").size(), 0u);
    fs::remove_all(fast);
    fs::remove_all(scan);
}

INSTANTIATE_TEST_SUITE_P(AllModes, WholeRunScan,
                         ::testing::Values(Options{"0", "0", "0.6", "0", "0", "0", "11"},
                                           Options{"1", "0", "0.6", "1", "1", "1", "8"},
                                           Options{"1", "1", "0.6", "0", "1", "0", "11"},
                                           Options{"2", "0", "0.6", "0", "0", "1", "11"},
                                           Options{"2", "0", "2.5", "1", "0", "1", "12"},
                                           Options{"2", "0", "0", "0", "0", "0", "13"}));
