// How the end of a run is told: each exit as what it is, the core's lines in
// full, the field behind every exchange file, the summary of this run only.
#include "desk/input_fields.h"
#include "desk/run_report.h"
#include "exchange/file_names.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

const char* const kBanner = "   PRGVELDRON - TRANSFORMACE POVODNOVE VLNY V NADRZI\n";
const char* const kError2 =
    "ERROR 2 spatne nactene hodnoty nebo vybocilo z okrajovych podminek  !!!";

project_files::SavedReal saved(float value, const char* text) {
    return {value, text};
}

// The sample reservoir as a run reads it: crest 12 m, retention 2,5 m, a curve
// from 0,50 to `top` m, a start at `start` m.
project_files::SavedInputs reservoir(float top, const char* topText, float start,
                                     const char* startText) {
    project_files::SavedInputs inputs;
    inputs.crestHeight = saved(12.0f, "12");
    inputs.retentionHeight = saved(2.5f, "2.5");
    inputs.startLevel = saved(start, startText);
    inputs.curve = {{saved(312.5f, "312.50"), saved(0.5f, "0.50"), saved(1838.9f, "1838.9"),
                     saved(8091.3f, "8091.3")},
                    {saved(330.0f, "330.00"), saved(top, topText), saved(4880123.0f, "4880123.0"),
                     saved(596459.5f, "596459.5")}};
    return inputs;
}

// The paragraphs under the core's line of a stop.
std::string advice(const char* coreLine, const project_files::SavedInputs& inputs,
                   const std::optional<std::string>& summary = std::nullopt) {
    const std::string text =
        desk::reportRun({false, 1}, std::string(kBanner) + "           4\n" + coreLine + "\n",
                        summary, inputs)
            .text;
    const std::size_t at = text.find(std::string(coreLine) + "\n\n");
    return at == std::string::npos ? text : text.substr(at + std::strlen(coreLine) + 2);
}

TEST(RunReport, EachExitIsToldAsWhatItIs) {
    const desk::RunReport done = desk::reportRun({false, 0}, kBanner, std::nullopt);
    EXPECT_EQ(done.ending, desk::RunEnding::Done);
    EXPECT_EQ(done.text, "Výpočet doběhl");
    EXPECT_EQ(desk::reportRun({false, 0}, kBanner, "Kroků výpočtu: 48 z 48").text,
              "Výpočet doběhl\n\nSouhrn výpočtu:\nKroků výpočtu: 48 z 48");

    const desk::RunReport error2 =
        desk::reportRun({false, 1}, std::string(kBanner) + kError2 + "\n", std::nullopt);
    EXPECT_EQ(error2.ending, desk::RunEnding::Stopped);
    EXPECT_EQ(error2.text.rfind("Výpočet byl zastaven: jádro ohlásilo chybu.\n\nHlášení jádra:\n" +
                                    std::string(kError2) + "\n\n",
                                0),
              0u)
        << error2.text;

    // Each step line is printed when the step is done: the 14th overtopped.
    const desk::RunReport overtopped =
        desk::reportRun({false, 1},
                        std::string(kBanner) + "           1\r\n          13\r\n"
                                               "!!! doslo k preliti nadrze !!!\n",
                        "Výpočet zastaven: přelití nádrže v kroku 14");
    EXPECT_EQ(overtopped.text.rfind(
                  "Výpočet byl zastaven v kroku 14: došlo k přelití nádrže.\n\nHlášení jádra:\n"
                  "!!! doslo k preliti nadrze !!!\n\n",
                  0),
              0u);
    EXPECT_NE(overtopped.text.find("\n\nSouhrn výpočtu:\nVýpočet zastaven: přelití nádrže v "
                                   "kroku 14"),
              std::string::npos);

    for (const desk::CoreExit exit : {desk::CoreExit{false, 3}, desk::CoreExit{true, 0}}) {
        const desk::RunReport failed = desk::reportRun(exit, kBanner, std::nullopt);
        EXPECT_EQ(failed.ending, desk::RunEnding::Failed);
        EXPECT_EQ(failed.text.rfind("Výpočet selhal\n\n", 0), 0u);
    }
}

