// Projects without a window: making one, refusing what is no project, saving
// one as a whole copy, the recent list, the overview and the report's content.
#include "desk/project.h"
#include "desk/report_target.h"

#include "desk/kept_margin.h"
#include "desk/project_overview.h"
#include "desk/recent_projects.h"
#include "desk/report_content.h"
#include "desk/typed_number.h"
#include "exchange/exchange_paths.h"
#include "exchange/result_set.h"
#include "project_files/run_summary_reader.h"
#include "tests/support/sample_record.h"
#include "tests/support/sample_root.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include <sys/wait.h>

namespace fs = std::filesystem;
using veldron::testing::readFile;
using veldron::testing::TempDir;
using veldron::testing::writeFile;

namespace {

const fs::path kSample = fs::path(VELDRON_SOURCE_DIR) / "data/sample";

/// Moves a file's modification time `seconds` into the future: saved later.
void saveLater(const fs::path& file, int seconds) {
    fs::last_write_time(file, fs::file_time_type::clock::now() + std::chrono::seconds(seconds));
}

class Projects : public ::testing::Test {
protected:
    /// The sample as a project named "Nádrž A" in the temporary folder.
    fs::path sampleProject() {
        const desk::ProjectMade made =
            desk::createProject(m_dir.path(), "Nádrž A", desk::ProjectStart::Sample, kSample);
        EXPECT_TRUE(made.root) << made.problem;
        return made.root.value_or(fs::path());
    }
    std::vector<std::string> entries() const { return m_dir.files(); }

    TempDir m_dir;
};

} // namespace

TEST_F(Projects, ANewProjectIsARootWithTheSampleOrNothingAndNoPrograms) {
    const fs::path sample = sampleProject();
    EXPECT_EQ(desk::projectProblem(sample), "");
    EXPECT_EQ(desk::projectName(sample), "Nádrž A");
    EXPECT_TRUE(fs::is_directory(exchange::variantsDir(sample)));
    const fs::path inputs = exchange::exchangeDir(sample);
    EXPECT_EQ(readFile(inputs / "IN_FLOOD_WAVE"), readFile(kSample / "IN_FLOOD_WAVE"));
    EXPECT_TRUE(fs::exists(inputs / "Q_FLOOD_WAVE.csv"));
    EXPECT_TRUE(fs::exists(inputs / "BK.csv"));
    EXPECT_FALSE(fs::exists(inputs / "ZVUK.wav")); // the installation's, not the project's
    EXPECT_FALSE(fs::exists(inputs / "LOGO_LEVY.jpg"));

    const desk::ProjectMade empty =
        desk::createProject(m_dir.path(), "Prázdný", desk::ProjectStart::Empty, kSample);
    ASSERT_TRUE(empty.root) << empty.problem;
    EXPECT_TRUE(fs::is_empty(exchange::exchangeDir(*empty.root)));
    EXPECT_EQ(desk::projectProblem(*empty.root), "");
    EXPECT_EQ(entries(), (std::vector<std::string>{"Nádrž A", "Prázdný"})); // no drafts left
}

TEST_F(Projects, WhatCannotBeMadeOrOpenedIsRefusedSayingWhy) {
    sampleProject();
    const auto refused = [&](const fs::path& parent, const std::string& name) {
        const desk::ProjectMade made =
            desk::createProject(parent, name, desk::ProjectStart::Sample, kSample);
        EXPECT_FALSE(made.root);
        return made.problem;
    };
    EXPECT_EQ(refused(m_dir.path(), "  "), "Název projektu nesmí být prázdný.");
    EXPECT_NE(refused(m_dir.path(), "a/b").find("nesmí obsahovat lomítko"), std::string::npos);
    EXPECT_NE(refused(m_dir.path(), "con.txt").find("vyhrazený název"), std::string::npos);
    EXPECT_EQ(refused(m_dir.path(), " .skryta"), "Název projektu nesmí začínat tečkou.");
    EXPECT_NE(refused(m_dir.path(), " Nádrž A ").find("už existuje"), std::string::npos);
    EXPECT_NE(refused(m_dir.path() / "chybi", "B").find("neexistuje"), std::string::npos);
    EXPECT_NE(desk::createProject(m_dir.path(), "C", desk::ProjectStart::Sample, m_dir.path() / "x")
                  .problem.find("Vzorová nádrž"),
              std::string::npos);
    EXPECT_EQ(entries(), std::vector<std::string>{"Nádrž A"});

    const fs::path folder = m_dir.path() / "složka";
    fs::create_directories(folder);
    EXPECT_EQ(desk::projectProblem(folder),
              "Složka „" + folder.string() +
                  "“ není projekt VELDRON: chybí v ní složky PULT_na_vypocty, OUT_DATA, "
                  "OUT_DATA/TK, OUT_RESULT, OUT_PICTURES.");
    fs::remove_all(m_dir.path() / "Nádrž A" / "OUT_RESULT");
    EXPECT_EQ(desk::projectProblem(m_dir.path() / "Nádrž A"),
              "Složka „" + (m_dir.path() / "Nádrž A").string() +
                  "“ není úplný projekt VELDRON: chybí v ní složka OUT_RESULT.");
    EXPECT_NE(desk::projectProblem(m_dir.path() / "nic").find("neexistuje"), std::string::npos);
}

