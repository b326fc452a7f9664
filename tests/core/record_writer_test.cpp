// The record layout of every output file.
#include "core/io/record_writer.h"

#include <gtest/gtest.h>

#include <cmath>

using veldron::formatReal;

TEST(RecordWriter, FixedPointWithSevenDecimals) {
    EXPECT_EQ(formatReal(0.0f), "       0.0000000");
    EXPECT_EQ(formatReal(1.5f), "       1.5000000");
    EXPECT_EQ(formatReal(19.62f), "      19.6200008");
    EXPECT_EQ(formatReal(-2.25f), "      -2.2500000");
    EXPECT_EQ(formatReal(999999.9f), "  999999.8750000");
    EXPECT_EQ(formatReal(0x1p-11f), "       0.0004883");
}

TEST(RecordWriter, ExactBinaryValueRoundsTiesToEven) {
    // 45000.00390625 is exactly representable: the tie at the eighth decimal goes to even.
    EXPECT_EQ(formatReal(45000.00390625f), "   45000.0039062");
}

TEST(RecordWriter, ExponentFormOutsideTheFixedRange) {
    EXPECT_EQ(formatReal(1234567.0f), "  1.2345670E+006");
    EXPECT_EQ(formatReal(1000000.0f), "  1.0000000E+006");
    EXPECT_EQ(formatReal(-2.5e7f), " -2.5000000E+007");
    EXPECT_EQ(formatReal(0.0004f), "  3.9999999E-004");
    EXPECT_EQ(formatReal(3.0e38f), "  3.0000000E+038");
    EXPECT_EQ(formatReal(1.0e-40f), "  9.9999461E-041");
    EXPECT_EQ(formatReal(std::nanf("")), "             NaN");
}

TEST(RecordWriter, RecordsEndInCarriageReturnLineFeed) {
    EXPECT_EQ(veldron::formatRecord({1.0f, 2.0f}), "       1.0000000       2.0000000\r\n");
    EXPECT_EQ(veldron::formatWhole(42), "          42");
}
