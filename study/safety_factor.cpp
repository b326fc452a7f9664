// The dam's safety margin by a coarse scan of k and bisection.
#include "study/safety_factor.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "project_files/result_files.h"
#include "project_files/saved_inputs.h"
#include "study/run_outcome.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>

namespace study {

namespace fs = std::filesystem;

namespace {

int bisectionRuns(int width) {
    int runs = 0;
    while (width > 1) {
        width = (width + 1) / 2;
        ++runs;
    }
    return runs;
}

std::string factor(int hundredths, char decimal) {
    return decimalText(hundredths / 100.0, 2, decimal);
}

} // namespace

std::string decimalText(double value, int decimals, char decimal) {
    char buffer[64];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals)
            .ptr;
    std::string text(buffer, end);
    std::replace(text.begin(), text.end(), '.', decimal);
    return text;
}

// ---------------------------------------------------------------- bracketing

bool FactorBracketing::reachesCrest(const FactorTrial& trial) const {
    return trial.overtopped() || (trial.highestLevel && *trial.highestLevel >= m_crest);
}

const FactorTrial* FactorBracketing::failure() const {
    for (const auto& [h, trial] : m_trials)
        if (trial.failed()) return &trial;
    return nullptr;
}

FactorBracketing FactorBracketing::belowLimit(double limitLevel) {
    FactorBracketing bracketing(limitLevel);
    bracketing.m_limit = limitLevel;
    return bracketing;
}

bool FactorBracketing::exceeds(const FactorTrial& trial) const {
    return trial.overtopped() ||
           (m_limit && trial.safe() && trial.highestLevel && *trial.highestLevel > *m_limit);
}

std::optional<int> FactorBracketing::firstExceeding() const {
    for (const auto& [h, trial] : m_trials)
        if (exceeds(trial)) return h;
    return std::nullopt;
}

std::optional<int> FactorBracketing::firstAtCrest() const {
    if (m_limit) return std::nullopt;
    for (const auto& [h, trial] : m_trials)
        if (reachesCrest(trial)) return h;
    return std::nullopt;
}

int FactorBracketing::largestBelow(int limit, bool belowCrest) const {
    int best = 0;
    for (const auto& [h, trial] : m_trials)
        if (h < limit && trial.safe() && !exceeds(trial) && (!belowCrest || !reachesCrest(trial)))
            best = h;
    return best;
}

int FactorBracketing::largestSafe() const {
    return largestBelow(firstExceeding().value_or(kScanEnd + 1), false);
}

bool FactorBracketing::scanning() const {
    if (failure() || firstExceeding()) return false;
    return m_trials.empty() || m_trials.rbegin()->first < kScanEnd;
}

std::optional<int> FactorBracketing::next() const {
    const std::vector<int> batch = nextBatch(1);
    return batch.empty() ? std::nullopt : std::optional(batch.front());
}

std::vector<int> FactorBracketing::nextBatch(int width) const {
    std::vector<int> batch;
    if (failure() || width < 1) return batch;
    if (scanning()) {
        const int last = m_trials.empty() ? 0 : m_trials.rbegin()->first;
        for (int h = last + kScanStep; h <= kScanEnd && static_cast<int>(batch.size()) < width;
             h += kScanStep)
            batch.push_back(h);
        return batch;
    }
    const auto divide = [&](int low, int high) {
        for (int part = 1; part <= width; ++part) {
            const int h = low + (high - low) * part / (width + 1);
            if (h > low && (batch.empty() || h > batch.back())) batch.push_back(h);
        }
    };
    // The first exceeding k first: it is the answer; the crest's bracket
    // may then already be narrower.
    if (const auto high = firstExceeding()) {
        const int low = largestBelow(*high, false);
        if (*high - low > 1) divide(low, *high);
    }
    if (batch.empty())
        if (const auto high = firstAtCrest()) {
            const int low = largestBelow(*high, true);
            if (*high - low > 1) divide(low, *high);
        }
    return batch;
}

void FactorBracketing::record(const FactorTrial& trial) {
    m_trials[trial.hundredths] = trial;
}

int FactorBracketing::runsExpected() const {
    const int done = runsDone();
    if (failure()) return done;
    if (scanning()) {
        const int scanned = m_trials.empty() ? 0 : m_trials.rbegin()->first;
        return done + (kScanEnd - scanned) / kScanStep + 2 * bisectionRuns(kScanStep);
    }
    int left = 0;
    if (const auto high = firstExceeding())
        left += bisectionRuns(*high - largestBelow(*high, false));
    if (const auto high = firstAtCrest()) left += bisectionRuns(*high - largestBelow(*high, true));
    return done + left;
}

// -------------------------------------------------------------------- result

