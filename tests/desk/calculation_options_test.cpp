// The calculation settings without a window: option values, the bytes of every
// file, and the order and stopping of the start sequence.
#include "desk/calculation_options.h"
#include "desk/start_level.h"

#include "exchange/exchange_paths.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;
using desk::OptionGroup;

namespace {

using veldron::testing::readFile;
using veldron::testing::TempDir;

std::vector<std::string> dirFiles(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Records what the window would do, and what was on disk at each moment.
struct Recorder {
    Recorder(fs::path program, fs::path rootDir)
        : programDir(std::move(program)), root(std::move(rootDir)) {}
    fs::path programDir, root;
    bool answer = true;
    std::vector<std::string> events;

    desk::StartActions actions() {
        desk::StartActions a;
        a.ask = [this](const std::string& question) {
            events.push_back("ask:" + question +
                             " predp1=" + bytesOf(programDir / "IN_PREDP1_0_1") +
                             " predp2=" + bytesOf(programDir / "IN_PREDP2_0_1") +
                             " manpr=" + bytesOf(programDir / "IN_MANPR") +
                             " step=" + bytesOf(programDir / "IN_TIME_STEP_min") +
                             " kept=" + bytesOf(root / "posledni_vyska_startu") +
                             " start=" + bytesOf(startFile()));
            return answer;
        };
        a.showError = [this](const std::string& error) { events.push_back("error:" + error); };
        a.launch = [this](const fs::path& on) {
            events.push_back("launch:" + on.string() + " start=" + bytesOf(startFile()));
        };
        return a;
    }
    fs::path startFile() const { return exchange::exchangeDir(root) / "IN_START_VYP"; }
    static std::string bytesOf(const fs::path& path) {
        return fs::exists(path) ? "[" + readFile(path) + "]" : "none";
    }
};

constexpr desk::OptionItems kNothingSelected{-1, -1, -1, -1, -1};

} // namespace

TEST(OptionWrite, EveryGroupWritesItsOwnFileAsDigitsAndCrLf) {
    const TempDir dir;
    const std::pair<OptionGroup, const char*> expected[] = {
        {OptionGroup::PreReleaseStorage, "IN_PREDP1_0_1"},
        {OptionGroup::PreReleaseControlled, "IN_PREDP2_0_1"},
        {OptionGroup::EmptyAfterFlood, "IN_PREDP3_0_1"},
        {OptionGroup::ManipulationMode, "IN_MANIP_0_1_2"},
        {OptionGroup::KeepClosedAfterPeak, "IN_MANIP1_0_1"},
    };
    for (const auto& [group, name] : expected) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(desk::perform(desk::optionWrite(dir.path(), group, 1)));
        EXPECT_EQ(readFile(dir.path() / name), "1\r\n");
        // A later selection truncates the file rather than appending to it.
        ASSERT_TRUE(desk::perform(desk::optionWrite(dir.path(), group, 0)));
        EXPECT_EQ(readFile(dir.path() / name), "0\r\n");
    }
    ASSERT_TRUE(desk::perform(desk::optionWrite(dir.path(), OptionGroup::ManipulationMode, 2)));
    EXPECT_EQ(readFile(dir.path() / "IN_MANIP_0_1_2"), "2\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 5);
}

// A run the core would refuse for a missing option file is refused first,
// naming the choices; the choice after the peak only where the mode reads it.
TEST(RunOptions, EveryChoiceTheModeReadsIsNeededAndTheOthersAreWrittenAsTheirFirstItem) {
    using enum OptionGroup;
    struct Case {
        const char* what;
        desk::OptionItems selected;
        std::vector<OptionGroup> missing;
        int keepClosedWritten; // the item the run writes for IN_MANIP1_0_1
    };
    const Case cases[] = {
        {"nothing chosen",
         kNothingSelected,
         {PreReleaseStorage, PreReleaseControlled, EmptyAfterFlood, ManipulationMode},
         -1},
        {"outlets closed above the crest", {0, 1, 0, 1, -1}, {KeepClosedAfterPeak}, -1},
        {"outlets open above the crest", {0, 1, 0, 0, -1}, {}, 0},
        {"gradual manipulation", {1, 0, 1, 2, -1}, {}, 0},
        {"a choice made is kept", {0, 0, 0, 2, 1}, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const desk::RunOptions options = desk::runOptions(c.selected);
        EXPECT_EQ(options.missing, c.missing);
        EXPECT_EQ(options.items[4], c.keepClosedWritten);
        EXPECT_TRUE(std::equal(c.selected.begin(), c.selected.begin() + 4, options.items.begin()));
    }
    const std::string text = desk::missingChoicesText({PreReleaseControlled, KeepClosedAfterPeak});
    EXPECT_NE(text.find("\n• Vyber možnost v retenčním prostoru ovladatelném (v RO)\n• Po "
                        "transformaci maxima PV mám zavřené výpustě (stále v RN)"),
              std::string::npos)
        << text;
}

TEST(StartSequence, WritesSettingsAsksThenWritesStartLevelAndLaunches) {
    const TempDir program, root;
    fs::create_directories(exchange::exchangeDir(root.path()));
    Recorder rec{program.path(), root.path()};
    // Texts go out as given; a group without a selection keeps its file as it is.
    const desk::CalculationFields fields{"12.5", "2.5", ""};

    EXPECT_EQ(desk::runStartSequence(program.path(), root.path(), {1, -1, -1, 2, -1}, fields,
                                     rec.actions()),
              desk::StartOutcome::Launched);

    EXPECT_EQ(rec.events, (std::vector<std::string>{
                              "ask:Data zapsána. SPUSTIT VÝPOČET ??? predp1=[1\r\n] predp2=none "
                              "manpr=[\r\n] step=[2.5\r\n] kept=[12.5\r\n] start=none",
                              "launch:" + root.path().string() + " start=[12.5\r\n]"}));
    EXPECT_EQ(readFile(program.path() / "IN_MANIP_0_1_2"), "2\r\n");
}

TEST(StartSequence, NoWritesTheSettingsButNeitherStartLevelNorLaunch) {
    const TempDir program, root;
    fs::create_directories(exchange::exchangeDir(root.path()));
    Recorder rec{program.path(), root.path()};
    rec.answer = false;

    EXPECT_EQ(desk::runStartSequence(program.path(), root.path(), kNothingSelected,
                                     {"1", "10", "0.6"}, rec.actions()),
              desk::StartOutcome::Declined);
    ASSERT_EQ(rec.events.size(), 1u);
    EXPECT_EQ(readFile(program.path() / "IN_MANPR"), "0.6\r\n");
    EXPECT_EQ(readFile(program.path() / "IN_TIME_STEP_min"), "10\r\n");
    EXPECT_FALSE(fs::exists(rec.startFile()));
}

TEST(StartSequence, AFileThatCannotBeWrittenStopsTheSequenceThere) {
    // The option files come first: when one fails nothing after it is written or asked.
    {
        const TempDir program, root;
        fs::create_directories(exchange::exchangeDir(root.path()));
        fs::create_directory(program.path() / "IN_MANIP_0_1_2"); // cannot be opened as a file
        Recorder rec{program.path(), root.path()};
        EXPECT_EQ(desk::runStartSequence(program.path(), root.path(), {0, -1, -1, 1, -1}, {},
                                         rec.actions()),
                  desk::StartOutcome::WriteFailed);
        ASSERT_EQ(rec.events.size(), 1u);
        EXPECT_EQ(rec.events[0].rfind("error:", 0), 0u);
        EXPECT_NE(rec.events[0].find("IN_MANIP_0_1_2"), std::string::npos);
        EXPECT_EQ(readFile(program.path() / "IN_PREDP1_0_1"), "0\r\n");
        EXPECT_FALSE(fs::exists(program.path() / "IN_MANPR"));
    }
    // IN_TIME_STEP_min last of the settings: IN_MANPR stays written, no question.
    {
        const TempDir program, root;
        fs::create_directory(program.path() / "IN_TIME_STEP_min");
        Recorder rec{program.path(), root.path()};
        EXPECT_EQ(desk::runStartSequence(program.path(), root.path(), kNothingSelected, {},
                                         rec.actions()),
                  desk::StartOutcome::WriteFailed);
        ASSERT_EQ(rec.events.size(), 1u);
        EXPECT_NE(rec.events[0].find("IN_TIME_STEP_min"), std::string::npos);
        EXPECT_EQ(readFile(program.path() / "IN_MANPR"), "0\r\n");
        EXPECT_FALSE(fs::exists(root.path() / "posledni_vyska_startu"));
    }
    // A missing exchange directory: confirmed, but IN_START_VYP fails and no core starts.
    {
        const TempDir program, root;
        Recorder rec{program.path(), root.path()};
        EXPECT_EQ(desk::runStartSequence(program.path(), root.path(), kNothingSelected, {},
                                         rec.actions()),
                  desk::StartOutcome::WriteFailed);
        ASSERT_EQ(rec.events.size(), 2u);
        EXPECT_EQ(rec.events[1].rfind("error:Soubor nenalezen: ", 0), 0u);
        EXPECT_NE(rec.events[1].find("IN_START_VYP"), std::string::npos);
    }
}

TEST(StartSequence, ReadOnlyProgramDirectoryReportsDeniedAccess) {
    if (geteuid() == 0) GTEST_SKIP() << "root may write into a read-only directory";
    const TempDir program, root;
    fs::permissions(program.path(), fs::perms::owner_read | fs::perms::owner_exec);
    Recorder rec{program.path(), root.path()};
    EXPECT_EQ(
        desk::runStartSequence(program.path(), root.path(), kNothingSelected, {}, rec.actions()),
        desk::StartOutcome::WriteFailed);
    ASSERT_EQ(rec.events.size(), 1u);
    EXPECT_EQ(rec.events[0].rfind("error:Přístup k souboru odepřen: ", 0), 0u);
    const project_files::FileResult option =
        desk::perform(desk::optionWrite(program.path(), OptionGroup::PreReleaseStorage, 1));
    EXPECT_FALSE(option);
    EXPECT_NE(option.error.find("IN_PREDP1_0_1"), std::string::npos);
}

TEST(SaveSettings, WritesTheSettingsAndKeepsTheStartLevelButNeverIN_START_VYP) {
    const TempDir root;
    const fs::path program = exchange::exchangeDir(root.path());
    fs::create_directories(program);
    ASSERT_TRUE(desk::saveSettings(program, root.path(), {-1, 1, 0, 0, -1}, {"11.25", "30", "0"}));
    EXPECT_EQ(dirFiles(program),
              (std::vector<std::string>{"IN_MANIP_0_1_2", "IN_MANPR", "IN_PREDP2_0_1",
                                        "IN_PREDP3_0_1", "IN_TIME_STEP_min"}));
    EXPECT_EQ(readFile(program / "IN_PREDP2_0_1"), "1\r\n");
    EXPECT_EQ(desk::lastStartLevel(root.path()), "11.25");
    EXPECT_EQ(desk::shownStartLevel(root.path()), "11,25");
}

TEST(CalculationFields, CheckedAsTypedAndWrittenWithAPoint) {
    const desk::CalculationCheck ok = desk::checkCalculationFields({"11,5", " 2,5 ", "0,6"}, {});
    ASSERT_FALSE(ok.refusal);
    EXPECT_EQ(ok.fields.startLevel, "11.5");
    EXPECT_EQ(ok.fields.timeStep, "2.5");
    EXPECT_EQ(ok.fields.manipulationZone, "0.6");

    const desk::CalculationCheck zeroStep = desk::checkCalculationFields({"11", "0", "0"}, {});
    ASSERT_TRUE(zeroStep.refusal);
    EXPECT_EQ(zeroStep.refusal->field, desk::kTimeStepField);
    EXPECT_EQ(zeroStep.refusal->message,
              "Časový krok výpočtu (krok povodňové vlny) [min]: „0“ nelze použít. Zadejte číslo "
              "větší než 0.");
    EXPECT_EQ(desk::checkCalculationFields({"11", "60", "-0,5"}, {}).refusal->field,
              desk::kManipulationZoneField);

    // Against the saved curve (0,50 … 18,00 m): above its top refused, below
    // its first row a warning; at or above the overtopping level refused as
    // the core refuses it, with the level to the centimetre.
    project_files::SavedInputs saved;
    saved.curve = {{{300.5f, "300.5"}, {0.5f, "0.50"}, {1.0f, "1"}, {0, "0"}},
                   {{318, "318"}, {18.0f, "18.00"}, {9.0f, "9"}, {0, "0"}}};
    const desk::CalculationCheck above = desk::checkCalculationFields({"99", "60", "0"}, saved);
    ASSERT_TRUE(above.refusal);
    EXPECT_EQ(above.refusal->field, desk::kStartLevelField);
    EXPECT_EQ(above.refusal->message.substr(0, above.refusal->message.find('\n')),
              "Výška vody 99 m leží nad horním koncem batygrafické křivky (18,00 m).");
    EXPECT_FALSE(desk::checkCalculationFields({"18", "60", "0"}, saved).refusal);
    const desk::CalculationCheck below = desk::checkCalculationFields({"0", "60", "0"}, saved);
    ASSERT_FALSE(below.refusal);
    ASSERT_EQ(below.warnings.size(), 1u);
    EXPECT_EQ(below.warnings[0].rfind("Výška vody 0 m leží pod prvním řádkem batygrafické "
                                      "křivky (0,50 m).",
                                      0),
              0u);
    saved.crestHeight = {12.0f, "12"};
    saved.retentionHeight = {2.5f, "2.5"};
    const desk::CalculationCheck overtops = desk::checkCalculationFields({"16", "60", "0"}, saved);
    ASSERT_TRUE(overtops.refusal);
    EXPECT_EQ(overtops.refusal->message.rfind(
                  "Výška vody 16 m leží na úrovni přelití nádrže nebo nad ní (14,50 m).", 0),
              0u);
    EXPECT_TRUE(desk::checkCalculationFields({"14,5", "60", "0"}, saved).refusal);
    EXPECT_FALSE(desk::checkCalculationFields({"14,49", "60", "0"}, saved).refusal);
}

TEST(CalculationFields, SavedSettingsAreShownAsTheFilesHoldThem) {
    TempDir root;
    const fs::path program = exchange::exchangeDir(root.path());
    fs::create_directories(program);
    for (const auto& [name, text] : std::vector<std::pair<const char*, const char*>>{
             {"IN_MANIP_0_1_2", "2\r\n"},
             {"IN_PREDP1_0_1", "1\r\n"},
             {"IN_PREDP2_0_1", "0.5\r\n"}, // no item writes it
             {"IN_TIME_STEP_min", "60\r\n"},
             {"IN_MANPR", "0.6\r\n"}})
        std::ofstream(program / name, std::ios::binary) << text;
    desk::SavedCalculationSettings saved = desk::readSavedCalculationSettings(program, root.path());
    EXPECT_EQ(saved.items, (desk::OptionItems{1, -1, -1, 2, -1}));
    EXPECT_EQ(saved.fields.timeStep, "60");
    EXPECT_EQ(saved.fields.manipulationZone, "0,6");
    EXPECT_EQ(saved.fields.startLevel, "0"); // neither kept nor in IN_START_VYP

    // Before any run IN_START_VYP holds it; afterwards the core has taken that
    // away and the root keeps what the window saved.
    std::ofstream(program / "IN_START_VYP", std::ios::binary) << "10.5\r\n";
    EXPECT_EQ(desk::readSavedCalculationSettings(program, root.path()).fields.startLevel, "10,5");
    ASSERT_TRUE(desk::keepStartLevel(root.path(), "11.75"));
    fs::remove(program / "IN_START_VYP");
    EXPECT_EQ(desk::readSavedCalculationSettings(program, root.path()).fields.startLevel, "11,75");
}
