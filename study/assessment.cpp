// The flood-safety assessment: the settings checked against the inputs, and
// the runs of the three outlet cases, the tabled floods and the search for k.
#include "study/assessment.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/inputs_record.h"
#include "exchange/run_summary.h"
#include "project_files/file_io.h"
#include "project_files/result_files.h"
#include "project_files/run_summary_reader.h"
#include "project_files/saved_inputs.h"
#include "study/parallel_runs.h"
#include "study/run_outcome.h"
#include "study/safety_factor.h"
#include "study/study_files.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <mutex>

namespace study {

namespace fs = std::filesystem;

namespace {

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
}

/// A number as an engineer types it: blanks around it, a decimal point or a
/// single decimal comma. Read without the process's locale, which a console
/// program takes from its environment (a Czech one stops at the point).
struct TypedNumber {
    std::string text; // with a decimal point
    double value = 0.0;
};

std::optional<TypedNumber> typedNumberOf(std::string_view typed) {
    TypedNumber number{trimmed(typed)};
    std::string& text = number.text;
    if (std::count(text.begin(), text.end(), ',') == 1 && text.find('.') == std::string::npos)
        text[text.find(',')] = '.';
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number.value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(number.value))
        return std::nullopt;
    return number;
}

std::optional<double> typedNumber(std::string_view typed) {
    const auto number = typedNumberOf(typed);
    return number ? std::optional(number->value) : std::nullopt;
}

// A positive whole number; blanks between groups of digits are allowed
// ("10 000").
std::optional<int> positiveWhole(std::string_view typed) {
    std::string digits;
    for (char c : typed)
        if (c != ' ') digits += c;
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        value <= 0 || digits.front() == '+' || digits.front() == '-')
        return std::nullopt;
    return value;
}

std::string level(double metres, char decimal) {
    return decimalText(metres, 3, decimal) + " m";
}

[[noreturn]] void refuse(SettingField field, const std::string& message, int index = -1) {
    throw SettingRefused(field, index, message);
}

// Runs done and expected, shared by the threads of a phase.
class RunCounter {
public:
    explicit RunCounter(const AssessmentProgress& progress) : m_progress(progress) {}
    bool cancelled() const { return m_cancelled; }
    void cancel() { m_cancelled = true; }
    int done() const { return m_done; }
    void expect(int runs) {
        const std::lock_guard<std::mutex> lock(m_guard);
        m_expected = runs;
    }
    void oneDone() {
        const std::lock_guard<std::mutex> lock(m_guard);
        ++m_done;
        if (m_progress && !m_progress(m_done, std::max(m_done, m_expected))) m_cancelled = true;
    }

private:
    const AssessmentProgress& m_progress;
    std::mutex m_guard;
    std::atomic<bool> m_cancelled{false};
    int m_done = 0, m_expected = 0;
};

FactorTrial trialOf(int hundredths, const Routing& routed) {
    FactorTrial trial;
    trial.hundredths = hundredths;
    trial.end = routed.end;
    trial.message = routed.message;
    trial.highestLevel = routed.highestLevel;
    trial.peakOutflow = routed.peakOutflow;
    return trial;
}

} // namespace

// ---------------------------------------------------------------- the inputs

/// The inputs as the assessment began: every run copies these, whatever the
/// project's files hold meanwhile.
class Assessment::Snapshot {
public:
    explicit Snapshot(const fs::path& inputsDir) {
        for (const char* name : exchange::kCoreInputs) {
            if (std::string_view(name) == exchange::kStartLevel) continue;
            std::error_code error;
            if (fs::is_regular_file(inputsDir / name, error))
                copyFile(inputsDir / name, dir() / name);
        }
        digests = inputDigests(dir());
    }
    fs::path dir() const { return m_root.exchangeDir(); }
    std::vector<std::pair<std::string, std::string>> digests;

private:
    ScratchRoot m_root;
};

std::vector<std::pair<std::string, std::string>> inputDigests(const fs::path& dir) {
    std::vector<std::pair<std::string, std::string>> digests;
    for (const char* name : exchange::kCoreInputs) {
        if (std::string_view(name) == exchange::kStartLevel) continue;
        const auto bytes = project_files::readBytes(dir / name);
        digests.emplace_back(name, bytes ? exchange::fingerprintText(*bytes) : "chybí");
    }
    return digests;
}

double AssessmentPlan::outlets(OutletCase outletCase) const {
    switch (outletCase) {
    case OutletCase::All:
        return outletCount;
    case OutletCase::OneOut:
        return std::max(outletCount - 1.0, 0.0);
    case OutletCase::None:
        break;
    }
    return 0.0;
}

