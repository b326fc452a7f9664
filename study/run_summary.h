// The figures of a run summary (OUT_RESULT/souhrn_vypoctu), found by label.
// A minimal reader of the study's own until the front end's summary loader
// can be used from here; everything reads a summary through this one function.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace study {

struct RunSummary {
    std::map<std::string, std::string> lines; // label -> the text after ':', trimmed

    /// The text after a label; empty when the run has no such line.
    std::optional<std::string> text(const char* label) const;
    /// The first blank-separated token after a label as a number.
    std::optional<double> number(const char* label) const;
    /// The last token after a label as a whole number ("... v kroku 12" -> 12).
    std::optional<long> lastWhole(const char* label) const;
    /// The stop line ("přelití nádrže v kroku 14"); empty after a normal end.
    std::optional<std::string> stopReason() const;
};

/// The summary in `file`; empty when it cannot be read.
std::optional<RunSummary> readRunSummary(const std::filesystem::path& file);

/// The summary of the run in an installation root.
std::optional<RunSummary> readRootSummary(const std::filesystem::path& root);

} // namespace study
