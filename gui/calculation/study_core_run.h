// One run of the core for a study, as a child process in a root of the
// study's own: the window stays responsive, finished() reports the end.
#pragma once

#include "study/core_run.h"

#include <QObject>
#include <QProcess>
#include <QString>

#include <filesystem>

namespace gui {

class StudyCoreRun : public QObject {
    Q_OBJECT
public:
    explicit StudyCoreRun(QObject* parent = nullptr);
    ~StudyCoreRun() override;

    /// The core's program: the one of the installation root unless set.
    void setProgram(const QString& program) { m_program = program; }
    QString program() const { return m_program; }

    /// Runs the core on `root` (VELDRON_ROOT) with its standard input closed,
    /// so that an error exit does not wait. finished() follows, also when the
    /// program cannot be started.
    void start(const std::filesystem::path& root);
    /// Ends a running core; finished() follows, the run's exit status
    /// study::kRunCancelled.
    void stop();
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    /// How the last run ended.
    const study::CoreRunResult& result() const { return m_result; }

signals:
    void finished();

private:
    void end(int exitCode);

    QString m_program;
    QProcess m_process;
    study::CoreRunResult m_result;
    bool m_stopping = false; // stop() ended the running core
};

} // namespace gui