// Two projects side by side keep their own inputs, results and variants: a
// copy is whole, its results as current and as complete as the original's,
// and what changes in one leaves the other as it was.
TEST_F(Projects, SavedAsACopyTheProjectKeepsItsResultsCurrentAndCompleteAndGoesItsOwnWay) {
    const fs::path original = sampleProject();
    ASSERT_EQ(veldron::testing::runRealCore(original), 0);
    const fs::path inputs = exchange::exchangeDir(original);
    writeFile(inputs / "PRGVELDRON", "program"); // an installation's own
    writeFile(exchange::outResultDir(original) / "vyska_vody.docasny", "x"); // a run's leftovers
    writeFile(original / "zamek_vypoctu", "");
    fs::create_directories(exchange::variantsDir(original) / "Z 0,6");
    writeFile(exchange::variantsDir(original) / "Z 0,6" / "popis_varianty", "Varianta\r\n");
    ASSERT_TRUE(desk::keepSafetyMargin(original, true, "11", {"k = 1,64"}));

    const desk::ProjectMade copy = desk::saveProjectAs(original, m_dir.path(), "Nádrž B");
    ASSERT_TRUE(copy.root) << copy.problem;
    const fs::path other = *copy.root;
    EXPECT_TRUE(exchange::isCompleteResultSet(other));
    const fs::path summary = exchange::outResultDir(other) / "souhrn_vypoctu";
    EXPECT_EQ(project_files::resultAge(summary, exchange::exchangeDir(other)).newerInput, "");
    EXPECT_EQ(fs::last_write_time(summary),
              fs::last_write_time(exchange::outResultDir(original) / "souhrn_vypoctu"));
    EXPECT_EQ(desk::readProjectOverview(other).run.state, desk::LastRun::Done);
    EXPECT_EQ(readFile(exchange::variantsDir(other) / "Z 0,6" / "popis_varianty"), "Varianta\r\n");
    ASSERT_TRUE(desk::readKeptSafetyMargin(other));
    EXPECT_EQ(desk::readKeptSafetyMargin(other)->answer, std::vector<std::string>{"k = 1,64"});
    EXPECT_FALSE(fs::exists(exchange::exchangeDir(other) / "PRGVELDRON"));
    EXPECT_FALSE(fs::exists(exchange::outResultDir(other) / "vyska_vody.docasny"));
    EXPECT_FALSE(fs::exists(other / "zamek_vypoctu"));
    EXPECT_NE(desk::saveProjectAs(original, m_dir.path(), "Nádrž B").problem.find("už existuje"),
              std::string::npos);

    writeFile(exchange::exchangeDir(other) / "IN_MANPR", "0.7\r\n");
    saveLater(exchange::exchangeDir(other) / "IN_MANPR", 5);
    EXPECT_EQ(desk::readProjectOverview(other).run.state, desk::LastRun::Outdated);
    EXPECT_EQ(desk::readProjectOverview(original).run.state, desk::LastRun::Done);
    EXPECT_EQ(readFile(inputs / "IN_MANPR"), readFile(kSample / "IN_MANPR"));
}

