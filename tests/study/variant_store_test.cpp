// Kept variants: folders written whole, names refused or replaced on request.
#include "study/variant_store.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/io/file_io.h"
#include "exchange/run_summary.h"
#include "study/core_run.h"
#include "study/study_files.h"
#include "study_fixture.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace study_testing;

namespace {

// A finished run of the real core on the sample, as the front end leaves it.
void finishedSampleRun(const fs::path& root) {
    installSample(root);
    ASSERT_EQ(realCore(root).exitCode, 0);
    ASSERT_FALSE(fs::exists(exchange::exchangeDir(root) / exchange::kStartLevel));
}

} // namespace

TEST(VariantStore, KeepsTheInputsResultsAndSummaryByteForByte) {
    TempDir dir;
    finishedSampleRun(dir.path());
    study::keepVariant(dir.path(), "  Z = 0,6 m, předpouštění ", "11", false);

    EXPECT_EQ(study::listVariants(dir.path()), std::vector<std::string>{"Z = 0,6 m, předpouštění"});
    const fs::path kept = study::variantDir(dir.path(), "Z = 0,6 m, předpouštění");
    EXPECT_EQ(exchange::readBytes(kept / exchange::kStartLevel), "11\r\n");
    for (const char* name : exchange::kCoreInputs) {
        if (std::string_view(name) == exchange::kStartLevel) continue;
        EXPECT_EQ(exchange::readBytes(kept / name),
                  exchange::readBytes(exchange::exchangeDir(dir.path()) / name))
            << name;
    }
    for (const char* name : study::resultFileNames())
        EXPECT_EQ(exchange::readBytes(kept / name),
                  exchange::readBytes(exchange::outResultDir(dir.path()) / name))
            << name;
    EXPECT_EQ(exchange::readBytes(kept / study::kDescriptionFile),
              "Varianta: Z = 0,6 m, předpouštění\r\n"
              "Manipulace při překročení přelivu (v RN): průběžná manipulace v zóně 0,6 m\r\n"
              "Předpouštění v zásobním prostoru (Vz): ne\r\n"
              "Předpouštění v ovladatelném retenčním prostoru (RO): ne\r\n"
              "Po povodni: prázdním nádrž\r\n"
              "Výška vody na začátku řešení: 11 m\r\n"
              "Časový krok: 60 min\r\n");
}

TEST(VariantStore, RefusesNamesThatAreNoFolderAndReplacesOnlyWhenAsked) {
    for (const char* name : {"", "   ", "a/b", "a\\b", "..", ".skryta", "a:b"})
        EXPECT_FALSE(study::variantNameProblem(name).empty()) << name;
    EXPECT_EQ(study::variantNameProblem("Z = 0,6 m, předpouštění"), "");

    TempDir dir;
    finishedSampleRun(dir.path());
    EXPECT_THROW(study::keepVariant(dir.path(), "../venku", "11", false), study::StudyError);
    study::keepVariant(dir.path(), "A", "11", false);
    const fs::path kept = study::variantDir(dir.path(), "A") / exchange::kStartLevel;

    try {
        study::keepVariant(dir.path(), "A", "12.5", false);
        ADD_FAILURE() << "an existing variant was replaced without asking";
    } catch (const study::StudyError& e) {
        EXPECT_STREQ(e.what(), "Varianta „A“ už existuje.");
    }
    EXPECT_EQ(exchange::readBytes(kept), "11\r\n");
    study::keepVariant(dir.path(), "A", "12.5", true);
    EXPECT_EQ(exchange::readBytes(kept), "12.5\r\n");
    // Nothing left over from writing or replacing.
    EXPECT_EQ(std::distance(fs::directory_iterator(study::variantsDir(dir.path())),
                            fs::directory_iterator()),
              1);
}

TEST(VariantStore, KeepsOnlyAFinishedRunOfTheInputsAsTheyStand) {
    TempDir dir;
    finishedSampleRun(dir.path());
    // An input saved after the run: the results are not its results.
    const fs::path wave = exchange::exchangeDir(dir.path()) / exchange::kFloodWave;
    fs::last_write_time(wave, fs::file_time_type::clock::now() + std::chrono::seconds(5));
    EXPECT_THROW(study::keepVariant(dir.path(), "A", "11", false), study::StudyError);

    finishedSampleRun(dir.path());
    writeSummary(dir.path(), {{exchange::summary::kStopped, "přelití nádrže v kroku 14"}});
    try {
        study::keepVariant(dir.path(), "A", "11", false);
        ADD_FAILURE() << "a stopped run was kept";
    } catch (const study::StudyError& e) {
        EXPECT_STREQ(e.what(), "Poslední výpočet byl zastaven (přelití nádrže v kroku 14): jako "
                               "variantu lze uložit jen výpočet, který doběhl.");
    }
    EXPECT_TRUE(study::listVariants(dir.path()).empty());
}
