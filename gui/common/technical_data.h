// The technical data of the dam as the front end writes them: eight one-value
// exchange files, two of them holding a coefficient scaled to a whole-number
// range.
#pragma once

#include "gui/common/file_io.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>

namespace gui {

/// The eight texts of the technical data form, exactly as typed (UTF-8).
struct TechnicalDataTexts {
    std::string outletCount = "0";         // number of bottom outlets
    std::string outletDiameter = "0";      // m
    std::string outletCoefficient = "0";   // outflow velocity coefficient [-]
    std::string spillwayWidth = "0";       // b0, m
    std::string overflowCoefficient = "0"; // discharge coefficient m [-]
    std::string storageTop = "0";          // start of RO above the bottom, m
    std::string crestHeight = "0";         // start of RN above the bottom, m
    std::string retentionHeight = "0";     // possible height above the crest, m
};

inline constexpr double kOutletCoefficientScale = 10000.0;
inline constexpr double kOverflowCoefficientScale = 1000.0;

/// Parses `text` as a decimal number written with `decimalSeparator`: blanks
/// around it, an optional sign, digits with at most one separator (at least
/// one digit), an optional exponent "e"/"E" with optional sign and digits.
/// No thousands separators; a point is not a separator unless it is the
/// locale's. Empty result for anything else, or a value out of range.
std::optional<double> parseLocaleNumber(const std::string& text,
                                        const std::string& decimalSeparator);

/// Formats `value` in general format with up to 15 significant digits:
/// fixed notation for exponents -4 ... 14, otherwise "1,5E-7" / "1E20" (no
/// plus sign, no leading zeros in the exponent); trailing zeros dropped; the
/// decimal separator is `decimalSeparator`; zero is "0".
std::string formatGeneral(double value, const std::string& decimalSeparator);

/// `text` parsed in the locale, multiplied by `factor` and formatted again;
/// empty when the text is not a number in the locale's format.
std::optional<std::string> scaleCoefficient(const std::string& text, double factor,
                                            const std::string& decimalSeparator);

/// One exchange file to write: its name and its one line.
struct OneValueFile {
    const char* name;
    std::string line;
};
using TechnicalDataFiles = std::array<OneValueFile, 8>;

/// The eight files in the order they are written, or the message for the
/// first coefficient that is not a number ("'%s' is not a valid floating
/// point value"), in which case nothing may be written.
struct TechnicalDataConversion {
    std::optional<TechnicalDataFiles> files;
    std::string error;
};
TechnicalDataConversion technicalDataFiles(const TechnicalDataTexts& texts,
                                           const std::string& decimalSeparator);

/// Writes the files into `dir` in their order, each closed before the next is
/// opened; stops at the first failure, whose text it returns, leaving the
/// files before it written and those after it untouched.
FileResult writeTechnicalDataFiles(const std::filesystem::path& dir,
                                   const TechnicalDataFiles& files);

} // namespace gui
