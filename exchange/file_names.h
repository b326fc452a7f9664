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
// The inflow of the steps routed, one record per step like the outflow: the
// flood wave that produced the set, whatever IN_FLOOD_WAVE holds since.
inline constexpr const char* kInflowSeries = "povodnova_vlna";

// The inputs a run read, byte for byte, with the summary they belong to
// (exchange/inputs_record.h): what the set's results were computed from.
inline constexpr const char* kInputsRecord = "vstupy_vypoctu";

// Transformation curves under OUT_DATA/TK, one per outlet opening 0, 5, ... 100 %.
inline constexpr int kOpeningCount = 21;
inline std::string transformationCurveName(int openingIndex) {
    return "TRANSF_KRIVKA_KLEMES_" + std::to_string(5 * openingIndex);
}

// Programs in the exchange directory.
#ifdef _WIN32
inline constexpr const char* kCoreExecutable = "PRGVELDRON.exe";
inline constexpr const char* kFrontEndExecutable = "Project_veldron.exe";
inline constexpr const char* kReportExecutable = "veldron_protokol.exe";
inline constexpr const char* kAssessmentExecutable = "veldron_posouzeni.exe";
#else
inline constexpr const char* kCoreExecutable = "PRGVELDRON";
inline constexpr const char* kFrontEndExecutable = "Project_veldron";
inline constexpr const char* kReportExecutable = "veldron_protokol";
inline constexpr const char* kAssessmentExecutable = "veldron_posouzeni";
#endif

// The about panel's pictures and melody, beside the programs.
inline constexpr const char* kLeftBannerFile = "LOGO_LEVY.jpg";
inline constexpr const char* kSquarePictureFile = "LOGO_ZNAK.jpg";
inline constexpr const char* kRightBannerFile = "LOGO_PRAVY.jpg";
inline constexpr const char* kSoundFile = "ZVUK.wav";

// The manual's HTML pages, a folder beside the programs.
inline constexpr const char* kManualFolder = "napoveda";

// What the installation's exchange directory holds besides a project's files:
// the programs and the about panel's media. A project never holds them.
inline constexpr std::array<const char*, 8> kInstallationFiles = {
    kCoreExecutable, kFrontEndExecutable, kReportExecutable, kAssessmentExecutable,
    kLeftBannerFile, kSquarePictureFile,  kRightBannerFile,  kSoundFile};

// The bundled sample reservoir's inputs and sources, a folder beside the
// programs from which a new project can start.
inline constexpr const char* kSampleFolder = "vzorova_nadrz";

// In a project's root: the last safety-margin search, kept by the front end
// for the project's calculation report (UTF-8 lines).
inline constexpr const char* kKeptSafetyMargin = "bezpecnostni_rezerva";

// In a project's root, the front end's own (UTF-8 lines, numbers with a
// decimal point): the flood-safety assessment's settings as the window last
// started it, read back when the project opens again, and the last finished
// assessment with the digests of the inputs it read, for the main window's
// overview and the calculation report.
inline constexpr const char* kAssessmentSettings = "posouzeni_nastaveni";
inline constexpr const char* kKeptAssessment = "posouzeni_bezpecnosti";

// In the root: the file a run of the core locks for as long as it reads the
// inputs and replaces the result set, so that one run at a time works there.
inline constexpr const char* kRunLock = "zamek_vypoctu";

// In the root: the result set's journal, which records a commit of a new set
// until every file of it is in place, and whose lock readers share while they
// read a set (exchange/set_journal.h). Unsealed between commits.
inline constexpr const char* kResultJournal = "zurnal_vysledku";

// In the root, the front end's own: the start level [m] last saved or started
// in the calculation window, one value with a decimal point. The core takes
// IN_START_VYP away with every run; this file keeps the level for the next
// opening, the kept variants and the safety margin. The core never reads it.
inline constexpr const char* kLastStartLevel = "posledni_vyska_startu";

// Exit status of the core.
enum ExitCode : int {
    kExitNormal = 0,
    kExitErrorExit = 1, // ERROR 1/2/3 or overtopping: the run stopped on a detected error
    kExitInputError = 2 // an input or output file could not be read or written
};

// The number after "*ERR*" on the core's console: what kind of file error
// refused or ended a run (exit status 2). Every other text of the line names
// the file and, for reading, the line.
enum ErrorCode : int {
    kErrOpenInput = 2,       // an input file missing, unreadable, not a regular file or too large
    kErrRootBusy = 5,        // another run of the core holds this root: nothing was read or changed
    kErrOpenOutput = 10,     // an output folder missing, or a file of the set cannot be created
    kErrWrite = 11,          // writing or replacing a file of the set failed (the system's reason)
    kErrNotReplaceable = 12, // a result file cannot be replaced: nothing was changed
    kErrEndOfFile = 24,      // fewer values than the read needs
    kErrBadValue = 59,       // a text that is not a value of the expected kind
    kErrOutOfRange = 60,     // a value the calculation cannot use
    kErrNoMemory = 90,       // the calculation needs more memory than the system gives
    kErrInternal = 99        // a fault of the core itself
};

} // namespace exchange