TEST(RecentProjects, TheLastFiveNewestFirstEachOnceKeptBetweenSessions) {
    TempDir dir;
    const fs::path store = dir.path() / "nastaveni" / "nedavne_projekty";
    {
        desk::RecentProjects recent(store);
        for (const char* name : {"a", "b", "c", "d", "e", "f", "g"})
            EXPECT_EQ(recent.add(dir.path() / name), "");
        EXPECT_EQ(recent.add(dir.path() / "e" / ""), ""); // the same folder, spelled otherwise
    }
    desk::RecentProjects recent(store);
    std::vector<std::string> names;
    for (const fs::path& project : recent.projects())
        names.push_back(project.filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"e", "g", "f", "d", "c"}));
    recent.remove(dir.path() / "g");
    EXPECT_EQ(desk::RecentProjects(store).projects().size(), 4u);
    EXPECT_TRUE(desk::RecentProjects(dir.path() / "chybi").projects().empty());
}

TEST_F(Projects, TheOverviewTellsWhatIsSavedAndWhatBecameOfTheLastRun) {
    const fs::path root = sampleProject();
    const fs::path inputs = exchange::exchangeDir(root);
    desk::ProjectOverview overview = desk::readProjectOverview(root);
    ASSERT_EQ(overview.inputs.size(), 4u);
    for (const desk::InputOverview& input : overview.inputs)
        EXPECT_TRUE(input.saved()) << input.form;
    EXPECT_EQ(overview.run.state, desk::LastRun::None);

    ASSERT_EQ(veldron::testing::runRealCore(root), 0);
    overview = desk::readProjectOverview(root);
    EXPECT_EQ(overview.run.state, desk::LastRun::Done);
    ASSERT_EQ(overview.run.keyFigures.size(), 4u);
    EXPECT_EQ(overview.run.keyFigures[0].text, "100,000 m3/s v kroku 10");
    EXPECT_EQ(overview.run.keyFigures[3].text, veldron::testing::sample::kFreeboardFigure);

    // A start that did not replace the results leaves IN_START_VYP beside them.
    writeFile(inputs / "IN_START_VYP", "11\r\n");
    EXPECT_EQ(desk::readProjectOverview(root).run.state, desk::LastRun::Refused);
    fs::remove(inputs / "IN_START_VYP");
    fs::remove(inputs / "IN_FLOOD_WAVE");
    writeFile(inputs / "IN_OUTLET_DIAMETER", "1,5\r\n");
    saveLater(inputs / "IN_OUTLET_DIAMETER", 5);
    overview = desk::readProjectOverview(root);
    // Named as the forms name them: a person thinks in forms and fields.
    EXPECT_EQ(overview.inputs[0].missing, std::vector<std::string>{"tabulka Q [m3/s]"});
    EXPECT_EQ(overview.inputs[2].unread, std::vector<std::string>{"Průměr potrubí [m]"});
    EXPECT_EQ(overview.run.state, desk::LastRun::Outdated);
    EXPECT_EQ(overview.run.newerInput, "IN_OUTLET_DIAMETER");
    EXPECT_NE(desk::lastRunText(overview.run)
                  .find("starší než vstupy: vstup „Průměr potrubí [m]“ ve formuláři Technické "
                        "údaje byl uložen "),
              std::string::npos)
        << desk::lastRunText(overview.run);
}

