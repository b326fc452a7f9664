// The bundled sample's regression record: the figures the core gives on it,
// kept in one place for every test that needs them and compared with the
// README by one test. A record, not an independent check: the prism, the fine
// integration and the hand-computed cases are those. A change that moves these
// figures is justified there first, then recorded here and in the README.
#pragma once

#include <string_view>

namespace veldron::testing::sample {

/// OUT_RESULT/souhrn_vypoctu as the core writes it on the installed sample
/// (gradual manipulation from 11 m, hourly steps).
inline constexpr std::string_view kSummary =
    "Kroků výpočtu:                  48 z 48\r\n"
    "Časový krok:                60.000 min\r\n"
    "Kulminace přítoku:         100.000 m3/s v kroku 10\r\n"
    "Kulminace odtoku:           89.550 m3/s v kroku 12\r\n"
    "Transformace kulminace:       10.5 %\r\n"
    "Zpoždění kulminace:          2.000 h (2 kroky)\r\n"
    "Nejvyšší hladina:           13.654 m v kroku 13\r\n"
    "Hladina přelití nádrže:     14.500 m\r\n"
    "Rezerva do přelití:          0.846 m\r\n"
    "Objem povodně:           4671360.0 m3\r\n"
    "Objem odtoku:            4322923.3 m3\r\n"
    "Přítok mínus odtok:       348436.7 m3\r\n"
    "Změna objemu nádrže:      348436.9 m3\r\n"
    "Chyba bilance objemů:       0.0000 % (-0.2 m3)\r\n";

inline constexpr double kHighestLevel = 13.6543818; // m, the largest record of vyska_vody
// The figures as the windows and the report show them, with a decimal comma.
inline constexpr const char* kHighestLevelMark = "max. 13,654 m v kroku 13";
inline constexpr const char* kPeakOutflowFigure = "89,550 m3/s v kroku 12";
inline constexpr const char* kFreeboardFigure = "0,846 m";

/// The safety margin by manipulation mode (IN_MANIP_0_1_2), the sample's
/// other inputs as they are: the largest safe multiple k in hundredths; the
/// dam overtops from one hundredth more.
struct Margin {
    const char* mode;
    int largestSafe;
};
inline constexpr Margin kMargins[] = {{"2", 180}, {"1", 180}, {"0", 197}};
inline constexpr const char* kMarginAnswer =
    "Největší násobek přítoku bez přelití nádrže: k = 1,80";

/// The flood-safety assessment from 9 m with the outlets open above the
/// crest (IN_MANIP_0_1_2 = 0): KMH [m] with both outlets, one out of service
/// and none, all in step 14; in the sample's own gradual manipulation the
/// outlets stay closed through the rise and all three cases reach the last.
inline constexpr const char* kAssessmentLevels[] = {"13.379", "13.476", "13.570"};

} // namespace veldron::testing::sample
