// The core's console inside the front end: shows what the core prints as it
// comes and passes Enter to its standard input.
#pragma once

#include <QDialog>
#include <QStringDecoder>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace gui {

class CoreProcess;

class ConsoleDialog : public QDialog {
    Q_OBJECT
public:
    /// Shows the output of `process`, which must outlive the dialog.
    ConsoleDialog(CoreProcess& process, const QString& title, QWidget* parent = nullptr);

    /// The text shown so far.
    QString text() const;
    bool isRunning() const { return m_running; }
    /// The process has ended: its last output is shown and the dialog may be closed.
    void markFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void showOutput();
    void sendEnter();

    CoreProcess& m_process;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
    bool m_running = true;
    QPlainTextEdit* txtConsole;
    QLabel* lblStatus;
    QPushButton* btnSendEnter;
    QPushButton* btnClose;
};

} // namespace gui
