// Project_veldron: the windowed front end of VELDRON.
#include "gui/calculation/calculation_form.h"
#include "gui/main_window/main_window.h"
#include "gui/main_window/veldron_application.h"
#include "gui/widgets/form_widgets.h"

#include <QStandardPaths>

int main(int argc, char* argv[]) {
    gui::VeldronApplication app(argc, argv);
    // Created first, so it is the main window: when it closes, the program ends.
    gui::MainWindow mainWindow;
    // The projects opened last, kept with the user's settings; the last one
    // opens again (the installation root when there is none).
    mainWindow.setRecentProjectsFile(
        gui::toPath(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)) /
        "nedavne_projekty");
    mainWindow.reopenLastProject();
    // The calculation settings form is created here once, hidden, and kept
    // for the whole run; every opening shows what the open project holds.
    gui::CalculationForm calculation(&mainWindow);
    mainWindow.setCalculationForm(&calculation);
    mainWindow.show();
    return app.exec();
}
