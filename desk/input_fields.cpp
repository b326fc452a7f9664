// Where the user enters what each exchange file holds.
#include "desk/input_fields.h"

#include "exchange/file_names.h"

namespace desk {

namespace {

bool isNameCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool namesWholeWord(std::string_view text, std::string_view word) {
    for (std::size_t at = text.find(word); at != std::string_view::npos;
         at = text.find(word, at + 1)) {
        const std::size_t after = at + word.size();
        if ((at == 0 || !isNameCharacter(text[at - 1])) &&
            (after == text.size() || !isNameCharacter(text[after])))
            return true;
    }
    return false;
}

} // namespace

std::string fieldName(const char* label, const char* unit) {
    std::string name = label;
    for (char& c : name)
        if (c == '\n') c = ' ';
    if (unit != nullptr) name += std::string(" ") + unit;
    return name;
}

const std::vector<InputField>& inputFields() {
    using namespace exchange;
    static const std::vector<InputField> fields = {
        {kFloodWave, kFloodWaveFormName, std::string("tabulka ") + label::kFloodWaveColumn},
        {kInflowPointCount, kFloodWaveFormName, label::kPointCount},
        {kCurve, kCurveFormName,
         std::string("tabulka ") + label::kCurveColumns[0] + ", " + label::kCurveColumns[1] + ", " +
             label::kCurveColumns[2] + ", " + label::kCurveColumns[3]},
        {kCurveRowCount, kCurveFormName, label::kRowCount},
        {kOutletCount, kTechnicalDataFormName, label::kOutletCount},
        {kOutletDiameter, kTechnicalDataFormName, label::kOutletDiameter},
        {kOutletCoefficient, kTechnicalDataFormName, label::kOutletCoefficient},
        {kSpillwayWidth, kTechnicalDataFormName, label::kSpillwayWidth},
        {kOverflowCoefficient, kTechnicalDataFormName, label::kOverflowCoefficient},
        {kStorageTop, kTechnicalDataFormName, label::kStorageTop},
        {kCrestHeight, kTechnicalDataFormName, label::kCrestHeight},
        {kRetentionHeight, kTechnicalDataFormName, label::kRetentionHeight},
        {kPreReleaseStorage, kCalculationFormName, label::kPreReleaseStorage},
        {kPreReleaseControlled, kCalculationFormName, label::kPreReleaseControlled},
        {kEmptyAfterFlood, kCalculationFormName, label::kAfterFlood},
        {kManipulationMode, kCalculationFormName, label::kAboveCrest},
        {kKeepClosedAfterPeak, kCalculationFormName, label::kKeepClosed},
        {kManipulationZone, kCalculationFormName,
         std::string(label::kManipulationGroup) + " → " +
             fieldName(label::kManipulationZone, label::kMetres)},
        {kStartLevel, kCalculationFormName, fieldName(label::kStartLevel, label::kMetres)},
        {kTimeStep, kCalculationFormName, fieldName(label::kTimeStep, label::kMinutes)},
    };
    return fields;
}

std::string fieldLocation(const InputField& field) {
    return std::string(field.form) + " → " + field.name;
}

const InputField* inputFieldOf(std::string_view file) {
    for (const InputField& field : inputFields())
        if (file == field.file) return &field;
    return nullptr;
}

std::string savedInputPlace(std::string_view file) {
    if (const InputField* field = inputFieldOf(file))
        return "vstup „" + field->name + "“ ve formuláři " + field->form;
    return "soubor " + std::string(file);
}

std::vector<const InputField*> fieldsNamedIn(std::string_view text) {
    std::vector<const InputField*> named;
    for (const InputField& field : inputFields())
        if (namesWholeWord(text, field.file)) named.push_back(&field);
    return named;
}

} // namespace desk
