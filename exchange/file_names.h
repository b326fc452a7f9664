// The names of every file the two programs exchange, spelled once.
#pragma once

#include <array>
#include <string>

namespace exchange {

// Inputs of the core, written by the front end into the exchange directory.
inline constexpr const char* kStartLevel = "IN_START_VYP";
inline constexpr const char* kCurve = "IN_BAT_CURVE_BC";
inline constexpr const char* kCurveRowCount = "IN_NUMBER_OF_POINT_BK";
inline constexpr const char* kCrestHeight = "IN_START_RN_OWERFLOW";
inline constexpr const char* kRetentionHeight = "IN_TOTAL_HEIGHT_OWERFLOW";
inline constexpr const char* kOutletCount = "IN_NUMBER_OF_OUTLET";
inline constexpr const char* kOutletDiameter = "IN_OUTLET_DIAMETER";
inline constexpr const char* kOutletCoefficient = "IN_TOTAL_COEFFICIENT_OUTLET";
inline constexpr const char* kSpillwayWidth = "IN_WIDTH_SPILLWAY_B0";
inline constexpr const char* kOverflowCoefficient = "IN_COEFFICIENT_OVERFLOW_m";
inline constexpr const char* kTimeStep = "IN_TIME_STEP_min";
inline constexpr const char* kInflowPointCount = "IN_NUMBER_OF_POINT_FW";
inline constexpr const char* kFloodWave = "IN_FLOOD_WAVE";
inline constexpr const char* kStorageTop = "IN_START_RO";
inline constexpr const char* kManipulationMode = "IN_MANIP_0_1_2";
inline constexpr const char* kKeepClosedAfterPeak = "IN_MANIP1_0_1";
inline constexpr const char* kManipulationZone = "IN_MANPR";
inline constexpr const char* kPreReleaseStorage = "IN_PREDP1_0_1";
inline constexpr const char* kPreReleaseControlled = "IN_PREDP2_0_1";
inline constexpr const char* kEmptyAfterFlood = "IN_PREDP3_0_1";

// Every input of the core, in the order it reads them (IN_START_VYP first).
inline constexpr std::array<const char*, 20> kCoreInputs = {kStartLevel,
                                                            kCurve,
                                                            kCurveRowCount,
                                                            kCrestHeight,
                                                            kRetentionHeight,
                                                            kOutletCount,
                                                            kOutletDiameter,
                                                            kOutletCoefficient,
                                                            kSpillwayWidth,
                                                            kOverflowCoefficient,
                                                            kTimeStep,
                                                            kInflowPointCount,
                                                            kFloodWave,
                                                            kStorageTop,
                                                            kManipulationMode,
                                                            kKeepClosedAfterPeak,
                                                            kManipulationZone,
                                                            kPreReleaseStorage,
                                                            kPreReleaseControlled,
                                                            kEmptyAfterFlood};

// Source files of the front end's input forms, beside its program file.
inline constexpr const char* kFloodWaveSource = "Q_FLOOD_WAVE.csv";
inline constexpr const char* kCurveSource = "BK.csv";

// Tables the core writes under OUT_DATA before routing.
inline constexpr const char* kGridVolumes = "objemy_nad_prelivem_z_BK";
inline constexpr const char* kVolumesAboveCrest = "objemy_nad_prelivem";
inline constexpr const char* kOutletFlows = "odtok_vypuste_pro_h_nad_prelivem_100";
inline constexpr const char* kSpillwayFlows = "odtok_nad_prelivem";
inline constexpr const char* kTotalFlows = "suma_odtoku_pro_h_nad_prelivem_100";
inline constexpr const char* kKlemesRows = "tab_min_radek_pro_klemese";

// Results under OUT_RESULT.
inline constexpr const char* kLevelSeries = "vyska_vody";
inline constexpr const char* kOutflowSeries = "transformovana_povoden";

// Transformation curves under OUT_DATA/TK, one per outlet opening 0, 5, ... 100 %.
inline constexpr int kOpeningCount = 21;
inline std::string transformationCurveName(int openingIndex) {
    return "TRANSF_KRIVKA_KLEMES_" + std::to_string(5 * openingIndex);
}

// Programs in the exchange directory.
#ifdef _WIN32
inline constexpr const char* kCoreExecutable = "PRGVELDRON.exe";
inline constexpr const char* kFrontEndExecutable = "Project_veldron.exe";
#else
inline constexpr const char* kCoreExecutable = "PRGVELDRON";
inline constexpr const char* kFrontEndExecutable = "Project_veldron";
#endif

// Exit status of the core.
enum ExitCode : int {
    kExitNormal = 0,
    kExitErrorExit = 1, // ERROR 1/2/3 or overtopping: the run stopped on a detected error
    kExitInputError = 2 // an input or output file could not be read or written
};

} // namespace exchange
