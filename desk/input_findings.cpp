// The one check of the inputs as the desk says it.
#include "desk/input_findings.h"

#include "desk/input_fields.h"
#include "desk/typed_number.h"

namespace desk {

namespace {

using exchange::InputLimit;
using exchange::InputQuantity;

// A value read from a file or typed, with a decimal comma.
std::string shown(double value) {
    return czechNumber(exchange::valueText(value));
}

std::string curveSentence(const exchange::InputFinding& f) {
    const char* what = f.quantity == InputQuantity::CurveLevel    ? "hladina h [m]"
                       : f.quantity == InputQuantity::CurveVolume ? "objem V [m3]"
                                                                  : "plocha A [m2]";
    const std::string before =
        f.row == 1 ? "u dna nádrže (" : "v řádku " + std::to_string(f.row - 1) + " (";
    const std::string rule =
        f.limit == InputLimit::NotBelowRowBefore ? ") je menší než " : ") není větší než ";
    return std::string("Batygrafická křivka: ") + what + " v řádku " + std::to_string(f.row) +
           " (" + shown(f.value) + rule + before + shown(f.bound) +
           "). Hladiny a objemy musí od dna nádrže řádek po řádku růst a plocha hladiny nesmí "
           "klesat, jinak výpočet počítá s jinou nádrží.";
}

std::string allowedSentence(InputLimit limit) {
    switch (limit) {
    case InputLimit::Positive:
        return "Zadejte číslo větší než 0.";
    case InputLimit::NotNegative:
        return "Zadejte číslo 0 nebo větší.";
    case InputLimit::FromOne:
        return "Zadejte číslo 1 nebo větší.";
    case InputLimit::WholeNotNegative:
        return "Zadejte celé číslo 0 nebo větší.";
    case InputLimit::PositiveUpToOne:
        return "Zadejte číslo větší než 0 a nejvýše 1.";
    default:
        return {};
    }
}

} // namespace

std::string findingSentence(const exchange::InputFinding& f, const std::string& field,
                            const std::string& typed) {
    const std::string value = typed.empty() ? shown(f.value) : czechNumber(typed);
    switch (f.limit) {
    case InputLimit::AboveRowBefore:
    case InputLimit::NotBelowRowBefore:
        return curveSentence(f);
    case InputLimit::BelowOvertopping:
        return "Výška vody " + value + " m leží na úrovni přelití nádrže nebo nad ní (" +
               displayNumber(f.bound, 2) +
               " m). Nádrž by se přelila hned v prvním kroku: zadejte nižší výšku vody, nebo "
               "opravte začátek RN a možnou výšku retenčního neovladatelného prostoru (Vstupy → " +
               kTechnicalDataFormName + ").";
    default:
        break;
    }
    std::string name = field;
    if (name.empty() && f.row > 0) name = "Povodňová vlna, hodnota " + std::to_string(f.row);
    if (name.empty()) {
        const char* file = exchange::inputFile(f.quantity);
        const InputField* input = inputFieldOf(file);
        name = input ? fieldLocation(*input) : file;
    }
    return name + ": „" + value + "“ nelze použít. " + allowedSentence(f.limit);
}

std::string valueProblem(const ParsedNumber& number, exchange::InputQuantity quantity,
                         const std::string& name, const std::string& typed, int row) {
    if (!number) return numberProblemText(name, typed, number.error);
    if (const auto finding = exchange::valueFinding(quantity, number.value, row))
        return findingSentence(*finding, name, typed);
    return {};
}

} // namespace desk
