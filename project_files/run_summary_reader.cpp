// Reading the run summary and the age of the results.
#include "project_files/run_summary_reader.h"

#include "exchange/run_summary.h"
#include "project_files/file_io.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <fstream>
#include <sstream>

#ifdef __unix__
#include <sys/stat.h>
#endif

namespace project_files {

namespace {

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> tokens(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string token; in >> token;)
        result.push_back(token);
    return result;
}

std::optional<double> number(const std::string& text) {
    double value = 0.0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<int> whole(const std::string& text) {
    int value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) return std::nullopt;
    return value;
}

/// The first token of the value text as a number.
std::optional<double> leadingNumber(const std::vector<std::string>& words) {
    return words.empty() ? std::nullopt : number(words.front());
}

/// The whole number that follows the word `after` ("v kroku 10" -> 10).
std::optional<int> wholeAfter(const std::vector<std::string>& words, const std::string& after) {
    for (std::size_t i = 0; i + 1 < words.size(); ++i)
        if (words[i] == after) return whole(words[i + 1]);
    return std::nullopt;
}

/// The number that opens the parenthesis of the value text ("(2 kroky)" -> 2).
std::optional<double> numberInParentheses(const std::string& text) {
    const std::size_t open = text.find('(');
    if (open == std::string::npos) return std::nullopt;
    const auto words = tokens(text.substr(open + 1));
    if (words.empty()) return std::nullopt;
    std::string first = words.front();
    if (!first.empty() && first.back() == ')') first.pop_back();
    return number(first);
}

std::optional<int> asWhole(std::optional<double> value) {
    if (!value || *value != std::trunc(*value) || std::fabs(*value) > 2e9) return std::nullopt;
    return static_cast<int>(*value);
}

/// Takes one line's figures into `run`; false when the label is not known.
bool takeLine(const std::string& label, const std::string& text, RunSummary& run) {
    const std::vector<std::string> words = tokens(text);
    const std::optional<double> value = leadingNumber(words);
    if (label == exchange::summary::kSteps) {
        run.steps = asWhole(value);
        // "48 z 48", or the count in parentheses: "48 (z 48 ...)".
        for (std::size_t i = 1; i + 1 < words.size(); ++i)
            if (words[i] == "z" || words[i] == "(z") {
                run.stepsGiven = whole(words[i + 1]);
                break;
            }
    } else if (label == exchange::summary::kTimeStep) {
        run.timeStepMin = value;
    } else if (label == exchange::summary::kInflowPeak) {
        run.inflowPeak = value;
        run.inflowPeakStep = wholeAfter(words, "kroku");
    } else if (label == exchange::summary::kFloodPeak) {
        run.floodPeak = value;
        run.floodPeakStep = wholeAfter(words, "kroku");
    } else if (label == exchange::summary::kOutflowPeak) {
        run.outflowPeak = value;
        run.outflowPeakStep = wholeAfter(words, "kroku");
    } else if (label == exchange::summary::kAttenuation) {
        run.attenuationPercent = value;
    } else if (label == exchange::summary::kPeakLag) {
        run.peakLagHours = value;
        run.peakLagSteps = asWhole(numberInParentheses(text));
    } else if (label == exchange::summary::kHighestLevel) {
        run.highestLevel = value;
        run.highestLevelStep = wholeAfter(words, "kroku");
    } else if (label == exchange::summary::kOvertoppingLevel) {
        run.overtoppingLevel = value;
    } else if (label == exchange::summary::kFreeboard) {
        run.freeboard = value;
    } else if (label == exchange::summary::kFloodVolume) {
        run.floodVolume = value;
    } else if (label == exchange::summary::kReleasedVolume) {
        run.releasedVolume = value;
    } else if (label == exchange::summary::kNetInflow) {
        run.netInflow = value;
    } else if (label == exchange::summary::kStorageChange) {
        run.storageChange = value;
    } else if (label == exchange::summary::kBalanceError) {
        run.balanceErrorPercent = value;
        run.balanceErrorVolume = numberInParentheses(text);
    } else if (label == exchange::summary::kStopped) {
        run.stopped = true;
        run.stopReason = text;
        run.stoppedStep = wholeAfter(words, "kroku");
    } else {
        return false;
    }
    return true;
}

/// When a file got its present content (its modification time) and, where
/// the system tells it, when it was put in its place (a copy that kept an
/// older modification time, a rename).
struct FileTimes {
    std::filesystem::file_time_type modified;
    std::optional<std::filesystem::file_time_type> placed;

    std::filesystem::file_time_type saved() const {
        return placed ? std::max(modified, *placed) : modified;
    }
};

FileTimes fileTimes(const std::filesystem::path& file, std::error_code& code) {
    FileTimes times{std::filesystem::last_write_time(file, code), std::nullopt};
#ifdef __unix__
    struct stat status {};
    if (!code && ::stat(file.c_str(), &status) == 0)
        times.placed = std::chrono::file_clock::from_sys(std::chrono::system_clock::time_point(
            std::chrono::duration_cast<std::chrono::system_clock::duration>(
                std::chrono::seconds(status.st_ctim.tv_sec) +
                std::chrono::nanoseconds(status.st_ctim.tv_nsec))));
#endif
    return times;
}

/// Whether an input was saved after a result: written after it, or put in
/// its place after the result was put in its place. Like is compared with
/// like, so a project copied whole with its modification times kept (inputs
/// first, results after them) stands as it stood.
bool savedAfter(const FileTimes& input, const FileTimes& result) {
    if (input.modified > result.modified) return true;
    return input.placed && result.placed && *input.placed > *result.placed;
}

} // namespace

RunSummary parseRunSummary(std::istream& in) {
    RunSummary run;
    std::string line;
    for (bool first = true; std::getline(in, line); first = false) {
        if (first && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3); // a byte order mark
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string label = trimmed(line.substr(0, colon));
        const std::string text = trimmed(line.substr(colon + 1));
        if (takeLine(label, text, run)) run.lines.push_back({label, text});
    }
    return run;
}

SummaryRead readRunSummary(const std::filesystem::path& path) {
    std::error_code code;
    if (!std::filesystem::exists(path, code)) return {};
    if (std::filesystem::is_directory(path, code))
        return {std::nullopt, fileErrorText(EISDIR, path)};
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) return {std::nullopt, fileErrorText(errno != 0 ? errno : EIO, path)};
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return {std::nullopt, fileErrorText(EIO, path)};
    std::istringstream text(content.str());
    return {parseRunSummary(text), {}};
}

ResultAge resultAge(const std::filesystem::path& resultFile,
                    const std::filesystem::path& exchangeDir) {
    ResultAge age;
    std::error_code code;
    const FileTimes computed = fileTimes(resultFile, code);
    if (code) return age;
    age.computed = computed.modified;
    // Stepped with an error code: a directory that fails part of the way ends
    // the search instead of throwing.
    for (std::filesystem::directory_iterator it(exchangeDir, code), end; !code && it != end;
         it.increment(code)) {
        const std::string name = it->path().filename().string();
        std::error_code unreadable;
        if (name.rfind("IN_", 0) != 0 || !it->is_regular_file(unreadable)) continue;
        const FileTimes written = fileTimes(it->path(), unreadable);
        if (unreadable || !savedAfter(written, computed)) continue;
        if (!age.newerInputTime || written.saved() > *age.newerInputTime) {
            age.newerInput = name;
            age.newerInputTime = written.saved();
        }
    }
    return age;
}

long long secondsSinceEpoch(std::filesystem::file_time_type time) {
    const auto system = std::chrono::file_clock::to_sys(time);
    return std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
}

} // namespace project_files
