// The stage-volume curve of the reservoir and its two lookups.
#include "core/tables/bathygraphic_curve.h"

#include <cstddef>

namespace veldron {

namespace {

struct Point {
    float key, value;
};

// One interpolation: keys and values are taken from the rows by the accessor
// pair; the curve is checked only at the bracket that is used.
template <typename Key, typename Value>
std::optional<double> lookup(const std::vector<CurveRow>& curve, float argument, Bracket rule,
                             Key key, Value value) {
    std::size_t j = 0;
    while (j < curve.size()) {
        const float k = key(curve[j]);
        if (rule == Bracket::Strict ? k > argument : k >= argument) break;
        ++j;
    }
    if (j == curve.size()) return std::nullopt;

    const CurveRow bottom{0.0f, 0.0f, 0.0f, 0.0f};
    const CurveRow& lower = j == 0 ? bottom : curve[j - 1];
    const CurveRow& upper = curve[j];
    if (lower.level >= upper.level || lower.volume >= upper.volume) return std::nullopt;
    if (argument < key(lower) || argument > key(upper)) return std::nullopt;

    const Point p0{key(lower), value(lower)};
    const Point p1{key(upper), value(upper)};
    return (static_cast<double>(argument) - p0.key) / (static_cast<double>(p1.key) - p0.key) *
               (static_cast<double>(p1.value) - p0.value) +
           p0.value;
}

} // namespace

std::optional<double> volumeAtLevelExact(const std::vector<CurveRow>& curve, float level,
                                         Bracket rule) {
    return lookup(
        curve, level, rule, [](const CurveRow& r) { return r.level; },
        [](const CurveRow& r) { return r.volume; });
}

std::optional<float> volumeAtLevel(const std::vector<CurveRow>& curve, float level, Bracket rule) {
    const std::optional<double> volume = volumeAtLevelExact(curve, level, rule);
    if (!volume) return std::nullopt;
    return static_cast<float>(*volume);
}

std::optional<float> levelAtVolume(const std::vector<CurveRow>& curve, float volume) {
    const std::optional<double> level = lookup(
        curve, volume, Bracket::Inclusive, [](const CurveRow& r) { return r.volume; },
        [](const CurveRow& r) { return r.level; });
    if (!level) return std::nullopt;
    return static_cast<float>(*level);
}

} // namespace veldron
