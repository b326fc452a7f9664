// The stage-volume curve of the reservoir and its two lookups.
#pragma once

#include <optional>
#include <vector>

namespace veldron {

/// One row of the bathygraphic curve as read from IN_BAT_CURVE_BC.
struct CurveRow {
    float elevation; // m above sea level; carried, never used
    float level;     // m above the reservoir bottom
    float volume;    // m3 below that level
    float area;      // m2; carried, never used
};

/// Which row becomes the upper end of the bracket around an argument that
/// equals a row's key: Strict takes the first row whose key is greater than
/// the argument, Inclusive the first whose key is greater or equal.
enum class Bracket { Strict, Inclusive };

/// Volume [m3] at a level [m], linear between the two rows around it. The
/// search runs from the lowest row up; below row 1 the bracket's lower end is
/// the bottom (level 0, volume 0). No value (a failed lookup) when no row
/// qualifies, when the bracket does not rise strictly in level and volume, or
/// when the argument lies outside it. NaN never finds a bracket.
std::optional<float> volumeAtLevel(const std::vector<CurveRow>& curve, float level, Bracket rule);

/// The same interpolation left in double, for figures that compare volumes
/// (the run summary's balance) and must not add a rounding of their own.
std::optional<double> volumeAtLevelExact(const std::vector<CurveRow>& curve, float level,
                                         Bracket rule);

/// Level [m] at a volume [m3]: the same search on the volume column, Inclusive.
std::optional<float> levelAtVolume(const std::vector<CurveRow>& curve, float volume);

} // namespace veldron
