// Whole runs of the real PRGVELDRON in temporary installation roots.
#include "exchange/free_format_reader.h"
#include "exchange/record_writer.h"
#include "exchange/result_set.h"
#include "testkit/reservoir_case.h"
#include "tests/support/core_run_fixture.h"
#include "tests/support/sample_record.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using veldron::testing::CoreRun;
using veldron::testing::readFile;
using veldron::testing::records;
using veldron::testing::Result;
using veldron::testing::writeFile;

namespace {} // namespace

TEST_F(CoreRun, SampleReservoirRunsToTheEnd) {
    const Result r = run();
    EXPECT_EQ(r.status, 0) << r.console;
    EXPECT_EQ(records(result("transformovana_povoden")), 48u);
    EXPECT_EQ(records(result("vyska_vody")), 48u);
    // The first level record is the start level as the curve reproduces it.
    EXPECT_EQ(result("vyska_vody").substr(0, 18), "      11.0000000\r\n");
    EXPECT_FALSE(fs::exists(exchange / "IN_START_VYP"));
    // The set carries the flood it routed, record k the inflow of step k.
    exchange::FreeFormatReader wave(readFile(exchange / "IN_FLOOD_WAVE"), "IN_FLOOD_WAVE");
    std::string inflow;
    for (int i = 0; i < 48; ++i)
        exchange::appendRecord(inflow, {wave.readReal()});
    EXPECT_EQ(result("povodnova_vlna"), inflow);
    EXPECT_TRUE(exchange::isCompleteResultSet(root));

    // Retention 2.5 m: 50 grid levels; the crest (12 m) is a curve row of 2,000,000 m3.
    EXPECT_EQ(records(data("objemy_nad_prelivem_z_BK")), 50u);
    EXPECT_EQ(data("objemy_nad_prelivem_z_BK").substr(0, 34),
              "      12.0000000  2.0000000E+006\r\n");
    for (int s = 0; s <= 100; s += 5)
        EXPECT_EQ(records(data("TK/TRANSF_KRIVKA_KLEMES_" + std::to_string(s))), 50u) << s;
    // Two outlets of 1 m, mu 0.62, at 12 m: 0.62 x 2 x pi/4 x sqrt(19.62 x 12) = 14.9436 m3/s.
    EXPECT_NEAR(std::stod(data("odtok_vypuste_pro_h_nad_prelivem_100")), 14.9436, 1e-3);
    EXPECT_GT(records(data("tab_min_radek_pro_klemese")), 0u);

    // Banner of nine lines framed by slashes, one line per step, then the summary.
    EXPECT_EQ(r.console.substr(0, 4), "/\\/\\");
    const std::string summary = result("souhrn_vypoctu");
    EXPECT_EQ(summary, std::string(veldron::testing::sample::kSummary));
    std::string consoleSummary = std::string(veldron::testing::sample::kSummary);
    for (std::size_t pos; (pos = consoleSummary.find("\r\n")) != std::string::npos;)
        consoleSummary.replace(pos, 2, "\n");
    EXPECT_EQ(r.console.substr(r.console.size() - consoleSummary.size()), consoleSummary);
    EXPECT_NE(r.console.find("          48\n" + consoleSummary.substr(0, 10)), std::string::npos);
}

TEST(SampleRecord, TheReadmeShowsTheRecordedFigures) {
    const std::string readme = readFile(fs::path(VELDRON_SOURCE_DIR) / "README.md");
    std::istringstream summary{std::string(veldron::testing::sample::kSummary)};
    for (std::string line; std::getline(summary, line);) {
        line.pop_back(); // CR
        EXPECT_NE(readme.find(line + "\n"), std::string::npos) << line;
    }
    const int safe = veldron::testing::sample::kMargins[0].largestSafe; // the sample's own mode
    const auto k = [](int hundredths) {
        return std::to_string(hundredths / 100) + "." + std::to_string(hundredths % 100 / 10) +
               std::to_string(hundredths % 10);
    };
    EXPECT_NE(readme.find("k = " + k(safe) + "\n(the dam overtops from " + k(safe + 1)),
              std::string::npos);
}

