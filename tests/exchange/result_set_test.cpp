// A reader tells a complete result set from one a run did not finish replacing.
#include "exchange/exchange_paths.h"
#include "exchange/result_set.h"
#include "exchange/set_journal.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

namespace fs = std::filesystem;

namespace {

void write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace

TEST(ResultSet, CompleteOnlyWhenTheSummarySealsEveryFile) {
    const fs::path root = fs::temp_directory_path() / ("veldron_set_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(exchange::curvesDir(root));
    fs::create_directories(exchange::outResultDir(root));
    EXPECT_FALSE(exchange::isCompleteResultSet(root));

    const std::vector<fs::path> files = exchange::resultSetFiles(root);
    ASSERT_EQ(files.size(), 32u);
    const std::string twoRecords = "       4.0000000\r\n       5.0000000\r\n";
    for (const fs::path& file : files)
        write(file, twoRecords);
    write(files.back(), "Kroků výpočtu:                   2 z 2\r\n");
    const auto sealed = fs::last_write_time(files.back());
    EXPECT_TRUE(exchange::isCompleteResultSet(root));
    EXPECT_EQ(exchange::temporaryPath(files.back()).filename(), "souhrn_vypoctu.docasny");

    // A file written after the summary: a run replaced it and died before the summary.
    const fs::path outflow = exchange::outResultDir(root) / "transformovana_povoden";
    fs::last_write_time(outflow, sealed + std::chrono::seconds(1));
    EXPECT_FALSE(exchange::isCompleteResultSet(root));
    fs::last_write_time(outflow, sealed);
    EXPECT_TRUE(exchange::isCompleteResultSet(root));
    // A series that does not hold the steps the summary counts (cut short, or
    // longer: another run's).
    for (const std::string& other :
         {std::string("       4.0000000\r\n"), twoRecords + twoRecords}) {
        write(outflow, other);
        fs::last_write_time(outflow, sealed);
        EXPECT_FALSE(exchange::isCompleteResultSet(root)) << other.size();
    }
    write(outflow, twoRecords);
    fs::last_write_time(outflow, sealed);
    // An empty or missing summary, or a set without the inflow it routed.
    fs::remove(exchange::outResultDir(root) / "povodnova_vlna");
    EXPECT_FALSE(exchange::isCompleteResultSet(root));
    write(exchange::outResultDir(root) / "povodnova_vlna", twoRecords);
    fs::last_write_time(exchange::outResultDir(root) / "povodnova_vlna", sealed);
    EXPECT_TRUE(exchange::isCompleteResultSet(root));
    // A set of an earlier core keeps no record of its inputs: whole all the same.
    fs::remove(exchange::outResultDir(root) / "vstupy_vypoctu");
    EXPECT_TRUE(exchange::isCompleteResultSet(root));
    // A commit recorded and not finished: the set is not whole under its names.
    write(root / "zurnal_vysledku", exchange::journalText({{"OUT_RESULT/souhrn_vypoctu", 7}}));
    EXPECT_FALSE(exchange::isCompleteResultSet(root));
    write(root / "zurnal_vysledku", "");
    EXPECT_TRUE(exchange::isCompleteResultSet(root));
    write(files.back(), "");
    EXPECT_FALSE(exchange::isCompleteResultSet(root));
    fs::remove(files.back());
    EXPECT_FALSE(exchange::isCompleteResultSet(root));
    fs::remove_all(root);
}
