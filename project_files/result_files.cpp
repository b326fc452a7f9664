// The result series the core writes under OUT_RESULT.
#include "project_files/result_files.h"

#include "project_files/file_io.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>

namespace project_files {

std::optional<std::vector<double>> readResultSeries(const std::filesystem::path& file) {
    const std::optional<std::string> bytes = readBytes(file);
    if (!bytes) return std::nullopt;
    constexpr std::string_view kBlanks = " \t\r";
    const std::string_view text = *bytes;
    std::vector<double> values;
    values.reserve(text.size() / 18); // the core's records: 16 characters and CR LF
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        const auto first = line.find_first_not_of(kBlanks);
        if (first == std::string_view::npos) continue;
        const std::string_view token =
            line.substr(first, line.find_first_of(kBlanks, first) - first);
        double value = 0.0;
        const auto [stop, error] =
            std::from_chars(token.data(), token.data() + token.size(), value);
        if (error != std::errc() || stop != token.data() + token.size()) return std::nullopt;
        values.push_back(value);
    }
    return values;
}

double stepHours(std::size_t step, double timeStepMin) {
    // The product first, so that whole hours stay whole ((i - 1) * 10 / 60,
    // not (i - 1) * 0.1666...).
    const double before = step > 0 ? static_cast<double>(step - 1) : 0.0;
    return before * timeStepMin / 60.0;
}

} // namespace project_files
