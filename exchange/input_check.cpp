// The one check of the core's inputs.
#include "exchange/input_check.h"

#include "exchange/file_names.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace exchange {

namespace {

struct QuantityEntry {
    const char* file;
    const char* name; // plain ASCII Czech, with the unit
    InputLimit limit; // the limit of its one value
    double scale = 1; // the file holds the value times this
};

// Indexed by InputQuantity.
constexpr QuantityEntry kQuantities[] = {
    {kCurveRowCount, "pocet radku krivky", InputLimit::FromOne},
    {kCurve, "h", InputLimit::AboveRowBefore},
    {kCurve, "V", InputLimit::AboveRowBefore},
    {kCurve, "A", InputLimit::NotBelowRowBefore},
    {kCrestHeight, "vyska bezpecnostniho prelivu (zacatek RN) [m]", InputLimit::NotNegative},
    {kRetentionHeight, "vyska retencniho prostoru [m]", InputLimit::Positive},
    {kStorageTop, "vyska zasobniho prostoru (zacatek RO) [m]", InputLimit::NotNegative},
    {kOutletCount, "pocet spodnich vypusti", InputLimit::WholeNotNegative},
    {kOutletDiameter, "prumer potrubi [m]", InputLimit::Positive},
    {kOutletCoefficient, "soucinitel vytokove rychlosti x 10000", InputLimit::PositiveUpToOne,
     10000},
    {kSpillwayWidth, "sirka prelivu b0 [m]", InputLimit::Positive},
    {kOverflowCoefficient, "soucinitel prepadu m x 1000", InputLimit::Positive, 1000},
    {kTimeStep, "casovy krok [min]", InputLimit::Positive},
    {kInflowPointCount, "pocet hodnot pritoku", InputLimit::FromOne},
    {kFloodWave, "hodnota pritoku [m3/s]", InputLimit::NotNegative},
    {kManipulationZone, "vyska zony plynule manipulace [m]", InputLimit::NotNegative},
    {kStartLevel, "vyska hladiny na zacatku [m]", InputLimit::BelowOvertopping},
};

const QuantityEntry& entry(InputQuantity quantity) {
    return kQuantities[static_cast<int>(quantity)];
}

bool breaks(InputLimit limit, double value) {
    switch (limit) {
    case InputLimit::Positive:
        return !(value > 0.0);
    case InputLimit::NotNegative:
        return !(value >= 0.0);
    case InputLimit::FromOne:
        return !(value >= 1.0);
    case InputLimit::WholeNotNegative:
        return !(value >= 0.0 && std::trunc(value) == value);
    case InputLimit::PositiveUpToOne:
        return !(value > 0.0 && value <= 1.0);
    default:
        return false;
    }
}

double boundOf(InputLimit limit) {
    return limit == InputLimit::FromOne || limit == InputLimit::PositiveUpToOne ? 1.0 : 0.0;
}

// What a one-value limit allows, in the file's own scale, for the console.
std::string allowed(InputLimit limit, double scale) {
    switch (limit) {
    case InputLimit::Positive:
        return "vice nez 0";
    case InputLimit::NotNegative:
        return "0 nebo vice";
    case InputLimit::FromOne:
        return "1 nebo vice";
    case InputLimit::WholeNotNegative:
        return "cele cislo 0 nebo vice";
    case InputLimit::PositiveUpToOne:
        return "vice nez 0 a nejvyse " + valueText(scale);
    default:
        return {};
    }
}

std::string curveText(const InputFinding& f) {
    const QuantityEntry& e = entry(f.quantity);
    const std::string unit = f.quantity == InputQuantity::CurveLevel    ? " m"
                             : f.quantity == InputQuantity::CurveVolume ? " m3"
                                                                        : " m2";
    const std::string before = f.row == 1 ? "u dna nadrze" : "v radku " + std::to_string(f.row - 1);
    const std::string rule =
        f.limit == InputLimit::NotBelowRowBefore ? "je mensi nez " : "neni vetsi nez ";
    return std::string("krivka nerostouci: ") + kCurve + ", radek krivky " + std::to_string(f.row) +
           ": " + e.name + " = " + valueText(f.value) + unit + " " + rule + before + " (" +
           valueText(f.bound) + unit +
           "); hladiny a objemy musi od dna radek po radku rust, plochy nesmi klesat";
}

} // namespace

const char* inputFile(InputQuantity quantity) {
    return entry(quantity).file;
}

std::optional<InputFinding> valueFinding(InputQuantity quantity, double value, int row) {
    const InputLimit limit = entry(quantity).limit;
    if (!breaks(limit, value)) return std::nullopt;
    return InputFinding{quantity, limit, value, boundOf(limit), row};
}

std::optional<InputFinding> fileValueFinding(InputQuantity quantity, double fileValue, int row) {
    return valueFinding(quantity, fileValue / entry(quantity).scale, row);
}

std::optional<InputFinding> curveRowFinding(const CurveRowValues* before, const CurveRowValues& row,
                                            int number) {
    const CurveRowValues below = before != nullptr ? *before : CurveRowValues{};
    const bool bottom = before == nullptr && row.level == 0.0 && row.volume == 0.0;
    if (!bottom && !(row.level > below.level))
        return InputFinding{InputQuantity::CurveLevel, InputLimit::AboveRowBefore, row.level,
                            below.level, number};
    if (!bottom && !(row.volume > below.volume))
        return InputFinding{InputQuantity::CurveVolume, InputLimit::AboveRowBefore, row.volume,
                            below.volume, number};
    if (!(row.area >= below.area))
        return InputFinding{InputQuantity::CurveArea, InputLimit::NotBelowRowBefore, row.area,
                            below.area, number};
    return std::nullopt;
}

std::optional<InputFinding> curveFinding(std::span<const CurveRowValues> rows) {
    for (std::size_t r = 0; r < rows.size(); ++r)
        if (auto finding =
                curveRowFinding(r > 0 ? &rows[r - 1] : nullptr, rows[r], static_cast<int>(r) + 1))
            return finding;
    return std::nullopt;
}

std::optional<InputFinding> startLevelFinding(float startLevel, float crestHeight,
                                              float retentionHeight) {
    const double overtopping = static_cast<double>(crestHeight) + retentionHeight;
    if (!(startLevel >= overtopping)) return std::nullopt;
    return InputFinding{InputQuantity::StartLevel, InputLimit::BelowOvertopping, startLevel,
                        overtopping, 0};
}

std::string valueText(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, static_cast<float>(value),
                                      std::chars_format::fixed);
    if (result.ec != std::errc()) return std::to_string(value);
    return std::string(text, result.ptr);
}

std::string findingText(const InputFinding& f, const std::string& where) {
    const QuantityEntry& e = entry(f.quantity);
    if (f.limit == InputLimit::AboveRowBefore || f.limit == InputLimit::NotBelowRowBefore)
        return curveText(f);
    if (f.limit == InputLimit::BelowOvertopping) {
        char level[32];
        std::snprintf(level, sizeof level, "%.2f", f.bound);
        return "vyska hladiny na zacatku " + valueText(f.value) +
               " m lezi na urovni preliti nadrze nebo nad ni (" + level + " m): " + e.file +
               "; nadrz by se prelila hned v 1. kroku";
    }
    const std::string place = !where.empty() ? where
                              : f.row > 0
                                  ? std::string(e.file) + ", hodnota " + std::to_string(f.row)
                                  : std::string(e.file);
    return "nepripustna hodnota '" + valueText(f.value * e.scale) + "': " + place + " (" + e.name +
           ", povoleno " + allowed(f.limit, e.scale) + ")";
}

} // namespace exchange
