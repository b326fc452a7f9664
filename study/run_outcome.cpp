// Judging how a run of the core ended.
#include "study/run_outcome.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/io/run_summary_reader.h"
#include "exchange/run_summary.h"

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

} // namespace

RunOutcome judgeRun(const CoreRunResult& run, const std::filesystem::path& root) {
    switch (run.exitCode) {
    case exchange::kExitNormal:
        return {RunEnd::Normal, {}};
    case exchange::kExitErrorExit: {
        const auto summary =
            exchange::readRunSummary(exchange::outResultDir(root) / exchange::summary::kFileName)
                .summary;
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
    case exchange::kExitInputError: {
        std::string line = lastLineStarting(run.console, "*ERR*");
        if (line.empty()) line = "Vstupní data odmítnuta.";
        return {RunEnd::Refused, line};
    }
    case kRunNotStarted:
        return {RunEnd::Failed, "Výpočetní jádro PRGVELDRON nelze spustit."};
    default:
        return {RunEnd::Failed, "Výpočetní jádro PRGVELDRON skončilo havárií (stav " +
                                    std::to_string(run.exitCode) + ")."};
    }
}

} // namespace study
