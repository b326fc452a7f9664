// Reading a run summary line by line: "label: value unit ...".
#include "study/run_summary.h"

#include "exchange/exchange_paths.h"
#include "exchange/run_summary.h"

#include <charconv>
#include <fstream>

namespace study {

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

template <class T> std::optional<T> parse(const std::string& token) {
    T value{};
    const char* first = token.data();
    const char* last = first + token.size();
    if (first != last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last) return std::nullopt;
    return value;
}

} // namespace

std::optional<std::string> RunSummary::text(const char* label) const {
    const auto found = lines.find(label);
    if (found == lines.end()) return std::nullopt;
    return found->second;
}

std::optional<double> RunSummary::number(const char* label) const {
    const auto value = text(label);
    if (!value) return std::nullopt;
    return parse<double>(value->substr(0, value->find(' ')));
}

std::optional<long> RunSummary::lastWhole(const char* label) const {
    const auto value = text(label);
    if (!value) return std::nullopt;
    const auto blank = value->rfind(' ');
    return parse<long>(blank == std::string::npos ? *value : value->substr(blank + 1));
}

std::optional<std::string> RunSummary::stopReason() const {
    return text(exchange::summary::kStopped);
}

std::optional<RunSummary> readRunSummary(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    RunSummary summary;
    std::string line;
    while (std::getline(in, line)) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        summary.lines[trimmed(line.substr(0, colon))] = trimmed(line.substr(colon + 1));
    }
    return summary;
}

std::optional<RunSummary> readRootSummary(const std::filesystem::path& root) {
    return readRunSummary(exchange::outResultDir(root) / exchange::summary::kFileName);
}

} // namespace study
