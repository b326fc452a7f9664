// The core's console inside the front end.
#include "gui/calculation/console_dialog.h"

#include "gui/calculation/core_process.h"
#include "gui/help/help.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace gui {

ConsoleDialog::ConsoleDialog(CoreProcess& process, const QString& title, QWidget* parent)
    : QDialog(parent), m_process(process) {
    setObjectName("ConsoleDialog");
    gui::installHelp(this, "konzole");
    setWindowTitle(title);
    resize(760, 480);

    txtConsole = new QPlainTextEdit(this);
    txtConsole->setObjectName("txtConsole");
    txtConsole->setReadOnly(true);
    // Long lines (a refusal naming a file by its full path) wrap rather than
    // run out of sight.
    txtConsole->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtConsole->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    txtConsole->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtConsole->setStyleSheet("QPlainTextEdit { background: black; color: #d0d0d0; }");

    lblStatus = new QLabel("Výpočet běží. Čeká-li jádro na Enter, stiskněte Enter.", this);
    lblStatus->setObjectName("lblStatus");
    btnSendEnter = new QPushButton("Enter", this);
    btnSendEnter->setObjectName("btnSendEnter");
    btnSendEnter->setDefault(true); // the keyboard's Enter reaches the core as in a console
    btnClose = new QPushButton("Zavřít", this);
    btnClose->setObjectName("btnClose");
    btnClose->setAutoDefault(false);
    btnClose->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblStatus, 1);
    buttons->addWidget(btnSendEnter);
    buttons->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtConsole, 1);
    layout->addLayout(buttons);

    connect(&m_process, &CoreProcess::outputReady, this, &ConsoleDialog::showOutput);
    connect(btnSendEnter, &QPushButton::clicked, this, &ConsoleDialog::sendEnter);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
}

QString ConsoleDialog::text() const {
    return txtConsole->toPlainText();
}

void ConsoleDialog::showOutput() {
    QString chunk = m_decoder.decode(m_process.readAll());
    chunk.remove(QLatin1Char('\r'));
    if (chunk.isEmpty()) return;
    QScrollBar* bar = txtConsole->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    // Inserting at the end keeps a line that arrives in pieces on one line.
    QTextCursor cursor(txtConsole->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(chunk);
    if (atEnd) bar->setValue(bar->maximum());
}

void ConsoleDialog::sendEnter() {
    if (m_running) m_process.write("\n");
}

void ConsoleDialog::markFinished() {
    showOutput();
    m_running = false;
    lblStatus->setText("Výpočet skončil");
    btnSendEnter->setEnabled(false);
    btnClose->setEnabled(true);
    btnClose->setDefault(true);
    btnClose->setFocus();
}

// While the core runs the console stays, as the core's own console would:
// the user could otherwise lose the message the core is waiting on.
void ConsoleDialog::closeEvent(QCloseEvent* event) {
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void ConsoleDialog::reject() {
    if (!m_running) QDialog::reject();
}

} // namespace gui
