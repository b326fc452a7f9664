// Starting the core with its own console and waiting for it to end.
#include "gui/console/core_launcher.h"

#include "gui/console/console_dialog.h"
#include "gui/dialogs/message_service.h"

#include <QEventLoop>
#include <QTimer>

namespace gui {

namespace {
constexpr int kWaitSliceMs = 500; // the longest the front end may go without an event pass
}

bool launchCore(const QString& program, QWidget* parent, const CoreProcessFactory& factory) {
    std::unique_ptr<CoreProcess> process = factory ? factory() : std::make_unique<QProcessCore>();
    if (!process->start(program)) {
        MessageService::instance().warning(parent, "Výpočet selhal!!!");
        return false;
    }

    ConsoleDialog console(*process, program, parent);
    console.setWindowModality(Qt::ApplicationModal); // no second run while this one lasts
    console.show();

    // The wait runs the front end's own event loop, so windows repaint and the
    // console passes Enter while the core runs; the timer only re-checks the
    // process in case its end was reported before the loop started.
    QEventLoop wait;
    QObject::connect(process.get(), &CoreProcess::finished, &wait, &QEventLoop::quit);
    QTimer slice;
    QObject::connect(&slice, &QTimer::timeout, &wait, [&] {
        if (!process->isRunning()) wait.quit();
    });
    slice.start(kWaitSliceMs);
    if (process->isRunning()) wait.exec();
    slice.stop();

    console.markFinished();
    MessageService::instance().information(&console, "Výpočet doběhl");

    // The console stays readable, so an error the core printed can be read.
    if (console.isVisible()) {
        QEventLoop reading;
        QObject::connect(&console, &QDialog::finished, &reading, &QEventLoop::quit);
        reading.exec();
    }
    return true;
}

} // namespace gui
