// The dam's safety margin: the largest factor k by which the whole inflow
// series can be multiplied (same shape, all else unchanged) before the
// reservoir overtops, to 0.01, and the smallest k at which the level reaches
// the spillway crest (RN). Found by running the core once per k, each run in
// a temporary root of its own: a coarse scan 0.1 apart up to 10 finds the
// first overtopping, then bisection narrows each bracket to 0.01.
#pragma once

#include "study/core_run.h"
#include "study/study_files.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace study {

inline constexpr int kScanStep = 10;  // k x 100 between the coarse scan's points
inline constexpr int kScanEnd = 1000; // the scan's last k x 100 (k = 10)
inline constexpr int kDesignFlood = 100;

/// One run at a factor k.
struct FactorTrial {
    int hundredths = 0;                 // k x 100
    RunEnd end = RunEnd::Normal;        // Normal: no overtopping
    double peakInflow = 0.0;            // m3/s, the largest scaled inflow
    std::optional<double> highestLevel; // m, over the steps routed
    std::optional<double> peakOutflow;  // m3/s, over the steps routed
    std::string message;                // the core's line when it did not end normally

    double k() const { return hundredths / 100.0; }
    bool safe() const { return end == RunEnd::Normal; }
    bool overtopped() const { return end == RunEnd::Overtopped; }
    bool failed() const { return !safe() && !overtopped(); }
};

/// Which k to run next, from the trials so far; no files, no runs. The answer
/// is read off the trials: the smallest k that exceeds (overtops, or with a
/// limit level rises above it) and the largest safe k below it (k = 0, no
/// inflow, counts as safe and below the crest).
class FactorBracketing {
public:
    explicit FactorBracketing(double crestLevel) : m_crest(crestLevel) {}
    /// The search for the largest k whose highest level stays at or below
    /// `limitLevel` without overtopping; the crest is not followed.
    static FactorBracketing belowLimit(double limitLevel);
    double crestLevel() const { return m_crest; }

    /// k x 100 of the next run; empty when the search is over (both brackets
    /// narrowed to 0.01, or a run failed).
    std::optional<int> next() const;
    /// k x 100 of up to `width` runs that can go at once: the scan's next
    /// points, or points that cut the first bracket still wider than 0.01
    /// into equal parts (width 1: next()). Empty when the search is over.
    std::vector<int> nextBatch(int width) const;
    void record(const FactorTrial& trial);

    const std::map<int, FactorTrial>& trials() const { return m_trials; }
    const FactorTrial* failure() const;
    /// Whether a run goes past what the search brackets: overtopping, or a
    /// highest level above the limit level of belowLimit().
    bool exceeds(const FactorTrial& trial) const;
    /// The smallest k x 100 that exceeds.
    std::optional<int> firstExceeding() const;
    /// The largest safe k x 100 below the first that exceeds (or below the end
    /// of the scan when none), 0 when there is none.
    int largestSafe() const;
    /// The smallest k x 100 at which the level reached the crest; empty
    /// for a search below a limit.
    std::optional<int> firstAtCrest() const;
    bool reachesCrest(const FactorTrial& trial) const;
    /// The first pair of safe runs (k x 100 before, at) where the highest
    /// level fell by more than half a millimetre as k rose: the response is
    /// not monotonic there. Empty where it never fell.
    std::optional<std::pair<int, int>> fallingLevel() const;
    /// Runs done and a guess of the runs left, for a progress bar.
    int runsDone() const { return static_cast<int>(m_trials.size()); }
    int runsExpected() const;

private:
    bool scanning() const;
    int largestBelow(int limit, bool belowCrest) const;

    double m_crest;
    std::optional<double> m_limit; // m, belowLimit()
    std::map<int, FactorTrial> m_trials;
};