TEST_F(CoreRun, MissingStartLevelIsAnInputErrorBeforeAnyOutput) {
    fs::remove(exchange / "IN_START_VYP");
    writeFile(root / "OUT_RESULT" / "vyska_vody", "stale\r\n");
    const Result r = run();
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(lastLine(r.console).find("*ERR* 2 nelze otevrit vstupni soubor"), std::string::npos)
        << r.console;
    EXPECT_NE(r.console.find("IN_START_VYP"), std::string::npos);
    EXPECT_EQ(result("vyska_vody"), "stale\r\n"); // no output file opened
}

TEST_F(CoreRun, MissingOutputDirectoryIsNamed) {
    fs::remove_all(root / "OUT_DATA" / "TK");
    const Result r = run();
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(lastLine(r.console).find("*ERR* 10 vystupni adresar neexistuje"), std::string::npos);
    EXPECT_NE(lastLine(r.console).find("TK"), std::string::npos);
    EXPECT_TRUE(fs::exists(exchange / "IN_START_VYP"));
}

TEST_F(CoreRun, MalformedWholeValueNamesFileAndLine) {
    writeFile(exchange / "IN_TOTAL_COEFFICIENT_OUTLET", "0.62\r\n");
    const Result r = run();
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lastLine(r.console),
              "*ERR* 59 chybna hodnota '0.62': IN_TOTAL_COEFFICIENT_OUTLET, radek 1 "
              "(ocekavana hodnota 1 z 1, ocekavano cele cislo)");
    EXPECT_TRUE(fs::exists(exchange / "IN_START_VYP")); // not consumed by an input error
}

TEST_F(CoreRun, ShortFloodWaveEndsAtItsLastLine) {
    writeFile(exchange / "IN_NUMBER_OF_POINT_FW", "49\r\n");
    const Result r = run();
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lastLine(r.console),
              "*ERR* 24 konec souboru: IN_FLOOD_WAVE, radek 49 (hodnota pritoku 49 z 49, "
              "ocekavana hodnota 1 z 1)");
}

TEST_F(CoreRun, HugeCountsMeetTheEndOfFileQuickly) {
    writeFile(exchange / "IN_NUMBER_OF_POINT_FW", "2e9\r\n");
    writeFile(exchange / "IN_NUMBER_OF_POINT_BK", "2000000000\r\n");
    const Result r = run();
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(lastLine(r.console).find("konec souboru: IN_BAT_CURVE_BC, radek 37"),
              std::string::npos)
        << r.console;
}

TEST_F(CoreRun, TwelvePointNineValuesRouteTwelveSteps) {
    writeFile(exchange / "IN_NUMBER_OF_POINT_FW", "12.9\r\n");
    EXPECT_EQ(run().status, 0);
    EXPECT_EQ(records(result("transformovana_povoden")), 12u);
    EXPECT_EQ(result("souhrn_vypoctu").find("Kroků výpočtu:                  12 z 12\r\n"), 0u);
}

