// Reading back what the exchange files hold, value by value as the core reads
// them, so that the forms show what is saved and the results show what was
// routed.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace gui {

/// The first value of a one-value exchange file, as its text ("12.5"):
/// values end at a blank, a tab, a comma or the line end, and blank lines are
/// skipped. Empty when the file cannot be read or holds no value before its
/// end or a slash.
std::optional<std::string> readSavedText(const std::filesystem::path& file);

/// `count` records of `valuesPerRecord` value texts each, read from a table
/// file as the core reads it: every record starts on a new line and goes on
/// onto the next lines while it needs values; values left on its last line
/// are ignored. Empty when the file cannot be read or ends (or a slash ends a
/// record) before the last record is complete. A count below 1 gives no
/// record.
std::optional<std::vector<std::vector<std::string>>>
readSavedRecords(const std::filesystem::path& file, long count, int valuesPerRecord);

/// A value text of an exchange file as a number: decimal point, optional sign
/// and exponent (E or D, as the core also takes them). Empty for anything
/// else, such as a decimal comma's remains, a text with a trailing rest, or
/// a value beyond double.
std::optional<double> savedNumber(const std::string& text);

/// The first value of a one-value file as a number: readSavedText, then
/// savedNumber.
std::optional<double> readSavedNumber(const std::filesystem::path& file);

/// The inflow series the core routes: the count from IN_NUMBER_OF_POINT_FW
/// with its fraction cut off, then that many first values of the lines of
/// IN_FLOOD_WAVE, from the exchange directory `dir`. Empty when either file
/// cannot be read, a value is not a number, or the wave is shorter than its
/// count.
std::optional<std::vector<double>> readSavedFloodWave(const std::filesystem::path& dir);

/// Said when there is no such series to show.
inline constexpr const char* kSavedFloodWaveUnreadable =
    "Povodňovou vlnu, se kterou jádro počítá, nelze načíst: soubory IN_FLOOD_WAVE a "
    "IN_NUMBER_OF_POINT_FW chybí nebo neobsahují platná čísla (Vstupy → Povodňová vlna).";

/// The same series as the value texts the file holds ("105.5"), for a grid.
std::optional<std::vector<std::string>> readSavedFloodWaveTexts(const std::filesystem::path& dir);

/// The bathygraphic curve the core reads from `dir`: IN_NUMBER_OF_POINT_BK
/// (a whole number, as the core takes it) rows of four value texts H, h, V,
/// A from IN_BAT_CURVE_BC. Empty when either file cannot be read, the count
/// is not a whole number, a value is not a number, or the rows run short.
std::optional<std::vector<std::vector<std::string>>>
readSavedCurve(const std::filesystem::path& dir);

/// The levels h [m] of the saved curve's first and last rows, and their texts.
struct CurveLevels {
    double lowest = 0.0, highest = 0.0; // m above the bottom
    std::string lowestText, highestText;
};
/// From readSavedCurve; empty without a readable curve of at least one row.
std::optional<CurveLevels> readSavedCurveLevels(const std::filesystem::path& dir);

} // namespace gui
