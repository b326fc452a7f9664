// Benchmark of a column pasted into the flood wave form, offscreen: 10^5 and
// 10^6 values (the sample's flood repeated, decimal commas, one a line, as a
// spreadsheet copies a column) pasted with Ctrl+V into a fresh form, then
// Ctrl+Z, Ctrl+Y, and Ctrl+C of the whole column. Prints figures; never run
// as a test. Each size is measured in a process of its own, so that its peak
// memory is its own.
//   paste_bench [--rows N,N,...]
//   paste      Ctrl+V until the grid holds every row and the count shows it
//   busy       when the busy indicator showed ("-": it did not, the paste
//              ended before 0.3 s)
//   stall      the longest time the event loop did not answer a 5 ms timer
//              from the Ctrl+V to the end of the paste
//   undo, redo Ctrl+Z and Ctrl+Y until the grid is back / pasted again
//   copy       Ctrl+C of every row; text: the clipboard's text made on request
//   memory     the process's peak resident size
#include "gui/grid/grid_view.h"
#include "gui/inputs/flood_wave_form.h"
#include "gui/widgets/message_service.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

long peakResidentMb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6) / 1024;
    return -1;
}

/// Runs the event loop until `done` holds; false when a minute passed first.
bool waitUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > 60000) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

/// A key pressed and released on `widget` as a user gives it (shortcuts first).
void press(QWidget* widget, Qt::Key key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::ControlModifier);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::ControlModifier);
    QCoreApplication::sendEvent(widget, &down);
    QCoreApplication::sendEvent(widget, &up);
}

/// The sample's flood repeated to `rows` values, with decimal commas.
QString column(int rows) {
    std::ifstream sample(std::string(VELDRON_SOURCE_DIR) + "/data/sample/IN_FLOOD_WAVE");
    std::vector<std::string> values;
    for (std::string line; std::getline(sample, line);)
        if (const auto end = line.find_first_of(" \r"); end > 0 && !line.empty())
            values.push_back(line.substr(0, end));
    std::string text;
    for (int i = 0; i < rows; ++i) {
        std::string value = values[static_cast<std::size_t>(i) % values.size()];
        for (char& c : value)
            if (c == '.') c = ',';
        text += value + "\r\n";
    }
    return QString::fromStdString(text);
}

// Every question answered No, every box kept quiet.
class QuietMessages : public gui::MessageService {
public:
    QuietMessages() { install(this); }
    ~QuietMessages() override { install(nullptr); }
    bool question(QWidget*, const QString&) override { return false; }
    int choose(QWidget*, const QString&, const QStringList& choices) override {
        return int(choices.size()) - 1;
    }
    void information(QWidget*, const QString&) override {}
    void warning(QWidget*, const QString&) override {}
    void error(QWidget*, const QString& text) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
};

int measure(int rows) {
    QTemporaryDir root;
    QDir(root.path()).mkpath("PULT_na_vypocty");
    qputenv("VELDRON_ROOT", root.path().toUtf8());
    QuietMessages messages;
    gui::FloodWaveForm form;
    form.show();
    auto* view = form.findChild<QTableView*>("gridFloodWave");
    auto* count = form.findChild<QLineEdit*>("editPointCount");
    auto* clipboard = view->findChild<gui::GridClipboard*>();
    view->setFocus();
    QGuiApplication::clipboard()->setText(column(rows));
    waitUntil([] { return true; });

    QElapsedTimer clock, sinceTick;
    qint64 busyAt = -1, longest = 0;
    QObject::connect(clipboard, &gui::GridClipboard::busy, [&](bool busy) {
        if (busy) busyAt = clock.elapsed();
    });
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longest = std::max(longest, sinceTick.restart()); });
    const auto timed = [&](const std::function<void()>& act, const std::function<bool()>& done) {
        clock.start();
        act();
        return waitUntil(done) ? clock.elapsed() : -1;
    };
    const auto pasted = [&] { return count->text() == QString::number(rows); };
    const auto emptied = [&] { return form.grid().rowCount() == form.kInitialRows; };

    sinceTick.start();
    ticker.start();
    const qint64 paste = timed([&] { press(view, Qt::Key_V); }, pasted);
    ticker.stop();
    const qint64 undo = timed([&] { press(view, Qt::Key_Z); }, emptied);
    const qint64 redo = timed([&] { press(view, Qt::Key_Y); }, pasted);
    view->selectAll();
    const qint64 copy = timed([&] { press(view, Qt::Key_C); }, [] { return true; });
    qsizetype length = 0;
    const qint64 text =
        timed([&] { length = QGuiApplication::clipboard()->text().size(); }, [] { return true; });
    if (paste < 0 || length == 0) return 1;
    std::printf("%9d %9lld %9s %9lld %9lld %9lld %9lld %9lld %9ld\n", rows, paste,
                busyAt < 0 ? "-" : std::to_string(busyAt).c_str(), longest, undo, redo, copy, text,
                peakResidentMb());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::string(argv[1]) == "--measure") {
        QApplication app(argc, argv);
        return measure(std::atoi(argv[2]));
    }
    QCoreApplication app(argc, argv);
    QStringList sizes = {"100000", "1000000"};
    if (argc == 3 && std::string(argv[1]) == "--rows") sizes = QString(argv[2]).split(',');
    std::printf("A column pasted into the flood wave form offscreen; times in ms, memory in MB.\n\n"
                "%9s %9s %9s %9s %9s %9s %9s %9s %9s\n",
                "rows", "paste", "busy", "stall", "undo", "redo", "copy", "text", "memory");
    for (const QString& rows : sizes) {
        QProcess child;
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start(QCoreApplication::applicationFilePath(), {"--measure", rows});
        if (!child.waitForFinished(300000) || child.exitCode() != 0)
            std::printf("%9s failed: %s\n", qPrintable(rows), child.readAllStandardError().data());
        else
            std::printf("%s", child.readAllStandardOutput().data());
        std::fflush(stdout);
    }
    return 0;
}
