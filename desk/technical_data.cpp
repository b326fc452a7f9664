// The technical data of the dam as the front end writes them.
#include "desk/technical_data.h"

#include "desk/input_fields.h"
#include "desk/input_findings.h"
#include "exchange/file_names.h"
#include "exchange/input_check.h"

#include <cstdint>
#include <limits>

namespace desk {

namespace {

using Q = exchange::InputQuantity;

struct FieldEntry {
    const char* file;
    const char* label;
    std::string TechnicalDataTexts::*text;
    Q quantity; // what the one check of the inputs holds it to
};

// The fields in the form's order.
const std::array<FieldEntry, 8> kFields = {{
    {exchange::kOutletCount, label::kOutletCount, &TechnicalDataTexts::outletCount, Q::OutletCount},
    {exchange::kOutletDiameter, label::kOutletDiameter, &TechnicalDataTexts::outletDiameter,
     Q::OutletDiameter},
    {exchange::kOutletCoefficient, label::kOutletCoefficient,
     &TechnicalDataTexts::outletCoefficient, Q::OutletCoefficient},
    {exchange::kSpillwayWidth, label::kSpillwayWidth, &TechnicalDataTexts::spillwayWidth,
     Q::SpillwayWidth},
    {exchange::kOverflowCoefficient, label::kOverflowCoefficient,
     &TechnicalDataTexts::overflowCoefficient, Q::OverflowCoefficient},
    {exchange::kStorageTop, label::kStorageTop, &TechnicalDataTexts::storageTop, Q::StorageTop},
    {exchange::kCrestHeight, label::kCrestHeight, &TechnicalDataTexts::crestHeight, Q::CrestHeight},
    {exchange::kRetentionHeight, label::kRetentionHeight, &TechnicalDataTexts::retentionHeight,
     Q::RetentionHeight},
}};

// The order in which the files are written.
constexpr std::array<TechnicalField, 8> kWriteOrder = {
    kOutletCountField,         kOutletDiameterField,  kOutletCoefficientField, kSpillwayWidthField,
    kOverflowCoefficientField, kRetentionHeightField, kStorageTopField,        kCrestHeightField};

// The line a field writes, or the refusal text.
struct FieldLine {
    std::string line;
    std::string problem;
};

// The form's field holds one digit; the check refused the rest.
FieldLine outletCountLine(const std::string& typed, const ParsedNumber& number) {
    if (number.value > 9.0)
        return {{},
                std::string(label::kOutletCount) + ": „" + typed +
                    "“ nelze použít. Zadejte celé číslo od 0 do 9."};
    return {std::to_string(static_cast<int>(number.value)), {}};
}

FieldLine outletCoefficientLine(const std::string& typed, const ParsedNumber& number) {
    const std::string scaled = shiftDecimal(number.text, kOutletCoefficientPower);
    if (hasFraction(scaled))
        return {{},
                std::string(label::kOutletCoefficient) + ": „" + typed +
                    "“ má více než čtyři desetinná místa. Výpočet přebírá součinitel "
                    "v desetitisícinách jako celé číslo, zadejte nejvýše čtyři desetinná "
                    "místa."};
    return {scaled, {}};
}

FieldLine overflowCoefficientLine(const std::string& typed, const ParsedNumber& number) {
    if (number.value * 1e3 > std::numeric_limits<float>::max())
        return {{}, numberProblemText(label::kOverflowCoefficient, typed, NumberError::OutOfRange)};
    return {shiftDecimal(number.text, kOverflowCoefficientPower), {}};
}

FieldLine fieldLine(TechnicalField field, const std::string& typed) {
    const FieldEntry& entry = kFields[static_cast<std::size_t>(field)];
    const ParsedNumber number = parseTypedNumber(typed);
    if (std::string problem = valueProblem(number, entry.quantity, entry.label, typed);
        !problem.empty())
        return {{}, std::move(problem)};
    switch (field) {
    case kOutletCountField:
        return outletCountLine(typed, number);
    case kOutletCoefficientField:
        return outletCoefficientLine(typed, number);
    case kOverflowCoefficientField:
        return overflowCoefficientLine(typed, number);
    default:
        return {number.text, {}};
    }
}

std::vector<std::string> warningsFor(const TechnicalDataTexts& texts,
                                     const std::optional<project_files::CurveLevels>& curve) {
    // Every text is a number here: the refusals came first.
    const auto value = [&](TechnicalField field) {
        return parseTypedNumber(texts.*kFields[field].text).value;
    };
    const auto shown = [&](TechnicalField field) {
        return czechNumber(parseTypedNumber(texts.*kFields[field].text).text);
    };
    std::vector<std::string> warnings;
    // The outlets' velocity coefficient above 1 is refused; m above 1 is only unusual.
    if (value(kOverflowCoefficientField) > 1.0)
        warnings.push_back(std::string(kFields[kOverflowCoefficientField].label) + ": " +
                           shown(kOverflowCoefficientField) + " leží mimo obvyklý rozsah 0 až 1.");
    if (value(kStorageTopField) > value(kCrestHeightField))
        warnings.push_back("Začátek RO (" + shown(kStorageTopField) +
                           " m) leží výše než začátek RN (" + shown(kCrestHeightField) + " m).");
    const double top = value(kCrestHeightField) + value(kRetentionHeightField);
    if (curve && top >= curve->highest)
        warnings.push_back(
            "Začátek RN a možná výška retenčního neovladatelného prostoru dávají " +
            czechNumber(top) + " m, to sahá k nejvyšší hladině batygrafické křivky (" +
            czechNumber(curve->highestText) + " m) nebo nad ni. Pozor na kapacitu BK!");
    return warnings;
}

} // namespace

TechnicalDataCheck checkTechnicalData(const TechnicalDataTexts& texts,
                                      const std::optional<project_files::CurveLevels>& curve) {
    TechnicalDataCheck check;
    std::array<std::string, 8> lines;
    for (int field = 0; field < static_cast<int>(kFields.size()); ++field) {
        FieldLine line = fieldLine(static_cast<TechnicalField>(field),
                                   texts.*kFields[static_cast<std::size_t>(field)].text);
        if (!line.problem.empty()) {
            check.refusal = Refusal{field, -1, -1, line.problem};
            return check;
        }
        lines[static_cast<std::size_t>(field)] = std::move(line.line);
    }
    check.warnings = warningsFor(texts, curve);
    for (std::size_t i = 0; i < kWriteOrder.size(); ++i)
        check.files[i] = {kFields[kWriteOrder[i]].file, lines[kWriteOrder[i]]};
    return check;
}

TechnicalDataTexts readSavedTechnicalData(const std::filesystem::path& dir) {
    return technicalDataTexts(project_files::readSavedInputs(dir));
}

TechnicalDataTexts technicalDataTexts(const project_files::SavedInputs& saved) {
    TechnicalDataTexts texts;
    // The coefficients' files hold them scaled: the decimal point moves back.
    const auto show = [](const auto& value, std::string& field, int power = 0) {
        if (!value) return;
        const ParsedNumber number = parseSavedNumber(value->text);
        if (!number) return;
        field = czechNumber(power == 0 ? number.text : shiftDecimal(number.text, -power));
    };
    show(saved.outletCount, texts.outletCount);
    show(saved.outletDiameter, texts.outletDiameter);
    show(saved.outletCoefficientScaled, texts.outletCoefficient, kOutletCoefficientPower);
    show(saved.spillwayWidth, texts.spillwayWidth);
    show(saved.overflowCoefficientScaled, texts.overflowCoefficient, kOverflowCoefficientPower);
    show(saved.storageTopHeight, texts.storageTop);
    show(saved.crestHeight, texts.crestHeight);
    show(saved.retentionHeight, texts.retentionHeight);
    return texts;
}

project_files::FileResult writeTechnicalDataFiles(const std::filesystem::path& dir,
                                                  const TechnicalDataFiles& files) {
    for (const OneValueFile& file : files) {
        project_files::FileResult result =
            project_files::writeOneLineFile(dir / file.name, file.line);
        if (!result) return result;
    }
    return {};
}

} // namespace desk
