// The technical data as they are checked, written and read back.
#include "desk/technical_data.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

desk::TechnicalDataTexts czechSample() {
    desk::TechnicalDataTexts texts;
    texts.outletCount = "2";
    texts.outletDiameter = "1,2";
    texts.outletCoefficient = "0,57";
    texts.spillwayWidth = " 25 ";
    texts.overflowCoefficient = "0,3855";
    texts.storageTop = "9,5";
    texts.crestHeight = "12,5";
    texts.retentionHeight = "2,5";
    return texts;
}

TEST(TechnicalData, CzechCommasAreWrittenAsTheCoreReadsThemInTheirOrder) {
    const desk::TechnicalDataCheck check = desk::checkTechnicalData(czechSample(), std::nullopt);
    ASSERT_FALSE(check.refusal) << check.refusal->message;
    EXPECT_TRUE(check.warnings.empty());
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"IN_NUMBER_OF_OUTLET", "2"},
        {"IN_OUTLET_DIAMETER", "1.2"},
        {"IN_TOTAL_COEFFICIENT_OUTLET", "5700"},
        {"IN_WIDTH_SPILLWAY_B0", "25"},
        {"IN_COEFFICIENT_OVERFLOW_m", "385.5"},
        {"IN_TOTAL_HEIGHT_OWERFLOW", "2.5"},
        {"IN_START_RO", "9.5"},
        {"IN_START_RN_OWERFLOW", "12.5"}};
    ASSERT_EQ(check.files.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(check.files[i].name, expected[i].first);
        EXPECT_EQ(check.files[i].line, expected[i].second);
    }
}

TEST(TechnicalData, RefusesTheFirstFieldThatCannotBeRight) {
    struct Case {
        std::string desk::TechnicalDataTexts::*text;
        const char* typed;
        int field;
        const char* message;
    };
    using T = desk::TechnicalDataTexts;
    const Case cases[] = {
        {&T::outletCount, "a", desk::kOutletCountField,
         "Počet spodních výpustí: „a“ není číslo. Zadejte číslo s desetinnou čárkou nebo "
         "tečkou, například 12,5 (bez mezer mezi číslicemi)."},
        {&T::outletCount, "-1", desk::kOutletCountField,
         "Počet spodních výpustí: „-1“ nelze použít. Zadejte celé číslo 0 nebo větší."},
        {&T::outletCount, "10", desk::kOutletCountField,
         "Počet spodních výpustí: „10“ nelze použít. Zadejte celé číslo od 0 do 9."},
        {&T::outletDiameter, "0", desk::kOutletDiameterField,
         "Průměr potrubí [m]: „0“ nelze použít. Zadejte číslo větší než 0."},
        {&T::outletCoefficient, "1,2", desk::kOutletCoefficientField,
         "Součinitel výtokové rychlosti [-]: „1,2“ nelze použít. Zadejte číslo větší než 0 a "
         "nejvýše 1."},
        {&T::outletDiameter, "1,2,3", desk::kOutletDiameterField, "Průměr potrubí [m]: „1,2,3“"},
        {&T::outletCoefficient, "0,12345", desk::kOutletCoefficientField,
         "Součinitel výtokové rychlosti [-]: „0,12345“ má více než čtyři desetinná místa."},
        {&T::spillwayWidth, "-25", desk::kSpillwayWidthField,
         "Skutečná šířka b0 [m]: „-25“ nelze použít. Zadejte číslo větší než 0."},
        {&T::retentionHeight, "0", desk::kRetentionHeightField,
         "Možná výška retenčního neovladatelného prostoru [m]: „0“ nelze použít. Zadejte číslo "
         "větší než 0."},
        {&T::overflowCoefficient, "1e39", desk::kOverflowCoefficientField,
         "Součinitel přepadu m [-]: „1e39“ je mimo rozsah"},
        {&T::retentionHeight, "", desk::kRetentionHeightField,
         "Možná výška retenčního neovladatelného prostoru [m]: chybí hodnota. Zadejte číslo."},
    };
    for (const Case& c : cases) {
        desk::TechnicalDataTexts texts = czechSample();
        texts.*c.text = c.typed;
        const desk::TechnicalDataCheck check = desk::checkTechnicalData(texts, std::nullopt);
        ASSERT_TRUE(check.refusal) << c.typed;
        EXPECT_EQ(check.refusal->field, c.field) << c.typed;
        EXPECT_EQ(check.refusal->message.rfind(c.message, 0), 0u) << check.refusal->message;
    }
}

TEST(TechnicalData, WarnsAboutWhatIsProbablyWrong) {
    desk::TechnicalDataTexts texts = czechSample();
    texts.overflowCoefficient = "1,2";
    texts.storageTop = "13";
    project_files::CurveLevels curve;
    curve.highest = 14.5;
    curve.highestText = "14.50";
    const desk::TechnicalDataCheck check = desk::checkTechnicalData(texts, curve);
    ASSERT_FALSE(check.refusal);
    EXPECT_EQ(check.warnings,
              (std::vector<std::string>{
                  "Součinitel přepadu m [-]: 1,2 leží mimo obvyklý rozsah 0 až 1.",
                  "Začátek RO (13 m) leží výše než začátek RN (12,5 m).",
                  "Začátek RN a možná výška retenčního neovladatelného prostoru dávají 15 m, to "
                  "sahá k nejvyšší hladině batygrafické křivky (14,50 m) nebo nad ni. Pozor na "
                  "kapacitu BK!"}));
    curve.highest = 15.01;
    EXPECT_EQ(desk::checkTechnicalData(czechSample(), curve).warnings.size(), 0u);
}

TEST(TechnicalData, SavedFilesReadBackAsTyped) {
    const veldron::testing::TempDir temp;
    const fs::path& dir = temp.path();
    EXPECT_EQ(desk::readSavedTechnicalData(dir).outletDiameter, "0"); // nothing saved yet
    const desk::TechnicalDataCheck check = desk::checkTechnicalData(czechSample(), std::nullopt);
    ASSERT_TRUE(desk::writeTechnicalDataFiles(dir, check.files));
    const desk::TechnicalDataTexts saved = desk::readSavedTechnicalData(dir);
    EXPECT_EQ(saved.outletCount, "2");
    EXPECT_EQ(saved.outletDiameter, "1,2");
    EXPECT_EQ(saved.outletCoefficient, "0,57");
    EXPECT_EQ(saved.spillwayWidth, "25");
    EXPECT_EQ(saved.overflowCoefficient, "0,3855");
    EXPECT_EQ(saved.retentionHeight, "2,5");
}

} // namespace
