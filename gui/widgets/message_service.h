// Every message box and question of the front end goes through here, so that
// tests can answer them without a modal loop.
#pragma once

#include <QString>

class QWidget;

namespace gui {

class MessageService {
public:
    virtual ~MessageService() = default;
    /// A confirmation box with Yes ("Ano") and No ("Ne"); true for Yes.
    virtual bool question(QWidget* parent, const QString& text) = 0;
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
