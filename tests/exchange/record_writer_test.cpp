// The record layout of every output file.
#include "exchange/record_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using exchange::formatReal;

TEST(RecordWriter, FixedPointWithSevenDecimals) {
    EXPECT_EQ(exchange::formatReal(0.0f), "       0.0000000");
    EXPECT_EQ(exchange::formatReal(1.5f), "       1.5000000");
    EXPECT_EQ(exchange::formatReal(19.62f), "      19.6200008");
    EXPECT_EQ(exchange::formatReal(-2.25f), "      -2.2500000");
    EXPECT_EQ(exchange::formatReal(999999.9f), "  999999.8750000");
    EXPECT_EQ(exchange::formatReal(0x1p-11f), "       0.0004883");
}

TEST(RecordWriter, ExactBinaryValueRoundsTiesToEven) {
    // 45000.00390625 is exactly representable: the tie at the eighth decimal goes to even.
    EXPECT_EQ(exchange::formatReal(45000.00390625f), "   45000.0039062");
}

TEST(RecordWriter, ExponentFormOutsideTheFixedRange) {
    EXPECT_EQ(exchange::formatReal(1234567.0f), "  1.2345670E+006");
    EXPECT_EQ(exchange::formatReal(1000000.0f), "  1.0000000E+006");
    EXPECT_EQ(exchange::formatReal(-2.5e7f), " -2.5000000E+007");
    EXPECT_EQ(exchange::formatReal(0.0004f), "  3.9999999E-004");
    EXPECT_EQ(exchange::formatReal(3.0e38f), "  3.0000000E+038");
    EXPECT_EQ(exchange::formatReal(1.0e-40f), "  9.9999461E-041");
    EXPECT_EQ(exchange::formatReal(std::nanf("")), "             NaN");
}

TEST(RecordWriter, RecordsEndInCarriageReturnLineFeed) {
    EXPECT_EQ(exchange::formatRecord({1.0f, 2.0f}), "       1.0000000       2.0000000\r\n");
    EXPECT_EQ(exchange::formatWhole(42), "          42");
}

namespace {

// printf's text in the record layout: the reference that the whole-number
// formatter must match character for character.
std::string printfField(float x) {
    const double v = x;
    char buffer[64];
    std::string text;
    if (std::isnan(v)) {
        text = "NaN";
    } else if (std::isinf(v)) {
        text = v > 0 ? "Infinity" : "-Infinity";
    } else if (v == 0.0 || (std::fabs(v) >= 0x1p-11 && std::fabs(v) < 1000000.0)) {
        std::snprintf(buffer, sizeof buffer, "%.7f", v);
        text = buffer;
    } else {
        std::snprintf(buffer, sizeof buffer, "%.7E", v);
        text = buffer;
        const std::size_t e = text.find('E');
        text.insert(e + 2, 5 - (text.size() - e), '0'); // three exponent digits
    }
    return std::string(16 - text.size(), ' ') + text;
}

float fromBits(std::uint32_t bits) {
    float x = 0;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

std::uint32_t toBits(float x) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

// Counts and reports the first few differences.
struct Mismatches {
    long count = 0;
    void check(std::uint32_t bits) {
        const float x = fromBits(bits);
        const std::string fast = exchange::formatReal(x), reference = printfField(x);
        if (fast != reference && ++count <= 5)
            ADD_FAILURE() << "bits 0x" << std::hex << bits << ": \"" << fast
                          << "\" against printf \"" << reference << "\"";
    }
};

} // namespace

TEST(RecordWriter, SameTextAsPrintf) {
    Mismatches m;
    // Every float within 2048 steps of the two forms' borders, of every power
    // of ten (where rounding carries into a new digit) and of 0.
    std::vector<float> borders{0x1p-11f, 1000000.0f, 0.0f};
    for (int k = -45; k <= 38; ++k)
        borders.push_back(static_cast<float>(std::pow(10.0, k)));
    for (float b : borders)
        for (float sign : {1.0f, -1.0f}) {
            const std::uint32_t centre = toBits(sign * b);
            for (std::uint32_t d = 0; d <= 2048; ++d) {
                m.check(centre + d);
                if (d <= centre) m.check(centre - d);
            }
        }
    // Every float from 45000 to 45001, where decimal ties lie.
    for (std::uint32_t bits = toBits(45000.0f); bits <= toBits(45001.0f); ++bits)
        m.check(bits);
    // Random values: half any bit pattern, half in the fixed-point range.
    // VELDRON_FORMAT_VALUES=N checks N of them; "all" checks every float
    // (about half an hour).
    const char* env = std::getenv("VELDRON_FORMAT_VALUES");
    if (env && std::string(env) == "all") {
        std::uint32_t bits = 0;
        do
            m.check(bits);
        while (++bits != 0);
    } else {
        const long n = env ? std::atol(env) : 400000;
        std::mt19937 rng(20261214);
        std::uniform_real_distribution<float> exponent(-11.0f, 19.93f);
        for (long i = 0; i < n; ++i) {
            const std::uint32_t bits = i % 2
                                           ? static_cast<std::uint32_t>(rng())
                                           : toBits(std::exp2(exponent(rng))) ^
                                                 (static_cast<std::uint32_t>(rng()) & 0x800000ffu);
            m.check(bits);
        }
    }
    EXPECT_EQ(m.count, 0);
}
