// The conversion of a grid cell's text to the number that is drawn.
#pragma once

#include <string>

namespace gui {

/// The number a cell's text is drawn as, whatever the user's locale.
/// Leading blanks (and tabs) are skipped; then the longest prefix of the form
/// [+|-] digits [. digits] [(E|e) [+|-] digits] is taken (digits may be
/// missing on one side of the point, not on both). An empty cell is 0.
///
/// A cell that is not a number is drawn as its longest leading number and
/// the rest is ignored: "12,5" draws as 12 (the core would also stop reading
/// that value at the comma), "12abc" as 12. A cell with no leading number at
/// all ("abc", "-", ".") draws as 0, and so does a number too large for a
/// double ("1e999"), so that one bad cell cannot wreck the chart's axes.
double cellNumber(const std::string& text);

} // namespace gui
