// The run summary OUT_RESULT/souhrn_vypoctu: its name and line labels, shared
// by the core, which computes and writes it, and the front end, which shows it.
//
// UTF-8, one quantity per line, each line ending in CR LF, in the order below:
//
//   <label>:<blanks><value>[ <unit>][ <more text>]
//
// Numbers are written with a decimal point and no thousands separators.
// Readers find a line by its label (the text before the first ':'), take the
// value as the first blank-separated token after it, and ignore labels they
// do not know, so lines can be added later without breaking a reader. A line
// whose quantity does not exist in a run is left out (nothing routed, no
// level the last step ended at for the storage change).
#pragma once

namespace exchange::summary {

inline constexpr const char* kFileName = "souhrn_vypoctu";

// "48 z 48": steps routed, of the inflow values given.
inline constexpr const char* kSteps = "Kroků výpočtu";
// "60.000 min": the time step.
inline constexpr const char* kTimeStep = "Časový krok";
// "100.000 m3/s v kroku 10": the largest inflow and the first step holding it.
inline constexpr const char* kInflowPeak = "Kulminace přítoku";
// "300.000 m3/s v kroku 10": the same over every inflow value given, the whole
// flood; present only when the run stopped before routing them all, so the
// flood the dam could not pass is stated beside the peak of the steps routed.
inline constexpr const char* kFloodPeak = "Kulminace celé povodně";
// "88.057 m3/s v kroku 12": the same for the outflow.
inline constexpr const char* kOutflowPeak = "Kulminace odtoku";
// "11.9 %": 100 (1 - peak outflow / peak inflow).
inline constexpr const char* kAttenuation = "Transformace kulminace";
// "2.000 h (2 kroky)": step of the outflow peak minus step of the inflow peak
// it follows (the first largest inflow since the inflow last fell below the
// outflow), in hours, then in steps. Like the attenuation, left out of a run
// that stopped: the steps done are not the flood.
inline constexpr const char* kPeakLag = "Zpoždění kulminace";
// "13.981 m v kroku 13": the highest level above the bottom and its first step.
inline constexpr const char* kHighestLevel = "Nejvyšší hladina";
// "14.500 m": spillway crest plus retention height, where the dam overtops.
inline constexpr const char* kOvertoppingLevel = "Hladina přelití nádrže";
// "0.519 m": overtopping level minus the highest level. A run that stopped
// has none to give: "žádná, nádrž přelita v kroku 14" after overtopping,
// "neurčena, výpočet zastaven v kroku 5" after ERROR 3 (no number).
inline constexpr const char* kFreeboard = "Rezerva do přelití";
// "1234567.8 m3": sum of inflow x time step over the steps routed.
inline constexpr const char* kFloodVolume = "Objem povodně";
// "1234567.8 m3": sum of outflow x time step over the steps routed.
inline constexpr const char* kReleasedVolume = "Objem odtoku";
// "123456.7 m3": the flood volume minus the outflow volume, as printed, so
// the three lines add up to the printed digit.
inline constexpr const char* kNetInflow = "Přítok mínus odtok";
// "123456.7 m3": curve volume at the level step n ends at minus that at the
// level of step 1, over the same steps as the volumes above.
inline constexpr const char* kStorageChange = "Změna objemu nádrže";
// "0.0012 % (12.3 m3)": net inflow minus storage change (as printed), in % of
// the flood volume, then in m3.
inline constexpr const char* kBalanceError = "Chyba bilance objemů";
// "přelití nádrže v kroku 14", "ERROR 3 v kroku 5", "ERROR 2": present only
// when the run stopped on an error exit; the lines above it cover the steps
// done (ERROR 1 and 2 stop before the first step: steps 0 of n).
inline constexpr const char* kStopped = "Výpočet zastaven";

} // namespace exchange::summary
