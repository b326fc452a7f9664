// Installation roots, with or without the sample reservoir, and runs of the
// real core on them.
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

namespace veldron::testing {

/// The exchange directory and the empty result directories of a root.
inline bool makeEmptyRoot(const QString& root) {
    bool ok = true;
    for (const char* dir : {"PULT_na_vypocty", "OUT_DATA/TK", "OUT_RESULT", "OUT_PICTURES"})
        ok = ok && QDir(root).mkpath(dir);
    return ok;
}

/// The sample's files (every IN_* file, IN_START_VYP included, and the
/// sources of the input forms) in root/PULT_na_vypocty, and the empty result
/// directories.
inline bool makeSampleRoot(const QString& root) {
    const QString exchange = root + "/PULT_na_vypocty";
    bool ok = makeEmptyRoot(root);
    const QDir sample(QStringLiteral(VELDRON_SOURCE_DIR) + "/data/sample");
    for (const QString& name : sample.entryList(QDir::Files)) {
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

} // namespace veldron::testing