std::vector<std::string> SafetyFactorResult::text(char decimal) const {
    std::vector<std::string> lines;
    const auto level = [&](double v) { return decimalText(v, 3, decimal) + " m"; };
    const auto flow = [&](double v) { return decimalText(v, 3, decimal) + " m3/s"; };
    if (cancelled)
        lines.push_back("Hledání bylo zrušeno; údaje platí jen pro výpočty, které doběhly.");
    if (failure)
        lines.push_back("Hledání skončilo předčasně: výpočet při k = " +
                        factor(failure->hundredths, decimal) + " nedoběhl: " + failure->message);

    if (firstOvertopping) {
        if (largestSafe == 0)
            lines.push_back("Nádrž přelije již při k = " + factor(*firstOvertopping, decimal) +
                            ": bezpečný násobek přítoku nebyl nalezen.");
        else
            lines.push_back(
                "Největší násobek přítoku bez přelití nádrže: k = " + factor(largestSafe, decimal) +
                (*firstOvertopping - largestSafe > 1
                     ? " (přelití nastává mezi " + factor(largestSafe, decimal) + " a " +
                           factor(*firstOvertopping, decimal) + ")"
                     : " (přelití od k = " + factor(*firstOvertopping, decimal) + ")"));
        if (*firstOvertopping <= kDesignFlood)
            lines.push_back("POZOR: nádrž přelije již při zadané povodni (k = 1).");
    } else if (complete()) {
        lines.push_back("Nádrž nepřelije ani při k = 10: k > 10.");
    } else if (largestSafe > 0) {
        lines.push_back("Bez přelití ověřeno do k = " + factor(largestSafe, decimal) + ".");
    }
    if (atLargestSafe) {
        lines.push_back("Kulminace přítoku při k = " + factor(largestSafe, decimal) + ": " +
                        flow(atLargestSafe->peakInflow) + " (zadaná povodeň " + flow(designPeak) +
                        ")");
        if (atLargestSafe->highestLevel)
            lines.push_back("Nejvyšší hladina: " + level(*atLargestSafe->highestLevel) +
                            " (přelití nádrže při " + level(overtoppingLevel) + ")");
        if (atLargestSafe->peakOutflow)
            lines.push_back("Kulminace odtoku: " + flow(*atLargestSafe->peakOutflow));
    }
    if (firstAtCrest)
        lines.push_back("Hladina dosáhne bezpečnostního přelivu (RN " + level(crestLevel) +
                        ") od k = " + factor(*firstAtCrest, decimal) + ".");
    else if (complete())
        lines.push_back("Hladina nedosáhne bezpečnostního přelivu (RN " + level(crestLevel) +
                        ") ani při k = 10.");
    if (fallingLevel)
        lines.push_back(
            "Nejvyšší hladina neroste s k všude (při k = " + factor(fallingLevel->second, decimal) +
            " je nižší než při k = " + factor(fallingLevel->first, decimal) +
            "): odezva nádrže na k není monotónní.");
    lines.push_back("Postup: hrubý krok k po 0" + std::string(1, decimal) +
                    "1 do 10, pak půlení intervalu na 0" + std::string(1, decimal) +
                    "01; počet výpočtů " + std::to_string(trials.size()) +
                    ". Kdyby odezva nádrže na k nebyla monotónní, nelze mezi body hrubého kroku "
                    "vyloučit dřívější přelití.");
    return lines;
}

// -------------------------------------------------------------------- search

float scaledInflow(float value, int hundredths) {
    // 100 x Q is exact in double, so k = 1 gives back Q itself. The flood
    // wave a run reads is written with the same operations.
    return static_cast<float>(static_cast<double>(hundredths) * value / 100.0);
}

std::string scaledInflowText(float value, int hundredths) {
    return floatText(scaledInflow(value, hundredths));
}

double writeScaledFloodWave(const fs::path& file, const std::vector<float>& inflow,
                            double numerator, double denominator) {
    std::ofstream wave(file, std::ios::binary);
    double peak = 0.0;
    for (float q : inflow) {
        const float scaled = static_cast<float>(numerator * q / denominator);
        peak = std::max(peak, static_cast<double>(scaled));
        wave << floatText(scaled) << " \r\n";
    }
    wave.close();
    if (!wave) throw StudyError("Soubor " + pathUtf8(file) + " nelze zapsat.");
    return peak;
}

std::string floatText(float value) {
    char buffer[32];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 9).ptr;
    return std::string(buffer, end);
}