/// The answer of a search.
struct SafetyFactorResult {
    bool cancelled = false;
    std::optional<FactorTrial> failure;  // the run that ended the search early
    double designPeak = 0.0;             // m3/s, Q_max of the unscaled inflow
    double crestLevel = 0.0;             // RN [m]
    double overtoppingLevel = 0.0;       // RN + retention height [m]
    std::optional<int> firstOvertopping; // k x 100 of the smallest overtopping found
    int largestSafe = 0;                 // k x 100
    std::optional<FactorTrial> atLargestSafe;
    std::optional<int> firstAtCrest; // k x 100
    std::vector<FactorTrial> trials; // every run, by k
    // Two safe runs, k x 100, where the larger k gave a lower highest level.
    std::optional<std::pair<int, int>> fallingLevel;

    /// Complete: neither cancelled nor ended by a failure.
    bool complete() const { return !cancelled && !failure; }
    /// No overtopping up to k = 10.
    bool beyondScan() const { return complete() && !firstOvertopping; }
    /// The Czech report, numbers with `decimal` as their decimal separator.
    std::vector<std::string> text(char decimal = ',') const;
};

/// The search over real files. The inputs of `inputsDir` (a complete set of
/// IN_* files) are read once; `startLevel`, when given, replaces the text of
/// its IN_START_VYP (which the core deletes after each run).
class FactorSearch {
public:
    /// Throws StudyError when the inputs cannot be read.
    explicit FactorSearch(const std::filesystem::path& inputsDir,
                          std::optional<std::string> startLevel = std::nullopt);
    ~FactorSearch();

    /// Prepares the next run: a fresh root holding the inputs with every
    /// inflow value multiplied by k (computed in double from the value the
    /// core reads, rounded to float once, written with nine significant
    /// digits, so that the core reads exactly that float). Empty when the
    /// search is over. Throws StudyError when the root cannot be prepared.
    std::optional<std::filesystem::path> prepareNext();
    /// The run of the root prepared last; removes that root. A run that was
    /// cancelled (kRunCancelled, or after cancel()) is no trial and ends the
    /// search.
    void finish(const CoreRunResult& run);
    /// Ends the search; a root prepared stays until finish() or the end of
    /// the search, so that it is never removed under a running core.
    void cancel();

    bool over() const;
    int currentHundredths() const { return m_current; }
    const FactorBracketing& bracketing() const { return m_bracketing; }
    SafetyFactorResult result() const;

private:
    std::filesystem::path m_inputs;
    std::optional<std::string> m_startLevel;
    std::vector<float> m_inflow; // as the core reads it
    double m_overtopping = 0.0;
    FactorBracketing m_bracketing;
    std::unique_ptr<ScratchRoot> m_root;
    int m_current = 0;
    double m_currentPeak = 0.0;
    bool m_cancelled = false;
};

/// The whole search with blocking runs. `progress` is called after each run;
/// it returns false to cancel.
SafetyFactorResult findSafetyFactor(const std::filesystem::path& inputsDir,
                                    std::optional<std::string> startLevel,
                                    const RunCoreInRoot& runCore,
                                    const std::function<bool(const FactorSearch&)>& progress = {});

/// An inflow value the core reads multiplied by k = hundredths / 100, and
/// its text as written into IN_FLOOD_WAVE.
float scaledInflow(float value, int hundredths);
std::string scaledInflowText(float value, int hundredths);

/// Writes `file` (IN_FLOOD_WAVE) with every inflow value multiplied by
/// numerator / denominator as scaledInflow() multiplies it; the largest value
/// written. Throws StudyError when the file cannot be written.
double writeScaledFloodWave(const std::filesystem::path& file, const std::vector<float>& inflow,
                            double numerator, double denominator);

/// A float with nine significant digits, which the core reads back as the
/// same float.
std::string floatText(float value);

/// A number with `decimals` digits after `decimal`, whatever the process's
/// locale (a Czech one would put a comma into the files the core reads).
std::string decimalText(double value, int decimals, char decimal);

} // namespace study
