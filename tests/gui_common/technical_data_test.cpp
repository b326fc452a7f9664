// The technical data: coefficient scaling in the user's locale and the files to write.
#include "gui/common/technical_data.h"

#include <gtest/gtest.h>

namespace {

TEST(ScaleCoefficient, ScalesInTheLocalesFormat) {
    EXPECT_EQ(gui::scaleCoefficient("0,62", 10000, ","), "6200");
    EXPECT_EQ(gui::scaleCoefficient("0,42", 1000, ","), "420");
    EXPECT_EQ(gui::scaleCoefficient("0.62", 10000, "."), "6200");
    EXPECT_EQ(gui::scaleCoefficient("0", 10000, ","), "0");
    EXPECT_EQ(gui::scaleCoefficient("-0", 10000, ","), "0");
    // A fraction that survives the scaling keeps the locale's separator.
    EXPECT_EQ(gui::scaleCoefficient("0,12345", 10000, ","), "1234,5");
    EXPECT_EQ(gui::scaleCoefficient("0.12345", 10000, "."), "1234.5");
    EXPECT_EQ(gui::scaleCoefficient("-1,5", 1000, ","), "-1500");
    EXPECT_EQ(gui::scaleCoefficient("+,5", 1000, ","), "500");
    EXPECT_EQ(gui::scaleCoefficient("3,", 1000, ","), "3000");
    EXPECT_EQ(gui::scaleCoefficient("6,2E-1", 10000, ","), "6200");
    EXPECT_EQ(gui::scaleCoefficient("1e2", 1000, ","), "100000");
    EXPECT_EQ(gui::scaleCoefficient(" 0,5 ", 1000, ","), "500");
}

TEST(ScaleCoefficient, RejectsWhatIsNotANumberInTheLocale) {
    for (const char* text : {"", " ", "abc", "0.62", "1,2,3", "1 000", "1e", "1e+", ",", "-",
                             "0x10", "inf", "nan", "1,5x", "1e999"})
        EXPECT_EQ(gui::scaleCoefficient(text, 10000, ","), std::nullopt) << text;
    EXPECT_EQ(gui::scaleCoefficient("0,62", 10000, "."), std::nullopt);
}

TEST(FormatGeneral, UsesFifteenDigitsAndTheShortExponent) {
    EXPECT_EQ(gui::formatGeneral(123456789012345.0, ","), "123456789012345");
    EXPECT_EQ(gui::formatGeneral(1e15, ","), "1E15");
    EXPECT_EQ(gui::formatGeneral(1.5e20, ","), "1,5E20");
    EXPECT_EQ(gui::formatGeneral(0.0001, ","), "0,0001");
    EXPECT_EQ(gui::formatGeneral(0.00001, ","), "1E-5");
    EXPECT_EQ(gui::formatGeneral(-2.5e-7, "."), "-2.5E-7");
    EXPECT_EQ(gui::formatGeneral(1.0 / 3.0, ","), "0,333333333333333");
}

TEST(TechnicalDataFiles, ScalesOnlyTheCoefficientsAndKeepsTheOrder) {
    gui::TechnicalDataTexts texts;
    texts.outletCount = "2";
    texts.outletDiameter = "0,8"; // written as typed, comma and all
    texts.outletCoefficient = "0,62";
    texts.spillwayWidth = "12.5";
    texts.overflowCoefficient = "0,42";
    texts.storageTop = "7.2";
    texts.crestHeight = "9";
    texts.retentionHeight = "";
    const gui::TechnicalDataConversion converted = gui::technicalDataFiles(texts, ",");
    ASSERT_TRUE(converted.files.has_value()) << converted.error;
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"IN_NUMBER_OF_OUTLET", "2"},
        {"IN_OUTLET_DIAMETER", "0,8"},
        {"IN_TOTAL_COEFFICIENT_OUTLET", "6200"},
        {"IN_WIDTH_SPILLWAY_B0", "12.5"},
        {"IN_COEFFICIENT_OVERFLOW_m", "420"},
        {"IN_TOTAL_HEIGHT_OWERFLOW", ""},
        {"IN_START_RO", "7.2"},
        {"IN_START_RN_OWERFLOW", "9"}};
    ASSERT_EQ(converted.files->size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ((*converted.files)[i].name, expected[i].first);
        EXPECT_EQ((*converted.files)[i].line, expected[i].second);
    }
}

TEST(TechnicalDataFiles, NamesTheFirstBadCoefficient) {
    gui::TechnicalDataTexts texts;
    texts.outletCoefficient = "0.62";
    texts.overflowCoefficient = "x";
    EXPECT_EQ(gui::technicalDataFiles(texts, ",").error,
              "'0.62' is not a valid floating point value");
    texts.outletCoefficient = "0,62";
    const gui::TechnicalDataConversion converted = gui::technicalDataFiles(texts, ",");
    EXPECT_FALSE(converted.files.has_value());
    EXPECT_EQ(converted.error, "'x' is not a valid floating point value");
}

} // namespace