// Inputs that would give a silent wrong result are refused, and a refused
// run, whatever it stumbles on, leaves every output file as the previous run left it.
TEST_F(CoreRun, RefusedRunChangesNoFile) {
    ASSERT_EQ(run().status, 0);
    const auto good = resultFiles();
    ASSERT_EQ(good.size(), 32u);
    const struct {
        const char* file;
        const char* text;
        const char* message;
    } cases[] = {
        {"IN_PREDP2_0_1", "2",
         "'2': IN_PREDP2_0_1, radek 1 (vypusti v ovladatelnem retencnim prostoru, povoleno 0 nebo "
         "1)"},
        {"IN_PREDP1_0_1", "0.5",
         "'0.5': IN_PREDP1_0_1, radek 1 (vypusti v zasobnim prostoru, povoleno 0 nebo 1)"},
        {"IN_PREDP3_0_1", "\r\n1.0000001",
         "'1.0000001': IN_PREDP3_0_1, radek 2 (vypusti po povodni, povoleno 0 nebo 1)"},
        {"IN_MANIP1_0_1", "2",
         "'2': IN_MANIP1_0_1, radek 1 (vypusti po transformaci kulminace, povoleno 0 nebo 1)"},
        {"IN_MANIP_0_1_2", "3",
         "'3': IN_MANIP_0_1_2, radek 1 (zpusob manipulace s vypustmi, povoleno 0, 1 nebo 2)"},
        {"IN_MANIP_0_1_2", "-1",
         "'-1': IN_MANIP_0_1_2, radek 1 (zpusob manipulace s vypustmi, povoleno 0, 1 nebo 2)"},
        {"IN_TIME_STEP_min", "0",
         "'0': IN_TIME_STEP_min, radek 1 (casovy krok [min], povoleno vice nez 0)"},
        {"IN_TIME_STEP_min", "-60",
         "'-60': IN_TIME_STEP_min, radek 1 (casovy krok [min], povoleno vice nez 0)"},
        {"IN_NUMBER_OF_POINT_FW", "0.5",
         "'0.5': IN_NUMBER_OF_POINT_FW, radek 1 (pocet hodnot pritoku, povoleno 1 nebo vice)"},
        {"IN_NUMBER_OF_POINT_FW", "-3",
         "'-3': IN_NUMBER_OF_POINT_FW, radek 1 (pocet hodnot pritoku, povoleno 1 nebo vice)"},
        {"IN_NUMBER_OF_OUTLET", "-2",
         "'-2': IN_NUMBER_OF_OUTLET, radek 1 (pocet spodnich vypusti, povoleno cele cislo 0 nebo "
         "vice)"},
        {"IN_NUMBER_OF_OUTLET", "1.5",
         "'1.5': IN_NUMBER_OF_OUTLET, radek 1 (pocet spodnich vypusti, povoleno cele cislo 0 nebo "
         "vice)"},
        {"IN_OUTLET_DIAMETER", "-1",
         "'-1': IN_OUTLET_DIAMETER, radek 1 (prumer potrubi [m], povoleno vice nez 0)"},
        {"IN_OUTLET_DIAMETER", "0",
         "'0': IN_OUTLET_DIAMETER, radek 1 (prumer potrubi [m], povoleno vice nez 0)"},
        {"IN_TOTAL_COEFFICIENT_OUTLET", "-6200",
         "'-6200': IN_TOTAL_COEFFICIENT_OUTLET, radek 1 (soucinitel vytokove rychlosti x 10000, "
         "povoleno vice nez 0 a nejvyse 10000)"},
        {"IN_TOTAL_COEFFICIENT_OUTLET", "10001",
         "'10001': IN_TOTAL_COEFFICIENT_OUTLET, radek 1 (soucinitel vytokove rychlosti x 10000, "
         "povoleno vice nez 0 a nejvyse 10000)"},
        {"IN_WIDTH_SPILLWAY_B0", "-25",
         "'-25': IN_WIDTH_SPILLWAY_B0, radek 1 (sirka prelivu b0 [m], povoleno vice nez 0)"},
        {"IN_COEFFICIENT_OVERFLOW_m", "-380",
         "'-380': IN_COEFFICIENT_OVERFLOW_m, radek 1 (soucinitel prepadu m x 1000, povoleno vice "
         "nez 0)"},
        {"IN_FLOOD_WAVE", "4\r\n5\r\n-0.5\r\n",
         "'-0.5': IN_FLOOD_WAVE, radek 3 (hodnota pritoku [m3/s], povoleno 0 nebo vice)"},
        // What the forms refuse and the core once took: a zone below the
        // crest, a retention space of no height, a start above the overtopping
        // level, a curve whose rows do not rise (descending, two rows swapped).
        {"IN_MANPR", "-5",
         "'-5': IN_MANPR, radek 1 (vyska zony plynule manipulace [m], povoleno 0 nebo vice)"},
        {"IN_TOTAL_HEIGHT_OWERFLOW", "-1",
         "'-1': IN_TOTAL_HEIGHT_OWERFLOW, radek 1 (vyska retencniho prostoru [m], povoleno vice "
         "nez 0)"},
        {"IN_START_VYP", "16",
         "vyska hladiny na zacatku 16 m lezi na urovni preliti nadrze nebo nad ni (14.50 m): "
         "IN_START_VYP"},
        {"IN_BAT_CURVE_BC", "318.0 18.0 6052627.0 0\r\n317.5 17.5 5732300.0 0",
         "krivka nerostouci: IN_BAT_CURVE_BC, radek krivky 2: h = 17.5 m neni vetsi nez v radku 1 "
         "(18 m)"},
        {"IN_BAT_CURVE_BC", "312.5 0.5 1838.9 0\r\n313 1 1700 0",
         "radek krivky 2: V = 1700 m3 neni vetsi nez v radku 1 (1838.9 m3)"},
        // Sizes that would give infinities or a negative head (found by fuzzing).
        {"IN_TIME_STEP_min", "1e37",
         "'1e+37': IN_TIME_STEP_min, radek 1 (casovy krok [min], povoleno mene nez 5.6e36)"},
        {"IN_BAT_CURVE_BC", "312.5 0.5 1838.9 0\r\n313 -1 8449.5 0",
         "radek krivky 2: h = -1 m neni vetsi nez v radku 1 (0.5 m)"},
        {"IN_OUTLET_DIAMETER", "1e30",
         "odtok spodnich vypusti vychazi mimo rozsah cisel: IN_NUMBER_OF_OUTLET, "
         "IN_OUTLET_DIAMETER, IN_TOTAL_COEFFICIENT_OUTLET"},
        {"IN_WIDTH_SPILLWAY_B0", "3e38",
         "odtok pres preliv vychazi mimo rozsah cisel: IN_WIDTH_SPILLWAY_B0, "
         "IN_COEFFICIENT_OVERFLOW_m, IN_TOTAL_HEIGHT_OWERFLOW"},
        // Errors of reading and of the data model, found before any file is opened too.
        {"IN_FLOOD_WAVE", "4", "konec souboru: IN_FLOOD_WAVE, radek 2"},
        {"IN_TOTAL_HEIGHT_OWERFLOW", "5000.05",
         "'5000.05': IN_TOTAL_HEIGHT_OWERFLOW, radek 1 (vyska retencniho prostoru [m], 20 hladin "
         "na metr, povoleno nejvyse 100000 hladin, tj. mene nez 5000.05 m)"},
        {"IN_TOTAL_HEIGHT_OWERFLOW", "2e8", "vyska retencniho prostoru"},
        // Texts that would read as other numbers.
        {"IN_FLOOD_WAVE", "1,000.00 ",
         "chybna hodnota '1,000.00': IN_FLOOD_WAVE, radek 1 (hodnota pritoku 1 z 48, ocekavana "
         "hodnota 1 z 1, desetinna carka? v souborech se pise tecka)"},
        {"IN_FLOOD_WAVE", "4 \r\n1 000.00 ",
         "za hodnotou '1' nasleduje text '000.00': IN_FLOOD_WAVE, radek 2"},
        {"IN_FLOOD_WAVE", "4.00 abc xyz",
         "za hodnotou '4.00' nasleduje text 'abc xyz': IN_FLOOD_WAVE, radek 1"},
        {"IN_FLOOD_WAVE", "4 \r\n/", "chybna hodnota '/': IN_FLOOD_WAVE, radek 2"},
        {"IN_FLOOD_WAVE", "4 \r\n \r\n5 ", "prazdny radek: IN_FLOOD_WAVE, radek 2"},
        {"IN_TOTAL_HEIGHT_OWERFLOW", "2,5", "chybna hodnota '2,5': IN_TOTAL_HEIGHT_OWERFLOW"},
        {"IN_BAT_CURVE_BC", "312.5\t0.5\t1838.9\t0\t7\t",
         "nasleduje text '7': IN_BAT_CURVE_BC, radek 1 (radek krivky 1 z 36"},
    };
    for (const auto& c : cases) {
        const std::string saved = readFile(exchange / c.file);
        writeFile(exchange / "IN_START_VYP", "11\r\n");
        writeFile(exchange / c.file, std::string(c.text) + "\r\n");
        const Result r = run();
        EXPECT_EQ(r.status, 2) << c.file;
        if (c.message[0] == '\'')
            EXPECT_EQ(lastLine(r.console),
                      std::string("*ERR* 60 nepripustna hodnota ") + c.message);
        else
            EXPECT_NE(lastLine(r.console).find(c.message), std::string::npos) << r.console;
        EXPECT_TRUE(resultFiles() == good) << c.file;
        EXPECT_TRUE(fs::exists(exchange / "IN_START_VYP")) << c.file;
        writeFile(exchange / c.file, saved);
    }
    // Negative zero is zero; a mended input runs again.
    writeFile(exchange / "IN_PREDP3_0_1", "-0.0\r\n");
    EXPECT_EQ(run().status, 0);
}

