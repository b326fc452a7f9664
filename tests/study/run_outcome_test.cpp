// How a study judges a run's end: the kinds of exit status 2 by their code,
// and a normal end only with a complete result set.
#include "study/run_outcome.h"

#include "study_fixture.h"

#include <gtest/gtest.h>

using namespace veldron::testing;

TEST(RunOutcome, TellsTheKindsOfAFileErrorByTheirCode) {
    TempDir dir;
    installSample(dir.path());
    const struct {
        const char* line;
        study::RunEnd end;
        const char* message;
    } cases[] = {
        {"*ERR* 59 chybna hodnota '2,5': IN_TOTAL_HEIGHT_OWERFLOW, radek 1", study::RunEnd::Refused,
         "Jádro odmítlo vstupní data: "},
        {"*ERR* 5 v adresari /r uz probiha jiny vypocet", study::RunEnd::Busy,
         "V kořeni výpočtu už běží jiný výpočet: "},
        {"*ERR* 11 chyba zapisu do souboru /r/OUT_RESULT/vyska_vody (No space left on device)",
         study::RunEnd::NotWritten,
         "Výsledky výpočtu nelze zapsat ani nahradit, předchozí "
         "zůstaly: "},
        {"*ERR* 12 vystupni soubor nelze nahradit: /r/OUT_RESULT/vyska_vody (je to adresar)",
         study::RunEnd::NotWritten,
         "Výsledky výpočtu nelze zapsat ani nahradit, předchozí "
         "zůstaly: "},
        {"*ERR* 90 nedostatek pameti", study::RunEnd::Failed, "Výpočtu nestačí paměť: "},
        {"*ERR* 99 vnitrni chyba jadra", study::RunEnd::Failed,
         "Vnitřní chyba výpočetního jádra: "},
    };
    for (const auto& c : cases) {
        const study::RunOutcome outcome =
            study::judgeRun({2, std::string("banner\r\n ") + c.line + "\r\n"}, dir.path());
        EXPECT_EQ(outcome.end, c.end) << c.line;
        EXPECT_EQ(outcome.message, c.message + std::string(c.line));
    }
}

TEST(RunOutcome, ANormalEndCountsOnlyWithACompleteSet) {
    TempDir dir;
    installSample(dir.path());
    // Exit 0 over an empty root: no set at all.
    EXPECT_EQ(study::judgeRun({0, ""}, dir.path()).end, study::RunEnd::Failed);
    writeResultSet(dir.path(), {11.0}, {4.0}, {4.0});
    EXPECT_EQ(study::judgeRun({0, ""}, dir.path()).end, study::RunEnd::Normal);
    writeSummary(dir.path(), {});
    EXPECT_EQ(study::judgeRun({0, ""}, dir.path()).message,
              "Výpočet skončil bez úplných výsledků (souhrn výpočtu chybí nebo neodpovídá řadám "
              "výsledků).");
    EXPECT_EQ(study::judgeRun({study::kRunCancelled, ""}, dir.path()).end,
              study::RunEnd::Cancelled);
}