TEST_F(Projects, AReportIsOnlyMadeOfCompleteResultsNoOlderThanTheInputs) {
    const fs::path root = sampleProject();
    const auto refusal = [&] {
        try {
            desk::gatherReport(root);
        } catch (const desk::ReportRefused& refused) {
            return std::string(refused.what());
        }
        return std::string();
    };
    EXPECT_NE(refusal().find("nemá úplné výsledky"), std::string::npos);
    ASSERT_EQ(veldron::testing::runRealCore(root), 0);
    const desk::ReportContent report = desk::gatherReport(root);
    EXPECT_EQ(report.projectName, "Nádrž A");
    EXPECT_FALSE(report.stopped);
    EXPECT_EQ(report.summary.size(), 14u);
    // The summary's figures as the core wrote them, with decimal commas.
    const std::string_view balance = veldron::testing::sample::kSummary.substr(
        veldron::testing::sample::kSummary.rfind(':') + 1);
    EXPECT_EQ(
        report.summary.back().value,
        desk::czechFigures(std::string(balance.substr(
            balance.find_first_not_of(' '), balance.find('\r') - balance.find_first_not_of(' ')))));
    EXPECT_EQ(report.technicalData[2].value, "0,62");
    EXPECT_EQ(report.inflow.size(), 48u);
    EXPECT_EQ(report.floodWave[9].text, "100,00");
    EXPECT_EQ(report.settings[3].value, "Budu průběžně manipulovat (při povodni plynule ZAVŘU a "
                                        "po povodni plynule OTEVŘU) ");
    EXPECT_EQ(report.settings[4].value, "0,6 m"); // the zone of the gradual manipulation
    EXPECT_EQ(report.settings[5].value, "11 m");  // the start level the run read
    EXPECT_FALSE(report.comparison);

    fs::remove(exchange::outResultDir(root) / "povodnova_vlna");
    EXPECT_NE(refusal().find("nemá úplné výsledky"), std::string::npos);
    writeFile(exchange::exchangeDir(root) / "IN_START_VYP", "11\r\n"); // every run consumes it
    ASSERT_EQ(veldron::testing::runRealCore(root), 0);
    // Saved again as it was: the results are still its results.
    saveLater(exchange::exchangeDir(root) / "IN_START_RO", 5);
    EXPECT_EQ(refusal(), "");
    writeFile(exchange::exchangeDir(root) / "IN_START_RO", "8\r\n");
    EXPECT_NE(refusal().find("starší než vstupy: vstup „Výška vody po zásobní prostor ode dna "
                             "nádrže (začátek RO) [m]“ ve formuláři Technické údaje byl od "
                             "výpočtu změněn"),
              std::string::npos)
        << refusal();
    writeFile(exchange::exchangeDir(root) / "IN_START_RO", "9\r\n");
    EXPECT_EQ(refusal(), "");
    // A set of an earlier core, which kept no record of its inputs.
    fs::remove(exchange::outResultDir(root) / "vstupy_vypoctu");
    EXPECT_NE(refusal().find("nemají záznam vstupů"), std::string::npos);
}

// The report replaces only a regular PDF file outside the project: never an
// input (the next run would read '%PDF-1.4'), a link's target, a device or
// a FIFO, whatever path it is given.
TEST_F(Projects, TheReportIsWrittenOnlyToARegularPdfFileOfItsOwn) {
    const fs::path root = sampleProject();
    const fs::path dir = m_dir.path();
    fs::create_directory(dir / "slozka.pdf");
    ASSERT_EQ(::mkfifo((dir / "roura.pdf").c_str(), 0644), 0);
    writeFile(dir / "stary.pdf", "%PDF-1.4\n");
    fs::create_symlink(dir / "stary.pdf", dir / "odkaz.pdf");
    fs::create_hard_link(exchange::exchangeDir(root) / "IN_FLOOD_WAVE", dir / "vlna.pdf");
    const bool device = ::mknod((dir / "zarizeni.pdf").c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
    const struct {
        fs::path target;
        std::string problem; // the start of the refusal; "" for none
    } cases[] = {
        {exchange::exchangeDir(root) / "IN_FLOOD_WAVE", "Protokol se ukládá jen do souboru s "
                                                        "příponou .pdf"},
        {dir / "protokol.txt", "Protokol se ukládá jen do souboru s příponou .pdf"},
        {dir / "slozka.pdf",
         "Cesta „" + (dir / "slozka.pdf").string() + "“ není obyčejný soubor (složka)"},
        {dir / "roura.pdf",
         "Cesta „" + (dir / "roura.pdf").string() + "“ není obyčejný soubor (pojmenovaná roura)"},
        {dir / "odkaz.pdf", "Cesta „" + (dir / "odkaz.pdf").string() + "“ je symbolický odkaz"},
        {dir / "vlna.pdf", "Soubor „" + (dir / "vlna.pdf").string() + "“ patří k projektu"},
        {dir / "chybi" / "x.pdf", "Složka „" + (dir / "chybi").string() + "“ neexistuje"},
        {device ? dir / "zarizeni.pdf" : dir / "slozka.pdf", "Cesta „"},
        {dir / "stary.PDF", ""},
        {dir / "stary.pdf", ""},
        {dir / "novy.pdf", ""},
    };
    for (const auto& c : cases) {
        const std::string problem = desk::reportTargetProblem(root, c.target);
        if (c.problem.empty())
            EXPECT_EQ(problem, "") << c.target;
        else
            EXPECT_EQ(problem.rfind(c.problem, 0), 0u) << problem;
    }
}
