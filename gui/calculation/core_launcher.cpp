// Starting the core with its own console and waiting for it to end.
#include "gui/calculation/core_launcher.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/run_summary.h"
#include "gui/calculation/console_dialog.h"
#include "gui/widgets/message_service.h"

#include <QEventLoop>
#include <QTimer>

namespace gui {

namespace {

constexpr int kWaitSliceMs = 500; // the longest the front end may go without an event pass

void showReport(QWidget* parent, const desk::RunReport& report) {
    const QString text = QString::fromStdString(report.text);
    MessageService& messages = MessageService::instance();
    switch (report.ending) {
    case desk::RunEnding::Done:
        messages.information(parent, text);
        break;
    case desk::RunEnding::Stopped:
    case desk::RunEnding::Busy:
        messages.warning(parent, text);
        break;
    case desk::RunEnding::Refused:
    case desk::RunEnding::Failed:
        messages.error(parent, text);
        break;
    }
}

} // namespace

std::optional<desk::RunEnding> launchCore(const QString& program, const std::filesystem::path& root,
                                          QWidget* parent, const CoreProcessFactory& factory) {
    std::unique_ptr<CoreProcess> process = factory ? factory() : std::make_unique<QProcessCore>();
    const std::filesystem::path summaryFile =
        exchange::outResultDir(root) / exchange::summary::kFileName;
    const auto summaryBefore = desk::summaryTime(summaryFile);
    // What this run reads, for telling what to mend should it stop.
    const project_files::SavedInputs inputs =
        project_files::readSavedInputs(exchange::exchangeDir(root));
    if (!process->start(program, root)) {
        MessageService::instance().warning(parent, "Výpočet selhal!!!");
        return std::nullopt;
    }

    ConsoleDialog console(*process, "Výpočet – konzole", parent);
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
    const desk::CoreExit exit{process->crashed(), process->exitCode()};
    // Only a run that computed has a summary of its own to show.
    std::optional<std::string> summary;
    if (!exit.crashed &&
        (exit.code == exchange::kExitNormal || exit.code == exchange::kExitErrorExit))
        summary = desk::summaryWrittenSince(summaryFile, summaryBefore);
    const desk::RunReport report = reportRun(exit, console.text().toStdString(), summary, inputs);
    showReport(&console, report);

    // The console stays readable, so an error the core printed can be read.
    if (console.isVisible()) {
        QEventLoop reading;
        QObject::connect(&console, &QDialog::finished, &reading, &QEventLoop::quit);
        reading.exec();
    }
    return report.ending;
}

} // namespace gui