TEST(RunReport, ARefusalNamesTheFormAndFieldOfTheFile) {
    const std::string line =
        "*ERR* 59 chybna hodnota 'abc': /tmp/x/PULT_na_vypocty/IN_START_RN_OWERFLOW, radek 1 "
        "(ocekavana hodnota 1 z 1, ocekavano realne cislo)";
    const desk::RunReport refused =
        desk::reportRun({false, 2}, std::string(kBanner) + line + "\n", std::nullopt);
    EXPECT_EQ(refused.ending, desk::RunEnding::Refused);
    EXPECT_EQ(refused.text, "Jádro odmítlo vstupní data, výpočet neproběhl.\n\nHlášení jádra:\n" +
                                line +
                                "\n\nOpravte:\nTechnické údaje → Výška vody po bezpečnostní "
                                "přeliv ode dna nádrže (začátek RN) [m]");
}

TEST(RunReport, AStopSaysWhatItMeansAndWhereToMendIt) {
    EXPECT_EQ(advice(kError2, reservoir(18.0f, "18.00", 99.0f, "99")),
              "Výška vody na začátku řešení 99 m leží nad horním koncem batygrafické křivky "
              "(18,00 m).\n\nOpravte:\nVýpočet → Výška vody v nádrži na začátku řešení (start) "
              "[m]\nBatygrafické křivky → tabulka H [m n.m.], h [m], V [m3], A [m2]");

    const std::string error1 = advice("ERROR 1 spatne nactene hodnoty nebo vybocilo z "
                                      "okrajovych podminek  !!!",
                                      reservoir(13.0f, "13.00", 11.0f, "11"));
    EXPECT_EQ(error1.rfind("Výpočet pracuje s hladinami od bezpečnostního přelivu RN (12 m) po RN "
                           "+ možnou výšku retenčního prostoru (12 + 2,5 = 14,5 m). Batygrafická "
                           "křivka končí ve výšce 13,00 m, nepokrývá je tedy celé.\n\nOpravte:\n"
                           "Batygrafické křivky → ",
                           0),
              0u)
        << error1;
    EXPECT_NE(error1.find("\nTechnické údaje → Možná výška retenčního neovladatelného prostoru "
                          "[m]"),
              std::string::npos);

    // ERROR 3 arises while routing: the step after the last one printed.
    const std::string error3 =
        advice("ERROR 3 spatne nactene hodnoty nebo vybocilo z okrajovych podminek   !!!",
               reservoir(18.0f, "18.00", 11.0f, "11"));
    EXPECT_EQ(error3.rfind("V kroku 5 vyšel objem vody v nádrži mimo batygrafickou křivku: "
                           "povodeň je větší, než křivka popisuje (křivka končí objemem "
                           "4880123,0 m3 ve výšce 18,00 m).\n\nOpravte:\n",
                           0),
              0u)
        << error3;

    // Overtopping: the highest level and the overtopping level as the summary has them.
    const std::string overtopping =
        advice("!!! doslo k preliti nadrze !!!", reservoir(18.0f, "18.00", 11.0f, "11"),
               "Nejvyšší hladina:           14.383 m v kroku 4\r\n"
               "Hladina přelití nádrže:     14.500 m\r\n"
               "Výpočet zastaven:       přelití nádrže v kroku 5");
    EXPECT_EQ(overtopping.rfind("V kroku 5 by hladina vystoupila nad hladinu přelití nádrže "
                                "14,500 m (začátek RN + možná výška retenčního prostoru). "
                                "Nejvyšší hladina provedených kroků: 14,383 m v kroku 4.\n\nJak "
                                "velkou povodeň nádrž ještě převede, ukáže Varianty → "
                                "Bezpečnostní rezerva.\n\nZkontrolujte:\nTechnické údaje → "
                                "Skutečná šířka b0 [m]\n",
                                0),
              0u)
        << overtopping;
}

