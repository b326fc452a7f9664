// Judging how a run of the core ended.
#include "study/run_outcome.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/result_set.h"
#include "exchange/run_summary.h"
#include "project_files/run_summary_reader.h"

#include <charconv>
#include <sstream>

namespace study {

namespace {

// The last console line that starts with `prefix`, without its line end.
std::string lastLineStarting(const std::string& console, const std::string& prefix) {
    std::istringstream lines(console);
    std::string line, found;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto first = line.find_first_not_of(' ');
        if (first != std::string::npos && line.compare(first, prefix.size(), prefix) == 0)
            found = line.substr(first);
    }
    return found;
}

// The summary of the run in `root`, when its result set is complete: a set
// the run did not finish replacing has none to tell.
std::optional<project_files::RunSummary> completeSummary(const std::filesystem::path& root) {
    if (!exchange::isCompleteResultSet(root)) return std::nullopt;
    return project_files::readRunSummary(exchange::outResultDir(root) /
                                         exchange::summary::kFileName)
        .summary;
}

RunOutcome errorExit(const CoreRunResult& run, const std::filesystem::path& root) {
    const auto summary = completeSummary(root);
    const std::optional<std::string> reason =
        summary && summary->stopped ? std::optional(summary->stopReason) : std::nullopt;
    const bool overtopped = (reason && reason->starts_with("přelití")) ||
                            run.console.find(kOvertoppingMessage) != std::string::npos;
    if (overtopped) return {RunEnd::Overtopped, kOvertoppingMessage};
    std::string line = lastLineStarting(run.console, "ERROR");
    if (line.empty() && reason) line = "Výpočet zastaven: " + *reason;
    if (line.empty()) line = "Výpočet zastaven chybou.";
    return {RunEnd::Stopped, line};
}

// Exit status 2: the "*ERR*" line's code tells a refused input from a root
// another run holds, results that could not be written, and a fault.
RunOutcome fileError(const std::string& console) {
    const std::string line = lastLineStarting(console, "*ERR*");
    if (line.empty()) return {RunEnd::Refused, "Vstupní data odmítnuta."};
    int code = 0;
    const std::size_t digits = line.find_first_not_of("*ERR ");
    if (digits != std::string::npos)
        std::from_chars(line.data() + digits, line.data() + line.size(), code);
    switch (code) {
    case exchange::kErrRootBusy:
        return {RunEnd::Busy, "V kořeni výpočtu už běží jiný výpočet: " + line};
    case exchange::kErrOpenOutput:
    case exchange::kErrWrite:
    case exchange::kErrNotReplaceable:
        return {RunEnd::NotWritten,
                "Výsledky výpočtu nelze zapsat ani nahradit, předchozí zůstaly: " + line};
    case exchange::kErrNoMemory:
        return {RunEnd::Failed, "Výpočtu nestačí paměť: " + line};
    case exchange::kErrInternal:
        return {RunEnd::Failed, "Vnitřní chyba výpočetního jádra: " + line};
    default:
        return {RunEnd::Refused, "Jádro odmítlo vstupní data: " + line};
    }
}

} // namespace

RunOutcome judgeRun(const CoreRunResult& run, const std::filesystem::path& root) {
    switch (run.exitCode) {
    case exchange::kExitNormal:
        if (!exchange::isCompleteResultSet(root))
            return {RunEnd::Failed, "Výpočet skončil bez úplných výsledků (souhrn výpočtu chybí "
                                    "nebo neodpovídá řadám výsledků)."};
        return {RunEnd::Normal, {}};
    case exchange::kExitErrorExit:
        return errorExit(run, root);
    case exchange::kExitInputError:
        return fileError(run.console);
    case kRunNotStarted:
        return {RunEnd::Failed, "Výpočetní jádro PRGVELDRON nelze spustit."};
    case kRunCancelled:
        return {RunEnd::Cancelled, "Výpočet byl přerušen."};
    default:
        return {RunEnd::Failed, "Výpočetní jádro PRGVELDRON skončilo havárií (stav " +
                                    std::to_string(run.exitCode) + ")."};
    }
}

} // namespace study
