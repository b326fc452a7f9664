// The result series the core writes under OUT_RESULT.
#include "exchange/io/result_files.h"

#include "exchange/io/file_io.h"

#include <charconv>
#include <sstream>
#include <string>

namespace exchange {

std::optional<std::vector<double>> readResultSeries(const std::filesystem::path& file) {
    const std::optional<std::string> bytes = readBytes(file);
    if (!bytes) return std::nullopt;
    std::istringstream in(*bytes);
    std::vector<double> values;
    for (std::string line; std::getline(in, line);) {
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos) continue;
        const auto last = line.find_first_of(" \t\r", first);
        const std::string token = line.substr(first, last - first);
        double value = 0.0;
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
        if (error != std::errc() || end != token.data() + token.size()) return std::nullopt;
        values.push_back(value);
    }
    return values;
}

} // namespace exchange
