// The saved inputs as the core reads them: values, their texts, and what the
// core cannot read left empty.
#include "project_files/saved_inputs.h"

#include "tests/support/test_files.h"

#include <gtest/gtest.h>

namespace {

using veldron::testing::TempDir;
using veldron::testing::writeFile;

class SavedInputs : public ::testing::Test {
protected:
    void write(const char* name, const std::string& bytes) {
        writeFile(m_dir.path() / name, bytes);
    }
    project_files::SavedInputs read() const { return project_files::readSavedInputs(m_dir.path()); }

    TempDir m_dir;
};

TEST_F(SavedInputs, OneValueFilesGiveTheCoresValueAndTheTextItStandsAs) {
    write("IN_START_VYP", "\r\n  12.50 \r\n");
    write("IN_TIME_STEP_min", "2.5D1\r\n");
    write("IN_TOTAL_COEFFICIENT_OUTLET", "6200\r\n");
    write("IN_MANIP_0_1_2", "2.0\r\n"); // the core reads a whole number
    write("IN_OUTLET_DIAMETER", "abc\r\n");
    write("IN_START_RO", "");
    const project_files::SavedInputs saved = read();
    ASSERT_TRUE(saved.startLevel);
    EXPECT_EQ(saved.startLevel->value, 12.5f);
    EXPECT_EQ(saved.startLevel->text, "12.50");
    EXPECT_EQ(saved.timeStepMinutes->value, 25.0f);
    EXPECT_EQ(saved.timeStepMinutes->text, "2.5D1");
    EXPECT_EQ(saved.outletCoefficientScaled->value, 6200);
    EXPECT_FALSE(saved.manipulationMode);
    EXPECT_FALSE(saved.outletDiameter);
    EXPECT_FALSE(saved.storageTopHeight);
    EXPECT_FALSE(saved.crestHeight); // missing
}

TEST_F(SavedInputs, TheFloodWaveTakesTheWholePartOfItsCount) {
    write("IN_NUMBER_OF_POINT_FW", "2.9\r\n");
    write("IN_FLOOD_WAVE", "10 \r\n105.5 \r\n");
    const auto wave = read().inflow;
    ASSERT_TRUE(wave);
    ASSERT_EQ(wave->size(), 2u);
    EXPECT_EQ((*wave)[1].value, 105.5f);
    EXPECT_EQ((*wave)[1].text, "105.5");
    write("IN_NUMBER_OF_POINT_FW", "4\r\n");
    EXPECT_FALSE(read().inflow); // shorter than its count
    write("IN_NUMBER_OF_POINT_FW", "-3\r\n");
    EXPECT_TRUE(read().inflow->empty());
}

TEST_F(SavedInputs, TheCurveNeedsAWholeCountAndGivesItsLevels) {
    write("IN_NUMBER_OF_POINT_BK", "2\r\n");
    write("IN_BAT_CURVE_BC", "312.5\t 0.5\t 1838.9\t 8091.3\t\r\n313\t 14.5\t 9e5\t 9500\t\r\n");
    const project_files::SavedInputs saved = read();
    ASSERT_TRUE(saved.curve);
    ASSERT_EQ(saved.curve->size(), 2u);
    EXPECT_EQ((*saved.curve)[1].volume.text, "9e5");
    EXPECT_EQ((*saved.curve)[1].volume.value, 9e5f);
    const auto levels = project_files::curveLevels(saved);
    ASSERT_TRUE(levels);
    EXPECT_EQ(levels->highest, 14.5);
    EXPECT_EQ(levels->lowestText, "0.5");
    write("IN_NUMBER_OF_POINT_BK", "2.0\r\n");
    EXPECT_FALSE(read().curve);
    EXPECT_FALSE(project_files::curveLevels(read()));
}

TEST_F(SavedInputs, ARowGoesOnOntoTheNextLineAndCrOnlyLineEndsCount) {
    write("IN_NUMBER_OF_POINT_BK", "2\r");
    write("IN_BAT_CURVE_BC", "312.5 0.5\r1838.9 8091.3\r313 14.5 9000 9500\r");
    const auto curve = read().curve;
    ASSERT_TRUE(curve);
    ASSERT_EQ(curve->size(), 2u);
    EXPECT_EQ((*curve)[0].volume.text, "1838.9");
    EXPECT_EQ((*curve)[1].elevation.text, "313");
    EXPECT_EQ((*curve)[1].area.value, 9500.0f);
    write("IN_BAT_CURVE_BC", "312.5 0.5 1838.9 8091.3\r\n\r\n313 14.5 9000 9500\r\n");
    EXPECT_FALSE(read().curve); // a blank line inside a table is refused
}

TEST_F(SavedInputs, TheReservoirsLevelsNeedTheirFiles) {
    write("IN_START_RO", "9\r\n");
    write("IN_START_RN_OWERFLOW", "12\r\n");
    write("IN_TOTAL_HEIGHT_OWERFLOW", "2.5\r\n");
    project_files::ReservoirLevels levels = project_files::reservoirLevels(read());
    EXPECT_EQ(levels.storageTop, 9.0);
    EXPECT_EQ(levels.overtopping, 14.5);
    std::filesystem::remove(m_dir.path() / "IN_TOTAL_HEIGHT_OWERFLOW");
    levels = project_files::reservoirLevels(read());
    EXPECT_EQ(levels.crest, 12.0);
    EXPECT_FALSE(levels.overtopping);
}

TEST(CoreReal, ATextIsReadAsTheCoreReadsAFileHoldingIt) {
    EXPECT_EQ(project_files::coreReal("-.5"), -0.5f);
    EXPECT_EQ(project_files::coreReal("1E-3"), 0.001f);
    for (const char* bad : {"", "abc", "1e999", "12abc"})
        EXPECT_FALSE(project_files::coreReal(bad)) << bad;
}

} // namespace
