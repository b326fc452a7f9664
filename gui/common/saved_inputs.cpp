// Reading back the exchange files by the core's reading rules.
#include "gui/common/saved_inputs.h"

#include "exchange/file_names.h"
#include "gui/common/typed_number.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>

namespace gui {
namespace {

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '\r';
}

// Reads records from a stream one line at a time; a slash ends the record.
class RecordReader {
public:
    explicit RecordReader(std::istream& in) : m_in(in) {}

    // Appends up to `needed` values to `values`, starting on a new line and
    // going on to the next lines; false at the end of the file or a slash.
    bool read(std::vector<std::string>& values, int needed) {
        while (static_cast<int>(values.size()) < needed) {
            std::string line;
            if (!std::getline(m_in, line)) return false;
            std::size_t pos = 0;
            while (static_cast<int>(values.size()) < needed) {
                while (pos < line.size() && isSeparator(line[pos]))
                    ++pos;
                if (pos == line.size()) break;
                if (line[pos] == '/') return false;
                const std::size_t end = line.find_first_of(" \t,\r/", pos);
                values.push_back(line.substr(pos, end - pos));
                pos = end == std::string::npos ? line.size() : end;
            }
        }
        return true;
    }

private:
    std::istream& m_in;
};

} // namespace

std::optional<std::string> readSavedText(const std::filesystem::path& file) {
    const auto records = readSavedRecords(file, 1, 1);
    if (!records) return std::nullopt;
    return records->front().front();
}

std::optional<std::vector<std::vector<std::string>>>
readSavedRecords(const std::filesystem::path& file, long count, int valuesPerRecord) {
    std::ifstream in(file, std::ios::binary);
    if (!in || std::filesystem::is_directory(file)) return std::nullopt;
    std::vector<std::vector<std::string>> records;
    RecordReader reader(in);
    for (long i = 0; i < count; ++i) {
        std::vector<std::string> values;
        if (!reader.read(values, valuesPerRecord)) return std::nullopt;
        records.push_back(std::move(values));
    }
    return records;
}

std::optional<double> savedNumber(const std::string& text) {
    const ParsedNumber number = parseSavedNumber(text);
    if (!number) return std::nullopt;
    return number.value;
}

std::optional<double> readSavedNumber(const std::filesystem::path& file) {
    const auto text = readSavedText(file);
    return text ? savedNumber(*text) : std::nullopt;
}

std::optional<std::vector<std::string>> readSavedFloodWaveTexts(const std::filesystem::path& dir) {
    const auto count = readSavedNumber(dir / exchange::kInflowPointCount);
    if (!count) return std::nullopt;
    // The core takes the whole part; beyond its own reach there is no wave.
    const double whole = std::trunc(*count);
    if (whole > static_cast<double>(std::numeric_limits<int>::max())) return std::nullopt;
    const auto records = readSavedRecords(dir / exchange::kFloodWave, static_cast<long>(whole), 1);
    if (!records) return std::nullopt;
    std::vector<std::string> wave;
    wave.reserve(records->size());
    for (const auto& record : *records) {
        if (!savedNumber(record.front())) return std::nullopt;
        wave.push_back(record.front());
    }
    return wave;
}

std::optional<std::vector<double>> readSavedFloodWave(const std::filesystem::path& dir) {
    const auto texts = readSavedFloodWaveTexts(dir);
    if (!texts) return std::nullopt;
    std::vector<double> wave;
    wave.reserve(texts->size());
    for (const std::string& text : *texts)
        wave.push_back(*savedNumber(text));
    return wave;
}

std::optional<std::vector<std::vector<std::string>>>
readSavedCurve(const std::filesystem::path& dir) {
    const auto count = readSavedText(dir / exchange::kCurveRowCount);
    // The core reads the row count as a whole number: "36.0" is no count.
    long rows = 0;
    if (!count) return std::nullopt;
    const char* first = count->data();
    const char* last = first + count->size();
    if (first != last && *first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, rows);
    if (error != std::errc() || end != last || rows > std::numeric_limits<int>::max())
        return std::nullopt;
    auto records = readSavedRecords(dir / exchange::kCurve, rows, 4);
    if (!records) return std::nullopt;
    for (const auto& record : *records)
        for (const std::string& value : record)
            if (!savedNumber(value)) return std::nullopt;
    return records;
}

std::optional<CurveLevels> readSavedCurveLevels(const std::filesystem::path& dir) {
    const auto curve = readSavedCurve(dir);
    if (!curve || curve->empty()) return std::nullopt;
    constexpr std::size_t kLevel = 1; // h [m], the core's level
    CurveLevels levels;
    levels.lowestText = curve->front()[kLevel];
    levels.highestText = curve->back()[kLevel];
    levels.lowest = *savedNumber(levels.lowestText);
    levels.highest = *savedNumber(levels.highestText);
    return levels;
}

} // namespace gui
