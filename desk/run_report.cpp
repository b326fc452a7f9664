// How a run of the core ended.
#include "desk/run_report.h"

#include "desk/input_fields.h"
#include "desk/run_advice.h"
#include "desk/typed_number.h"
#include "exchange/file_names.h"
#include "project_files/run_summary_reader.h"

#include <cctype>
#include <fstream>
#include <sstream>
#include <vector>

namespace desk {

namespace {

namespace fs = std::filesystem;

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
    return line.rfind("ERROR ", 0) == 0 || stopKind(line) == StopKind::Overtopping;
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
            const StopKind kind = stopKind(line);
            if (kind == StopKind::Overtopping || kind == StopKind::StepOffCurve)
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

// The summary's figures as the user reads them: with decimal commas.
std::string withSummary(std::string text, const std::optional<std::string>& summary) {
    if (summary) text += "\n\nSouhrn výpočtu:\n" + czechFigures(*summary);
    return text;
}

std::optional<project_files::RunSummary> parsedSummary(const std::optional<std::string>& summary) {
    if (!summary) return std::nullopt;
    std::istringstream in(*summary);
    return project_files::parseRunSummary(in);
}

RunReport stopped(const std::vector<std::string>& lines, const std::optional<std::string>& summary,
                  const project_files::SavedInputs& inputs) {
    const StopMessage message = stopMessage(lines);
    const StopKind kind = stopKind(message.line);
    std::string text = "Výpočet byl zastaven";
    if (message.step > 0) text += " v kroku " + std::to_string(message.step);
    text += kind == StopKind::Overtopping ? ": došlo k přelití nádrže." : ": jádro ohlásilo chybu.";
    text += "\n\nHlášení jádra:\n" +
            (message.line.empty() ? std::string("(žádné hlášení)") : message.line);
    if (std::string advice = stopAdvice(kind, message.step, inputs, parsedSummary(summary));
        !advice.empty())
        text += "\n\n" + advice;
    return {RunEnding::Stopped, withSummary(text, summary)};
}

// The number after "*ERR*"; -1 when there is none.
int errorCode(const std::string& line) {
    std::size_t at = line.find_first_not_of(' ', 5);
    int code = -1;
    for (; at < line.size() && line[at] >= '0' && line[at] <= '9' && code < 1000; ++at)
        code = (code < 0 ? 0 : code * 10) + (line[at] - '0');
    return code;
}

// The file a result error names and the reason after it, as the core writes
// them: "... /root/OUT_RESULT/vyska_vody (No space left on device)". The
// path begins with '/' or a drive ("C:\"); empty parts when not found.
std::pair<std::string, std::string> fileAndReason(const std::string& line) {
    std::size_t path = line.find('/');
    for (std::size_t i = 1; i + 1 < line.size(); ++i)
        if (line[i] == ':' && (line[i + 1] == '\\' || line[i + 1] == '/') &&
            std::isalpha(static_cast<unsigned char>(line[i - 1])) && i - 1 < path) {
            path = i - 1;
            break;
        }
    const std::size_t open = line.rfind(" (");
    if (path == std::string::npos || open == std::string::npos || open < path || line.back() != ')')
        return {};
    return {line.substr(path, open - path), line.substr(open + 2, line.size() - open - 3)};
}

std::string withFile(const std::string& what, const std::string& line) {
    const auto [file, reason] = fileAndReason(line);
    return file.empty() ? what + "." : what + ": " + file + " (" + reason + ").";
}

// The text and ending of an exit 2 whose *ERR* code is not about the inputs.
std::optional<RunReport> notRun(int code, const std::string& line) {
    const std::string kept = " Předchozí výsledky zůstaly beze změny.";
    switch (code) {
    case exchange::kErrRootBusy:
        return RunReport{RunEnding::Busy,
                         "Výpočet neproběhl: v tomto adresáři výpočtu už běží jiný výpočet. Nic "
                         "nebylo změněno; spusťte výpočet znovu, až ten první skončí."};
    case exchange::kErrOpenOutput:
        return RunReport{RunEnding::Refused,
                         "Výpočet neproběhl: složku nebo soubor výsledků nelze vytvořit." + kept +
                             " Zkontrolujte, že složky OUT_DATA, OUT_DATA/TK a OUT_RESULT "
                             "existují a lze do nich zapisovat."};
    case exchange::kErrWrite:
        return RunReport{RunEnding::Refused,
                         withFile("Výsledky výpočtu nelze zapsat do souboru", line) + kept};
    case exchange::kErrNotReplaceable:
        return RunReport{RunEnding::Refused,
                         withFile("Soubor výsledků nelze nahradit", line) +
                             " Nic nebylo změněno. Zavřete soubor, je-li otevřen v jiném "
                             "programu, nebo opravte jeho přístupová práva a spusťte výpočet "
                             "znovu."};
    case exchange::kErrNoMemory:
        return RunReport{RunEnding::Refused, "Výpočet neproběhl: jádru nestačí paměť počítače." +
                                                 kept +
                                                 " Zavřete jiné programy a spusťte "
                                                 "výpočet znovu."};
    case exchange::kErrInternal:
        return RunReport{RunEnding::Failed,
                         "Výpočet selhal: chyba výpočetního jádra, ne vstupních dat." + kept +
                             " Pošlete prosím autorům hlášení jádra a vstupní soubory."};
    default:
        return std::nullopt;
    }
}

RunReport refused(const std::vector<std::string>& lines) {
    const std::string error = lastLineStartingWith(lines, "*ERR*");
    const std::string coreLine =
        "\n\nHlášení jádra:\n" + (error.empty() ? std::string("(žádné hlášení)") : error);
    if (std::optional<RunReport> report = notRun(errorCode(error), error)) {
        report->text += coreLine;
        return *report;
    }
    std::string text = "Jádro odmítlo vstupní data, výpočet neproběhl." + coreLine;
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
                    const std::optional<std::string>& summary,
                    const project_files::SavedInputs& inputs) {
    const std::vector<std::string> lines = linesOf(consoleText);
    if (exit.crashed)
        return {RunEnding::Failed, "Výpočet selhal\n\nJádro bylo ukončeno dřív, než výpočet "
                                   "dokončilo (pád programu nebo násilné ukončení)."};
    switch (exit.code) {
    case exchange::kExitNormal:
        return {RunEnding::Done, withSummary("Výpočet doběhl", summary)};
    case exchange::kExitErrorExit:
        return stopped(lines, summary, inputs);
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

} // namespace desk
