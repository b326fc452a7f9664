// One run of the core for a study, as a child process.
#include "gui/calculation/study_core_run.h"

#include "desk/calculation_options.h"
#include "exchange/exchange_paths.h"
#include "gui/widgets/form_widgets.h"

#include <QProcessEnvironment>
#include <QTimer>

namespace gui {

StudyCoreRun::StudyCoreRun(QObject* parent)
    : QObject(parent), m_program(toQString(desk::coreExecutable(exchange::installationRoot()))) {
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    connect(&m_process, &QProcess::finished, this,
            [this](int exitCode, QProcess::ExitStatus status) {
                if (m_stopping)
                    end(study::kRunCancelled);
                else
                    end(status == QProcess::NormalExit ? exitCode : study::kRunCrashed);
            });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) end(study::kRunNotStarted);
    });
}

StudyCoreRun::~StudyCoreRun() {
    if (isRunning()) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

void StudyCoreRun::start(const std::filesystem::path& root) {
    m_result = {};
    m_stopping = false;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VELDRON_ROOT", toQString(root));
    m_process.setProcessEnvironment(environment);
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.start(m_program, {});
}

void StudyCoreRun::stop() {
    if (!isRunning()) return;
    m_stopping = true;
    m_process.kill();
}

void StudyCoreRun::end(int exitCode) {
    m_result.exitCode = exitCode;
    m_result.console = m_process.readAll().toStdString();
    // Reported from the event loop, so that a handler may start the next run.
    QTimer::singleShot(0, this, &StudyCoreRun::finished);
}

} // namespace gui