TEST(RunReport, AnExitTwoIsToldByItsCode) {
    const auto report = [](const std::string& line) {
        return desk::reportRun({false, 2}, std::string(kBanner) + line + "\n", std::nullopt);
    };
    const std::string busyLine = "*ERR* 5 v adresari /tmp/f1 uz probiha jiny vypocet (drzi zamek "
                                 "/tmp/f1/zamek_vypoctu); nic nebylo zmeneno";
    const desk::RunReport busy = report(busyLine);
    EXPECT_EQ(busy.ending, desk::RunEnding::Busy);
    EXPECT_EQ(busy.text, "Výpočet neproběhl: v tomto adresáři výpočtu už běží jiný výpočet. Nic "
                         "nebylo změněno; spusťte výpočet znovu, až ten první skončí.\n\nHlášení "
                         "jádra:\n" +
                             busyLine);

    const std::string fullDisk = "*ERR* 11 chyba zapisu do souboru /tmp/f3/OUT_RESULT/"
                                 "transformovana_povoden (No space left on device)";
    EXPECT_EQ(report(fullDisk).text.substr(0, report(fullDisk).text.find("\n\n")),
              "Výsledky výpočtu nelze zapsat do souboru: /tmp/f3/OUT_RESULT/transformovana_povoden "
              "(No space left on device). Předchozí výsledky zůstaly beze změny.");
    const desk::RunReport locked = report("*ERR* 12 vystupni soubor nelze nahradit: "
                                          "C:\\VELDRON\\OUT_RESULT\\vyska_vody (je to adresar)");
    EXPECT_EQ(locked.ending, desk::RunEnding::Refused);
    EXPECT_EQ(locked.text.rfind("Soubor výsledků nelze nahradit: C:\\VELDRON\\OUT_RESULT\\"
                                "vyska_vody (je to adresar). Nic nebylo změněno. Zavřete soubor",
                                0),
              0u)
        << locked.text;
    EXPECT_EQ(report("*ERR* 90 nedostatek pameti")
                  .text.rfind("Výpočet neproběhl: jádru nestačí paměť počítače.", 0),
              0u);
    EXPECT_EQ(report("*ERR* 99 vnitrni chyba").ending, desk::RunEnding::Failed);
    // None of them sends the user to an input form.
    for (const char* code : {"5", "11", "12", "90", "99"})
        EXPECT_EQ(report(std::string("*ERR* ") + code + " IN_FLOOD_WAVE").text.find("Opravte"),
                  std::string::npos)
            << code;
}

TEST(InputFields, EveryExchangeFileIsFoundAsAWholeWord) {
    std::set<std::string> places;
    for (const char* file : exchange::kCoreInputs) {
        const auto named = desk::fieldsNamedIn(std::string("soubor /root/x/") + file + ", radek 3");
        ASSERT_EQ(named.size(), 1u) << file;
        EXPECT_STREQ(named[0]->file, file);
        places.insert(desk::fieldLocation(*named[0]));
    }
    EXPECT_EQ(places.size(),
              exchange::kCoreInputs.size()); // no two files send the user to one place
    EXPECT_TRUE(desk::fieldsNamedIn("IN_START_ROX IN_FLOOD_WAVES").empty());
}

TEST(RunReport, OnlyASummaryThisRunWroteIsShown) {
    const veldron::testing::TempDir dir;
    const fs::path file = dir.path() / "souhrn_vypoctu";
    EXPECT_FALSE(desk::summaryWrittenSince(file, std::nullopt));
    std::ofstream(file, std::ios::binary) << "Kroků výpočtu: 48 z 48\r\n";
    EXPECT_EQ(desk::summaryWrittenSince(file, std::nullopt), "Kroků výpočtu: 48 z 48");
    const auto before = desk::summaryTime(file);
    EXPECT_FALSE(desk::summaryWrittenSince(file, before)); // an earlier run's
    fs::last_write_time(file, *before + std::chrono::seconds(1));
    EXPECT_TRUE(desk::summaryWrittenSince(file, before));
}

} // namespace
