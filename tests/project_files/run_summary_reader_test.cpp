// The run summary read from files in the core's layout, and the age of results.
#include "project_files/run_summary_reader.h"

#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

class RunSummaryFiles : public ::testing::Test {
protected:
    fs::path write(const char* name, const std::string& text) {
        return veldron::testing::writeFile(m_dir / name, text);
    }

    veldron::testing::TempDir m_temp;
    const fs::path m_dir = m_temp.path();
};

// A finished run as the core lays it out, with a line a later core may add.
const char* const kFinishedRun = "Kroků výpočtu:              48 z 48\r\n"
                                 "Časový krok:                60.000 min\r\n"
                                 "Kulminace přítoku:          100.000 m3/s v kroku 10\r\n"
                                 "Kulminace odtoku:           88.057 m3/s v kroku 12\r\n"
                                 "Transformace kulminace:     11.9 %\r\n"
                                 "Zpoždění kulminace:         2.000 h (2 kroky)\r\n"
                                 "Nejvyšší hladina:           13.981 m v kroku 13\r\n"
                                 "Hladina přelití nádrže:     14.500 m\r\n"
                                 "Rezerva do přelití:         0.519 m\r\n"
                                 "Objem povodně:              8155044.0 m3\r\n"
                                 "Objem odtoku:               7890123.5 m3\r\n"
                                 "Nový údaj: 5 kusů\r\n"
                                 "Přítok mínus odtok:         264920.5 m3\r\n"
                                 "Změna objemu nádrže:        264910.2 m3\r\n"
                                 "Chyba bilance objemů:       0.0001 % (10.3 m3)\r\n";

} // namespace

TEST_F(RunSummaryFiles, EveryFigureOfAFinishedRunAndUnknownLinesSkipped) {
    const project_files::SummaryRead read =
        project_files::readRunSummary(write("souhrn_vypoctu", kFinishedRun));
    ASSERT_TRUE(read.summary);
    EXPECT_TRUE(read.error.empty());
    const project_files::RunSummary& run = *read.summary;
    EXPECT_EQ(run.steps, 48);
    EXPECT_EQ(run.stepsGiven, 48);
    EXPECT_EQ(run.timeStepMin, 60.0);
    EXPECT_EQ(run.inflowPeak, 100.0);
    EXPECT_EQ(run.inflowPeakStep, 10);
    EXPECT_EQ(run.outflowPeak, 88.057);
    EXPECT_EQ(run.outflowPeakStep, 12);
    EXPECT_EQ(run.attenuationPercent, 11.9);
    EXPECT_EQ(run.peakLagHours, 2.0);
    EXPECT_EQ(run.peakLagSteps, 2);
    EXPECT_EQ(run.highestLevel, 13.981);
    EXPECT_EQ(run.highestLevelStep, 13);
    EXPECT_EQ(run.overtoppingLevel, 14.5);
    EXPECT_EQ(run.freeboard, 0.519);
    EXPECT_EQ(run.floodVolume, 8155044.0);
    EXPECT_EQ(run.releasedVolume, 7890123.5);
    EXPECT_EQ(run.netInflow, 264920.5);
    EXPECT_EQ(run.storageChange, 264910.2);
    EXPECT_EQ(run.balanceErrorPercent, 0.0001);
    EXPECT_EQ(run.balanceErrorVolume, 10.3);
    EXPECT_FALSE(run.stopped);
    ASSERT_EQ(run.lines.size(), 14u); // the unknown line is not among them
    EXPECT_EQ(run.lines[2].label, "Kulminace přítoku");
    EXPECT_EQ(run.lines[2].text, "100.000 m3/s v kroku 10");
}

