// veldron_rezerva CORE INPUTS_DIR: the safety margin of the inputs in
// INPUTS_DIR (a complete set of IN_* files), found by running the core CORE
// in temporary roots; prints the report and the time the search took.
// Stopped by SIGINT, SIGTERM or SIGHUP, it ends the running core and removes
// its temporary root before it ends as the signal asks.
#include "study/cli/core_process_run.h"
#include "study/safety_factor.h"
#include "study/stop_signals.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <exception>

namespace {

int search(const QString& program, const std::filesystem::path& inputs) {
    QElapsedTimer timer;
    timer.start();
    const study::SafetyFactorResult result = study::findSafetyFactor(
        inputs, std::nullopt,
        [&](const std::filesystem::path& root) {
            return study::runCoreProcess(program, root,
                                         [] { return study::StopSignals::received() != 0; });
        },
        [](const study::FactorSearch&) { return study::StopSignals::received() == 0; });
    if (study::StopSignals::received() != 0) {
        std::fprintf(stderr,
                     "Hledání přerušeno signálem %d; dočasné adresáře výpočtů jsou "
                     "odstraněny.\n",
                     study::StopSignals::received());
        return 1;
    }
    const long long ms = timer.elapsed();
    std::printf("Bezpečnostní rezerva nádrže (násobek k celé povodňové vlny do přelití):\n");
    for (const std::string& line : result.text('.'))
        std::printf("  %s\n", line.c_str());
    std::printf("Doba hledání rezervy: %lld.%03lld s (%zu výpočtů)\n", ms / 1000, ms % 1000,
                result.trials.size());
    return result.complete() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "Pouziti: veldron_rezerva PRGVELDRON ADRESAR_SE_VSTUPY\n");
        return 2;
    }
    const QString program = QString::fromLocal8Bit(argv[1]);
    try {
        // Gone before main returns: a signal noted is raised again then.
        const study::StopSignals stopSignals;
        return search(program, std::filesystem::path(argv[2]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
}
