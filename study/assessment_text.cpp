// The flood-safety assessment in words: the outlet cases, the decree's table,
// the verdict and what else the runs found, in Czech.
#include "study/assessment.h"

#include "project_files/result_files.h"
#include "study/safety_factor.h"

#include <algorithm>
#include <cmath>

namespace study {

namespace {

std::string level(double metres, char decimal) {
    return decimalText(metres, 3, decimal) + " m";
}

std::string factor(int hundredths, char decimal) {
    return decimalText(hundredths / 100.0, 2, decimal);
}

std::string years(int n) {
    return "N = " + std::to_string(n) + " let";
}

// The outlets open in a case: a whole count as such, any other with decimals.
std::string outletsText(double outlets, char decimal) {
    return outlets == std::floor(outlets) ? std::to_string(static_cast<long long>(outlets))
                                          : decimalText(outlets, 3, decimal);
}

// "KMH 13,476 m", or the overtopping, or why the run gave no level.
std::string levelReached(const Routing& routed, char decimal) {
    if (routed.end == RunEnd::Overtopped)
        return routed.overtoppingStep ? "přelití v kroku " + std::to_string(*routed.overtoppingStep)
                                      : "přelití";
    if (!routed.highestLevel) return "výpočet nedoběhl (" + routed.message + ")";
    return "KMH " + level(*routed.highestLevel, decimal);
}

const char* verdict(const Routing& routed, double mbh) {
    if (routed.failed()) return "neposouzeno";
    return routed.holds(mbh) ? "vyhovuje" : "nevyhovuje";
}

// The three cases route the same levels through the highest one: the
// outlets let nothing out while the level rises.
bool samePathToTheTop(const std::vector<CaseRouting>& cases) {
    const Routing& first = cases.front().routing;
    for (const CaseRouting& c : cases) {
        const Routing& r = c.routing;
        if (r.end != RunEnd::Normal || r.highestStep != first.highestStep ||
            r.levels.size() < static_cast<std::size_t>(r.highestStep) ||
            first.levels.size() < static_cast<std::size_t>(r.highestStep) ||
            !std::equal(r.levels.begin(), r.levels.begin() + r.highestStep, first.levels.begin()))
            return false;
    }
    return true;
}

} // namespace

namespace {

// The hour of a step from the start of the flood, as the results count it.
std::string hourText(int step, const AssessmentPlan& plan, char decimal) {
    return decimalText(
        project_files::stepHours(static_cast<std::size_t>(step), plan.timeStepMinutes), 2, decimal);
}

struct OutletCaseWords {
    OutletCase outletCase;
    const char* name;
    const char* word;
};
constexpr OutletCaseWords kCaseWords[] = {
    {OutletCase::All, "všechny výpusti v provozu", "vsechny"},
    {OutletCase::OneOut, "jedna výpust mimo provoz", "n-1"},
    {OutletCase::None, "žádná výpust v provozu", "zadne"},
};

const OutletCaseWords& wordsOf(OutletCase outletCase) {
    for (const OutletCaseWords& words : kCaseWords)
        if (words.outletCase == outletCase) return words;
    return kCaseWords[0];
}

} // namespace

const char* outletCaseName(OutletCase outletCase) {
    return wordsOf(outletCase).name;
}

const char* outletCaseWord(OutletCase outletCase) {
    return wordsOf(outletCase).word;
}

std::optional<OutletCase> outletCaseFromWord(std::string_view word) {
    for (const OutletCaseWords& words : kCaseWords)
        if (word == words.word) return words.outletCase;
    return std::nullopt;
}

const std::array<RequiredSafety, 6>& requiredSafetyTable() {
    static const std::array<RequiredSafety, 6> table = {{
        {"A1", "A – velmi vysoké škody, kategorie I–II", "lze očekávat značné ztráty na životech",
         "10 000", 10000},
        {"A2", "A – velmi vysoké škody, kategorie I–II", "ztráty na životech nepravděpodobné",
         "2 000", 2000},
        {"B1", "B – vysoké škody, kategorie III–IV", "lze očekávat značné ztráty na životech",
         "1 000", 1000},
        {"B2", "B – vysoké škody, kategorie III–IV", "ztráty na životech nepravděpodobné", "200",
         200},
        {"C1", "C – nízké škody, kategorie IV", "lze očekávat značné ztráty na životech", "100",
         100},
        {"C2", "C – nízké škody, kategorie IV", "ztráty na životech nepravděpodobné", "50 až 20",
         50},
    }};
    return table;
}

const RequiredSafety* requiredSafety(std::string_view key) {
    for (const RequiredSafety& row : requiredSafetyTable())
        if (key == row.key) return &row;
    return nullptr;
}

const CaseRouting* AssessmentResult::caseOf(OutletCase outletCase) const {
    for (const CaseRouting& c : cases)
        if (c.outletCase == outletCase) return &c;
    return nullptr;
}

bool AssessmentResult::holds() const {
    const CaseRouting* deciding = caseOf(plan.deciding);
    return complete() && deciding && deciding->routing.holds(plan.mbh);
}

std::string AssessmentResult::sentence(char decimal) const {
    if (cancelled) return "Posouzení bylo zrušeno: verdikt nelze vyslovit.";
    if (!failure.empty()) return "Posouzení nelze dokončit: " + failure;
    const CaseRouting* deciding = caseOf(plan.deciding);
    if (!deciding) return "Posouzení nelze dokončit.";
    const Routing& r = deciding->routing;
    const std::string which = " (" + std::string(outletCaseName(plan.deciding)) + ").";
    if (!r.highestLevel)
        return "Vodní dílo při kontrolní povodni nevyhovuje: nádrž přelije" +
               (r.overtoppingStep ? " v kroku " + std::to_string(*r.overtoppingStep) : "") + which;
    const double kmh = *r.highestLevel;
    if (r.holds(plan.mbh))
        return "Vodní dílo při kontrolní povodni vyhovuje: KMH " + level(kmh, decimal) + " ≤ MBH " +
               level(plan.mbh, decimal) + ", rezerva " + level(plan.mbh - kmh, decimal) + which;
    return "Vodní dílo při kontrolní povodni nevyhovuje: KMH " + level(kmh, decimal) + " > MBH " +
           level(plan.mbh, decimal) + ", překročení o " + level(kmh - plan.mbh, decimal) + which;
}

std::vector<std::pair<std::string, std::string>> AssessmentResult::settingRows(char decimal) const {
    std::vector<std::pair<std::string, std::string>> rows;
    rows.emplace_back("Doba opakování kontrolní povodně N",
                      plan.returnPeriod ? std::to_string(*plan.returnPeriod) + " let"
                                        : "neuvedena");
    const RequiredSafety* group = requiredSafety(plan.damageGroup);
    rows.emplace_back("Požadovaná míra bezpečnosti (skupina, kategorie díla)",
                      group ? std::string(group->group) + "; " + group->lossOfLife +
                                  ": N = " + group->returnPeriods + " let"
                            : "neuvedena");
    rows.emplace_back("Kontrolní povodeň", "povodňová vlna projektu, kulminace " +
                                               decimalText(plan.designPeak, 3, decimal) + " m3/s");
    rows.emplace_back("Výška vody na začátku", level(plan.startLevel, decimal) +
                                                   (plan.startAtStorageTop ? " (začátek RO)" : ""));
    rows.emplace_back("Mezní bezpečná hladina MBH", level(plan.mbh, decimal));
    rows.emplace_back("Bezpečnostní přeliv RN, přelití nádrže",
                      level(plan.crest, decimal) + ", " + level(plan.overtopping, decimal));
    rows.emplace_back("Počet spodních výpustí n", outletsText(plan.outletCount, decimal));
    rows.emplace_back("Rozhoduje případ", outletCaseName(plan.deciding));
    std::string table;
    for (const TabledFlood& flood : plan.floods)
        table += (table.empty() ? "" : "; ") + years(flood.years) +
                 ": Q = " + decimalText(flood.peak, 3, decimal) + " m3/s";
    if (!table.empty()) rows.emplace_back("Tabulka kontrolních povodní", table);
    return rows;
}

std::string AssessmentResult::caseLine(const CaseRouting& routed, char decimal) const {
    const Routing& r = routed.routing;
    std::string line = std::string(outletCaseName(routed.outletCase)) + " (" +
                       outletsText(plan.outlets(routed.outletCase), decimal) + ")" +
                       (routed.outletCase == plan.deciding ? ", rozhoduje" : "") + ": " +
                       levelReached(r, decimal);
    if (r.highestLevel)
        line += " v kroku " + std::to_string(r.highestStep) + " (" +
                hourText(r.highestStep, plan, decimal) + " h)";
    if (r.peakOutflow)
        line += ", kulminace odtoku " + decimalText(*r.peakOutflow, 3, decimal) + " m3/s";
    if (r.highestLevel)
        line += ", MBH − KMH " + decimalText(plan.mbh - *r.highestLevel, 3, decimal) + " m";
    return line + ": " + verdict(r, plan.mbh);
}

const std::vector<std::string>& AssessmentResult::caseHeaders() {
    // Two lines where a column's figures are narrower than its name.
    static const std::vector<std::string> headers = {
        "Případ výpustí", "Výpusti\nv provozu",       "KMH [m]",        "Krok",
        "Čas [h]",        "Kulminace\nodtoku [m3/s]", "MBH − KMH\n[m]", "Posudek"};
    return headers;
}

std::vector<std::string> AssessmentResult::caseCells(const CaseRouting& routed,
                                                     char decimal) const {
    const Routing& r = routed.routing;
    const auto figure = [&](const std::optional<double>& value) {
        return value ? decimalText(*value, 3, decimal) : std::string();
    };
    std::vector<std::string> cells = {
        std::string(outletCaseName(routed.outletCase)) +
            (routed.outletCase == plan.deciding ? " (rozhoduje)" : ""),
        outletsText(plan.outlets(routed.outletCase), decimal),
        r.highestLevel ? figure(r.highestLevel) : levelReached(r, decimal),
        r.highestLevel ? std::to_string(r.highestStep) : std::string(),
        r.highestLevel ? hourText(r.highestStep, plan, decimal) : std::string(),
        figure(r.peakOutflow),
        r.highestLevel ? figure(plan.mbh - *r.highestLevel) : std::string(),
        verdict(r, plan.mbh)};
    return cells;
}

namespace {

// What the three cases say together.
std::vector<std::string> casesTogether(const AssessmentResult& r, char decimal) {
    std::vector<std::string> lines;
    if (r.plan.outletCount <= 0.0)
        lines.push_back("Nádrž nemá spodní výpusti (n = 0): tři případy jsou totožné.");
    else if (samePathToTheTop(r.cases))
        lines.push_back("Všechny tři případy dávají stejnou KMH " +
                        level(*r.cases.front().routing.highestLevel, decimal) +
                        " a až do ní stejný průběh hladiny: výpusti jsou při vzestupu hladiny "
                        "zavřené (nastavení výpustí při překročení bezpečnostního přelivu), "
                        "porucha výpustí výsledek neovlivní.");
    else if (r.plan.outletCount <= 1.0)
        lines.push_back("Při jedné výpusti je případ „jedna výpust mimo provoz“ totožný s "
                        "případem bez výpustí.");
    return lines;
}

// The tabled floods: each one's KMH, the largest N that holds, the first
// that does not, and where KMH does not rise with N.
std::vector<std::string> tabledFloods(const AssessmentResult& r, char decimal) {
    std::vector<std::string> lines;
    if (r.floods.empty()) return lines;
    std::string each = "Povodně tabulky (" + std::string(outletCaseName(r.plan.deciding)) + "): ";
    std::optional<int> largestHolding, firstFailing;
    std::string falling; // where KMH does not rise with N, in words
    const FloodRouting* previous = nullptr;
    for (const FloodRouting& f : r.floods) {
        const bool holds = f.routing.holds(r.plan.mbh);
        each += (previous ? "; " : "") + years(f.flood.years) +
                " (Q = " + decimalText(f.flood.peak, 3, decimal) + " m3/s) " +
                levelReached(f.routing, decimal) + ", " + verdict(f.routing, r.plan.mbh);
        if (falling.empty() && holds && firstFailing)
            falling = years(f.flood.years) + " vyhovuje, ač " + years(*firstFailing) + " ne";
        else if (falling.empty() && previous && previous->routing.highestLevel &&
                 f.routing.highestLevel &&
                 *f.routing.highestLevel < *previous->routing.highestLevel - 0.0005)
            falling = years(f.flood.years) + " dává nižší KMH než " + years(previous->flood.years);
        if (holds) largestHolding = f.flood.years;
        if (!holds && !firstFailing) firstFailing = f.flood.years;
        previous = &f;
    }
    lines.push_back(each + ".");
    if (largestHolding && firstFailing)
        lines.push_back("Největší doba opakování z tabulky, jejíž povodeň drží KMH ≤ MBH: " +
                        years(*largestHolding) +
                        "; první, která nevyhovuje: " + years(*firstFailing) + ".");
    else if (largestHolding)
        lines.push_back("Všechny povodně tabulky drží KMH ≤ MBH, až do " + years(*largestHolding) +
                        ".");
    else
        lines.push_back("Žádná povodeň tabulky nedrží KMH ≤ MBH; nevyhovuje už " +
                        years(*firstFailing) + ".");
    if (!falling.empty())
        lines.push_back("KMH neroste s dobou opakování všude (" + falling +
                        "): odezva nádrže na velikost povodně zde není monotónní, každou dobu "
                        "opakování posuďte zvlášť.");
    return lines;
}

std::vector<std::string> factorLines(const AssessmentResult& r, char decimal) {
    std::vector<std::string> lines;
    if (!r.factor) return lines;
    const FactorAnswer& k = *r.factor;
    const std::string which = " (" + std::string(outletCaseName(r.plan.deciding)) + ")";
    if (!k.firstExceeding)
        lines.push_back("KMH nepřekročí MBH ani při desetinásobku kontrolní povodně" + which +
                        ": k > 10.");
    else if (k.largestSafe == 0)
        lines.push_back("KMH je nad MBH již při k = " + factor(*k.firstExceeding, decimal) + which +
                        ": žádný násobek kontrolní povodně nevyhovuje.");
    else
        lines.push_back("Největší násobek kontrolní povodně s KMH ≤ MBH" + which +
                        ": k = " + factor(k.largestSafe, decimal) +
                        " (KMH > MBH od k = " + factor(*k.firstExceeding, decimal) + ").");
    if (k.fallingFrom)
        lines.push_back("KMH neroste s k všude (při k = " + factor(*k.to, decimal) +
                        " je nižší než při k = " + factor(*k.fallingFrom, decimal) +
                        "): odezva nádrže na k není monotónní.");
    lines.push_back("Postup hledání k: od k = 1 po 0" + std::string(1, decimal) +
                    "1 do 10 (pod k = 1 dělením intervalu), pak dělení intervalu na 0" +
                    std::string(1, decimal) +
                    "01. Kdyby odezva nádrže na k nebyla monotónní, nelze mezi body výpočtu "
                    "vyloučit dřívější překročení MBH.");
    return lines;
}

} // namespace

std::vector<std::string> AssessmentResult::findings(char decimal) const {
    std::vector<std::string> lines;
    if (cases.size() == 3) lines = casesTogether(*this, decimal);
    for (std::string& line : tabledFloods(*this, decimal))
        lines.push_back(std::move(line));
    for (std::string& line : factorLines(*this, decimal))
        lines.push_back(std::move(line));
    return lines;
}

} // namespace study