TEST_F(RunSummaryFiles, AStoppedRunGivesTheReasonStepAndTheFiguresOfTheStepsDone) {
    const project_files::SummaryRead overtopped = project_files::readRunSummary(
        write("a", "Kroků výpočtu: 13 z 48\nKulminace přítoku: 100.000 m3/s v kroku 10\n"
                   "Kulminace celé povodně: 300.000 m3/s v kroku 16\n"
                   "Zpoždění kulminace: -1.500 h (-3 kroky)\n"
                   "Rezerva do přelití: žádná, nádrž přelita v kroku 14\n"
                   "Výpočet zastaven: přelití nádrže v kroku 14\n"));
    ASSERT_TRUE(overtopped.summary);
    EXPECT_TRUE(overtopped.summary->stopped);
    EXPECT_EQ(overtopped.summary->stopReason, "přelití nádrže v kroku 14");
    EXPECT_EQ(overtopped.summary->stoppedStep, 14);
    EXPECT_EQ(overtopped.summary->steps, 13);
    EXPECT_EQ(overtopped.summary->peakLagSteps, -3);
    EXPECT_FALSE(overtopped.summary->outflowPeak); // a line left out stays empty
    // The whole flood's peak, and a freeboard in words: shown, but no number.
    EXPECT_EQ(overtopped.summary->floodPeak, 300.0);
    EXPECT_EQ(overtopped.summary->floodPeakStep, 16);
    EXPECT_FALSE(overtopped.summary->freeboard);
    EXPECT_EQ(overtopped.summary->lines.size(), 6u);

    const project_files::SummaryRead beforeRouting = project_files::readRunSummary(
        write("b", "Kroků výpočtu: 0 z 48\r\nVýpočet zastaven: ERROR 2\r\n"));
    ASSERT_TRUE(beforeRouting.summary);
    EXPECT_EQ(beforeRouting.summary->stopReason, "ERROR 2");
    EXPECT_FALSE(beforeRouting.summary->stoppedStep);
    EXPECT_EQ(beforeRouting.summary->steps, 0);
}

TEST_F(RunSummaryFiles, NoFileMeansNoSummaryAndAFigureThatIsNoNumberStaysEmpty) {
    const project_files::SummaryRead missing =
        project_files::readRunSummary(m_dir / "souhrn_vypoctu");
    EXPECT_FALSE(missing.summary);
    EXPECT_TRUE(missing.error.empty());
    const project_files::SummaryRead directory = project_files::readRunSummary(m_dir);
    EXPECT_FALSE(directory.summary);
    EXPECT_FALSE(directory.error.empty());

    const project_files::SummaryRead odd = project_files::readRunSummary(
        write("c", "\xEF\xBB\xBFKulminace odtoku: n/a m3/s\nbez dvojtečky\n\nKroků výpočtu: 7\n"));
    ASSERT_TRUE(odd.summary);
    EXPECT_FALSE(odd.summary->outflowPeak);
    EXPECT_EQ(odd.summary->steps, 7); // the byte order mark is not part of the first label
    EXPECT_FALSE(odd.summary->stepsGiven);
    EXPECT_EQ(odd.summary->lines.size(), 2u);
}

TEST_F(RunSummaryFiles, AnInputSavedAfterTheResultsIsNamed) {
    const fs::path inputs = m_dir / "PULT_na_vypocty";
    fs::create_directories(inputs);
    std::ofstream(inputs / "IN_START_RO") << "9.5\r\n";
    std::ofstream(inputs / "IN_TIME_STEP_min") << "60\r\n";
    std::ofstream(inputs / "Q_FLOOD_WAVE.csv") << "1\r\n";
    // The inputs saved first, the results after them, as a run goes.
    const fs::path result = write("vyska_vody", "      12.0000000\r\n");
    const auto now = fs::last_write_time(result);
    fs::last_write_time(inputs / "IN_START_RO", now - std::chrono::hours(1));
    fs::last_write_time(inputs / "IN_TIME_STEP_min", now - std::chrono::seconds(1));
    fs::last_write_time(inputs / "Q_FLOOD_WAVE.csv", now + std::chrono::hours(1));
    fs::last_write_time(result, now);

    project_files::ResultAge age = project_files::resultAge(result, inputs);
    ASSERT_TRUE(age.computed);
    EXPECT_EQ(*age.computed, now);
    EXPECT_TRUE(age.newerInput.empty()); // only IN_* files count

    fs::last_write_time(inputs / "IN_START_RO", now + std::chrono::minutes(5));
    fs::last_write_time(inputs / "IN_TIME_STEP_min", now + std::chrono::minutes(7));
    age = project_files::resultAge(result, inputs);
    EXPECT_EQ(age.newerInput, "IN_TIME_STEP_min");
    EXPECT_EQ(age.newerInputTime, now + std::chrono::minutes(7));
    EXPECT_EQ(project_files::secondsSinceEpoch(*age.newerInputTime) -
                  project_files::secondsSinceEpoch(now),
              420);

    EXPECT_FALSE(project_files::resultAge(m_dir / "missing", inputs).computed);

#ifdef __unix__
    // An input copied in with its old modification time kept still counts
    // from when it was put there, after the result was put in place (the
    // system's clock for that ticks in milliseconds).
    fs::last_write_time(result, now - std::chrono::hours(3));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    for (const char* name : {"IN_START_RO", "IN_TIME_STEP_min"})
        fs::last_write_time(inputs / name, now - std::chrono::hours(5));
    age = project_files::resultAge(result, inputs);
    EXPECT_FALSE(age.newerInput.empty());
#endif
}
