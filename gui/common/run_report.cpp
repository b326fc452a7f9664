// How a run of the core ended.
#include "gui/common/run_report.h"

#include "exchange/file_names.h"
#include "gui/common/input_fields.h"

#include <fstream>
#include <sstream>
#include <vector>

namespace gui {

namespace {

namespace fs = std::filesystem;

constexpr const char* kOvertoppingText = "doslo k preliti nadrze";
constexpr const char* kRoutingErrorText = "ERROR 3";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isStepLine(const std::string& line) {
    const std::string number = trimmed(line);
    return !number.empty() && number.find_first_not_of("0123456789") == std::string::npos;
}

bool isStopLine(const std::string& line) {
    return line.rfind("ERROR ", 0) == 0 || line.find(kOvertoppingText) != std::string::npos;
}

// The core's message of an error exit and the step it arose in (0: none known).
struct StopMessage {
    std::string line;
    long step = 0;
};

StopMessage stopMessage(const std::vector<std::string>& lines) {
    StopMessage message;
    long lastStep = 0;
    for (const std::string& line : lines) {
        if (isStepLine(line)) {
            lastStep = std::stol(trimmed(line).substr(0, 9)); // the core counts far below this
        } else if (isStopLine(line)) {
            message.line = line;
            // Each step line is printed once the step is done, so the step
            // that stopped is the next one.
            if (line.find(kOvertoppingText) != std::string::npos ||
                line.find(kRoutingErrorText) != std::string::npos)
                message.step = lastStep + 1;
            return message;
        }
    }
    return message;
}

std::string lastLineStartingWith(const std::vector<std::string>& lines, const std::string& start) {
    for (auto line = lines.rbegin(); line != lines.rend(); ++line)
        if (line->rfind(start, 0) == 0) return *line;
    return {};
}

std::string withSummary(std::string text, const std::optional<std::string>& summary) {
    if (summary) text += "\n\nSouhrn výpočtu:\n" + *summary;
    return text;
}

RunReport stopped(const std::vector<std::string>& lines,
                  const std::optional<std::string>& summary) {
    const StopMessage message = stopMessage(lines);
    std::string text = "Výpočet byl zastaven";
    if (message.step > 0) text += " v kroku " + std::to_string(message.step);
    text += ": jádro ohlásilo chybu.";
    if (message.line.find(kOvertoppingText) != std::string::npos)
        text = "Výpočet byl zastaven v kroku " + std::to_string(message.step) +
               ": došlo k přelití nádrže.";
    text += "\n\nHlášení jádra:\n" +
            (message.line.empty() ? std::string("(žádné hlášení)") : message.line);
    return {RunEnding::Stopped, withSummary(text, summary)};
}

RunReport refused(const std::vector<std::string>& lines) {
    const std::string error = lastLineStartingWith(lines, "*ERR*");
    std::string text = "Jádro odmítlo vstupní data, výpočet neproběhl.\n\nHlášení jádra:\n" +
                       (error.empty() ? std::string("(žádné hlášení)") : error);
    const std::vector<const InputField*> fields = fieldsNamedIn(error);
    if (!fields.empty()) {
        text += "\n\nOpravte:";
        for (const InputField* field : fields)
            text += "\n" + fieldLocation(*field);
    }
    return {RunEnding::Refused, text};
}

} // namespace

RunReport reportRun(const CoreExit& exit, const std::string& consoleText,
                    const std::optional<std::string>& summary) {
    const std::vector<std::string> lines = linesOf(consoleText);
    if (exit.crashed)
        return {RunEnding::Failed, "Výpočet selhal\n\nJádro bylo ukončeno dřív, než výpočet "
                                   "dokončilo (pád programu nebo násilné ukončení)."};
    switch (exit.code) {
    case exchange::kExitNormal:
        return {RunEnding::Done, withSummary("Výpočet doběhl", summary)};
    case exchange::kExitErrorExit:
        return stopped(lines, summary);
    case exchange::kExitInputError:
        return refused(lines);
    default:
        return {RunEnding::Failed, "Výpočet selhal\n\nJádro skončilo s neočekávaným stavem " +
                                       std::to_string(exit.code) + "."};
    }
}

std::optional<fs::file_time_type> summaryTime(const fs::path& summaryFile) {
    std::error_code error;
    const fs::file_time_type time = fs::last_write_time(summaryFile, error);
    if (error) return std::nullopt;
    return time;
}

std::optional<std::string> summaryWrittenSince(const fs::path& summaryFile,
                                               const std::optional<fs::file_time_type>& before) {
    const std::optional<fs::file_time_type> now = summaryTime(summaryFile);
    if (!now || (before && *before == *now)) return std::nullopt;
    std::ifstream in(summaryFile, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::erase(text, '\r');
    text.erase(text.find_last_not_of('\n') + 1);
    if (!in.good() && !in.eof()) return std::nullopt;
    if (text.empty()) return std::nullopt;
    return text;
}

} // namespace gui
