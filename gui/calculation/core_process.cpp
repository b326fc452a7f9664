// The core as a child process (QProcess, standard output and error merged).
#include "gui/calculation/core_process.h"

#include "gui/widgets/form_widgets.h"

#include <QProcessEnvironment>

namespace gui {

QProcessCore::QProcessCore() {
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    connect(&m_process, &QProcess::readyRead, this, &CoreProcess::outputReady);
    connect(&m_process, &QProcess::finished, this, &CoreProcess::finished);
}

QProcessCore::~QProcessCore() {
    // Only reached with a live process when the front end itself goes away.
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

bool QProcessCore::start(const QString& program, const std::filesystem::path& root) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VELDRON_ROOT", toQString(root));
    m_process.setProcessEnvironment(environment);
    m_process.start(program, {}, QIODevice::ReadWrite);
    return m_process.waitForStarted();
}

void QProcessCore::write(const QByteArray& bytes) {
    if (m_process.state() == QProcess::Running) m_process.write(bytes);
}

QByteArray QProcessCore::readAll() {
    return m_process.readAll();
}

bool QProcessCore::isRunning() const {
    return m_process.state() != QProcess::NotRunning;
}

bool QProcessCore::crashed() const {
    return m_process.exitStatus() == QProcess::CrashExit;
}

int QProcessCore::exitCode() const {
    return m_process.exitCode();
}

} // namespace gui
