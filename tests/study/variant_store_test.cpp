// Kept variants: folders written whole, names refused or replaced on request.
#include "study/variant_store.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/run_summary.h"
#include "project_files/file_io.h"
#include "project_files/folder_name.h"
#include "project_files/saved_inputs.h"
#include "study/core_run.h"
#include "study/safety_factor.h"
#include "study/study_files.h"
#include "study_fixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace veldron::testing;

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
    study::keepVariant(dir.path(), "  Z = 0,6 m, předpouštění ", false);

    EXPECT_EQ(study::listVariants(dir.path()), std::vector<std::string>{"Z = 0,6 m, předpouštění"});
    const fs::path kept = study::variantDir(dir.path(), "Z = 0,6 m, předpouštění");
    EXPECT_EQ(project_files::readBytes(kept / exchange::kStartLevel), "11\r\n");
    for (const char* name : exchange::kCoreInputs) {
        if (std::string_view(name) == exchange::kStartLevel) continue;
        EXPECT_EQ(project_files::readBytes(kept / name),
                  project_files::readBytes(exchange::exchangeDir(dir.path()) / name))
            << name;
    }
    for (const char* name : study::resultFileNames())
        EXPECT_EQ(project_files::readBytes(kept / name),
                  project_files::readBytes(exchange::outResultDir(dir.path()) / name))
            << name;
    EXPECT_EQ(project_files::readBytes(kept / study::kDescriptionFile),
              "Varianta: Z = 0,6 m, předpouštění\r\n"
              "Manipulace při překročení přelivu (v RN): průběžná manipulace v zóně 0,6 m\r\n"
              "Předpouštění v zásobním prostoru (Vz): ne\r\n"
              "Předpouštění v ovladatelném retenčním prostoru (RO): ne\r\n"
              "Po povodni: prázdním nádrž\r\n"
              "Výška vody na začátku řešení: 11 m\r\n"
              "Časový krok: 60 min\r\n");
}

TEST(VariantStore, RefusesNamesThatAreNoFolderAndReplacesOnlyWhenAsked) {
    for (const char* name : {"", "   ", "a/b", "a\\b", "..", ".skryta", "a:b", "com1", "abc. "})
        EXPECT_FALSE(study::variantNameProblem(name).empty()) << name;
    EXPECT_EQ(study::variantNameProblem("  Z = 0,6 m, předpouštění "), "");

    TempDir dir;
    finishedSampleRun(dir.path());
    EXPECT_THROW(study::keepVariant(dir.path(), "../venku", false), study::StudyError);
    // Within 100 characters, beyond the 255 bytes a folder name may hold.
    std::string euros;
    for (int i = 0; i < 100; ++i)
        euros += "€";
    EXPECT_FALSE(study::variantExists(dir.path(), euros));
    try {
        study::keepVariant(dir.path(), euros, false);
        ADD_FAILURE() << "a name of 300 bytes was kept";
    } catch (const study::StudyError& e) {
        EXPECT_STREQ(e.what(), project_files::folderNameProblem(euros, "Název varianty").c_str());
    }
    study::keepVariant(dir.path(), "A", false);
    const fs::path kept = study::variantDir(dir.path(), "A") / exchange::kStartLevel;

    try {
        study::keepVariant(dir.path(), "A", false);
        ADD_FAILURE() << "an existing variant was replaced without asking";
    } catch (const study::StudyError& e) {
        EXPECT_STREQ(e.what(), "Varianta „A“ už existuje.");
    }
    EXPECT_EQ(project_files::readBytes(kept), "11\r\n");
    writeFile(exchange::exchangeDir(dir.path()) / exchange::kStartLevel, "11.5\r\n");
    ASSERT_EQ(realCore(dir.path()).exitCode, 0);
    study::keepVariant(dir.path(), "A", true);
    EXPECT_EQ(project_files::readBytes(kept), "11.5\r\n");
    // Nothing left over from writing or replacing.
    EXPECT_EQ(std::distance(fs::directory_iterator(study::variantsDir(dir.path())),
                            fs::directory_iterator()),
              1);
}

// An input saved while the run went (or since) is not what the variant
// keeps: it keeps the inputs the run read, as the set records them.
TEST(VariantStore, KeepsTheInputsTheRunReadNotThoseSavedSince) {
    TempDir dir;
    finishedSampleRun(dir.path());
    const fs::path exchangeDir = exchange::exchangeDir(dir.path());
    const auto read = project_files::readBytes(exchangeDir / exchange::kOutletDiameter);
    writeFile(exchangeDir / exchange::kOutletDiameter, "2\r\n");
    EXPECT_EQ(study::checkLastRunKeepable(dir.path()).changed,
              std::vector<std::string>{exchange::kOutletDiameter});
    study::keepVariant(dir.path(), "A", false);
    EXPECT_EQ(
        project_files::readBytes(study::variantDir(dir.path(), "A") / exchange::kOutletDiameter),
        read);
}

TEST(VariantStore, KeepsOnlyAFinishedRunOfTheInputsAsTheyStand) {
    TempDir dir;
    const auto refusal = [&] {
        try {
            study::checkLastRunKeepable(dir.path());
        } catch (const study::StudyError& e) {
            std::string why;
            try {
                study::keepVariant(dir.path(), "A", false);
            } catch (const study::StudyError& kept) {
                why = kept.what();
            }
            EXPECT_EQ(why, e.what()) << "the check and the keep disagree";
            return why;
        }
        return std::string();
    };
    const fs::path wave = exchange::exchangeDir(dir.path()) / exchange::kFloodWave;
    // Results of an earlier core, which recorded no inputs: not known.
    finishedSampleRun(dir.path());
    fs::remove(exchange::outResultDir(dir.path()) / exchange::kInputsRecord);
    EXPECT_TRUE(refusal().starts_with("Poslední výsledky nemají záznam vstupů"));

    // A run that overtopped the dam: three times the sample's flood.
    finishedSampleRun(dir.path());
    std::string tripled;
    const auto sample = project_files::readSavedInputs(exchange::exchangeDir(dir.path()));
    for (const auto& q : *sample.inflow)
        tripled += study::scaledInflowText(q.value, 300) + " \r\n";
    writeFile(wave, tripled);
    writeFile(exchange::exchangeDir(dir.path()) / exchange::kStartLevel, "11\r\n");
    ASSERT_EQ(realCore(dir.path()).exitCode, 1);
    EXPECT_TRUE(refusal().starts_with("Poslední výpočet byl zastaven (přelití nádrže v kroku "));

    // An empty summary: a run killed while it wrote, or a disk that filled.
    finishedSampleRun(dir.path());
    writeSummary(dir.path(), {});
    EXPECT_EQ(refusal(), "Poslední výsledky nejsou úplné (souhrn výpočtu je prázdný nebo "
                         "neodpovídá souborům výsledků: výpočet byl přerušen nebo výsledky "
                         "změněny): spusťte výpočet znovu a pak jej uložte jako variantu.");

    // A run going on: another process holds the root's lock as the core does.
    finishedSampleRun(dir.path());
    {
        const int lock = ::open((dir.path() / exchange::kRunLock).c_str(), O_RDWR | O_CREAT, 0666);
        ASSERT_GE(lock, 0);
        ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(refusal(), "V tomto projektu právě běží výpočet: jeho výsledky ještě nejsou "
                             "celé. Variantu uložte, až výpočet skončí.");
        ::close(lock);
    }
    EXPECT_EQ(refusal(), "");
    EXPECT_TRUE(study::listVariants(dir.path()).empty());
}