namespace {

void requireInputs(const project_files::SavedInputs& in, const fs::path& inputsDir) {
    std::vector<std::string> unread;
    const auto need = [&](bool read, const char* file) {
        if (!read) unread.push_back(file);
    };
    need(in.curve && !in.curve->empty(), exchange::kCurve);
    need(in.crestHeight.has_value(), exchange::kCrestHeight);
    need(in.retentionHeight.has_value(), exchange::kRetentionHeight);
    need(in.storageTopHeight.has_value(), exchange::kStorageTop);
    need(in.outletCount.has_value(), exchange::kOutletCount);
    need(in.timeStepMinutes.has_value(), exchange::kTimeStep);
    need(in.inflow && !in.inflow->empty(), exchange::kFloodWave);
    if (unread.empty()) return;
    std::string files;
    for (const std::string& file : unread)
        files += (files.empty() ? "" : ", ") + file;
    throw StudyError("Vstupy pro posouzení nelze přečíst z " + pathUtf8(inputsDir) + ": " + files +
                     " chybí nebo je jádro nepřečte. Uložte je ve formulářích (Vstupy).");
}

void planStart(AssessmentPlan& plan, const std::string& typed, const project_files::SavedInputs& in,
               char decimal) {
    const std::string name = "Výška vody na začátku posouzení";
    std::optional<float> start;
    if (trimmed(typed).empty()) {
        plan.startLevelText = in.storageTopHeight->text;
        plan.startAtStorageTop = true;
        start = in.storageTopHeight->value;
    } else if (const auto number = typedNumberOf(typed)) {
        plan.startLevelText = number->text;
        start = project_files::coreReal(number->text);
    }
    if (!start) refuse(SettingField::StartLevel, name + " „" + trimmed(typed) + "“ není číslo.");
    plan.startLevel = *start;
    const std::string shown = level(*start, decimal) + (plan.startAtStorageTop ? " (RO)" : "");
    const auto curve = project_files::curveLevels(in);
    if (*start < static_cast<float>(curve->lowest) || *start > static_cast<float>(curve->highest))
        refuse(SettingField::StartLevel, name + " " + shown + " leží mimo batygrafickou křivku (" +
                                             decimalText(curve->lowest, 3, decimal) + " až " +
                                             level(curve->highest, decimal) +
                                             "): zadejte výšku uvnitř křivky.");
    // As the core compares: the sum in double from the floats it read.
    if (static_cast<double>(*start) >= plan.overtopping)
        refuse(SettingField::StartLevel,
               name + " " + shown + " leží na úrovni přelití nádrže nebo nad ní (" +
                   level(plan.overtopping, decimal) +
                   " = RN + retenční výška): nádrž by přelila hned v prvním kroku.");
}

void planMbh(AssessmentPlan& plan, const std::string& typed, char decimal) {
    const std::string name = "Mezní bezpečná hladina MBH";
    const std::string range = "nejméně RN " + level(plan.crest, decimal) + " a nejvýše " +
                              level(plan.overtopping, decimal) + " (přelití nádrže)";
    if (trimmed(typed).empty())
        refuse(SettingField::Mbh,
               name + " není zadána: zadejte hladinu v m nade dnem nádrže, " + range + ".");
    const auto mbh = typedNumber(typed);
    if (!mbh) refuse(SettingField::Mbh, name + " „" + trimmed(typed) + "“ není číslo.");
    plan.mbh = *mbh;
    if (*mbh > plan.overtopping)
        refuse(SettingField::Mbh, name + " " + level(*mbh, decimal) +
                                      " leží nad hladinou přelití nádrže " +
                                      level(plan.overtopping, decimal) +
                                      " (RN + retenční výška): výpočet hladinu nad ní neukáže.");
    if (*mbh < plan.crest)
        refuse(SettingField::Mbh, name + " " + level(*mbh, decimal) +
                                      " leží pod bezpečnostním přelivem RN " +
                                      level(plan.crest, decimal) + ": zadejte " + range + ".");
}

void planFloods(AssessmentPlan& plan, const AssessmentSettings& settings) {
    if (const std::string n = trimmed(settings.returnPeriod); !n.empty()) {
        plan.returnPeriod = positiveWhole(n);
        if (!plan.returnPeriod)
            refuse(SettingField::ReturnPeriod,
                   "Doba opakování kontrolní povodně N „" + n + "“ není kladné celé číslo (roky).");
    }
    for (std::size_t i = 0; i < settings.tabledFloods.size(); ++i) {
        const std::string pair = trimmed(settings.tabledFloods[i]);
        const std::size_t colon = pair.find(':');
        const auto years = positiveWhole(pair.substr(0, colon));
        const double peak =
            colon == std::string::npos ? 0.0 : typedNumber(pair.substr(colon + 1)).value_or(0.0);
        const std::string name =
            "Kontrolní povodeň č. " + std::to_string(i + 1) + " „" + pair + "“";
        const int index = static_cast<int>(i);
        if (!years || !(peak > 0.0))
            refuse(SettingField::TabledFlood,
                   name + " nemá tvar N:Q (doba opakování N v letech, kladné celé číslo, a "
                          "kulminační průtok Q v m3/s, kladné číslo), např. 1000:100.",
                   index);
        for (const TabledFlood& earlier : plan.floods)
            if (earlier.years == *years)
                refuse(SettingField::TabledFlood,
                       name + ": doba opakování N = " + std::to_string(*years) +
                           " let je v tabulce podruhé.",
                       index);
        plan.floods.push_back({*years, peak});
    }
    std::sort(plan.floods.begin(), plan.floods.end(),
              [](const TabledFlood& a, const TabledFlood& b) { return a.years < b.years; });
}

} // namespace

