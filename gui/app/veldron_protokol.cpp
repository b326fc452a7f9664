// veldron_protokol ROOT OUT.pdf: the calculation report of the project at
// ROOT, written to OUT.pdf, without a window (also where there is no display).
#include "gui/report/calculation_report.h"

#include <QApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace {

/// The charts are widgets: without a display they are drawn offscreen.
void drawOffscreenWithoutADisplay() {
#ifndef _WIN32
    const bool display =
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!display && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fputs("Použití: veldron_protokol KOŘEN_PROJEKTU VÝSTUP.pdf\n"
                   "Vytvoří protokol výpočtu projektu (složka rozvržená jako instalace "
                   "VELDRON) jako PDF.\n",
                   stderr);
        return 2;
    }
    drawOffscreenWithoutADisplay();
    QApplication app(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString pdf = QString::fromLocal8Bit(argv[2]);
    const QString error = gui::makeCalculationReport(root.toStdU16String(), pdf);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("Protokol výpočtu uložen: %s\n", pdf.toLocal8Bit().constData());
    return EXIT_SUCCESS;
}
