// veldron_posouzeni ROOT --mbh M [--start H] [--rozhoduje vsechny|n-1|zadne]
// [--n N] [--kpv N:Q ...] [--jadro PRGVELDRON]: the flood-safety assessment
// of the project at ROOT, run with the core beside this program (or the one
// --jadro names) in temporary roots, the project's files untouched. Prints
// the settings, one line per outlet case, the tabled floods, k and the
// verdict. Exit 0 "vyhovuje", 1 "nevyhovuje", 2 a refused input (one Czech
// line naming what to mend), 3 an assessment a run of the core did not let
// finish. Stopped by SIGINT, SIGTERM or SIGHUP, it ends its cores and removes
// their roots before it ends as the signal asks.
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "study/assessment.h"
#include "study/cli/core_process_run.h"
#include "study/parallel_runs.h"
#include "study/stop_signals.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kHolds = 0, kFails = 1, kRefused = 2, kUnfinished = 3;

constexpr const char* kUsage =
    "Použití: veldron_posouzeni KOŘEN_PROJEKTU --mbh M [--start H] "
    "[--rozhoduje vsechny|n-1|zadne] [--n N] [--kpv N:Q ...] [--jadro PRGVELDRON]";

struct Options {
    std::filesystem::path root;
    study::AssessmentSettings settings;
    QString core;
};

int refused(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    return kRefused;
}

// Command-line options that cannot be read: the line that says so.
class BadOptions : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

Options readOptions(const QStringList& args) {
    Options options;
    options.core = QCoreApplication::applicationDirPath() + "/" + exchange::kCoreExecutable;
    bool rootGiven = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString option = args[i];
        if (!option.startsWith("--")) {
            if (rootGiven)
                throw BadOptions("Kořen projektu je zadán dvakrát. " + std::string(kUsage));
            options.root = std::filesystem::path(QFile::encodeName(option).toStdString());
            rootGiven = true;
            continue;
        }
        if (i + 1 >= args.size())
            throw BadOptions("Volba " + option.toStdString() + " nemá hodnotu. " + kUsage);
        const std::string value = args[++i].toStdString();
        study::AssessmentSettings& s = options.settings;
        if (option == "--mbh")
            s.mbh = value;
        else if (option == "--start")
            s.startLevel = value;
        else if (option == "--n")
            s.returnPeriod = value;
        else if (option == "--kpv")
            s.tabledFloods.push_back(value);
        else if (option == "--jadro")
            options.core = args[i];
        else if (option == "--rozhoduje" && study::outletCaseFromWord(value))
            s.deciding = *study::outletCaseFromWord(value);
        else if (option == "--rozhoduje")
            throw BadOptions("--rozhoduje: „" + value +
                             "“ není případ výpustí; zadejte vsechny, n-1 nebo zadne.");
        else
            throw BadOptions("Neznámá volba " + option.toStdString() + ". " + kUsage);
    }
    if (!rootGiven) throw BadOptions(kUsage);
    return options;
}

const char* optionOf(study::SettingField field) {
    switch (field) {
    case study::SettingField::ReturnPeriod:
        return "--n";
    case study::SettingField::StartLevel:
        return "--start";
    case study::SettingField::Mbh:
        return "--mbh";
    case study::SettingField::TabledFlood:
        break;
    }
    return "--kpv";
}

void print(const study::AssessmentResult& result) {
    std::printf("Posouzení bezpečnosti vodního díla za povodně (ČSN 75 2935)\n");
    for (const auto& [label, value] : result.settingRows('.'))
        std::printf("  %s: %s\n", label.c_str(), value.c_str());
    std::printf("Případy výpustí:\n");
    for (const study::CaseRouting& c : result.cases)
        std::printf("  %s\n", result.caseLine(c, '.').c_str());
    for (const std::string& line : result.findings('.'))
        std::printf("%s\n", line.c_str());
    std::printf("%s\n", result.sentence('.').c_str());
}

bool refusedByCore(const study::AssessmentResult& result) {
    for (const study::CaseRouting& c : result.cases)
        if (c.routing.end == study::RunEnd::Refused) return true;
    for (const study::FloodRouting& f : result.floods)
        if (f.routing.end == study::RunEnd::Refused) return true;
    return false;
}

int assess(const Options& options) {
    if (!QFileInfo(options.core).isExecutable())
        return refused("Výpočetní jádro " + QDir::toNativeSeparators(options.core).toStdString() +
                       " nelze spustit: zadejte je volbou --jadro CESTA.");
    QElapsedTimer timer;
    timer.start();
    std::optional<study::Assessment> assessment;
    try {
        assessment.emplace(exchange::exchangeDir(options.root), options.settings, '.');
    } catch (const study::SettingRefused& e) {
        return refused(std::string(optionOf(e.field)) + ": " + e.what());
    }
    const auto stopAsked = [] { return study::StopSignals::received() != 0; };
    const study::AssessmentResult result = assessment->run(
        [&](const std::filesystem::path& root) {
            return study::runCoreProcess(options.core, root, stopAsked);
        },
        [&](int, int) { return !stopAsked(); });
    if (stopAsked()) {
        std::fprintf(stderr,
                     "Posouzení přerušeno signálem %d; dočasné adresáře výpočtů jsou "
                     "odstraněny.\n",
                     study::StopSignals::received());
        return kUnfinished;
    }
    print(result);
    const long long ms = timer.elapsed();
    std::printf("Doba posouzení: %lld.%03lld s (%d výpočtů, nejvýše %d souběžně)\n", ms / 1000,
                ms % 1000, result.runs, study::parallelRuns(0));
    if (refusedByCore(result)) return kRefused;
    if (!result.complete()) return kUnfinished;
    return result.holds() ? kHolds : kFails;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (application.arguments().contains("--help")) {
        std::printf("%s\n", kUsage);
        return kHolds;
    }
    try {
        const Options options = readOptions(application.arguments());
        // Gone before main returns: a signal noted is raised again then.
        const study::StopSignals stopSignals;
        return assess(options);
    } catch (const std::exception& e) {
        return refused(e.what());
    }
}
