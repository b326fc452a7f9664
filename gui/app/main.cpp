// Project_veldron: the windowed front end of VELDRON.
#include "gui/calculation/calculation_form.h"
#include "gui/main_window/main_window.h"
#include "gui/main_window/veldron_application.h"

int main(int argc, char* argv[]) {
    VeldronApplication app(argc, argv);
    // Created first, so it is the main window: when it closes, the program ends.
    MainWindow mainWindow;
    // The calculation settings form is created here once, hidden, and kept
    // for the whole run so that its fields keep their values between openings.
    CalculationForm calculation(&mainWindow);
    mainWindow.setCalculationForm(&calculation);
    mainWindow.show();
    return app.exec();
}
