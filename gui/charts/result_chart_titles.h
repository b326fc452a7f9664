// The titles of the charts of a run's results, the same in the results
// window, in its pictures and in the calculation report.
#pragma once

namespace gui {

inline constexpr const char* kFlowChartTitle = "TRANSFORMACE POVODŇOVÉ VLNY";
inline constexpr const char* kLevelChartTitle = "VÝŠKA VODY V NÁDRŽI";

} // namespace gui
