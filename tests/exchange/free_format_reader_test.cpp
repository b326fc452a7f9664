// Reading the exchange files: separators, line ends, line starts, whole tokens, value kinds.
#include "exchange/file_error.h"
#include "exchange/free_format_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <sstream>

using exchange::FileError;
using exchange::FreeFormatReader;
using exchange::Layout;

namespace {

// The message of the FileError the read throws; "" when it throws none.
template <typename Read> std::string refusal(Read read) {
    try {
        read();
    } catch (const FileError& e) {
        return e.what();
    }
    return "";
}

} // namespace

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
                                                    {"0.35", 0.35f}, // rounded once, not via double
                                                    {"1e-40", 1e-40f},
                                                    {"0.001e-50", 0.0f}}) {
        std::istringstream in(std::string(text) + "\r\n");
        EXPECT_EQ(exchange::FreeFormatReader(in, "IN_X").readReal(), value) << text;
    }
    // Below single precision a number reads as zero of its sign; above it, not at all.
    EXPECT_TRUE(std::signbit(exchange::FreeFormatReader(std::string("-1e-50"), "IN_X").readReal()));
    EXPECT_EQ(refusal([] { exchange::FreeFormatReader(std::string("1e39"), "IN_X").readReal(); }),
              "chybna hodnota '1e39': IN_X, radek 1 (ocekavana hodnota 1 z 1, ocekavano realne "
              "cislo)");
}

TEST(FreeFormatReader, WholeItemsTakeOnlyIntegers) {
    EXPECT_EQ(
        exchange::FreeFormatReader(std::string("  -42 \t\r\n7\r\n"), "IN_MANIP_0_1_2").readWhole(),
        -42);
    for (const char* bad : {"6523.0\n", "1e3\n", "abc\n", "99999999999\n", "-\n", "+-5\n"})
        EXPECT_THROW(
            exchange::FreeFormatReader(std::string(bad), "IN_TOTAL_COEFFICIENT_OUTLET").readWhole(),
            FileError)
            << bad;
}

TEST(FreeFormatReader, RefusalsNameFileLineAndText) {
    exchange::FreeFormatReader wave(std::string("1\n2\nx3\n"), "IN_FLOOD_WAVE",
                                    exchange::Layout::Table);
    wave.readReal();
    wave.readReal();
    EXPECT_EQ(refusal([&] { wave.readReal("hodnota pritoku 3 z 5"); }),
              "chybna hodnota 'x3': IN_FLOOD_WAVE, radek 3 (hodnota pritoku 3 z 5, ocekavana "
              "hodnota 1 z 1, ocekavano realne cislo)");
    EXPECT_EQ(
        refusal([] { exchange::FreeFormatReader(std::string(""), "IN_START_VYP").readReal(); }),
        "konec souboru: IN_START_VYP, radek 1 (ocekavana hodnota 1 z 1)");
    // Bytes outside plain ASCII are shown by their codes, long tokens shortened.
    const std::string odd = std::string("1\0x\xC3\xA9", 5) + "\n";
    EXPECT_EQ(refusal([&] { exchange::FreeFormatReader(odd, "IN_X").readReal(); }),
              "chybna hodnota '1\\x00x\\xC3\\xA9': IN_X, radek 1 (ocekavana hodnota 1 z 1, "
              "ocekavano realne cislo)");
    EXPECT_EQ(refusal([] {
                  exchange::FreeFormatReader(std::string(50, '7') + "x\n", "IN_X").readWhole();
              }).substr(0, 64),
              "chybna hodnota '" + std::string(40, '7') + "...': IN");
}

