// The core as a child process, behind a small interface so that the launcher
// can be driven by the real core or by a stand-in.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>

namespace gui {

class CoreProcess : public QObject {
    Q_OBJECT
public:
    ~CoreProcess() override = default;

    /// Starts `program` without arguments on `root` (its VELDRON_ROOT), with the
    /// front end's other environment and its current directory. False when it
    /// cannot be started (missing, not executable).
    virtual bool start(const QString& program, const std::filesystem::path& root) = 0;
    /// Passes bytes to the process's standard input.
    virtual void write(const QByteArray& bytes) = 0;
    /// Everything the process printed (standard output and error) since the last call.
    virtual QByteArray readAll() = 0;
    virtual bool isRunning() const = 0;
    /// How the ended process ended: crashed (a signal, a kill) or its exit status.
    virtual bool crashed() const = 0;
    virtual int exitCode() const = 0;

signals:
    void outputReady();
    void finished();
};

using CoreProcessFactory = std::function<std::unique_ptr<CoreProcess>()>;

/// The real child process.
class QProcessCore : public CoreProcess {
    Q_OBJECT
public:
    QProcessCore();
    ~QProcessCore() override;

    bool start(const QString& program, const std::filesystem::path& root) override;
    void write(const QByteArray& bytes) override;
    QByteArray readAll() override;
    bool isRunning() const override;
    bool crashed() const override;
    int exitCode() const override;

private:
    QProcess m_process;
};

} // namespace gui
