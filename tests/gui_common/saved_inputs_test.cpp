// Reading back the exchange files as the core reads them.
#include "gui/common/saved_inputs.h"

#include "tests/gui_common/scratch_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

using SavedInputs = ScratchDirTest;

TEST_F(SavedInputs, OneValueFileGivesItsFirstValueAsTheCoreReadsIt) {
    EXPECT_EQ(gui::readSavedText(write("a", "12.5 7\r\n")), "12.5");
    EXPECT_EQ(gui::readSavedText(write("b", "\r\n  \t\r\n1,2\r\n")), "1"); // a comma ends the value
    EXPECT_EQ(gui::readSavedNumber(write("c", "2.5D1\r\n")), 25.0);
    EXPECT_EQ(gui::readSavedNumber(write("d", "+7\r\n")), 7.0);
    EXPECT_FALSE(gui::readSavedText(write("e", "")));
    EXPECT_FALSE(gui::readSavedText(write("f", "/ 5\r\n")));
    EXPECT_FALSE(gui::readSavedText(m_dir / "missing"));
    EXPECT_FALSE(gui::readSavedNumber(write("g", "abc\r\n")));
}

TEST_F(SavedInputs, NumbersAreTheCoresNotTheLocales) {
    for (const char* bad : {"", "1.2.3", "+-1", "1e999", "inf", "nan", "0x10", "12abc", "-"})
        EXPECT_FALSE(gui::savedNumber(bad)) << bad;
    EXPECT_EQ(gui::savedNumber("-.5"), -0.5);
    EXPECT_EQ(gui::savedNumber("1E-3"), 0.001);
}

TEST_F(SavedInputs, TableRecordsGoOnOntoTheNextLineAndIgnoreWhatIsLeft) {
    const auto rows = gui::readSavedRecords(write("t", "1 2 3\r\n4\r\n5 6 7 8 9\r\n"), 2, 4);
    ASSERT_TRUE(rows);
    EXPECT_EQ((*rows)[0], (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ((*rows)[1], (std::vector<std::string>{"5", "6", "7", "8"}));
    EXPECT_FALSE(gui::readSavedRecords(m_dir / "t", 3, 4)); // ends before the third record
    EXPECT_TRUE(gui::readSavedRecords(m_dir / "t", 0, 4)->empty());
}

TEST_F(SavedInputs, FloodWaveTakesTheWholePartOfItsCount) {
    write("IN_NUMBER_OF_POINT_FW", "2.9\r\n");
    write("IN_FLOOD_WAVE", "10 \r\n   \r\n105.5 \r\n7 \r\n");
    EXPECT_EQ(gui::readSavedFloodWave(m_dir), (std::vector<double>{10.0, 105.5}));
    write("IN_NUMBER_OF_POINT_FW", "4\r\n");
    EXPECT_FALSE(gui::readSavedFloodWave(m_dir)); // shorter than its count
    write("IN_NUMBER_OF_POINT_FW", "-3\r\n");
    EXPECT_TRUE(gui::readSavedFloodWave(m_dir)->empty());
}

TEST_F(SavedInputs, CurveNeedsAWholeCountAndNumbers) {
    write("IN_NUMBER_OF_POINT_BK", "2\r\n");
    write("IN_BAT_CURVE_BC", "312.5\t 0.5\t 1838.9\t 8091.3\t\r\n313\t 14.5\t 9000\t 9500\t\r\n");
    const auto levels = gui::readSavedCurveLevels(m_dir);
    ASSERT_TRUE(levels);
    EXPECT_EQ(levels->highest, 14.5);
    EXPECT_EQ(levels->lowestText, "0.5");
    write("IN_NUMBER_OF_POINT_BK", "2.0\r\n"); // the core reads a whole number
    EXPECT_FALSE(gui::readSavedCurve(m_dir));
    write("IN_NUMBER_OF_POINT_BK", "2\r\n");
    write("IN_BAT_CURVE_BC", "312.5\t 0,5\t 1838.9\t 8091.3\t\r\n313\t 14.5\t 9000\t 9500\t\r\n");
    // The comma ends a value: the row is read as the core reads it, shifted.
    EXPECT_EQ(gui::readSavedCurve(m_dir)->front(),
              (std::vector<std::string>{"312.5", "0", "5", "1838.9"}));
}

} // namespace
