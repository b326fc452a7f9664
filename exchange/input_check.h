// The one check of the core's inputs, as a dam engineer judges them: plain
// functions over values that the core, the forms, the studies and the report
// all call, each turning what it finds into its own message.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace exchange {

/// The input a finding is about.
enum class InputQuantity {
    CurveRowCount,       // IN_NUMBER_OF_POINT_BK
    CurveLevel,          // h [m] of a row of IN_BAT_CURVE_BC
    CurveVolume,         // V [m3] of a row
    CurveArea,           // A [m2] of a row
    CrestHeight,         // RN [m], IN_START_RN_OWERFLOW
    RetentionHeight,     // [m] above the crest, IN_TOTAL_HEIGHT_OWERFLOW
    StorageTop,          // RO [m], IN_START_RO
    OutletCount,         // IN_NUMBER_OF_OUTLET
    OutletDiameter,      // [m], IN_OUTLET_DIAMETER
    OutletCoefficient,   // velocity coefficient [-]; its file holds it x 10000
    SpillwayWidth,       // b0 [m], IN_WIDTH_SPILLWAY_B0
    OverflowCoefficient, // m [-]; its file holds it x 1000
    TimeStep,            // [min], IN_TIME_STEP_min
    InflowCount,         // IN_NUMBER_OF_POINT_FW
    Inflow,              // [m3/s], a value of IN_FLOOD_WAVE
    ManipulationZone,    // [m] above the crest, IN_MANPR
    StartLevel           // [m], IN_START_VYP
};

/// The limit a value breaks.
enum class InputLimit {
    AboveRowBefore,    // a curve's level or volume: above the row before (row 1: above the bottom,
                       // 0 m and 0 m3, unless the row is the bottom itself)
    NotBelowRowBefore, // a curve's area: not below the row before
    Positive,          // more than 0
    NotNegative,       // 0 or more
    FromOne,           // 1 or more (a count whose whole part is taken)
    WholeNotNegative,  // a whole number, 0 or more
    PositiveUpToOne,   // more than 0 and at most 1: a ratio of velocities
    BelowOvertopping   // the start level: below the overtopping level (crest + retention height)
};

/// What the check found: the first value that breaks its limit.
struct InputFinding {
    InputQuantity quantity;
    InputLimit limit;
    double value = 0.0; // as the core reads it, in the quantity's own unit (a coefficient unscaled)
    double bound = 0.0; // the value it is held against: the row before's (0 for the bottom), the
                        // overtopping level, or the limit's own 0 or 1
    int row = 0;        // the table row (from 1) of a curve or flood value; 0 for a one-value file
};

/// The exchange file that holds the quantity.
const char* inputFile(InputQuantity quantity);

/// The one value of a quantity against its own limit (every quantity but
/// the curve's rows and the start level, whose limits take other values):
/// a count of outlets a whole number from 0 (0: a dam whose bottom outlets
/// are out of service, spillway only), a retention height, diameter,
/// width, coefficient and time step above 0 (the outlets' velocity
/// coefficient at most 1), the count of curve rows and of inflow values
/// from 1 (the core takes the whole part of the latter), heights of the crest and the storage top,
/// the manipulation zone and an inflow not negative. `row` is the inflow's step.
std::optional<InputFinding> valueFinding(InputQuantity quantity, double value, int row = 0);
/// The same for a value as its file holds it: a coefficient the file keeps
/// scaled (IN_TOTAL_COEFFICIENT_OUTLET x 10000, IN_COEFFICIENT_OVERFLOW_m
/// x 1000) is divided back first.
std::optional<InputFinding> fileValueFinding(InputQuantity quantity, double fileValue, int row = 0);

/// One row of the bathygraphic curve as the check takes it.
struct CurveRowValues {
    double level = 0.0;  // h [m]
    double volume = 0.0; // V [m3]
    double area = 0.0;   // A [m2]
};

/// Row `number` (from 1) of the curve against the row before it (none for
/// row 1): its level and volume must rise above it, its area must not fall
/// below it. Row 1 is held against the bottom (0 m, 0 m3, area 0), which the
/// core interpolates from; a row 1 at the bottom itself passes. A curve that
/// falls anywhere gives another reservoir between its rows, silently.
std::optional<InputFinding> curveRowFinding(const CurveRowValues* before, const CurveRowValues& row,
                                            int number);

/// The first row of the curve that curveRowFinding refuses.
std::optional<InputFinding> curveFinding(std::span<const CurveRowValues> rows);

/// A start level at or above the overtopping level, crestHeight +
/// retentionHeight in double as the routing compares it: the dam would
/// overtop in the first step.
std::optional<InputFinding> startLevelFinding(float startLevel, float crestHeight,
                                              float retentionHeight);

/// A value as a file writes it: the shortest decimal text that reads back as
/// the same single-precision number, without exponent ("12.5", "4671360").
std::string valueText(double value);

/// The finding as the core's console states it, in plain ASCII Czech: the
/// value as its file holds it (a coefficient scaled), where it stands and
/// what is allowed. `where` names the place ("IN_FLOOD_WAVE, radek 3"); empty,
/// the file and the row.
std::string findingText(const InputFinding& finding, const std::string& where = {});

} // namespace exchange
