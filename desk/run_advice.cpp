// What to mend after a run the core stopped on an error exit.
#include "desk/run_advice.h"

#include "desk/input_fields.h"
#include "desk/typed_number.h"
#include "exchange/file_names.h"
#include "exchange/run_summary.h"

#include <initializer_list>

namespace desk {

namespace {

// "Form → field" of the exchange file `file`.
std::string fieldOf(const char* file) {
    const std::vector<const InputField*> fields = fieldsNamedIn(file);
    return fields.empty() ? std::string(file) : fieldLocation(*fields.front());
}

std::string mendList(const char* heading, std::initializer_list<const char*> files) {
    std::string text = std::string("\n\n") + heading;
    for (const char* file : files)
        text += "\n" + fieldOf(file);
    return text;
}

// A saved value as the user typed it, with a decimal comma.
std::string shown(const project_files::SavedReal& value) {
    return czechNumber(value.text);
}

// The text of a summary line as the core wrote it, its figures with commas.
std::optional<std::string> summaryFigure(const std::optional<project_files::RunSummary>& summary,
                                         const char* label) {
    if (summary)
        for (const project_files::SummaryLine& line : summary->lines)
            if (line.label == label) return czechFigures(line.text);
    return std::nullopt;
}

const char* const kRisingRows =
    "výšky h a objemy V batygrafické křivky musí od řádku k řádku stoupat";

std::string curveBelowRetention(const project_files::SavedInputs& in) {
    std::string text = "Výpočet pracuje s hladinami od bezpečnostního přelivu (začátek RN) po "
                       "RN + možnou výšku retenčního prostoru; batygrafická křivka je musí "
                       "pokrýt a " +
                       std::string(kRisingRows) + ".";
    if (in.crestHeight && in.retentionHeight && in.curve && !in.curve->empty()) {
        const double top = static_cast<double>(in.crestHeight->value) +
                           static_cast<double>(in.retentionHeight->value);
        const project_files::SavedReal& curveTop = in.curve->back().level;
        text = "Výpočet pracuje s hladinami od bezpečnostního přelivu RN (" +
               shown(*in.crestHeight) + " m) po RN + možnou výšku retenčního prostoru (" +
               shown(*in.crestHeight) + " + " + shown(*in.retentionHeight) + " = " +
               czechNumber(top) + " m). ";
        text += top >= static_cast<double>(curveTop.value)
                    ? "Batygrafická křivka končí ve výšce " + shown(curveTop) +
                          " m, nepokrývá je tedy celé."
                    : "Batygrafická křivka sahá do " + shown(curveTop) + " m, ale mezi nimi " +
                          kRisingRows + ".";
    }
    return text + mendList("Opravte:",
                           {exchange::kCurve, exchange::kCrestHeight, exchange::kRetentionHeight});
}

std::string startOffCurve(const project_files::SavedInputs& in) {
    std::string text = "Výška vody na začátku řešení musí ležet na batygrafické křivce a " +
                       std::string(kRisingRows) + ".";
    if (in.startLevel && in.curve && !in.curve->empty()) {
        const project_files::SavedReal& curveTop = in.curve->back().level;
        const std::string start = "Výška vody na začátku řešení " + shown(*in.startLevel) + " m ";
        if (in.startLevel->value > curveTop.value)
            text =
                start + "leží nad horním koncem batygrafické křivky (" + shown(curveTop) + " m).";
        else if (in.startLevel->value < 0.0f)
            text = start + "leží pode dnem nádrže (0 m).";
        else
            text = start + "leží na batygrafické křivce (0 až " + shown(curveTop) +
                   " m), ale pod ní " + kRisingRows + ".";
    }
    return text + mendList("Opravte:", {exchange::kStartLevel, exchange::kCurve});
}

std::string stepOffCurve(long step, const project_files::SavedInputs& in) {
    std::string text = (step > 0 ? "V kroku " + std::to_string(step) : std::string("Při výpočtu")) +
                       " vyšel objem vody v nádrži mimo batygrafickou křivku: povodeň je větší, "
                       "než křivka popisuje";
    if (in.curve && !in.curve->empty())
        text += " (křivka končí objemem " + shown(in.curve->back().volume) + " m3 ve výšce " +
                shown(in.curve->back().level) + " m)";
    return text + "." +
           mendList("Opravte:", {exchange::kCurve, exchange::kFloodWave, exchange::kTimeStep});
}

std::string overtopping(long step, const project_files::SavedInputs& in,
                        const std::optional<project_files::RunSummary>& summary) {
    std::optional<std::string> limit = summaryFigure(summary, exchange::summary::kOvertoppingLevel);
    if (!limit && in.crestHeight && in.retentionHeight)
        limit = czechNumber(static_cast<double>(in.crestHeight->value) +
                            static_cast<double>(in.retentionHeight->value)) +
                " m";
    std::string text = (step > 0 ? "V kroku " + std::to_string(step) : std::string("Při výpočtu")) +
                       " by hladina vystoupila nad hladinu přelití nádrže" +
                       (limit ? " " + *limit : std::string()) +
                       " (začátek RN + možná výška retenčního prostoru).";
    if (const auto highest = summaryFigure(summary, exchange::summary::kHighestLevel))
        text += " Nejvyšší hladina provedených kroků: " + *highest + ".";
    text += "\n\nJak velkou povodeň nádrž ještě převede, ukáže Varianty → Bezpečnostní rezerva.";
    return text +
           mendList("Zkontrolujte:", {exchange::kSpillwayWidth, exchange::kOverflowCoefficient,
                                      exchange::kRetentionHeight, exchange::kManipulationMode});
}

} // namespace

StopKind stopKind(const std::string& coreLine) {
    if (coreLine.find("doslo k preliti nadrze") != std::string::npos) return StopKind::Overtopping;
    if (coreLine.rfind("ERROR 1", 0) == 0) return StopKind::CurveBelowRetention;
    if (coreLine.rfind("ERROR 2", 0) == 0) return StopKind::StartOffCurve;
    if (coreLine.rfind("ERROR 3", 0) == 0) return StopKind::StepOffCurve;
    return StopKind::Unknown;
}

std::string stopAdvice(StopKind kind, long step, const project_files::SavedInputs& inputs,
                       const std::optional<project_files::RunSummary>& summary) {
    switch (kind) {
    case StopKind::CurveBelowRetention:
        return curveBelowRetention(inputs);
    case StopKind::StartOffCurve:
        return startOffCurve(inputs);
    case StopKind::StepOffCurve:
        return stepOffCurve(step, inputs);
    case StopKind::Overtopping:
        return overtopping(step, inputs, summary);
    case StopKind::Unknown:
        break;
    }
    return {};
}

} // namespace desk
