// The flood-safety assessment's chart: the level of each outlet case step by
// step, with MBH, RN and the overtopping level, as its window and the
// calculation report draw it.
#pragma once

#include "study/assessment.h"

namespace gui {

class LineChartView;

/// Draws the three cases' levels at x = step, the deciding case's KMH marked,
/// and MBH, RN and the overtopping level as labelled lines.
void drawAssessmentLevels(LineChartView& chart, const study::AssessmentResult& result);

} // namespace gui
