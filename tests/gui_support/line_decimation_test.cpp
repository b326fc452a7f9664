// Min-max decimation of long lines against a brute-force reference.
#include "gui/charts/line_decimation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

using desk::ChartPoint;

/// What every pixel column must keep, found by looking at every point.
struct Column {
    bool any = false;
    std::size_t first = 0, last = 0;
    double lowest = 0.0, highest = 0.0;
};

std::vector<Column> bruteForceColumns(const std::vector<ChartPoint>& points, double fromX,
                                      double toX, int columns) {
    std::vector<Column> expected(static_cast<std::size_t>(columns));
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ChartPoint& p = points[i];
        if (p.x < fromX || p.x > toX) continue;
        const double at = (p.x - fromX) / (toX - fromX) * columns;
        Column& c = expected[static_cast<std::size_t>(
            std::clamp(static_cast<int>(std::floor(at)), 0, columns - 1))];
        if (!c.any) c = {true, i, i, p.y, p.y};
        c.last = i;
        c.lowest = std::min(c.lowest, p.y);
        c.highest = std::max(c.highest, p.y);
    }
    return expected;
}

/// A random walk with random x steps (some repeated x), and sharp single peaks.
std::vector<ChartPoint> randomLine(std::mt19937& random, std::size_t count) {
    std::uniform_real_distribution<double> step(0.0, 2.0), jump(-1.0, 1.0), unit(0.0, 1.0);
    std::vector<ChartPoint> points;
    double x = -50.0, y = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        if (unit(random) > 0.05) x += step(random);
        y += jump(random);
        points.push_back({x, unit(random) < 0.001 ? y + 1000.0 * jump(random) : y});
    }
    return points;
}

} // namespace

TEST(LineDecimation, KeepsEachColumnsFirstLowestHighestAndLastAndNothingElse) {
    std::mt19937 random(20240523);
    for (int trial = 0; trial < 200; ++trial) {
        const std::size_t count = 1 + random() % 10000;
        const std::vector<ChartPoint> points = randomLine(random, count);
        const int columns = 1 + static_cast<int>(random() % 900);
        const double span = points.back().x - points.front().x;
        std::uniform_real_distribution<double> at(points.front().x - 0.1 * span,
                                                  points.back().x + 0.1 * span);
        double fromX = at(random), toX = at(random);
        if (trial % 3 == 0)
            std::tie(fromX, toX) = std::make_pair(points.front().x, points.back().x);
        if (fromX > toX) std::swap(fromX, toX);
        if (!(fromX < toX)) continue;
        SCOPED_TRACE(testing::Message()
                     << "trial " << trial << ", " << count << " points, " << columns << " columns");

        const std::vector<std::size_t> kept = gui::decimatedIndices(points, fromX, toX, columns);
        // Indices of the line, ascending, each once: no point outside the data.
        ASSERT_TRUE(std::is_sorted(kept.begin(), kept.end()));
        ASSERT_EQ(std::adjacent_find(kept.begin(), kept.end()), kept.end());
        ASSERT_TRUE(kept.empty() || kept.back() < count);
        if (count <= static_cast<std::size_t>(columns)) {
            ASSERT_EQ(kept.size(), count); // short lines keep every point
            continue;
        }
        ASSERT_LE(kept.size(), 4 * static_cast<std::size_t>(columns) + 2);

        const auto inRange = [&](std::size_t i) {
            return points[i].x >= fromX && points[i].x <= toX;
        };
        const auto keeps = [&](std::size_t i) {
            return std::binary_search(kept.begin(), kept.end(), i);
        };
        for (const Column& c : bruteForceColumns(points, fromX, toX, columns)) {
            if (!c.any) continue;
            EXPECT_TRUE(keeps(c.first));
            EXPECT_TRUE(keeps(c.last));
            bool lowest = false, highest = false;
            for (std::size_t i = c.first; i <= c.last; ++i) {
                lowest = lowest || (keeps(i) && points[i].y == c.lowest);
                highest = highest || (keeps(i) && points[i].y == c.highest);
            }
            EXPECT_TRUE(lowest && highest);
        }
        // Beside the range only the nearest point on each side, for the line to reach the edge.
        std::size_t outside = 0;
        for (std::size_t i : kept)
            outside += inRange(i) ? 0 : 1;
        const bool left = points.front().x<fromX, right = points.back().x> toX;
        EXPECT_EQ(outside, std::size_t{left} + std::size_t{right});
        if (left) {
            const std::size_t next = kept.front() + 1;
            EXPECT_TRUE(!inRange(kept.front()) && (next == count || points[next].x >= fromX));
        }
        if (right) {
            EXPECT_TRUE(!inRange(kept.back()) &&
                        (kept.back() == 0 || points[kept.back() - 1].x <= toX));
        }
    }
}

TEST(LineDecimation, TheYRangeCountsThePointsInsideAndTheLineAtTheEdges) {
    const std::vector<ChartPoint> line = {{0, 10}, {10, 0}, {20, 4}, {30, 100}};
    const auto between = gui::yRangeBetween(line, 5, 22); // 5 at x = 5, 23.2 at x = 22
    ASSERT_TRUE(between);
    EXPECT_EQ(between->first, 0.0);
    EXPECT_DOUBLE_EQ(between->second, 23.2);
    // A level line across the whole plot counts with its level.
    EXPECT_EQ(gui::yRangeBetween({{0, 7}, {100, 7}}, 40, 60), std::make_pair(7.0, 7.0));
    EXPECT_EQ(gui::yRangeBetween(line, 31, 40), std::nullopt);
    EXPECT_FALSE(gui::ascendingX({{0, 0}, {2, 0}, {1, 0}}));
}

TEST(LineDecimation, AClippedLineRunsFromEdgeToEdgeOfTheView) {
    gui::DecimatedLine level; // a reservoir's level across a long series
    level.setClippedToView(true);
    level.append({{1, 12}, {100000, 12}});
    const auto shown = level.pointsToShow(100, 200, 800);
    ASSERT_TRUE(shown && shown->size() == 2);
    EXPECT_TRUE((*shown)[0].x == 100 && (*shown)[1].x == 200 && (*shown)[1].y == 12);
    EXPECT_FALSE(level.pointsToShow(100, 200, 800)); // the chart holds them already
}
