// The flood-safety assessment of a dam: the control flood routed from a
// pessimistic start with every outlet in service, one out of service and
// none; the control maximum level KMH of each case against the limit safe
// level MBH, the verdict of the deciding case, the floods of a table of
// return periods, and the largest multiple k of the control flood that keeps
// KMH <= MBH. Each run of the core in a temporary root of its own, the
// independent runs at once on the machine's cores; the inputs read once.
#pragma once

#include "study/core_run.h"

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace study {

/// Which bottom outlets pass water: all n, n - 1 (at least 0), none.
enum class OutletCase { All, OneOut, None };
inline constexpr std::array<OutletCase, 3> kOutletCases = {OutletCase::All, OutletCase::OneOut,
                                                           OutletCase::None};

/// The case in words: "všechny výpusti v provozu", "jedna výpust mimo provoz",
/// "žádná výpust v provozu".
const char* outletCaseName(OutletCase outletCase);
/// The command line's word: "vsechny", "n-1", "zadne".
const char* outletCaseWord(OutletCase outletCase);
std::optional<OutletCase> outletCaseFromWord(std::string_view word);

/// One row of the decree's table of the safety a dam must have during a
/// flood: a hint for the return period N.
struct RequiredSafety {
    const char* key;           // "A1" ... "C2", as the settings keep it
    const char* group;         // the damage group and the dam's category, in words
    const char* lossOfLife;    // whether considerable loss of life is expected
    const char* returnPeriods; // N as the decree gives it ("50 až 20")
    int years;                 // the N it suggests
};
const std::array<RequiredSafety, 6>& requiredSafetyTable();
/// The row of `key`; null for an unknown or empty key.
const RequiredSafety* requiredSafety(std::string_view key);

/// What the engineer sets; numbers as typed (a decimal point or comma).
struct AssessmentSettings {
    std::string returnPeriod; // N [years]; empty: not given
    std::string damageGroup;  // RequiredSafety::key; empty: not given
    std::string startLevel;   // m; empty: the top of the storage zone (IN_START_RO)
    std::string mbh;          // m, required
    OutletCase deciding = OutletCase::OneOut;
    std::vector<std::string> tabledFloods; // "N:Q" each, N in years, Q_N in m3/s
};

enum class SettingField { ReturnPeriod, StartLevel, Mbh, TabledFlood };

/// A setting refused, with the Czech sentence that names the field (a
/// tabled flood also by its number, from 1).
class SettingRefused : public StudyError {
public:
    SettingRefused(SettingField field, int index, const std::string& message)
        : StudyError(message), field(field), index(index) {}
    SettingField field;
    int index; // the tabled flood, from 0; -1 for the other fields
};

/// A flood of the table: the return period and its peak flow.
struct TabledFlood {
    int years = 0;     // N
    double peak = 0.0; // Q_N [m3/s]
};

/// The settings as checked, with what the inputs hold.
struct AssessmentPlan {
    std::optional<int> returnPeriod; // N [years]
    std::string damageGroup;         // RequiredSafety::key, or empty
    std::string startLevelText;      // as IN_START_VYP of every run holds it
    double startLevel = 0.0;         // m
    bool startAtStorageTop = false;  // the default start: RO
    double mbh = 0.0;                // m
    OutletCase deciding = OutletCase::OneOut;
    std::vector<TabledFlood> floods; // by N, rising
    double crest = 0.0;              // RN [m]
    double overtopping = 0.0;        // RN + retention height [m]
    double outletCount = 0.0;        // n, as the core reads it
    double designPeak = 0.0;         // m3/s, the peak of the project's flood wave
    double timeStepMinutes = 0.0;
    /// The outlets open in a case: n, max(n - 1, 0), 0.
    double outlets(OutletCase outletCase) const;
};

/// One run of the assessment.
struct Routing {
    RunEnd end = RunEnd::Normal;
    std::string message;                // the core's line when it did not end normally
    std::optional<double> highestLevel; // KMH [m] over the steps routed
    int highestStep = 0;                // its step, from 1
    std::optional<int> overtoppingStep; // of an overtopped run
    std::optional<double> peakOutflow;  // m3/s
    std::vector<double> levels;         // every step's level [m]; of the outlet cases only

    bool holds(double mbh) const {
        return end == RunEnd::Normal && highestLevel && *highestLevel <= mbh;
    }
    bool failed() const { return end != RunEnd::Normal && end != RunEnd::Overtopped; }
};

struct CaseRouting {
    OutletCase outletCase = OutletCase::All;
    Routing routing;
};

struct FloodRouting {
    TabledFlood flood;
    Routing routing; // in the deciding case
};

/// The largest multiple k of the control flood with KMH <= MBH in the
/// deciding case, found as the safety margin finds k (a scan 0.1 apart up
/// to 10, then brackets narrowed to 0.01) with MBH in place of the
/// overtopping level.
struct FactorAnswer {
    int largestSafe = 0;                // k x 100; 0: none
    std::optional<int> firstExceeding;  // k x 100; empty: none up to k = 10
    std::optional<int> fallingFrom, to; // two safe k x 100, the larger with a lower KMH
};

struct AssessmentResult {
    AssessmentPlan plan;
    std::vector<CaseRouting> cases; // All, OneOut, None; empty when cancelled first
    std::vector<FloodRouting> floods;
    std::optional<FactorAnswer> factor; // empty when the search did not end
    bool cancelled = false;
    std::string failure; // why the assessment is incomplete (a run failed); empty otherwise
    int runs = 0;        // runs of the core
    /// The inputs the runs read, each file's name and a digest of its bytes.
    std::vector<std::pair<std::string, std::string>> inputDigests;

    /// Every run went through: not cancelled, none failed.
    bool complete() const { return !cancelled && failure.empty() && cases.size() == 3; }
    const CaseRouting* caseOf(OutletCase outletCase) const;
    /// Complete, and the deciding case keeps KMH <= MBH.
    bool holds() const;

    /// The verdict in one sentence: "Vodní dílo při kontrolní povodni
    /// vyhovuje: KMH 13,476 m ≤ MBH 13,500 m, rezerva 0,024 m (jedna výpust
    /// mimo provoz)." Numbers with `decimal` as their separator.
    std::string sentence(char decimal = ',') const;
    /// The settings as label and value.
    std::vector<std::pair<std::string, std::string>> settingRows(char decimal = ',') const;
    /// One line per outlet case: its name, KMH or the overtopping step, the
    /// reserve MBH - KMH and the verdict.
    std::string caseLine(const CaseRouting& routed, char decimal = ',') const;
    /// The table of the cases: its headers, and a case's cells under them.
    static const std::vector<std::string>& caseHeaders();
    std::vector<std::string> caseCells(const CaseRouting& routed, char decimal = ',') const;
    /// What else the assessment found, a paragraph a line: a cancel or a
    /// failure, cases that coincide, the table of return periods, k.
    std::vector<std::string> findings(char decimal = ',') const;
};

/// After every run, from the thread that ran it (one call at a time): runs
/// done and a guess of all runs; false cancels the runs not yet begun.
using AssessmentProgress = std::function<bool(int done, int expected)>;

/// An assessment of the inputs of an exchange directory: the inputs read
/// once into a snapshot that every run copies, the settings checked.
class Assessment {
public:
    /// Throws SettingRefused naming the field, StudyError when the inputs
    /// cannot be read. Numbers in messages with `decimal`.
    Assessment(const std::filesystem::path& inputsDir, const AssessmentSettings& settings,
               char decimal = ',');
    ~Assessment();
    Assessment(const Assessment&) = delete;
    Assessment& operator=(const Assessment&) = delete;

    const AssessmentPlan& plan() const { return m_plan; }

    /// Routes the three cases and the tabled floods, then searches k: on up
    /// to `threads` threads at once (0: the machine's cores), each calling
    /// `runCore`, which must be callable from several threads at once and
    /// should end its core early (kRunCancelled) once a cancel was asked.
    AssessmentResult run(const RunCoreInRoot& runCore, const AssessmentProgress& progress = {},
                         int threads = 0) const;

private:
    class Snapshot;
    std::unique_ptr<Snapshot> m_inputs;
    char m_decimal;
    AssessmentPlan m_plan;
    std::vector<float> m_inflow; // as the core reads it
};

/// A digest of every core input but the start level in `dir` (FNV-1a of its
/// bytes, "chybí" for a file that is not there), to tell later whether the
/// inputs are still those.
std::vector<std::pair<std::string, std::string>> inputDigests(const std::filesystem::path& dir);

} // namespace study
