// The front end's application object: Czech standard texts, the program's
// name for message boxes, numbers in files with a decimal point whatever the
// user's locale, and the last resort for errors a form left unhandled.
#pragma once

#include <QApplication>
#include <QTranslator>

namespace gui {

class VeldronApplication : public QApplication {
    Q_OBJECT
public:
    VeldronApplication(int& argc, char** argv);
    ~VeldronApplication() override;

    /// Delivers an event; an exception that escapes a form's handler is shown
    /// in the standard error box and the program goes on.
    bool notify(QObject* receiver, QEvent* event) override;

private:
    QTranslator m_qtTranslator;
};

} // namespace gui
