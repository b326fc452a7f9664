// The two curve lookups and their failure rule at the edges of the curve.
#include "core/tables/bathygraphic_curve.h"

#include <gtest/gtest.h>

#include <cmath>

using veldron::Bracket;
using veldron::CurveRow;
using veldron::levelAtVolume;
using veldron::volumeAtLevel;

namespace {
std::vector<CurveRow> curve(std::initializer_list<std::pair<float, float>> rows) {
    std::vector<CurveRow> c;
    for (const auto& [h, v] : rows)
        c.push_back({300.0f + h, h, v, 0.0f});
    return c;
}
} // namespace

TEST(CurveLookup, InterpolatesFromTheBottomBelowTheFirstRow) {
    const auto c = curve({{2.0f, 1000.0f}, {4.0f, 3000.0f}});
    EXPECT_EQ(volumeAtLevel(c, 1.0f, Bracket::Inclusive), 500.0f);
    EXPECT_EQ(volumeAtLevel(c, 3.0f, Bracket::Strict), 2000.0f);
    EXPECT_EQ(volumeAtLevel(c, 0.0f, Bracket::Inclusive), 0.0f);
    EXPECT_EQ(levelAtVolume(c, 2000.0f), 3.0f);
}

TEST(CurveLookup, ARowLevelIsTheLowerEndWhenStrictAndTheUpperWhenInclusive) {
    const auto c = curve({{2.0f, 1000.0f}, {4.0f, 3000.0f}});
    EXPECT_EQ(volumeAtLevel(c, 2.0f, Bracket::Strict), 1000.0f);
    EXPECT_EQ(volumeAtLevel(c, 2.0f, Bracket::Inclusive), 1000.0f);
    // The last row's level: no row above it under the strict rule.
    EXPECT_FALSE(volumeAtLevel(c, 4.0f, Bracket::Strict));
    EXPECT_EQ(volumeAtLevel(c, 4.0f, Bracket::Inclusive), 3000.0f);
    EXPECT_FALSE(volumeAtLevel(c, 4.5f, Bracket::Inclusive));
    EXPECT_EQ(levelAtVolume(c, 3000.0f), 4.0f);
    EXPECT_FALSE(levelAtVolume(c, 3000.5f));
}

TEST(CurveLookup, ACurveStartingAtTheBottomFailsOnItsFirstRow) {
    const auto c = curve({{0.0f, 0.0f}, {1.0f, 100.0f}});
    EXPECT_FALSE(volumeAtLevel(c, 0.0f, Bracket::Inclusive)); // a start level of 0: ERROR 2
    EXPECT_EQ(volumeAtLevel(c, 0.0f, Bracket::Strict), 0.0f);
    EXPECT_FALSE(levelAtVolume(c, 0.0f)); // an empty reservoir in routing: ERROR 3
    EXPECT_FALSE(volumeAtLevel(c, -0.1f, Bracket::Strict));
}

TEST(CurveLookup, OnlyTheUsedBracketIsChecked) {
    // Rows 2-3 do not rise in volume; lookups between rows 1 and 2 still work.
    const auto c = curve({{1.0f, 100.0f}, {2.0f, 300.0f}, {3.0f, 300.0f}, {4.0f, 500.0f}});
    EXPECT_EQ(volumeAtLevel(c, 1.5f, Bracket::Strict), 200.0f);
    EXPECT_FALSE(volumeAtLevel(c, 2.5f, Bracket::Strict));
    EXPECT_EQ(volumeAtLevel(c, 3.5f, Bracket::Strict), 400.0f);
}

TEST(CurveLookup, NothingToFindFails) {
    EXPECT_FALSE(volumeAtLevel({}, 1.0f, Bracket::Inclusive));
    EXPECT_FALSE(levelAtVolume({}, 1.0f));
    const auto c = curve({{2.0f, 1000.0f}});
    EXPECT_FALSE(volumeAtLevel(c, -1.0f, Bracket::Inclusive));
    EXPECT_FALSE(volumeAtLevel(c, std::nanf(""), Bracket::Inclusive));
}
