// The technical data of the dam as the front end writes them: eight one-value
// exchange files, two of them holding a coefficient scaled to a whole-number
// range.
#pragma once

#include "desk/typed_number.h"
#include "project_files/file_io.h"
#include "project_files/saved_inputs.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace desk {

/// The eight texts of the technical data form (UTF-8), in the form's order.
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

/// The fields in the form's order, as Refusal::field.
enum TechnicalField : int {
    kOutletCountField,
    kOutletDiameterField,
    kOutletCoefficientField,
    kSpillwayWidthField,
    kOverflowCoefficientField,
    kStorageTopField,
    kCrestHeightField,
    kRetentionHeightField
};

// The coefficients travel as whole ten-thousandths and thousandths.
inline constexpr int kOutletCoefficientPower = 4;   // x 10000, a whole-number file
inline constexpr int kOverflowCoefficientPower = 3; // x 1000

/// One exchange file to write: its name and its one line.
struct OneValueFile {
    const char* name;
    std::string line;
};
using TechnicalDataFiles = std::array<OneValueFile, 8>;

/// What the form may write, or why not.
struct TechnicalDataCheck {
    std::optional<Refusal> refusal;    // the first field that cannot be right
    std::vector<std::string> warnings; // what is probably wrong (Czech)
    TechnicalDataFiles files{};        // in the order of writing; only without a refusal
};

/// Checks the typed texts and builds the files: every value parsed as typed
/// (decimal comma or point) and written with a decimal point; each held to
/// the one check of the inputs (exchange/input_check.h: RO and RN not
/// negative, the outlet count a whole number from 0, the diameter, width,
/// coefficients and retention height above 0, the outlets' velocity
/// coefficient at most 1); the outlet count at most 9 (one digit); the
/// outlet coefficient with at most four decimals (its file holds whole
/// ten-thousandths); both coefficients scaled by moving their decimal point.
/// Warnings: m above 1, RO above RN, and, with the saved curve's levels, RN
/// plus the retention height at or above the curve's highest level.
TechnicalDataCheck checkTechnicalData(const TechnicalDataTexts& texts,
                                      const std::optional<project_files::CurveLevels>& curve);

/// The texts the eight files in `dir` hold, as the core reads them, with a
/// decimal comma and the coefficients scaled back; "0" for a file that is
/// missing or that the core cannot read.
TechnicalDataTexts readSavedTechnicalData(const std::filesystem::path& dir);

/// The same from inputs already read (those a result set records, say).
TechnicalDataTexts technicalDataTexts(const project_files::SavedInputs& saved);

/// Writes the files into `dir` in their order, each closed before the next is
/// opened; stops at the first failure, whose text it returns, leaving the
/// files before it written and those after it untouched.
project_files::FileResult writeTechnicalDataFiles(const std::filesystem::path& dir,
                                                  const TechnicalDataFiles& files);

} // namespace desk