FactorSearch::FactorSearch(const fs::path& inputsDir, std::optional<std::string> startLevel)
    : m_inputs(inputsDir), m_startLevel(std::move(startLevel)), m_bracketing(0.0) {
    project_files::SavedInputs inputs = project_files::readSavedInputs(inputsDir);
    if (m_startLevel)
        inputs.startLevel = project_files::SavedReal{
            project_files::coreReal(*m_startLevel).value_or(0.0f), *m_startLevel};
    // Every run would be refused, or route another reservoir than the inputs describe.
    if (const auto finding = project_files::inputsFinding(inputs)) throw InputsRefused(*finding);
    if (!inputs.inflow || inputs.inflow->empty())
        throw StudyError("Povodňovou vlnu (" + std::string(exchange::kFloodWave) + ", " +
                         exchange::kInflowPointCount + ") nelze přečíst z " + pathUtf8(inputsDir) +
                         ".");
    for (const project_files::SavedReal& q : *inputs.inflow)
        m_inflow.push_back(q.value);
    if (!inputs.crestHeight || !inputs.retentionHeight)
        throw StudyError("Výšku bezpečnostního přelivu a retenční výšku nelze přečíst z " +
                         pathUtf8(inputsDir) + ".");
    // The level series holds floats; so does the core's crest.
    m_bracketing = FactorBracketing(inputs.crestHeight->value);
    m_overtopping = *project_files::reservoirLevels(inputs).overtopping;
    std::error_code error;
    if (!m_startLevel && !fs::is_regular_file(inputsDir / exchange::kStartLevel, error))
        throw StudyError("Chybí výška vody na začátku řešení (" +
                         std::string(exchange::kStartLevel) + ").");
}

FactorSearch::~FactorSearch() = default;

bool FactorSearch::over() const {
    return m_cancelled || !m_bracketing.next();
}

void FactorSearch::cancel() {
    m_cancelled = true;
}

std::optional<fs::path> FactorSearch::prepareNext() {
    if (over()) {
        m_root.reset();
        return std::nullopt;
    }
    m_current = *m_bracketing.next();
    m_root = std::make_unique<ScratchRoot>();
    const fs::path dir = m_root->exchangeDir();
    for (const char* name : exchange::kCoreInputs) {
        const std::string_view file = name;
        if (file == exchange::kFloodWave) continue;
        if (file == exchange::kStartLevel && m_startLevel)
            writeOneLine(dir / name, *m_startLevel);
        else
            copyFile(m_inputs / name, dir / name);
    }
    m_currentPeak = writeScaledFloodWave(dir / exchange::kFloodWave, m_inflow, m_current, 100.0);
    return m_root->path();
}

void FactorSearch::finish(const CoreRunResult& run) {
    if (!m_root) return;
    // A run the study ended is no trial.
    if (m_cancelled || run.exitCode == kRunCancelled) {
        m_cancelled = true;
        m_root.reset();
        return;
    }
    const fs::path root = m_root->path();
    const RunOutcome outcome = judgeRun(run, root);
    FactorTrial trial;
    trial.hundredths = m_current;
    trial.end = outcome.end;
    trial.message = outcome.message;
    trial.peakInflow = m_currentPeak;
    const auto levels =
        project_files::readResultSeries(exchange::outResultDir(root) / exchange::kLevelSeries);
    const auto outflow =
        project_files::readResultSeries(exchange::outResultDir(root) / exchange::kOutflowSeries);
    if (levels && !levels->empty())
        trial.highestLevel = *std::max_element(levels->begin(), levels->end());
    if (outflow && !outflow->empty())
        trial.peakOutflow = *std::max_element(outflow->begin(), outflow->end());
    if (trial.safe() && (!trial.highestLevel || !trial.peakOutflow)) {
        trial.end = RunEnd::Failed;
        trial.message = "výsledky výpočtu nelze přečíst.";
    }
    m_bracketing.record(trial);
    m_root.reset();
}

std::optional<std::pair<int, int>> FactorBracketing::fallingLevel() const {
    const FactorTrial* previous = nullptr;
    for (const auto& [h, trial] : m_trials) {
        if (!trial.safe()) continue;
        if (previous && *trial.highestLevel < *previous->highestLevel - 0.0005)
            return std::make_pair(previous->hundredths, h);
        previous = &trial;
    }
    return std::nullopt;
}

SafetyFactorResult FactorSearch::result() const {
    SafetyFactorResult r;
    r.cancelled = m_cancelled && m_bracketing.next().has_value();
    if (const FactorTrial* failed = m_bracketing.failure()) r.failure = *failed;
    r.designPeak = m_inflow.empty() ? 0.0 : *std::max_element(m_inflow.begin(), m_inflow.end());
    r.crestLevel = m_bracketing.crestLevel();
    r.overtoppingLevel = m_overtopping;
    r.firstOvertopping = m_bracketing.firstExceeding();
    r.largestSafe = m_bracketing.largestSafe();
    r.firstAtCrest = m_bracketing.firstAtCrest();
    const auto& trials = m_bracketing.trials();
    if (const auto found = trials.find(r.largestSafe); found != trials.end())
        r.atLargestSafe = found->second;
    for (const auto& [h, trial] : trials)
        r.trials.push_back(trial);
    r.fallingLevel = m_bracketing.fallingLevel();
    return r;
}

SafetyFactorResult findSafetyFactor(const fs::path& inputsDir,
                                    std::optional<std::string> startLevel,
                                    const RunCoreInRoot& runCore,
                                    const std::function<bool(const FactorSearch&)>& progress) {
    FactorSearch search(inputsDir, std::move(startLevel));
    while (const auto root = search.prepareNext()) {
        search.finish(runCore(*root));
        if (progress && !progress(search)) search.cancel();
    }
    return search.result();
}

} // namespace study