// Texts that would read as other numbers: each is refused, naming what it is.
TEST(FreeFormatReader, AValueIsTheWholeOfItsToken) {
    const struct {
        const char* text;
        exchange::Layout layout;
        const char* message;
    } cases[] = {
        {"2,5\r\n", exchange::Layout::OneValue,
         "chybna hodnota '2,5': IN_X, radek 1 (ocekavana hodnota 1 z 1, desetinna carka? v "
         "souborech se pise tecka)"},
        {"1,000.00 \r\n", exchange::Layout::Table,
         "chybna hodnota '1,000.00': IN_X, radek 1 (ocekavana hodnota 1 z 1, desetinna carka? v "
         "souborech se pise tecka)"},
        {"1 000.00 \r\n", exchange::Layout::Table,
         "za hodnotou '1' nasleduje text '000.00': IN_X, radek 1 (za hodnotou smi na radku byt "
         "jen mezery)"},
        {"4.00 abc xyz\r\n", exchange::Layout::Table,
         "za hodnotou '4.00' nasleduje text 'abc xyz': IN_X, radek 1 (za hodnotou smi na radku "
         "byt jen mezery)"},
        {"5,\r\n", exchange::Layout::OneValue,
         "za hodnotou '5' nasleduje text ',': IN_X, radek 1 (za hodnotou smi na radku byt jen "
         "mezery)"},
        {"/\r\n", exchange::Layout::Table,
         "chybna hodnota '/': IN_X, radek 1 (ocekavana hodnota 1 z 1, ocekavano realne cislo)"},
        {"5/\r\n", exchange::Layout::OneValue,
         "chybna hodnota '5/': IN_X, radek 1 (ocekavana hodnota 1 z 1, ocekavano realne cislo)"},
        {" \t\r\n4\r\n", exchange::Layout::Table,
         "prazdny radek: IN_X, radek 1 (ocekavana hodnota 1 z 1)"},
    };
    for (const auto& c : cases) {
        exchange::FreeFormatReader reader(std::string(c.text), "IN_X", c.layout);
        EXPECT_EQ(refusal([&] { reader.readReal(); }), c.message) << c.text;
    }
    // A comma beside a blank still separates; a one-value file may begin with blank lines.
    std::array<float, 4> row{};
    exchange::FreeFormatReader(std::string("1, 2 ,3 , 4\r\n"), "IN_X", exchange::Layout::Table)
        .readReals(row);
    EXPECT_EQ(row, (std::array<float, 4>{1, 2, 3, 4}));
    EXPECT_EQ(exchange::FreeFormatReader(std::string("\r\n  \r\n1.5 \t\r\n"), "IN_X").readReal(),
              1.5f);
}

TEST(FreeFormatReader, ReadsStartOnNewLinesAndMayContinueOnTheNext) {
    // A row split over two lines reads whole; a short row that would take the
    // next row's first value leaves the rest of that line and is refused.
    exchange::FreeFormatReader curve(
        std::string("1 2 3 4\t\r\n6\t7, 8\r\n9\r\n11 12 13 14\r\n1 2 3\r\n5 6 7 "
                    "8\r\n"),
        "IN_BAT_CURVE_BC", exchange::Layout::Table);
    std::array<float, 4> row{};
    curve.readReals(row);
    curve.readReals(row);
    EXPECT_EQ(row, (std::array<float, 4>{6, 7, 8, 9}));
    curve.readReals(row);
    EXPECT_EQ(row, (std::array<float, 4>{11, 12, 13, 14}));
    EXPECT_EQ(refusal([&] { curve.readReals(row, "radek krivky 4 z 5"); }),
              "za hodnotou '5' nasleduje text '6 7 8': IN_BAT_CURVE_BC, radek 6 (radek krivky 4 "
              "z 5, za hodnotou smi na radku byt jen mezery)");
    // Lines after the last read are not looked at.
    EXPECT_EQ(exchange::FreeFormatReader(std::string("12.9\r\nanything\r\n"), "IN_X").readReal(),
              12.9f);
}

TEST(FreeFormatReader, LineEndsAreLfCrLfOrCrAlone) {
    for (const char* text :
         {"1 \n2 \n3 \n", "1 \r\n2 \r\n3 \r\n", "1 \r2 \r3 \r", "1 \r\r\n2 \r\r\n3"}) {
        exchange::FreeFormatReader wave(std::string(text), "IN_FLOOD_WAVE",
                                        exchange::Layout::Table);
        EXPECT_EQ(wave.readReal(), 1.0f) << text;
        EXPECT_EQ(wave.readReal(), 2.0f) << text;
        EXPECT_EQ(wave.readReal(), 3.0f) << text;
        EXPECT_EQ(wave.lineNumber(), 3) << text;
    }
}
