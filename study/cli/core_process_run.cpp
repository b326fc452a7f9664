// One run of the core as a child process, waited for in the calling thread.
#include "study/cli/core_process_run.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

namespace study {

namespace {

// How often a run's wait asks whether to stop.
constexpr int kStopPollMs = 50;

} // namespace

CoreRunResult runCoreProcess(const QString& program, const std::filesystem::path& root,
                             const std::function<bool()>& stopAsked) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Decoded without a conversion that could throw (a temporary directory
    // whose name is not UTF-8).
#ifdef _WIN32
    environment.insert("VELDRON_ROOT", QString::fromStdWString(root.native()));
#else
    environment.insert("VELDRON_ROOT", QFile::decodeName(root.c_str()));
#endif
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    // End of input ends the wait of the core's error exit.
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, {});
    if (!process.waitForStarted()) return {kRunNotStarted, {}};
    while (!process.waitForFinished(kStopPollMs)) {
        if (process.state() == QProcess::NotRunning) break;
        if (stopAsked && stopAsked()) {
            process.kill();
            process.waitForFinished(-1);
            return {kRunCancelled, {}};
        }
    }
    const QByteArray console = process.readAll();
    if (process.exitStatus() != QProcess::NormalExit) return {kRunCrashed, console.toStdString()};
    return {process.exitCode(), console.toStdString()};
}

} // namespace study
