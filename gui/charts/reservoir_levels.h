// The reservoir's levels drawn on a chart of water levels: where the storage
// space ends (RO), the spillway crest (RN) and where the dam overtops.
#pragma once

#include "exchange/io/saved_inputs.h"

namespace gui {

class LineChartView;

/// Draws each known level of `levels` as a labelled dashed line from `fromX`
/// to `toX` ("RO 9,500 m", "RN 12,000 m", "přelití 14,500 m"); the chart's
/// vertical range then takes them in.
void drawReservoirLevels(LineChartView& chart, const exchange::ReservoirLevels& levels,
                         double fromX, double toX);

} // namespace gui
