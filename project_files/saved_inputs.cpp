// The core's inputs read with the core's own reader.
#include "project_files/saved_inputs.h"

#include "exchange/file_names.h"
#include "exchange/free_format_reader.h"
#include "exchange/platform_files.h"

#include <array>
#include <charconv>
#include <stdexcept>

namespace project_files {

namespace {

namespace fs = std::filesystem;

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == ',';
}

// The lines as the core counts them: a line ends at LF (a CR before it is a
// separator), in a file without any LF at CR.
std::vector<std::string> splitLines(const std::string& content) {
    const char end = content.find('\n') != std::string::npos ? '\n' : '\r';
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < content.size();) {
        const std::size_t stop = std::min(content.find(end, start), content.size());
        lines.push_back(content.substr(start, stop - start));
        start = stop + 1;
    }
    return lines;
}

template <class Number> std::string shortestText(Number value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

// The whole part of a real count; below 1 nothing. Values are read one by
// one, so a huge count only meets the end of the file sooner.
std::int64_t wholeCount(float count) {
    if (!(count >= 1.0f)) return 0;
    if (count >= 0x1p62f) return std::int64_t{1} << 62;
    return static_cast<std::int64_t>(count);
}

// One input file read by the core's own calls: the file as the core takes it
// (a regular file of bounded size) and its reader, a table's or a one-value
// file's. Every read also gives the texts of the values it took: a read starts
// on a fresh line and ends on the line the reader names, so its values are the
// first tokens of those lines. The core's errors are runtime errors.
class InputFile {
public:
    InputFile(const FileSource& source, const char* name, exchange::Layout layout)
        : m_content(source(name)), m_lines(splitLines(m_content)),
          m_reader(m_content, name, layout) {}

    SavedReal real() {
        const int before = m_reader.lineNumber();
        const float value = m_reader.readReal();
        return {value, textOf(tokensSince(before), 0, value)};
    }

    SavedWhole whole() {
        const int before = m_reader.lineNumber();
        const std::int32_t value = m_reader.readWhole();
        return {value, textOf(tokensSince(before), 0, value)};
    }

    SavedCurveRow curveRow() {
        const int before = m_reader.lineNumber();
        std::array<float, 4> row{};
        m_reader.readReals(row);
        const std::vector<std::string> texts = tokensSince(before);
        const auto value = [&](std::size_t i) {
            return SavedReal{row[i], textOf(texts, i, row[i])};
        };
        return {value(0), value(1), value(2), value(3)};
    }

private:
    // The value texts on the lines after `before` up to the line the last
    // read ended on.
    std::vector<std::string> tokensSince(int before) const {
        std::vector<std::string> tokens;
        const auto last = static_cast<std::size_t>(m_reader.lineNumber());
        for (auto line = static_cast<std::size_t>(before); line < last && line < m_lines.size();
             ++line) {
            const std::string& text = m_lines[line];
            for (std::size_t pos = 0; pos < text.size();) {
                if (isSeparator(text[pos])) {
                    ++pos;
                    continue;
                }
                if (text[pos] == '/') return tokens;
                std::size_t end = pos;
                while (end < text.size() && !isSeparator(text[end]) && text[end] != '/')
                    ++end;
                tokens.push_back(text.substr(pos, end - pos));
                pos = end;
            }
        }
        return tokens;
    }

    // A value whose token the split did not find keeps its shortest text.
    template <class Number>
    static std::string textOf(const std::vector<std::string>& tokens, std::size_t index,
                              Number value) {
        return index < tokens.size() ? tokens[index] : shortestText(value);
    }

    std::string m_content;
    std::vector<std::string> m_lines;
    exchange::FreeFormatReader m_reader;
};

// What `read` takes from the file `name` of `dir`; empty when the file cannot
// be read or the core's reader stops on it.
template <class Read>
auto readFile(const FileSource& dir, const char* name, exchange::Layout layout, Read read)
    -> std::optional<decltype(read(std::declval<InputFile&>()))> {
    try {
        InputFile file(dir, name, layout);
        return read(file);
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
}

std::optional<SavedReal> readReal(const FileSource& dir, const char* name) {
    return readFile(dir, name, exchange::Layout::OneValue,
                    [](InputFile& file) { return file.real(); });
}

std::optional<SavedWhole> readWhole(const FileSource& dir, const char* name) {
    return readFile(dir, name, exchange::Layout::OneValue,
                    [](InputFile& file) { return file.whole(); });
}

std::optional<std::vector<SavedCurveRow>> readCurve(const FileSource& dir) {
    const std::optional<SavedWhole> count = readWhole(dir, exchange::kCurveRowCount);
    if (!count) return std::nullopt;
    return readFile(dir, exchange::kCurve, exchange::Layout::Table, [&](InputFile& file) {
        std::vector<SavedCurveRow> rows;
        for (std::int32_t row = 1; row <= count->value; ++row)
            rows.push_back(file.curveRow());
        return rows;
    });
}

std::optional<std::vector<SavedReal>> readInflow(const FileSource& dir) {
    const std::optional<SavedReal> count = readReal(dir, exchange::kInflowPointCount);
    if (!count) return std::nullopt;
    return readFile(dir, exchange::kFloodWave, exchange::Layout::Table, [&](InputFile& file) {
        std::vector<SavedReal> values;
        for (std::int64_t i = wholeCount(count->value); i > 0; --i)
            values.push_back(file.real());
        return values;
    });
}

} // namespace

SavedInputs readSavedInputs(const fs::path& dir) {
    return readSavedInputs(
        [&dir](const char* name) { return exchange::readInputFile(dir / name); });
}

SavedInputs readSavedInputs(const exchange::InputFiles& files) {
    return readSavedInputs([&files](const char* name) {
        for (const auto& [file, bytes] : files)
            if (file == name) return bytes;
        throw std::runtime_error(std::string("not read by the run: ") + name);
    });
}

SavedInputs readSavedInputs(const FileSource& dir) {
    SavedInputs inputs;
    inputs.startLevel = readReal(dir, exchange::kStartLevel);
    inputs.crestHeight = readReal(dir, exchange::kCrestHeight);
    inputs.retentionHeight = readReal(dir, exchange::kRetentionHeight);
    inputs.storageTopHeight = readReal(dir, exchange::kStorageTop);
    inputs.outletCount = readReal(dir, exchange::kOutletCount);
    inputs.outletDiameter = readReal(dir, exchange::kOutletDiameter);
    inputs.outletCoefficientScaled = readWhole(dir, exchange::kOutletCoefficient);
    inputs.spillwayWidth = readReal(dir, exchange::kSpillwayWidth);
    inputs.overflowCoefficientScaled = readReal(dir, exchange::kOverflowCoefficient);
    inputs.timeStepMinutes = readReal(dir, exchange::kTimeStep);
    inputs.manipulationMode = readWhole(dir, exchange::kManipulationMode);
    inputs.keepClosedAfterPeak = readWhole(dir, exchange::kKeepClosedAfterPeak);
    inputs.manipulationZoneHeight = readReal(dir, exchange::kManipulationZone);
    inputs.preReleaseStorage = readReal(dir, exchange::kPreReleaseStorage);
    inputs.preReleaseControlled = readReal(dir, exchange::kPreReleaseControlled);
    inputs.emptyAfterFlood = readReal(dir, exchange::kEmptyAfterFlood);
    inputs.curve = readCurve(dir);
    inputs.inflow = readInflow(dir);
    return inputs;
}

std::optional<exchange::InputFinding> inputsFinding(const SavedInputs& in) {
    using Q = exchange::InputQuantity;
    const auto value = [](Q quantity, const auto& saved) {
        return saved ? exchange::fileValueFinding(quantity, saved->value) : std::nullopt;
    };
    for (const auto& finding :
         {value(Q::CrestHeight, in.crestHeight), value(Q::RetentionHeight, in.retentionHeight),
          value(Q::OutletCount, in.outletCount), value(Q::OutletDiameter, in.outletDiameter),
          value(Q::OutletCoefficient, in.outletCoefficientScaled),
          value(Q::SpillwayWidth, in.spillwayWidth),
          value(Q::OverflowCoefficient, in.overflowCoefficientScaled),
          value(Q::StorageTop, in.storageTopHeight),
          value(Q::ManipulationZone, in.manipulationZoneHeight),
          value(Q::TimeStep, in.timeStepMinutes)})
        if (finding) return finding;
    if (in.curve) {
        std::vector<exchange::CurveRowValues> rows;
        for (const SavedCurveRow& row : *in.curve)
            rows.push_back({row.level.value, row.volume.value, row.area.value});
        if (auto finding = exchange::curveFinding(rows)) return finding;
    }
    if (in.inflow)
        for (std::size_t i = 0; i < in.inflow->size(); ++i)
            if (auto finding = exchange::valueFinding(Q::Inflow, (*in.inflow)[i].value,
                                                      static_cast<int>(i) + 1))
                return finding;
    if (in.startLevel && in.crestHeight && in.retentionHeight)
        return exchange::startLevelFinding(in.startLevel->value, in.crestHeight->value,
                                           in.retentionHeight->value);
    return std::nullopt;
}

std::optional<float> coreReal(const std::string& text) {
    exchange::FreeFormatReader reader(text, "");
    try {
        return reader.readReal();
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
}

ReservoirLevels reservoirLevels(const SavedInputs& inputs) {
    ReservoirLevels levels;
    if (inputs.storageTopHeight) levels.storageTop = inputs.storageTopHeight->value;
    if (inputs.crestHeight) levels.crest = inputs.crestHeight->value;
    // The sum in double, as the core compares a level with it.
    if (inputs.crestHeight && inputs.retentionHeight)
        levels.overtopping = static_cast<double>(inputs.crestHeight->value) +
                             static_cast<double>(inputs.retentionHeight->value);
    return levels;
}

std::optional<CurveLevels> curveLevels(const SavedInputs& inputs) {
    if (!inputs.curve || inputs.curve->empty()) return std::nullopt;
    const SavedReal& lowest = inputs.curve->front().level;
    const SavedReal& highest = inputs.curve->back().level;
    return CurveLevels{lowest.value, highest.value, lowest.text, highest.text};
}

} // namespace project_files
