// The one parser of typed numbers, the exchange texts it gives and the exact
// decimal shift of the scaled coefficients.
#include "desk/typed_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

TEST(TypedNumber, CommaOrPointBlanksSignsAndExponentsGiveTheCoresText) {
    const std::pair<std::string, std::string> accepted[] = {
        {"12,5", "12.5"},
        {"12.5", "12.5"},
        {"  12,5 \t", "12.5"},
        {"\xC2\xA0"
         "7\xC2\xA0",
         "7"},
        {"+3", "3"},
        {"-3,5e2", "-3.5e2"},
        {"\xE2\x88\x92"
         "0,5",
         "-0.5"}, // the minus sign a word processor puts in
        {",5", ".5"},
        {"5,", "5."},
        {"1E-3", "1E-3"},
        {"2,5e+1", "2.5e1"},
        {"94732,3", "94732.3"},
    };
    for (const auto& [typed, text] : accepted) {
        const desk::ParsedNumber number = desk::parseTypedNumber(typed);
        ASSERT_TRUE(number) << typed;
        EXPECT_EQ(number.text, text) << typed;
    }
    EXPECT_EQ(desk::parseTypedNumber("-3,5e2").value, -350.0);
    EXPECT_EQ(desk::parseTypedNumber("12,5").value, 12.5);
    const desk::ParsedNumber minusZero = desk::parseTypedNumber("\xE2\x88\x92"
                                                                "0");
    ASSERT_TRUE(minusZero);
    EXPECT_EQ(minusZero.value, 0.0);
    EXPECT_EQ(minusZero.text, "-0");
}

TEST(TypedNumber, RefusesWhatIsNotOneNumber) {
    for (const char* empty : {"", "   ", "\t"})
        EXPECT_EQ(desk::parseTypedNumber(empty).error, desk::NumberError::Empty) << empty;
    for (const char* text : {"abc", "1,2,3", "1.2,5", "1 000", "12,5abc", "e5", "1e", "-", ",",
                             "--1", "+-1", "0x10", "inf", "nan", "1D2", "12;5"})
        EXPECT_EQ(desk::parseTypedNumber(text).error, desk::NumberError::NotANumber) << text;
}

TEST(TypedNumber, HugeValuesAreRefusedTinyOnesAreTheZeroTheCoreReads) {
    EXPECT_EQ(desk::parseTypedNumber("1e39").error, desk::NumberError::OutOfRange);
    EXPECT_EQ(desk::parseTypedNumber("-4e38").error, desk::NumberError::OutOfRange);
    EXPECT_EQ(desk::parseTypedNumber(std::string(60, '9')).error, desk::NumberError::OutOfRange);
    EXPECT_EQ(desk::parseTypedNumber("1e99999999999999999999").error,
              desk::NumberError::OutOfRange);
    EXPECT_TRUE(desk::parseTypedNumber("3e38"));
    const desk::ParsedNumber tiny = desk::parseTypedNumber("1e-400");
    ASSERT_TRUE(tiny);
    EXPECT_EQ(tiny.value, 0.0);
}

TEST(SavedNumber, OnlyTheCoresSyntax) {
    const desk::ParsedNumber fortran = desk::parseSavedNumber("2.5D1");
    ASSERT_TRUE(fortran);
    EXPECT_EQ(fortran.value, 25.0);
    EXPECT_EQ(fortran.text, "2.5E1");
    for (const char* text : {"12,5", " 1", "",
                             "\xE2\x88\x92"
                             "1"})
        EXPECT_FALSE(desk::parseSavedNumber(text)) << text;
}

TEST(ShiftDecimal, MovesDigitsNeverMultiplies) {
    const std::tuple<std::string, int, std::string> cases[] = {
        {"0.62", 4, "6200"},     {"0.385", 3, "385"}, {"0.3855", 3, "385.5"}, {"6200", -4, "0.62"},
        {"385.5", -3, "0.3855"}, {"-0", 4, "0"},      {"6.2E-1", 4, "6200"},  {"1e2", 3, "100000"},
        {".5", 1, "5"},          {"5.", -1, "0.5"},   {"0.000", 4, "0"},      {"-0.0012", 4, "-12"},
    };
    for (const auto& [text, power, shifted] : cases)
        EXPECT_EQ(desk::shiftDecimal(text, power), shifted) << text << " " << power;
    // The binary product would not be whole here.
    EXPECT_NE(0.57 * 10000.0, 5700.0);
    EXPECT_EQ(desk::shiftDecimal("0.57", 4), "5700");
    EXPECT_FALSE(desk::hasFraction("5700"));
    EXPECT_TRUE(desk::hasFraction("1234.5"));
}

TEST(CellNumber, DrawsTheTypedNumberOrZero) {
    EXPECT_EQ(desk::cellNumber(" 105,5"), 105.5);
    EXPECT_EQ(desk::cellNumber("1.5000000E+003"), 1500.0);
    for (const char* text : {"", "abc", "12abc", "1e999"})
        EXPECT_EQ(desk::cellNumber(text), 0.0) << text;
}

TEST(ShownNumber, EveryNumberShownHasADecimalComma) {
    EXPECT_EQ(desk::displayNumber(48.7890015, 3), "48,789");
    EXPECT_EQ(desk::displayNumber(1234567.0, 1), "1234567,0");
    EXPECT_EQ(desk::displayNumber(-0.0001, 3), "0,000"); // no "-0,000"
    EXPECT_EQ(desk::displayNumber(-0.0006, 3), "-0,001");
    // The core's figures keep their digits; only their points change.
    EXPECT_EQ(desk::czechFigures("100.000 m3/s v kroku 10"), "100,000 m3/s v kroku 10");
    EXPECT_EQ(desk::czechFigures("0.0000 % (12.3 m3)"), "0,0000 % (12,3 m3)");
    for (const char* unchanged : {"OUT_DATA/TK", "d. M. yyyy", "3. krok", ".5", "5.", "a.b"})
        EXPECT_EQ(desk::czechFigures(unchanged), unchanged);
    // Copied: numbers with a comma, whatever their notation; other texts as they are.
    EXPECT_EQ(desk::czechCellText("      1.2345670E+006"), "1,2345670E+006");
    EXPECT_EQ(desk::czechCellText(" 4.00\t"), "4,00");
    EXPECT_EQ(desk::czechCellText("12,5"), "12,5");
    EXPECT_EQ(desk::czechCellText("TP [m3/s]"), "TP [m3/s]");
}

} // namespace
