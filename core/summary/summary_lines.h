// The run summary: the figures that decide about a flood, computed from the
// series of one run and laid out as the lines of OUT_RESULT/souhrn_vypoctu.
#pragma once

#include "core/errors.h"
#include "core/tables/bathygraphic_curve.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace veldron {

/// What one run gives the summary. The series hold the steps routed, entry 0
/// being step 1; all three have the same length.
struct RunFigures {
    std::int64_t stepsGiven = 0; // inflow values given
    float timeStepMinutes = 0;
    float timeStepSeconds = 0;      // dt as the routing uses it
    float crestHeight = 0;          // m above the bottom
    float retentionHeight = 0;      // m above the crest
    std::span<const float> inflow;  // m3/s
    std::span<const float> flood;   // m3/s, every inflow value given
    std::span<const float> outflow; // m3/s
    std::span<const float> level;   // m above the bottom, at the start of each step
    // m above the bottom at the end of the last step routed (the stored
    // volume's level); none when the curve cannot give it (ERROR 3).
    std::optional<float> endLevel;
    const std::vector<CurveRow>* curve = nullptr;
    std::optional<ErrorExit> stop; // the error exit that ended the run, if any
};

/// The summary's lines in their fixed order, without line ends: a label, a
/// colon, blanks that align the values, the value, its unit and more text.
/// Every figure is computed in double from the run's floats. The volumes
/// cover the same steps, 1 ... n: the flood, the outflow, their difference
/// (the two printed figures' difference, so that the lines add up to the
/// printed digit) and the storage change from the start of step 1 to the
/// end of step n, which the balance compares with it. The lag pairs the
/// outflow's peak with the inflow's peak it follows: the largest inflow
/// since the inflow last fell below the outflow. A quantity that does not
/// exist in the run (nothing routed, no end level for the storage change, no
/// inflow to compare with) leaves its line out. A run that stopped states
/// the whole flood's peak and gives no freeboard, attenuation or lag: the
/// steps done are not the flood.
std::vector<std::string> summaryLines(const RunFigures& run);

} // namespace veldron
