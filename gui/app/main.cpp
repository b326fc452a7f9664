// Project_veldron: the windowed front end of VELDRON.
#include "gui/main_window/main_window.h"
#include "gui/main_window/veldron_application.h"
#include "gui/vypocet/tfrm_vypocet.h"

int main(int argc, char* argv[]) {
    VeldronApplication app(argc, argv);
    // Created first, so it is the main window: when it closes, the program ends.
    MainWindow mainWindow;
    // The calculation settings form is created here once, hidden, and kept
    // for the whole run so that its fields keep their values between openings.
    TFRM_vypocet calculation(&mainWindow);
    mainWindow.setCalculationForm(&calculation);
    mainWindow.show();
    return app.exec();
}
