// The flood-safety assessment kept in a project: one `key: value` line per
// figure, numbers with a decimal point whatever the locale.
#include "desk/kept_assessment.h"

#include "desk/input_fields.h"
#include "desk/project_overview.h"
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <sstream>

namespace desk {

namespace fs = std::filesystem;

namespace {

// The first line of the kept assessment, so that no other file is read as one.
constexpr std::string_view kHeading = "posouzeni bezpecnosti za povodne: 1";
constexpr std::string_view kNone = "-";

// The shortest text that reads back as the same double.
std::string number(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::string optional(const std::optional<double>& value) {
    return value ? number(*value) : std::string(kNone);
}

std::string optional(const std::optional<int>& value) {
    return value ? std::to_string(*value) : std::string(kNone);
}

/// The values of one line, split at blanks.
class Fields {
public:
    explicit Fields(const std::string& text) : m_in(text) {}
    std::string word() {
        std::string w;
        if (!(m_in >> w)) m_bad = true;
        return w;
    }
    template <class Number> Number get() { return parsed<Number>(word()); }
    /// A number, or kNone for none.
    template <class Number> std::optional<Number> maybe() {
        const std::string w = word();
        if (w == kNone) return std::nullopt;
        return parsed<Number>(w);
    }
    bool atEnd() {
        m_in >> std::ws;
        return m_in.eof();
    }
    bool bad() const { return m_bad; }

private:
    template <class Number> Number parsed(const std::string& w) {
        Number value{};
        const auto [end, error] = std::from_chars(w.data(), w.data() + w.size(), value);
        if (error != std::errc() || end != w.data() + w.size()) m_bad = true;
        return value;
    }

    std::istringstream m_in;
    bool m_bad = false;
};

std::vector<std::string> settingLines(const study::AssessmentPlan& p) {
    std::vector<std::string> lines;
    if (p.returnPeriod) lines.push_back("N: " + std::to_string(*p.returnPeriod));
    if (!p.damageGroup.empty()) lines.push_back("skupina: " + p.damageGroup);
    if (!p.startAtStorageTop) lines.push_back("start: " + p.startLevelText);
    lines.push_back("mbh: " + number(p.mbh));
    lines.push_back(std::string("rozhoduje: ") + study::outletCaseWord(p.deciding));
    for (const study::TabledFlood& f : p.floods)
        lines.push_back("kpv: " + std::to_string(f.years) + ":" + number(f.peak));
    return lines;
}

std::string routingFigures(const study::Routing& r) {
    return std::to_string(static_cast<int>(r.end)) + " " + optional(r.highestLevel) + " " +
           std::to_string(r.highestStep) + " " + optional(r.overtoppingStep) + " " +
           optional(r.peakOutflow);
}

study::Routing readRouting(Fields& in) {
    study::Routing r;
    r.end = static_cast<study::RunEnd>(in.get<int>());
    r.highestLevel = in.maybe<double>();
    r.highestStep = in.get<int>();
    r.overtoppingStep = in.maybe<int>();
    r.peakOutflow = in.maybe<double>();
    return r;
}

std::vector<std::string> resultLines(const study::AssessmentResult& r) {
    const study::AssessmentPlan& p = r.plan;
    std::vector<std::string> lines{std::string(kHeading)};
    for (std::string& line : settingLines(p))
        lines.push_back(std::move(line));
    lines.push_back("start_m: " + p.startLevelText + " " + number(p.startLevel) + " " +
                    (p.startAtStorageTop ? "RO" : "zadano"));
    lines.push_back("nadrz: " + number(p.crest) + " " + number(p.overtopping) + " " +
                    number(p.outletCount) + " " + number(p.designPeak) + " " +
                    number(p.timeStepMinutes));
    for (const study::CaseRouting& c : r.cases) {
        const std::string word = study::outletCaseWord(c.outletCase);
        lines.push_back("pripad: " + word + " " + routingFigures(c.routing));
        std::string levels = "hladiny: " + word;
        for (double level : c.routing.levels)
            levels += " " + number(level);
        lines.push_back(levels);
    }
    for (const study::FloodRouting& f : r.floods)
        lines.push_back("povoden: " + std::to_string(f.flood.years) + " " + number(f.flood.peak) +
                        " " + routingFigures(f.routing));
    if (r.factor)
        lines.push_back("k: " + std::to_string(r.factor->largestSafe) + " " +
                        optional(r.factor->firstExceeding) + " " + optional(r.factor->fallingFrom) +
                        " " + optional(r.factor->to));
    lines.push_back("vypoctu: " + std::to_string(r.runs));
    for (const auto& [file, digest] : r.inputDigests)
        lines.push_back("vstup: " + file + " " + digest);
    return lines;
}

/// Reads one line into `r`; false when a value cannot be read.
bool readLine(const std::string& key, const std::string& value, study::AssessmentResult& r) {
    study::AssessmentPlan& p = r.plan;
    Fields in(value);
    if (key == "N") {
        p.returnPeriod = in.get<int>();
    } else if (key == "skupina") {
        p.damageGroup = in.word();
    } else if (key == "mbh") {
        p.mbh = in.get<double>();
    } else if (key == "rozhoduje") {
        const auto deciding = study::outletCaseFromWord(in.word());
        if (!deciding) return false;
        p.deciding = *deciding;
    } else if (key == "kpv") {
        const std::size_t colon = value.find(':');
        Fields pair(value.substr(0, colon) + " " + value.substr(colon + 1));
        p.floods.push_back({pair.get<int>(), pair.get<double>()});
        return colon != std::string::npos && !pair.bad();
    } else if (key == "start_m") {
        p.startLevelText = in.word();
        p.startLevel = in.get<double>();
        p.startAtStorageTop = in.word() == "RO";
    } else if (key == "nadrz") {
        p.crest = in.get<double>();
        p.overtopping = in.get<double>();
        p.outletCount = in.get<double>();
        p.designPeak = in.get<double>();
        p.timeStepMinutes = in.get<double>();
    } else if (key == "pripad") {
        const auto outletCase = study::outletCaseFromWord(in.word());
        if (!outletCase) return false;
        r.cases.push_back({*outletCase, readRouting(in)});
    } else if (key == "hladiny") {
        const auto outletCase = study::outletCaseFromWord(in.word());
        const auto found = std::find_if(r.cases.begin(), r.cases.end(), [&](const auto& c) {
            return outletCase && c.outletCase == *outletCase;
        });
        if (found == r.cases.end()) return false;
        while (!in.atEnd() && !in.bad())
            found->routing.levels.push_back(in.get<double>());
    } else if (key == "povoden") {
        study::FloodRouting f;
        f.flood.years = in.get<int>();
        f.flood.peak = in.get<double>();
        f.routing = readRouting(in);
        r.floods.push_back(f);
    } else if (key == "k") {
        study::FactorAnswer k;
        k.largestSafe = in.get<int>();
        k.firstExceeding = in.maybe<int>();
        k.fallingFrom = in.maybe<int>();
        k.to = in.maybe<int>();
        r.factor = k;
    } else if (key == "vypoctu") {
        r.runs = in.get<int>();
    } else if (key == "vstup") {
        const std::string file = in.word();
        r.inputDigests.emplace_back(file, in.word());
    }
    return !in.bad();
}

/// The `key: value` lines of a file, the first one apart.
std::optional<std::vector<std::pair<std::string, std::string>>> keyedLines(const fs::path& file) {
    const std::optional<std::string> bytes = project_files::readBytes(file);
    if (!bytes) return std::nullopt;
    std::vector<std::pair<std::string, std::string>> lines;
    std::istringstream in(*bytes);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t colon = line.find(": ");
        if (colon != std::string::npos)
            lines.emplace_back(line.substr(0, colon), line.substr(colon + 2));
        else if (!line.empty())
            lines.emplace_back(line, "");
    }
    return lines;
}

} // namespace

project_files::FileResult keepAssessmentSettings(const fs::path& root,
                                                 const study::AssessmentPlan& plan) {
    return project_files::writeLines(root / exchange::kAssessmentSettings, settingLines(plan));
}

std::optional<study::AssessmentSettings> readAssessmentSettings(const fs::path& root) {
    const auto lines = keyedLines(root / exchange::kAssessmentSettings);
    if (!lines) return std::nullopt;
    study::AssessmentSettings settings;
    for (const auto& [key, value] : *lines) {
        if (key == "N") settings.returnPeriod = value;
        if (key == "skupina") settings.damageGroup = value;
        if (key == "start") settings.startLevel = value;
        if (key == "mbh") settings.mbh = value;
        if (key == "kpv") settings.tabledFloods.push_back(value);
        if (key == "rozhoduje")
            settings.deciding = study::outletCaseFromWord(value).value_or(settings.deciding);
    }
    return settings;
}

project_files::FileResult keepAssessment(const fs::path& root,
                                         const study::AssessmentResult& result) {
    return project_files::writeLines(root / exchange::kKeptAssessment, resultLines(result));
}

std::optional<KeptAssessment> readKeptAssessment(const fs::path& root) {
    const fs::path file = root / exchange::kKeptAssessment;
    const auto lines = keyedLines(file);
    if (!lines || lines->empty() || lines->front().first + ": " + lines->front().second != kHeading)
        return std::nullopt;
    KeptAssessment kept;
    for (std::size_t i = 1; i < lines->size(); ++i)
        if (!readLine((*lines)[i].first, (*lines)[i].second, kept.result)) return std::nullopt;
    if (kept.result.cases.size() != study::kOutletCases.size()) return std::nullopt;
    std::error_code error;
    kept.time = fs::last_write_time(file, error);
    // Changed since: each input whose bytes differ from those the runs read.
    std::map<std::string, std::string> read(kept.result.inputDigests.begin(),
                                            kept.result.inputDigests.end());
    for (const auto& [name, digest] : study::inputDigests(exchange::exchangeDir(root))) {
        if (read[name] == digest) continue;
        if (const InputField* field = inputFieldOf(name))
            kept.changedInputs.push_back(fieldLocation(*field));
    }
    return kept;
}

std::string outdatedText(const KeptAssessment& kept) {
    if (!kept.outdated()) return {};
    std::string changed;
    for (const std::string& input : kept.changedInputs)
        changed += (changed.empty() ? "" : ", ") + input;
    return "Posouzení z " + czechDateTime(kept.time) + " je zastaralé: vstupy se od něj změnily (" +
           changed + "). Jeho verdikt neplatí pro vstupy projektu; spusťte posouzení znovu.";
}

} // namespace desk
