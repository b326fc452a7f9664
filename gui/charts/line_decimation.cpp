// Which points of a long line a chart draws.
#include "gui/charts/line_decimation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace gui {

namespace {

// The algorithms below read a line through at(i) and size(), so that a
// line's own points and a shared series of steps take the same code.
struct PointList {
    const std::vector<desk::ChartPoint>& points;
    std::size_t size() const { return points.size(); }
    const desk::ChartPoint& at(std::size_t i) const { return points[i]; }
};

/// The points [first, end) of a line, as a line of their own.
template <typename Line> struct Slice {
    const Line& line;
    std::size_t first, end;
    std::size_t size() const { return end - first; }
    desk::ChartPoint at(std::size_t i) const { return line.at(first + i); }
};
template <typename Line> Slice(const Line&, std::size_t, std::size_t) -> Slice<Line>;

/// The first point at or right of `x` (`after` false), or right of it (true).
template <typename Line> std::size_t firstPast(const Line& line, double x, bool after) {
    std::size_t low = 0, high = line.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const double at = line.at(middle).x;
        if (after ? at <= x : at < x)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

/// Per column of points [first, end): its first, lowest, highest and last
/// point, appended to `kept` in the order they stand in the line.
template <typename Line>
void keepColumnExtremes(const Line& line, std::size_t first, std::size_t end, double fromX,
                        double toX, int columns, std::vector<std::size_t>& kept) {
    const double scale = columns / (toX - fromX);
    const auto columnOf = [&](double x) {
        return std::clamp(static_cast<long>(std::floor((x - fromX) * scale)), 0L,
                          static_cast<long>(columns) - 1);
    };
    const auto keep = [&kept](std::size_t i) {
        if (kept.empty() || kept.back() < i) kept.push_back(i);
    };
    for (std::size_t i = first; i < end;) {
        const long column = columnOf(line.at(i).x);
        std::size_t lowest = i, highest = i, j = i + 1;
        double low = line.at(i).y, high = low;
        for (; j < end; ++j) {
            const desk::ChartPoint p = line.at(j);
            if (columnOf(p.x) != column) break;
            if (p.y < low) {
                low = p.y;
                lowest = j;
            }
            if (p.y > high) {
                high = p.y;
                highest = j;
            }
        }
        keep(i);
        keep(std::min(lowest, highest));
        keep(std::max(lowest, highest));
        keep(j - 1);
        i = j;
    }
}

template <typename Line>
std::vector<std::size_t> decimate(const Line& line, double fromX, double toX, int columns) {
    std::vector<std::size_t> kept;
    const std::size_t count = line.size();
    if (columns < 1 || count <= static_cast<std::size_t>(columns) || !(fromX < toX)) {
        kept.resize(count);
        std::iota(kept.begin(), kept.end(), std::size_t{0});
        return kept;
    }
    const std::size_t first = firstPast(line, fromX, false);
    const std::size_t end = firstPast(line, toX, true);
    if (first > 0) kept.push_back(first - 1);
    if (end - std::min(first, end) <= static_cast<std::size_t>(columns)) {
        for (std::size_t i = first; i < end; ++i)
            kept.push_back(i);
    } else {
        keepColumnExtremes(line, first, end, fromX, toX, columns, kept);
    }
    if (end < count) kept.push_back(end);
    return kept;
}

/// y of the segment from `a` to `b` at `x` (between their x).
double yAt(const desk::ChartPoint& a, const desk::ChartPoint& b, double x) {
    if (b.x == a.x) return b.y;
    return a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
}

template <typename Line>
std::optional<std::pair<double, double>> yRangeOf(const Line& line, double fromX, double toX) {
    if (line.size() == 0 || fromX > toX) return std::nullopt;
    const std::size_t first = firstPast(line, fromX, false);
    const std::size_t end = firstPast(line, toX, true);
    double lowest = std::numeric_limits<double>::infinity(), highest = -lowest;
    const auto take = [&](double y) {
        lowest = std::min(lowest, y);
        highest = std::max(highest, y);
    };
    for (std::size_t i = first; i < end; ++i)
        take(line.at(i).y);
    if (first > 0 && first < line.size()) take(yAt(line.at(first - 1), line.at(first), fromX));
    if (end > 0 && end < line.size()) take(yAt(line.at(end - 1), line.at(end), toX));
    if (!(lowest <= highest)) return std::nullopt;
    return std::make_pair(lowest, highest);
}

} // namespace

bool ascendingX(const std::vector<desk::ChartPoint>& points) {
    return std::is_sorted(
        points.begin(), points.end(),
        [](const desk::ChartPoint& a, const desk::ChartPoint& b) { return a.x < b.x; });
}

std::vector<std::size_t> decimatedIndices(const std::vector<desk::ChartPoint>& points, double fromX,
                                          double toX, int columns) {
    return decimate(PointList{points}, fromX, toX, columns);
}

std::optional<std::pair<double, double>> yRangeBetween(const std::vector<desk::ChartPoint>& points,
                                                       double fromX, double toX) {
    return yRangeOf(PointList{points}, fromX, toX);
}

void DecimatedLine::append(const std::vector<desk::ChartPoint>& points) {
    if (points.empty()) return;
    if (m_values) { // a series of steps with more points: points of its own from now on
        for (std::size_t i = 0; i < m_values->size(); ++i)
            m_points.push_back(at(i));
        m_values.reset();
    }
    m_ascending = m_ascending && ascendingX(points) &&
                  (m_points.empty() || m_points.back().x <= points.front().x);
    if (m_points.empty()) {
        m_minX = m_maxX = points.front().x;
        m_minY = m_maxY = points.front().y;
    }
    for (const desk::ChartPoint& p : points)
        takeBounds(p);
    m_points.insert(m_points.end(), points.begin(), points.end());
    m_shown = false;
}

void DecimatedLine::setSteps(std::shared_ptr<const std::vector<double>> values, StepScale scale) {
    m_points.clear();
    m_values = std::move(values);
    m_scale = scale;
    m_ascending = scale.stepLength / scale.unit >= 0.0;
    findBounds();
    m_shown = false;
}

void DecimatedLine::findBounds() {
    m_minX = m_maxX = m_minY = m_maxY = 0.0;
    if (size() == 0) return;
    const desk::ChartPoint first = at(0);
    m_minX = m_maxX = first.x;
    m_minY = m_maxY = first.y;
    for (std::size_t i = 1; i < size(); ++i)
        takeBounds(at(i));
}

void DecimatedLine::takeBounds(const desk::ChartPoint& p) {
    m_minX = std::min(m_minX, p.x);
    m_maxX = std::max(m_maxX, p.x);
    m_minY = std::min(m_minY, p.y);
    m_maxY = std::max(m_maxY, p.y);
}

std::optional<std::vector<desk::ChartPoint>> DecimatedLine::pointsToShow(double fromX, double toX,
                                                                         int columns) {
    const bool clipped = m_clipped && m_ascending && fromX < toX;
    const bool whole = !clipped && (!m_ascending || size() <= static_cast<std::size_t>(columns));
    if (m_shown &&
        (whole ? m_shownCount == size()
               : fromX == m_shownFromX && toX == m_shownToX && columns == m_shownColumns))
        return std::nullopt;
    m_shown = true;
    m_shownFromX = fromX;
    m_shownToX = toX;
    m_shownColumns = columns;
    std::vector<desk::ChartPoint> shown;
    if (whole) {
        shown.reserve(size());
        for (std::size_t i = 0; i < size(); ++i)
            shown.push_back(at(i));
    } else if (clipped) {
        const std::size_t first = firstPast(*this, fromX, false);
        const std::size_t end = firstPast(*this, toX, true);
        if (first > 0 && first < size())
            shown.push_back({fromX, yAt(at(first - 1), at(first), fromX)});
        for (std::size_t i : decimate(Slice{*this, first, end}, fromX, toX, columns))
            shown.push_back(at(first + i));
        if (end > 0 && end < size()) shown.push_back({toX, yAt(at(end - 1), at(end), toX)});
    } else {
        for (std::size_t i : decimate(*this, fromX, toX, columns))
            shown.push_back(at(i));
    }
    m_shownCount = shown.size();
    return shown;
}

std::optional<std::pair<double, double>> DecimatedLine::yRange(double fromX, double toX) const {
    if (m_ascending) return yRangeOf(*this, fromX, toX);
    std::optional<std::pair<double, double>> range;
    for (const desk::ChartPoint& p : m_points)
        if (p.x >= fromX && p.x <= toX)
            range = range
                        ? std::make_pair(std::min(range->first, p.y), std::max(range->second, p.y))
                        : std::make_pair(p.y, p.y);
    return range;
}

} // namespace gui
