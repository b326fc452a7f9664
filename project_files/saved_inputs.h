// The core's inputs as the core itself reads them from an exchange directory,
// in one typed reading, so that a form shows and a study uses exactly the
// values the next run of the core will take.
#pragma once

#include "exchange/input_check.h"
#include "exchange/inputs_record.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace project_files {

/// One value of an input file: the number the core reads and the text it
/// stands as in the file ("12.50", "2.5D1"), so that a form can show the
/// engineer's own digits.
template <class Number> struct SavedValue {
    Number value{};
    std::string text;
};
using SavedReal = SavedValue<float>;
using SavedWhole = SavedValue<std::int32_t>;

/// One row of the bathygraphic curve.
struct SavedCurveRow {
    SavedReal elevation; // H [m n.m.], carried, never used in calculation
    SavedReal level;     // h [m] above the bottom
    SavedReal volume;    // V [m3]
    SavedReal area;      // A [m2]
};

/// The twenty IN_* files of one exchange directory, each taken and read by
/// the core's own calls (readInputFile, FreeFormatReader) with the read the
/// core makes of it (a real, a whole number, a table). An entry is empty when
/// the core could not read its file: missing, not a regular file, too large,
/// a value of the wrong kind, too few values, text the core refuses. What the
/// core reads and refuses afterwards (a negative diameter, an option of 3) is
/// kept: judging it is the core's.
struct SavedInputs {
    std::optional<SavedReal> startLevel;       // IN_START_VYP [m]
    std::optional<SavedReal> crestHeight;      // IN_START_RN_OWERFLOW, RN [m]
    std::optional<SavedReal> retentionHeight;  // IN_TOTAL_HEIGHT_OWERFLOW [m] above the crest
    std::optional<SavedReal> storageTopHeight; // IN_START_RO, RO [m]
    std::optional<SavedReal> outletCount;      // IN_NUMBER_OF_OUTLET, read as a real
    std::optional<SavedReal> outletDiameter;   // IN_OUTLET_DIAMETER [m]
    std::optional<SavedWhole> outletCoefficientScaled;  // IN_TOTAL_COEFFICIENT_OUTLET, x 10000
    std::optional<SavedReal> spillwayWidth;             // IN_WIDTH_SPILLWAY_B0 [m]
    std::optional<SavedReal> overflowCoefficientScaled; // IN_COEFFICIENT_OVERFLOW_m, x 1000
    std::optional<SavedReal> timeStepMinutes;           // IN_TIME_STEP_min
    std::optional<SavedWhole> manipulationMode;         // IN_MANIP_0_1_2
    std::optional<SavedWhole> keepClosedAfterPeak;      // IN_MANIP1_0_1
    std::optional<SavedReal> manipulationZoneHeight;    // IN_MANPR [m]
    std::optional<SavedReal> preReleaseStorage;         // IN_PREDP1_0_1
    std::optional<SavedReal> preReleaseControlled;      // IN_PREDP2_0_1
    std::optional<SavedReal> emptyAfterFlood;           // IN_PREDP3_0_1
    /// IN_NUMBER_OF_POINT_BK rows of IN_BAT_CURVE_BC; a count below 1 gives no row.
    std::optional<std::vector<SavedCurveRow>> curve;
    /// The whole part of IN_NUMBER_OF_POINT_FW values of IN_FLOOD_WAVE [m3/s];
    /// a count below 1 gives none.
    std::optional<std::vector<SavedReal>> inflow;
};

/// The first value of the saved inputs that the one check of the inputs
/// refuses (exchange/input_check.h), in the order the core reads them, the
/// start level against the overtopping level last; none when every value
/// read passes. A file the core cannot read is no finding: reading it is.
std::optional<exchange::InputFinding> inputsFinding(const SavedInputs& inputs);

/// Reads every input of the exchange directory `dir`. Files are read one by
/// one as the core reads them, so a count far beyond its table only meets the
/// end of the file sooner.
SavedInputs readSavedInputs(const std::filesystem::path& dir);

/// The same from the files a run read (its result set's record of them).
SavedInputs readSavedInputs(const exchange::InputFiles& files);

/// The bytes of an input file by name; throws std::runtime_error (FileError
/// included) when there is none the core could read.
using FileSource = std::function<std::string(const char* name)>;
SavedInputs readSavedInputs(const FileSource& source);

/// A text as the core reads it as the one value of an input file ("12.5",
/// "2.5D1"); empty when the core could not read it.
std::optional<float> coreReal(const std::string& text);

/// The levels that frame the water level in the reservoir, in m above the bottom.
struct ReservoirLevels {
    std::optional<double> storageTop;  // RO: where the storage space ends
    std::optional<double> crest;       // RN: the spillway crest
    std::optional<double> overtopping; // RN + retention height: where the dam overtops
};

/// The levels of the saved inputs; a level whose file is empty stays empty,
/// and so does the overtopping level that needs it.
ReservoirLevels reservoirLevels(const SavedInputs& inputs);

/// The levels h [m] of the saved curve's first and last rows, and their texts.
struct CurveLevels {
    double lowest = 0.0, highest = 0.0; // m above the bottom
    std::string lowestText, highestText;
};

/// Empty without a saved curve of at least one row.
std::optional<CurveLevels> curveLevels(const SavedInputs& inputs);

} // namespace project_files
