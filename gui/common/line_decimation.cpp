// Which points of a long line a chart draws.
#include "gui/common/line_decimation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace gui {

namespace {

/// The first point at or right of `x`.
std::size_t firstFrom(const std::vector<ChartPoint>& points, double x) {
    return static_cast<std::size_t>(
        std::lower_bound(points.begin(), points.end(), x,
                         [](const ChartPoint& p, double value) { return p.x < value; }) -
        points.begin());
}

/// The first point right of `x`.
std::size_t firstAfter(const std::vector<ChartPoint>& points, double x) {
    return static_cast<std::size_t>(
        std::upper_bound(points.begin(), points.end(), x,
                         [](double value, const ChartPoint& p) { return value < p.x; }) -
        points.begin());
}

/// Per column of points [first, end): its first, lowest, highest and last
/// point, appended to `kept` in the order they stand in the line.
void keepColumnExtremes(const std::vector<ChartPoint>& points, std::size_t first, std::size_t end,
                        double fromX, double toX, int columns, std::vector<std::size_t>& kept) {
    const double scale = columns / (toX - fromX);
    const auto columnOf = [&](double x) {
        return std::clamp(static_cast<long>(std::floor((x - fromX) * scale)), 0L,
                          static_cast<long>(columns) - 1);
    };
    const auto keep = [&kept](std::size_t i) {
        if (kept.empty() || kept.back() < i) kept.push_back(i);
    };
    for (std::size_t i = first; i < end;) {
        const long column = columnOf(points[i].x);
        std::size_t lowest = i, highest = i, j = i + 1;
        for (; j < end && columnOf(points[j].x) == column; ++j) {
            if (points[j].y < points[lowest].y) lowest = j;
            if (points[j].y > points[highest].y) highest = j;
        }
        keep(i);
        keep(std::min(lowest, highest));
        keep(std::max(lowest, highest));
        keep(j - 1);
        i = j;
    }
}

/// y of the segment from `a` to `b` at `x` (between their x).
double yAt(const ChartPoint& a, const ChartPoint& b, double x) {
    if (b.x == a.x) return b.y;
    return a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
}

} // namespace

bool ascendingX(const std::vector<ChartPoint>& points) {
    return std::is_sorted(points.begin(), points.end(),
                          [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; });
}

std::vector<std::size_t> decimatedIndices(const std::vector<ChartPoint>& points, double fromX,
                                          double toX, int columns) {
    std::vector<std::size_t> kept;
    if (columns < 1 || points.size() <= static_cast<std::size_t>(columns) || !(fromX < toX)) {
        kept.resize(points.size());
        std::iota(kept.begin(), kept.end(), std::size_t{0});
        return kept;
    }
    const std::size_t first = firstFrom(points, fromX);
    const std::size_t end = firstAfter(points, toX);
    if (first > 0) kept.push_back(first - 1);
    if (end - std::min(first, end) <= static_cast<std::size_t>(columns)) {
        for (std::size_t i = first; i < end; ++i)
            kept.push_back(i);
    } else {
        keepColumnExtremes(points, first, end, fromX, toX, columns, kept);
    }
    if (end < points.size()) kept.push_back(end);
    return kept;
}

std::optional<std::pair<double, double>> yRangeBetween(const std::vector<ChartPoint>& points,
                                                       double fromX, double toX) {
    if (points.empty() || fromX > toX) return std::nullopt;
    const std::size_t first = firstFrom(points, fromX);
    const std::size_t end = firstAfter(points, toX);
    double lowest = std::numeric_limits<double>::infinity(), highest = -lowest;
    const auto take = [&](double y) {
        lowest = std::min(lowest, y);
        highest = std::max(highest, y);
    };
    for (std::size_t i = first; i < end; ++i)
        take(points[i].y);
    if (first > 0 && first < points.size()) take(yAt(points[first - 1], points[first], fromX));
    if (end > 0 && end < points.size()) take(yAt(points[end - 1], points[end], toX));
    if (!(lowest <= highest)) return std::nullopt;
    return std::make_pair(lowest, highest);
}

} // namespace gui
