// Every message box and question of the front end goes through here, so that
// tests can answer them without a modal loop.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace gui {

class MessageService {
public:
    virtual ~MessageService() = default;
    /// A confirmation box with Yes ("Ano") and No ("Ne"); true for Yes.
    virtual bool question(QWidget* parent, const QString& text) = 0;
    /// A question answered by one of `choices`, each a button in order, the
    /// last one also taken by Escape or the close control (the cancel);
    /// returns the index of the answer.
    virtual int choose(QWidget* parent, const QString& text, const QStringList& choices) = 0;
    /// An information box with OK.
    virtual void information(QWidget* parent, const QString& text) = 0;
    /// A warning box with OK.
    virtual void warning(QWidget* parent, const QString& text) = 0;
    /// The standard error box with OK (file errors and the like).
    virtual void error(QWidget* parent, const QString& text) = 0;

    /// The service in use: real message boxes unless a test installed its own.
    static MessageService& instance();
    /// Installs a service (not owned); nullptr restores the real boxes.
    static void install(MessageService* service);
};

} // namespace gui