TEST_F(CoreRun, ErrorOneWaitsForEnterAndConsumesTheStartLevel) {
    writeFile(exchange / "IN_TOTAL_HEIGHT_OWERFLOW", "0.05\r\n");
    const Result r = run("\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lastLine(r.console),
              "ERROR 1 spatne nactene hodnoty nebo vybocilo z okrajovych podminek  !!!");
    EXPECT_FALSE(fs::exists(exchange / "IN_START_VYP"));
}

TEST_F(CoreRun, ErrorTwoLeavesCompleteTables) {
    // Below the bottom (one above the curve's top lies above the overtopping
    // level too, which the input check refuses first).
    writeFile(exchange / "IN_START_VYP", "-1\r\n");
    const Result r = run("\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lastLine(r.console),
              "ERROR 2 spatne nactene hodnoty nebo vybocilo z okrajovych podminek  !!!");
    EXPECT_EQ(records(data("TK/TRANSF_KRIVKA_KLEMES_100")), 50u);
    EXPECT_EQ(records(data("suma_odtoku_pro_h_nad_prelivem_100")), 50u);
    EXPECT_EQ(result("vyska_vody"), "");
    EXPECT_FALSE(fs::exists(exchange / "IN_START_VYP"));
    // The previous run's summary is replaced by one that says nothing was routed.
    EXPECT_EQ(result("souhrn_vypoctu"), "Kroků výpočtu:                   0 z 48\r\n"
                                        "Časový krok:                60.000 min\r\n"
                                        "Kulminace celé povodně:    100.000 m3/s v kroku 10\r\n"
                                        "Hladina přelití nádrže:     14.500 m\r\n"
                                        "Výpočet zastaven:       ERROR 2\r\n");
}

