// Reading the exchange files: separators, line starts, slashes, value kinds.
#include "core/errors.h"
#include "core/io/free_format_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>

using veldron::FileError;
using veldron::FreeFormatReader;

TEST(FreeFormatReader, CommaEndsAValue) {
    std::istringstream in("0,8\n");
    EXPECT_EQ(FreeFormatReader(in, "IN_OUTLET_DIAMETER").readReal(), 0.0f);
}

TEST(FreeFormatReader, AcceptsEveryRealNotation) {
    for (const auto& [text, value] :
         std::vector<std::pair<const char*, float>>{{"2", 2.0f},
                                                    {"2.5", 2.5f},
                                                    {"2.5E1", 25.0f},
                                                    {"2.5e-1", 0.25f},
                                                    {"+.5", 0.5f},
                                                    {"5.", 5.0f},
                                                    {"-3.25D2", -325.0f},
                                                    {"385.5", 385.5f},
                                                    {"0.1", 0.1f}}) {
        std::istringstream in(std::string(text) + "\r\n");
        EXPECT_EQ(FreeFormatReader(in, "IN_X").readReal(), value) << text;
    }
}

TEST(FreeFormatReader, RealsAreRoundedOnceToSinglePrecision) {
    // 0.35 as a float directly, not through a double first.
    std::istringstream in("0.35\n");
    EXPECT_EQ(FreeFormatReader(in, "IN_X").readReal(), 0.35f);
}

TEST(FreeFormatReader, WholeItemsTakeOnlyIntegers) {
    std::istringstream good("  -42   7\n");
    EXPECT_EQ(FreeFormatReader(good, "IN_MANIP_0_1_2").readWhole(), -42);
    for (const char* bad : {"6523.0\n", "1e3\n", "abc\n", "99999999999\n", "-\n"}) {
        std::istringstream in(bad);
        EXPECT_THROW(FreeFormatReader(in, "IN_TOTAL_COEFFICIENT_OUTLET").readWhole(), FileError)
            << bad;
    }
}

TEST(FreeFormatReader, MalformedValueNamesFileAndLine) {
    std::istringstream in("1\n2\nx3\n");
    FreeFormatReader reader(in, "IN_FLOOD_WAVE");
    reader.readReal();
    reader.readReal();
    try {
        reader.readReal(0.0f, "hodnota pritoku 3 z 5");
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(e.code, veldron::kErrBadValue);
        EXPECT_STREQ(e.what(),
                     "chybna hodnota 'x3': IN_FLOOD_WAVE, radek 3 (hodnota pritoku 3 z 5, "
                     "ocekavana hodnota 1 z 1, ocekavano realne cislo)");
    }
}

TEST(FreeFormatReader, EndOfFileNamesTheMissingLine) {
    std::istringstream in("");
    try {
        FreeFormatReader(in, "IN_START_VYP").readReal();
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(e.code, veldron::kErrEndOfFile);
        EXPECT_STREQ(e.what(), "konec souboru: IN_START_VYP, radek 1 (ocekavana hodnota 1 z 1)");
    }
}

TEST(FreeFormatReader, EachReadStartsOnANewLineAndContinuesWhileItNeeds) {
    // Five values: the fifth is ignored. Three values: the fourth comes from
    // the next line, and the following read starts on the line after that.
    std::istringstream in("1 2 3 4 5\n6\t7,8\n9 10\n11 12 13 14\n");
    FreeFormatReader reader(in, "IN_BAT_CURVE_BC");
    std::array<float, 4> row{};
    reader.readReals(row);
    EXPECT_EQ(row, (std::array<float, 4>{1, 2, 3, 4}));
    reader.readReals(row);
    EXPECT_EQ(row, (std::array<float, 4>{6, 7, 8, 9}));
    reader.readReals(row);
    EXPECT_EQ(row, (std::array<float, 4>{11, 12, 13, 14}));
}

TEST(FreeFormatReader, BlankLineShiftsLaterValues) {
    std::istringstream in("1 \n   \n3 \n4 \n");
    FreeFormatReader reader(in, "IN_FLOOD_WAVE");
    EXPECT_EQ(reader.readReal(), 1.0f);
    EXPECT_EQ(reader.readReal(), 3.0f);
    EXPECT_EQ(reader.readReal(), 4.0f);
    EXPECT_THROW(reader.readReal(), FileError);
}

TEST(FreeFormatReader, SlashEndsTheReadAndKeepsUnreadItems) {
    std::istringstream in("1 2 / 9\n5 6 7 8\n/\n");
    FreeFormatReader reader(in, "IN_BAT_CURVE_BC");
    std::array<float, 4> row{-1, -1, -1, -1};
    reader.readReals(row);
    EXPECT_EQ(row, (std::array<float, 4>{1, 2, -1, -1}));
    reader.readReals(row);
    EXPECT_EQ(row, (std::array<float, 4>{5, 6, 7, 8}));
    EXPECT_EQ(reader.readWhole(17), 17);
}

TEST(FreeFormatReader, OverflowIsRefused) {
    std::istringstream in("1e39\n");
    EXPECT_THROW(FreeFormatReader(in, "IN_X").readReal(), FileError);
}

TEST(FreeFormatReader, MessagesShowOddBytesAsPlainText) {
    // A NUL must not cut the message before the file and the line; bytes
    // outside plain ASCII are shown by their codes, long tokens shortened.
    std::istringstream in(std::string("1\0x\xC3\xA9", 5) + "\n" + std::string(50, '7') + "x\n");
    FreeFormatReader reader(in, "IN_X");
    try {
        reader.readReal();
        FAIL();
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "chybna hodnota '1\\x00x\\xC3\\xA9': IN_X, radek 1 (ocekavana "
                               "hodnota 1 z 1, ocekavano realne cislo)");
    }
    try {
        reader.readWhole();
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()).substr(0, 64),
                  "chybna hodnota '" + std::string(40, '7') + "...': IN");
    }
}
