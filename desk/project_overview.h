// The open project at a glance, as the main window shows it: each input with
// whether it is saved and when, the last run with its key figures, and the
// last flood-safety assessment.
#pragma once

#include "desk/kept_assessment.h"
#include "project_files/run_summary_reader.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace desk {

/// One input the engineer saves from a form: the flood wave, the curve, the
/// technical data, the calculation settings.
struct InputOverview {
    const char* form = "";            // the form, as the menu names it
    std::vector<std::string> missing; // its fields whose files do not exist, as the form names them
    std::vector<std::string> unread;  // its fields whose files the core cannot read
    /// The newest of its files that exist.
    std::optional<std::filesystem::file_time_type> savedAt;
    bool saved() const { return missing.empty() && unread.empty(); }
};

/// What became of the last run, as far as the project's files tell.
enum class LastRun {
    None,     // no complete result set
    Done,     // the results of a run that ended normally
    Stopped,  // the results of a run stopped on an error exit
    Refused,  // a run started after the results did not replace them
    Outdated, // an input differs from those the results were computed from
};

struct RunOverview {
    LastRun state = LastRun::None;
    std::optional<std::filesystem::file_time_type> computedAt; // the summary's time
    std::string stopReason; // of a stopped run, as the summary gives it
    std::optional<int> stoppedStep;
    /// The set records the inputs it was computed from; a set of an earlier
    /// version does not, and is judged by the files' times.
    bool inputsKnown = true;
    std::string newerInput; // Outdated: the first input that differs from the run's
    std::optional<std::filesystem::file_time_type> newerInputTime;
    /// Peak inflow and outflow, the highest level and the freeboard (and the
    /// whole flood's peak of a stopped run), as the summary gives them, with
    /// a decimal comma.
    std::vector<project_files::SummaryLine> keyFigures;
};

struct ProjectOverview {
    std::string name;
    std::filesystem::path root;
    std::vector<InputOverview> inputs; // flood wave, curve, technical data, settings
    RunOverview run;
    std::optional<KeptAssessment> assessment;
};

/// Reads what the main window shows of the project at `root`. The start
/// level (IN_START_VYP), which every run consumes, is not an input the
/// overview waits for; its presence beside a result set is what tells a
/// run that did not replace the results (refused, or killed).
ProjectOverview readProjectOverview(const std::filesystem::path& root);

/// The state of the last run in one Czech sentence.
std::string lastRunText(const RunOverview& run);

/// The last flood-safety assessment in words: its time and verdict, or why
/// it is outdated; that none was made.
std::string assessmentText(const std::optional<KeptAssessment>& kept);

/// A file time as Czech engineers write it, in local time: "8. 12. 2026 10:49".
std::string czechDateTime(std::filesystem::file_time_type time);

} // namespace desk