TEST_F(CoreRun, ErrorThreeWhenTheOutletsEmptyTheReservoir) {
    // Large outlets open before the peak drain 0.6 m of water in one hour.
    writeFile(exchange / "IN_START_VYP", "0.6\r\n");
    writeFile(exchange / "IN_PREDP1_0_1", "1\r\n");
    writeFile(exchange / "IN_OUTLET_DIAMETER", "3\r\n");
    const Result r = run("\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lastLine(r.console),
              "ERROR 3 spatne nactene hodnoty nebo vybocilo z okrajovych podminek   !!!");
    EXPECT_EQ(records(result("vyska_vody")), 1u);
    EXPECT_NE(result("souhrn_vypoctu").find("Výpočet zastaven:       ERROR 3 v kroku 2\r\n"),
              std::string::npos);
}

TEST_F(CoreRun, OvertoppingKeepsTheRecordsOfTheStepsBefore) {
    // A steady 200 m3/s cannot pass.
    std::ostringstream wave;
    for (int i = 0; i < 48; ++i)
        wave << 200 << " \r\n";
    writeFile(exchange / "IN_FLOOD_WAVE", wave.str());
    const Result r = run("\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lastLine(r.console), "!!! doslo k preliti nadrze !!!");
    const std::size_t steps = records(result("vyska_vody"));
    EXPECT_GT(steps, 0u);
    EXPECT_LT(steps, 48u);
    EXPECT_EQ(records(result("transformovana_povoden")), steps);
    EXPECT_EQ(records(result("povodnova_vlna")), steps);
    EXPECT_EQ(result("povodnova_vlna").substr(0, 18), "     200.0000000\r\n");
    // The console printed exactly the completed steps, then the summary of them.
    const std::string step = std::to_string(steps);
    EXPECT_NE(r.console.find(std::string(12 - step.size(), ' ') + step + "\nKroků výpočtu:"),
              std::string::npos);
    const std::string stop = "přelití nádrže v kroku " + std::to_string(steps + 1);
    EXPECT_NE(r.console.find(stop + "\n!!! doslo k preliti nadrze !!!\n"), std::string::npos);
    EXPECT_NE(result("souhrn_vypoctu").find(stop + "\r\n"), std::string::npos);
}

TEST_F(CoreRun, OvertoppedSummaryGivesNoFreeboardAndTheWholeFlood) {
    // Three times the sample's flood overtops in step 9, before its peak of
    // 300 m3/s in step 10: the summary says so instead of a freeboard of the
    // steps routed, and states the whole flood's peak beside theirs.
    std::istringstream sample(readFile(exchange / "IN_FLOOD_WAVE"));
    std::ostringstream wave;
    for (double q; sample >> q;)
        wave << 3 * q << " \r\n";
    writeFile(exchange / "IN_FLOOD_WAVE", wave.str());
    EXPECT_EQ(run("\n").status, 1);
    const std::string summary = result("souhrn_vypoctu");
    EXPECT_NE(summary.find("Kulminace přítoku:         268.350 m3/s v kroku 8\r\n"
                           "Kulminace celé povodně:    300.000 m3/s v kroku 10\r\n"),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("Rezerva do přelití:     žádná, nádrž přelita v kroku 9\r\n"),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("Výpočet zastaven:       přelití nádrže v kroku 9\r\n"),
              std::string::npos);
}

TEST_F(CoreRun, FloodBeyondTheCurvesOvertopsAtOnce) {
    // From the crest, 1,000,000 m3/s in every step: no Klemes sample lies
    // within reach, and the reservoir cannot hold it below the overtopping level.
    std::ostringstream wave;
    for (int i = 0; i < 48; ++i)
        wave << "1000000 \r\n";
    writeFile(exchange / "IN_FLOOD_WAVE", wave.str());
    writeFile(exchange / "IN_START_VYP", "12\r\n");
    const Result r = run("\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lastLine(r.console), "!!! doslo k preliti nadrze !!!");
    EXPECT_EQ(result("vyska_vody"), "");
    EXPECT_NE(result("souhrn_vypoctu").find("přelití nádrže v kroku 1\r\n"), std::string::npos);
}

TEST_F(CoreRun, ErrorExitWithoutConsoleInputDoesNotHang) {
    writeFile(exchange / "IN_START_VYP", "-1\r\n");
    const Result r = run(""); // end of input ends the wait
    EXPECT_EQ(r.status, 1);
}

// A special file or an absurd size is refused before anything is read from
// it: no wait on a FIFO, no endless read of a device.
TEST_F(CoreRun, OnlyRegularInputFilesOfBoundedSizeAreRead) {
    ASSERT_EQ(run().status, 0);
    const auto good = resultFiles();
    const fs::path wave = exchange / "IN_FLOOD_WAVE", zone = exchange / "IN_MANPR";
    const struct {
        fs::path file;
        std::function<void(const fs::path&)> make;
        std::string message;
    } cases[] = {
        {wave, [](const fs::path& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0644), 0); },
         "vstupni soubor neni obycejny soubor (pojmenovana roura): " + wave.string()},
        {wave, [](const fs::path& f) { fs::create_symlink("/dev/zero", f); },
         "vstupni soubor neni obycejny soubor (zarizeni): " + wave.string()},
        {zone, [](const fs::path& f) { fs::create_directory(f); },
         "vstupni soubor neni obycejny soubor (adresar): " + zone.string()},
        {wave, [](const fs::path& f) { fs::resize_file((writeFile(f, ""), f), 65u << 20); },
         "vstupni soubor je prilis velky (68157440 bajtu, nejvice 67108864): " + wave.string()},
    };
    for (const auto& c : cases) {
        const std::string saved = readFile(c.file);
        fs::remove(c.file);
        c.make(c.file);
        writeFile(exchange / "IN_START_VYP", "11\r\n");
        const Result r = run();
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_EQ(lastLine(r.console), "*ERR* 2 " + c.message);
        EXPECT_TRUE(resultFiles() == good) << c.message;
        EXPECT_TRUE(fs::exists(exchange / "IN_START_VYP")) << c.message;
        fs::remove_all(c.file);
        writeFile(c.file, saved);
    }
}

// No allocation failure ends the core without its *ERR* line: a flood of
// four million steps in a process held to 80 MB of address space.
TEST_F(CoreRun, OutOfMemoryIsAnErrLineAndChangesNothing) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit";
#endif
    ASSERT_EQ(run().status, 0);
    const auto good = resultFiles();
    std::string wave;
    for (int i = 0; i < 4000000; ++i)
        wave += "0\n";
    writeFile(exchange / "IN_FLOOD_WAVE", wave);
    writeFile(exchange / "IN_NUMBER_OF_POINT_FW", "4000000\r\n");
    writeFile(exchange / "IN_START_VYP", "11\r\n");
    const Result r = run("", "ulimit -v 80000");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(lastLine(r.console), "*ERR* 90 nedostatek pameti: vypocet potrebuje vic pameti, "
                                   "nez system poskytne; vysledky zustaly beze zmeny");
    EXPECT_TRUE(resultFiles() == good);
    EXPECT_TRUE(temporaryFiles().empty());
}