Assessment::Assessment(const fs::path& inputsDir, const AssessmentSettings& settings, char decimal)
    : m_inputs(std::make_unique<Snapshot>(inputsDir)), m_decimal(decimal) {
    const project_files::SavedInputs in = project_files::readSavedInputs(m_inputs->dir());
    requireInputs(in, inputsDir);
    for (const project_files::SavedReal& q : *in.inflow)
        m_inflow.push_back(q.value);
    m_plan.designPeak = *std::max_element(m_inflow.begin(), m_inflow.end());
    m_plan.crest = in.crestHeight->value;
    m_plan.overtopping = *project_files::reservoirLevels(in).overtopping;
    m_plan.outletCount = in.outletCount->value;
    m_plan.timeStepMinutes = in.timeStepMinutes->value;
    m_plan.deciding = settings.deciding;
    if (requiredSafety(settings.damageGroup)) m_plan.damageGroup = settings.damageGroup;
    planFloods(m_plan, settings);
    planStart(m_plan, settings.startLevel, in, decimal);
    planMbh(m_plan, settings.mbh, decimal);
}

Assessment::~Assessment() = default;

// ------------------------------------------------------------------ the runs

namespace {

/// One run: the outlets open, and the project's flood wave as it is or
/// multiplied by numerator / denominator.
struct PlannedRun {
    double outlets = 0.0;
    std::optional<std::pair<double, double>> scale;
    bool keepLevels = false;
};

// What the run in `root` left: the highest level and its step, the peak
// outflow, the step an overtopping stopped it.
void readRouting(const fs::path& root, Routing& routed, bool keepLevels) {
    const fs::path results = exchange::outResultDir(root);
    const auto levels = project_files::readResultSeries(results / exchange::kLevelSeries);
    const auto outflow = project_files::readResultSeries(results / exchange::kOutflowSeries);
    if (routed.end == RunEnd::Overtopped)
        if (const auto summary =
                project_files::readRunSummary(results / exchange::summary::kFileName).summary)
            routed.overtoppingStep = summary->stoppedStep;
    if (routed.end != RunEnd::Normal) {
        if (keepLevels && levels) routed.levels = *levels;
        return;
    }
    if (!levels || levels->empty() || !outflow || outflow->empty()) {
        routed.end = RunEnd::Failed;
        routed.message = "výsledky výpočtu nelze přečíst.";
        return;
    }
    const auto highest = std::max_element(levels->begin(), levels->end());
    routed.highestLevel = *highest;
    routed.highestStep = static_cast<int>(highest - levels->begin()) + 1;
    routed.peakOutflow = *std::max_element(outflow->begin(), outflow->end());
    if (keepLevels) routed.levels = *levels;
}

Routing routeOnce(const fs::path& snapshot, const AssessmentPlan& plan,
                  const std::vector<float>& inflow, const PlannedRun& run,
                  const RunCoreInRoot& runCore) {
    Routing routed;
    try {
        const ScratchRoot root;
        const fs::path dir = root.exchangeDir();
        for (const char* name : exchange::kCoreInputs) {
            const std::string_view file = name;
            std::error_code error;
            if (file == exchange::kStartLevel)
                writeOneLine(dir / name, plan.startLevelText);
            else if (file == exchange::kOutletCount && run.outlets != plan.outletCount)
                writeOneLine(dir / name, floatText(static_cast<float>(run.outlets)));
            else if (file == exchange::kFloodWave && run.scale)
                writeScaledFloodWave(dir / name, inflow, run.scale->first, run.scale->second);
            else if (fs::is_regular_file(snapshot / name, error))
                copyFile(snapshot / name, dir / name);
        }
        const RunOutcome outcome = judgeRun(runCore(root.path()), root.path());
        routed.end = outcome.end;
        routed.message = outcome.message;
        readRouting(root.path(), routed, run.keepLevels);
    } catch (const StudyError& e) {
        routed.end = RunEnd::Failed;
        routed.message = e.what();
    }
    return routed;
}

// The runs of `planned` at once; a run not begun before a cancel stays Cancelled.
std::vector<Routing> routeAll(const std::vector<PlannedRun>& planned, int threads,
                              RunCounter& counter,
                              const std::function<Routing(const PlannedRun&)>& route) {
    std::vector<Routing> routed(planned.size());
    for (Routing& r : routed)
        r.end = RunEnd::Cancelled;
    forEachAtOnce(planned.size(), threads, [&](std::size_t i) {
        if (counter.cancelled()) return;
        routed[i] = route(planned[i]);
        if (routed[i].end == RunEnd::Cancelled) counter.cancel();
        counter.oneDone();
    });
    return routed;
}

std::string failureText(const std::string& run, const Routing& routed) {
    return "výpočet " + run + " nedoběhl: " + routed.message;
}

// The largest k x 100 with KMH <= MBH in the deciding case, whose run at
// k = 1 is already done; each round's runs at once.
void searchFactor(AssessmentResult& result, RunCounter& counter, int width, char decimal,
                  const std::function<Routing(const PlannedRun&)>& route) {
    const AssessmentPlan& plan = result.plan;
    FactorBracketing bracketing = FactorBracketing::belowLimit(plan.mbh);
    bracketing.record(trialOf(kDesignFlood, result.caseOf(plan.deciding)->routing));
    while (!counter.cancelled()) {
        const std::vector<int> batch = bracketing.nextBatch(width);
        if (batch.empty()) break;
        counter.expect(counter.done() + bracketing.runsExpected() - bracketing.runsDone());
        std::vector<PlannedRun> planned;
        for (int h : batch)
            planned.push_back({plan.outlets(plan.deciding), std::pair(double(h), 100.0), false});
        const std::vector<Routing> routed = routeAll(planned, width, counter, route);
        for (std::size_t i = 0; i < batch.size(); ++i)
            if (routed[i].end != RunEnd::Cancelled) bracketing.record(trialOf(batch[i], routed[i]));
    }
    if (counter.cancelled()) {
        result.cancelled = true;
        return;
    }
    if (const FactorTrial* failed = bracketing.failure()) {
        Routing routed;
        routed.message = failed->message;
        result.failure = failureText("při k = " + decimalText(failed->k(), 2, decimal), routed);
        return;
    }
    FactorAnswer answer;
    answer.largestSafe = bracketing.largestSafe();
    answer.firstExceeding = bracketing.firstExceeding();
    if (const auto falling = bracketing.fallingLevel()) {
        answer.fallingFrom = falling->first;
        answer.to = falling->second;
    }
    result.factor = answer;
}

} // namespace

