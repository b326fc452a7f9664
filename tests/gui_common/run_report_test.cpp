// How the end of a run is told: each exit as what it is, the core's lines in
// full, the field behind every exchange file, the summary of this run only.
#include "exchange/file_names.h"
#include "gui/common/input_fields.h"
#include "gui/common/run_report.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

const char* const kBanner = "   PRGVELDRON - TRANSFORMACE POVODNOVE VLNY V NADRZI\n";

TEST(RunReport, EachExitIsToldAsWhatItIs) {
    const gui::RunReport done = gui::reportRun({false, 0}, kBanner, std::nullopt);
    EXPECT_EQ(done.ending, gui::RunEnding::Done);
    EXPECT_EQ(done.text, "Výpočet doběhl");
    EXPECT_EQ(gui::reportRun({false, 0}, kBanner, "Kroků výpočtu: 48 z 48").text,
              "Výpočet doběhl\n\nSouhrn výpočtu:\nKroků výpočtu: 48 z 48");

    const gui::RunReport error2 = gui::reportRun(
        {false, 1},
        std::string(kBanner) +
            "ERROR 2 spatne nactene hodnoty nebo vybocilo z okrajovych podminek  !!!\n",
        std::nullopt);
    EXPECT_EQ(error2.ending, gui::RunEnding::Stopped);
    EXPECT_EQ(error2.text, "Výpočet byl zastaven: jádro ohlásilo chybu.\n\nHlášení jádra:\n"
                           "ERROR 2 spatne nactene hodnoty nebo vybocilo z okrajovych podminek  "
                           "!!!");

    // Each step line is printed when the step is done: the 14th overtopped.
    const gui::RunReport overtopped =
        gui::reportRun({false, 1},
                       std::string(kBanner) + "           1\r\n          13\r\n"
                                              "!!! doslo k preliti nadrze !!!\n",
                       "Výpočet zastaven: přelití nádrže v kroku 14");
    EXPECT_EQ(overtopped.text,
              "Výpočet byl zastaven v kroku 14: došlo k přelití nádrže.\n\nHlášení jádra:\n"
              "!!! doslo k preliti nadrze !!!\n\nSouhrn výpočtu:\n"
              "Výpočet zastaven: přelití nádrže v kroku 14");

    for (const gui::CoreExit exit : {gui::CoreExit{false, 3}, gui::CoreExit{true, 0}}) {
        const gui::RunReport failed = gui::reportRun(exit, kBanner, std::nullopt);
        EXPECT_EQ(failed.ending, gui::RunEnding::Failed);
        EXPECT_EQ(failed.text.rfind("Výpočet selhal\n\n", 0), 0u);
    }
}

TEST(RunReport, ARefusalNamesTheFormAndFieldOfTheFile) {
    const std::string line =
        "*ERR* 59 chybna hodnota 'abc': /tmp/x/PULT_na_vypocty/IN_START_RN_OWERFLOW, radek 1 "
        "(ocekavana hodnota 1 z 1, ocekavano realne cislo)";
    const gui::RunReport refused =
        gui::reportRun({false, 2}, std::string(kBanner) + line + "\n", std::nullopt);
    EXPECT_EQ(refused.ending, gui::RunEnding::Refused);
    EXPECT_EQ(refused.text, "Jádro odmítlo vstupní data, výpočet neproběhl.\n\nHlášení jádra:\n" +
                                line +
                                "\n\nOpravte:\nTechnické údaje → Výška vody po bezpečnostní "
                                "přeliv ode dna nádrže (začátek RN) [m]");
}

TEST(InputFields, EveryExchangeFileIsFoundAsAWholeWord) {
    std::set<std::string> places;
    for (const char* file : exchange::kCoreInputs) {
        const auto named = gui::fieldsNamedIn(std::string("soubor /root/x/") + file + ", radek 3");
        ASSERT_EQ(named.size(), 1u) << file;
        EXPECT_STREQ(named[0]->file, file);
        places.insert(gui::fieldLocation(*named[0]));
    }
    EXPECT_EQ(places.size(),
              exchange::kCoreInputs.size()); // no two files send the user to one place
    EXPECT_TRUE(gui::fieldsNamedIn("IN_START_ROX IN_FLOOD_WAVES").empty());
}

TEST(RunReport, OnlyASummaryThisRunWroteIsShown) {
    const veldron::testing::TempDir dir;
    const fs::path file = dir.path() / "souhrn_vypoctu";
    EXPECT_FALSE(gui::summaryWrittenSince(file, std::nullopt));
    std::ofstream(file, std::ios::binary) << "Kroků výpočtu: 48 z 48\r\n";
    EXPECT_EQ(gui::summaryWrittenSince(file, std::nullopt), "Kroků výpočtu: 48 z 48");
    const auto before = gui::summaryTime(file);
    EXPECT_FALSE(gui::summaryWrittenSince(file, before)); // an earlier run's
    fs::last_write_time(file, *before + std::chrono::seconds(1));
    EXPECT_TRUE(gui::summaryWrittenSince(file, before));
}

} // namespace
