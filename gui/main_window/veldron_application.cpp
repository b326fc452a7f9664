// The front end's application object.
#include "gui/main_window/veldron_application.h"

#include "gui/widgets/message_service.h"

#include <QLibraryInfo>
#include <QLocale>
#include <clocale>
#include <exception>

namespace gui {

VeldronApplication::VeldronApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // Qt has just set the C library's locale from the environment. Numbers
    // written to files (the spreadsheet library's cells and page margins
    // among them) go through the C library's printf and must keep the decimal
    // point on a Czech system; what the user sees is formatted by the
    // front end itself, with the decimal comma, whatever this setting.
    std::setlocale(LC_NUMERIC, "C");
    setApplicationName("VELDRON");
    // The standard buttons ("Ano", "Ne", "Zrušit") speak Czech whatever the
    // user's locale; the program's own texts are Czech anyway.
    if (m_qtTranslator.load(QLocale(QLocale::Czech, QLocale::CzechRepublic), "qtbase", "_",
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&m_qtTranslator);
}

VeldronApplication::~VeldronApplication() {
    removeTranslator(&m_qtTranslator);
}

bool VeldronApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        gui::MessageService::instance().error(activeWindow(), QString::fromUtf8(e.what()));
    } catch (...) {
        gui::MessageService::instance().error(activeWindow(), "Neočekávaná chyba programu");
    }
    return false;
}

} // namespace gui
