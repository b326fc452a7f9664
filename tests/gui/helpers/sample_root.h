// Installation roots with the sample reservoir and runs of the real core on
// them, for the tests of the study windows.
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

namespace testing_gui {

/// The sample's IN_* files (IN_START_VYP included) in root/PULT_na_vypocty,
/// and the empty result directories.
inline bool makeSampleRoot(const QString& root) {
    const QString exchange = root + "/PULT_na_vypocty";
    bool ok = QDir().mkpath(exchange) && QDir().mkpath(root + "/OUT_DATA/TK") &&
              QDir().mkpath(root + "/OUT_RESULT") && QDir().mkpath(root + "/OUT_PICTURES");
    const QDir sample(QStringLiteral(VELDRON_SOURCE_DIR) + "/data/sample");
    for (const QString& name : sample.entryList({"IN_*"}, QDir::Files)) {
        QFile::remove(exchange + "/" + name);
        ok = ok && QFile::copy(sample.filePath(name), exchange + "/" + name);
    }
    return ok;
}

/// Runs the real core on `root` with its input closed; its exit status, or -1.
inline int runRealCore(const QString& root) {
    QProcess core;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VELDRON_ROOT", root);
    core.setProcessEnvironment(environment);
    core.setStandardInputFile(QProcess::nullDevice());
    core.start(VELDRON_CORE_EXE, {});
    if (!core.waitForFinished(120000) || core.exitStatus() != QProcess::NormalExit) return -1;
    return core.exitCode();
}

} // namespace testing_gui
