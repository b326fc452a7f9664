// The reservoir's levels drawn on a chart of water levels: where the storage
// space ends (RO), the spillway crest (RN) and where the dam overtops.
#pragma once

#include "desk/grid_points.h"
#include "project_files/saved_inputs.h"

#include <QColor>

#include <vector>

namespace gui {

class LineChartView;

/// Draws each known level of `levels` as a labelled dashed line from `fromX`
/// to `toX` ("RO 9,500 m", "RN 12,000 m", "přelití 14,500 m"); the chart's
/// vertical range then takes them in.
void drawReservoirLevels(LineChartView& chart, const project_files::ReservoirLevels& levels,
                         double fromX, double toX);

/// Marks the first of the highest points of a level line drawn at x = step
/// ("max. 13,654 m v kroku 13").
void markHighestLevel(LineChartView& chart, const std::vector<desk::ChartPoint>& levels,
                      const QColor& colour);

} // namespace gui
