// Where the user enters what each exchange file holds: the form and the
// field's label, spelled once for the forms and for the messages that send
// the user back to a field.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace desk {

// The forms, as the menu names them.
inline constexpr const char* kFloodWaveFormName = "Povodňová vlna";
inline constexpr const char* kCurveFormName = "Batygrafické křivky";
inline constexpr const char* kTechnicalDataFormName = "Technické údaje";
inline constexpr const char* kCalculationFormName = "Výpočet";

// Field labels as the forms show them (a form may add a colon). The
// calculation window shows the unit beside the field, the technical data
// form within the label.
namespace label {
inline constexpr const char* kOutletCount = "Počet spodních výpustí";
inline constexpr const char* kOutletDiameter = "Průměr potrubí [m]";
inline constexpr const char* kOutletCoefficient = "Součinitel výtokové rychlosti [-]";
inline constexpr const char* kSpillwayWidth = "Skutečná šířka b0 [m]";
inline constexpr const char* kOverflowCoefficient = "Součinitel přepadu m [-]";
inline constexpr const char* kStorageTop =
    "Výška vody po zásobní prostor ode dna nádrže (začátek RO) [m]";
inline constexpr const char* kCrestHeight =
    "Výška vody po bezpečnostní přeliv ode dna nádrže (začátek RN) [m]";
inline constexpr const char* kRetentionHeight =
    "Možná výška retenčního neovladatelného prostoru [m]";

inline constexpr const char* kStartLevel = "Výška vody v nádrži na začátku řešení (start)";
inline constexpr const char* kTimeStep = "Časový krok výpočtu (krok povodňové vlny)";
inline constexpr const char* kManipulationZone =
    "Zadej, v jak velkém prostoru (do jaké výšky) bude probíhat\n"
    "plynulá manipulace (cca podle MŘ 0,5–0,7 m)";
inline constexpr const char* kManipulationGroup = "Průběžně manipuluji";
inline constexpr const char* kMetres = "[m]";
inline constexpr const char* kMinutes = "[min]";

inline constexpr const char* kPreReleaseStorage = "Vyber možnost v zásobním prostoru (ve Vz)";
inline constexpr const char* kPreReleaseControlled =
    "Vyber možnost v retenčním prostoru ovladatelném (v RO)";
inline constexpr const char* kAfterFlood = "Nastavení spodních výpustí po povodní";
inline constexpr const char* kAboveCrest =
    "Nastavení spodních výpustí při překročení bezpečnostního přelivu (v RN)";
inline constexpr const char* kKeepClosed =
    "Po transformaci maxima PV mám zavřené výpustě (stále v RN)";

inline constexpr const char* kFloodWaveColumn = "Q [m3/s]";
// The curve grid's value columns 1 to 4.
inline constexpr const char* kCurveColumns[] = {"H [m n.m.]", "h [m]", "V [m3]", "A [m2]"};
inline constexpr const char* kPointCount = "Počet i";
inline constexpr const char* kRowCount = "počet řádků BK";
} // namespace label

/// One exchange file and where the user mends it.
struct InputField {
    const char* file; // IN_... name
    const char* form; // kFloodWaveFormName, ...
    std::string name; // the field as a message names it, on one line
};

/// Every IN_* file the core reads, with its form and field.
const std::vector<InputField>& inputFields();

/// The field of the IN_* file `file`; none for a file no form writes.
const InputField* inputFieldOf(std::string_view file);

/// "Form → field" for a message: "Technické údaje → Průměr potrubí [m]".
std::string fieldLocation(const InputField& field);

/// The fields whose files `text` names (as whole words, so IN_START_RO is not
/// found in IN_START_ROX), in the order of inputFields().
std::vector<const InputField*> fieldsNamedIn(std::string_view text);

/// The exchange file `file` as a sentence names it for the user: "vstup
/// „Průměr potrubí [m]“ ve formuláři Technické údaje"; a file no form writes
/// as "soubor IN_X". Both take a masculine verb ("… byl uložen").
std::string savedInputPlace(std::string_view file);

/// A label with its unit, on one line, as messages name the field.
std::string fieldName(const char* label, const char* unit = nullptr);

} // namespace desk
