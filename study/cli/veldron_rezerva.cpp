// veldron_rezerva CORE INPUTS_DIR: the safety margin of the inputs in
// INPUTS_DIR (a complete set of IN_* files), found by running the core CORE
// in temporary roots; prints the report and the time the search took.
#include "study/safety_factor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <cstdio>
#include <exception>

namespace {

study::CoreRunResult runCore(const QString& program, const std::filesystem::path& root) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VELDRON_ROOT", QString::fromStdU16String(root.u16string()));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    // End of input ends the wait of the core's error exit.
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, {});
    if (!process.waitForStarted()) return {study::kRunNotStarted, {}};
    process.waitForFinished(-1);
    const QByteArray console = process.readAll();
    if (process.exitStatus() != QProcess::NormalExit)
        return {study::kRunCrashed, console.toStdString()};
    return {process.exitCode(), console.toStdString()};
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
        QElapsedTimer timer;
        timer.start();
        const study::SafetyFactorResult result = study::findSafetyFactor(
            std::filesystem::path(argv[2]), std::nullopt,
            [&](const std::filesystem::path& root) { return runCore(program, root); });
        const long long ms = timer.elapsed();
        std::printf("Bezpečnostní rezerva nádrže (násobek k celé povodňové vlny do přelití):\n");
        for (const std::string& line : result.text('.'))
            std::printf("  %s\n", line.c_str());
        std::printf("Doba hledání rezervy: %lld.%03lld s (%zu výpočtů)\n", ms / 1000, ms % 1000,
                    result.trials.size());
        return result.complete() ? 0 : 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
}