AssessmentResult Assessment::run(const RunCoreInRoot& runCore, const AssessmentProgress& progress,
                                 int threads) const {
    AssessmentResult result;
    result.plan = m_plan;
    result.inputDigests = m_inputs->digests;
    const int width = parallelRuns(threads);
    RunCounter counter(progress);
    const auto route = [&](const PlannedRun& run) {
        return routeOnce(m_inputs->dir(), m_plan, m_inflow, run, runCore);
    };

    // The three cases and the tabled floods are independent of each other.
    std::vector<PlannedRun> planned;
    for (OutletCase c : kOutletCases)
        planned.push_back({m_plan.outlets(c), std::nullopt, true});
    for (const TabledFlood& flood : m_plan.floods)
        planned.push_back(
            {m_plan.outlets(m_plan.deciding), std::pair(flood.peak, m_plan.designPeak), false});
    // A guess of the search's runs: a few scan points and a bracket's halvings.
    counter.expect(static_cast<int>(planned.size()) + 10);
    const std::vector<Routing> routed = routeAll(planned, width, counter, route);
    for (std::size_t i = 0; i < routed.size(); ++i) {
        if (routed[i].end == RunEnd::Cancelled) {
            result.cancelled = true;
            continue;
        }
        const std::string what =
            i < 3 ? "(" + std::string(outletCaseName(kOutletCases[i])) + ")"
                  : "kontrolní povodně N = " + std::to_string(m_plan.floods[i - 3].years) + " let";
        if (routed[i].failed() && result.failure.empty())
            result.failure = failureText(what, routed[i]);
        if (i < 3)
            result.cases.push_back({kOutletCases[i], routed[i]});
        else
            result.floods.push_back({m_plan.floods[i - 3], routed[i]});
    }
    if (result.complete()) searchFactor(result, counter, width, m_decimal, route);
    result.runs = counter.done();
    return result;
}

} // namespace study
