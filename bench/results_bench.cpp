// Benchmark of the results window on long series: the page "PRUTOK" built
// offscreen on results of 10^4, 10^5 and 10^6 steps (the sample's flood
// repeated, routed by this build's PRGVELDRON), for one or more builds of
// this program side by side. Prints figures; never run as a test.
//   results_bench [--steps N,N,...] [--timeout S] [--keep] [OTHER_BUILD_OF_results_bench ...]
// --keep leaves the roots in place (for a profiler: results_bench --measure ROOT N).
//   results_bench --pictures DIR [STEPS]
// saves pictures of both pages to look at (the sample, or STEPS steps of its
// flood repeated): as opened, over hours, and zoomed by a dragged rectangle.
// Each build measures in a process of its own (results_bench --measure ROOT N):
//   load   from the window's showing and "NAČÍST VÝSLEDKY TRANSFORMACE" until
//          the grids hold every step
//   draw   "VYKRESLIT GRAF" until the chart holds both lines and has been painted
//   zoom   the wheel four times closer about the plot's middle, until the
//          chart has been painted
//   stall  the longest time the event loop did not answer a 5 ms timer
//          from the load's click to the end of the zoom
//   memory the process's peak resident size
// Roots go to $VELDRON_BENCH_DIR, else /dev/shm where there is one.
// The figures of another build come from its own copy of this program, so it
// uses only what every build of the window has: its buttons, grids and chart,
// found by name.
#include "gui/results/results_window.h"
#include "gui/widgets/message_service.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QStringList>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QXYSeries>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

fs::path benchDir() {
    if (const char* dir = std::getenv("VELDRON_BENCH_DIR"); dir && *dir) return dir;
    return fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
}

// ---- the parent: roots, child processes, the table ----

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

/// A root holding the sample reservoir with its flood repeated to `steps`
/// values and the results the core computed from it; empty on failure.
fs::path makeRoot(int steps) {
    const fs::path root = benchDir() / ("veldron_results_bench_" + std::to_string(steps));
    fs::remove_all(root);
    for (const char* dir : {"PULT_na_vypocty", "OUT_DATA/TK", "OUT_RESULT", "OUT_PICTURES"})
        fs::create_directories(root / dir);
    const fs::path sample = fs::path(VELDRON_SOURCE_DIR) / "data" / "sample";
    const fs::path exchange = root / "PULT_na_vypocty";
    for (const auto& entry : fs::directory_iterator(sample))
        fs::copy_file(entry.path(), exchange / entry.path().filename());
    std::vector<std::string> flood;
    std::istringstream lines(readText(sample / "IN_FLOOD_WAVE"));
    for (std::string line; std::getline(lines, line);)
        if (line.find_first_not_of(" \r") != std::string::npos) flood.push_back(line);
    std::ofstream wave(exchange / "IN_FLOOD_WAVE", std::ios::binary);
    for (int i = 0; i < steps; ++i)
        wave << flood[static_cast<std::size_t>(i) % flood.size()] << '\n';
    wave.close();
    std::ofstream(exchange / "IN_NUMBER_OF_POINT_FW", std::ios::binary) << steps << "\r\n";

    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("VELDRON_ROOT", root.c_str(), 1);
        const int null = ::open("/dev/null", O_RDWR);
        if (null < 0 || ::dup2(null, 0) < 0 || ::dup2(null, 1) < 0) ::_exit(127);
        ::execl(VELDRON_CORE_EXE, "PRGVELDRON", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    return root;
}

/// Runs `bench --measure root steps` and returns the line it printed, or
/// why there is none ("timeout", "failed").
std::string measure(const std::string& bench, const fs::path& root, int steps, int timeoutS) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return "failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Qt's remarks on the offscreen platform would break the table.
        const int null = ::open("/dev/null", O_WRONLY);
        if (null < 0 || ::dup2(pipeEnds[1], 1) < 0 || ::dup2(null, 2) < 0) ::_exit(127);
        ::close(pipeEnds[0]);
        const std::string count = std::to_string(steps);
        ::execl(bench.c_str(), bench.c_str(), "--measure", root.c_str(), count.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    const auto deadline = Clock::now() + std::chrono::seconds(timeoutS);
    int status = 0;
    bool ended = false;
    while (Clock::now() < deadline)
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            ended = true;
            break;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    if (!ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        ::close(pipeEnds[0]);
        return "timeout";
    }
    std::string out;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || out.empty()) return "failed";
    return out.substr(0, out.find('\n'));
}

std::vector<int> parseSteps(const std::string& text) {
    std::vector<int> steps;
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        steps.push_back(std::stoi(item));
    return steps;
}

int compare(int argc, char** argv, const std::string& self) {
    std::vector<int> sizes = {10000, 100000, 1000000};
    int timeoutS = 300;
    bool keep = false;
    std::vector<std::string> builds = {self};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--steps" && i + 1 < argc)
            sizes = parseSteps(argv[++i]);
        else if (arg == "--timeout" && i + 1 < argc)
            timeoutS = std::atoi(argv[++i]);
        else if (arg == "--keep")
            keep = true;
        else
            builds.push_back(arg);
    }
    std::printf("The results window offscreen, page PRUTOK; roots in %s.\n"
                "load, draw, zoom: ms until painted; stall: longest ms the event loop did not\n"
                "answer; memory: peak resident MB. A build that takes longer than %d s is "
                "stopped.\n\n",
                benchDir().c_str(), timeoutS);
    std::printf("%9s  %-28s %9s %9s %9s %9s %9s\n", "steps", "build", "load", "draw", "zoom",
                "stall", "memory");
    for (int steps : sizes) {
        const fs::path root = makeRoot(steps);
        if (root.empty()) {
            std::printf("%9d  the core did not route the flood\n", steps);
            continue;
        }
        for (const std::string& build : builds) {
            const std::string figures = measure(build, root, steps, timeoutS);
            std::printf("%9d  %-28s %s\n", steps,
                        fs::path(build).parent_path().parent_path().filename().c_str(),
                        figures.c_str());
            std::fflush(stdout);
        }
        if (keep)
            std::printf("%9d  kept in %s\n", steps, root.c_str());
        else
            fs::remove_all(root);
    }
    return 0;
}

// ---- the child: one window, one series length ----

long peakResidentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

/// Runs the event loop until `done` holds; false when `limitMs` passed first.
bool waitUntil(const std::function<bool()>& done, qint64 limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

/// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

int seriesPoints(QChartView& chart, int series) {
    const QList<QAbstractSeries*> all = chart.chart()->series();
    if (series >= all.size()) return 0;
    auto* xy = qobject_cast<QXYSeries*>(all.at(series));
    return xy == nullptr ? 0 : static_cast<int>(xy->count());
}

// No message box may stop a measurement: each is kept to be printed, each
// question answered No.
class QuietMessages : public gui::MessageService {
public:
    QuietMessages() { install(this); }
    ~QuietMessages() override { install(nullptr); }
    QStringList shown;
    bool question(QWidget*, const QString& text) override {
        shown << text;
        return false;
    }
    int choose(QWidget*, const QString& text, const QStringList& choices) override {
        shown << text;
        return int(choices.size()) - 1;
    }
    void information(QWidget*, const QString& text) override { shown << text; }
    void warning(QWidget*, const QString& text) override { shown << text; }
    void error(QWidget*, const QString& text) override { shown << text; }
};

int measureWindow(const fs::path& root, int steps) {
    QuietMessages messages;
    gui::ResultsWindow window;
    window.setRoot(root);
    window.resize(1237, 648);
    // A build that loads on opening begins when shown; the click then asks
    // nothing more of it (an older build begins with the click).
    QElapsedTimer clock;
    clock.start();
    window.show();
    QCoreApplication::processEvents();

    auto* load = window.findChild<QPushButton*>("btnLoadFlow");
    auto* draw = window.findChild<QPushButton*>("btnDrawFlow");
    auto* grid = window.findChild<QTableView*>("gridOutflow");
    auto* chart = window.findChild<QChartView*>("chartFlow");
    if (!load || !draw || !grid || !chart) return 2;

    QElapsedTimer sinceTick;
    qint64 stall = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { stall = std::max(stall, sinceTick.restart()); });
    sinceTick.start();
    ticker.start();
    const qint64 limit = 3600 * 1000;

    // A user takes a moment between one action and the next: the event loop
    // runs meanwhile, so a stall belongs to one action.
    const auto pause = [] {
        QElapsedTimer idle;
        idle.start();
        waitUntil([&] { return idle.elapsed() >= 200; }, 1000);
    };
    load->click();
    if (!waitUntil([&] { return grid->model()->rowCount() >= steps || !messages.shown.isEmpty(); },
                   limit))
        return 3;
    if (!messages.shown.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(messages.shown.join('\n')));
        return 4;
    }
    const qint64 loadMs = clock.elapsed();
    pause();
    clock.restart();

    if (!waitUntil([&] { return draw->isVisible() && draw->isEnabled(); }, limit)) return 3;
    // The paint that follows an action shows its outcome: the event loop
    // paints once the action's events are handled.
    QWidget* area = chart->viewport();
    PaintCounter paints(area);
    const auto paintedAfter = [&](int before) {
        return waitUntil([&] { return paints.count > before; }, limit);
    };
    int before = paints.count;
    draw->click();
    if (!waitUntil([&] { return seriesPoints(*chart, 0) > 0 && seriesPoints(*chart, 1) > 0; },
                   limit) ||
        !paintedAfter(before))
        return 3;
    const qint64 drawMs = clock.elapsed();
    pause();
    clock.restart();

    const QPoint middle(area->width() / 2, area->height() / 2);
    QWheelEvent wheel(middle, area->mapToGlobal(middle), {}, {0, 4 * 120}, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    before = paints.count;
    QCoreApplication::sendEvent(area, &wheel);
    if (!paintedAfter(before)) return 3;
    const qint64 zoomMs = clock.restart();
    ticker.stop();
    stall = std::max(stall, sinceTick.elapsed());

    std::printf("%9lld %9lld %9lld %9lld %9.0f\n", static_cast<long long>(loadMs),
                static_cast<long long>(drawMs), static_cast<long long>(zoomMs),
                static_cast<long long>(stall), static_cast<double>(peakResidentKb()) / 1024.0);
    return 0;
}

// ---- pictures to look at ----

// Saves the window, then drags a rectangle over the middle of `chart` and
// saves the zoomed window.
bool shoot(QWidget& window, const char* chart, const QString& name, const QString& dir) {
    QTest::qWait(1500); // let the lines settle
    if (!window.grab().save(dir + "/" + name + ".png")) return false;
    QWidget* area = window.findChild<QChartView*>(chart)->viewport();
    const QPoint from(area->width() / 4, area->height() / 5);
    const QPoint to(area->width() * 3 / 5, area->height() * 4 / 5);
    QTest::mousePress(area, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 10; ++step)
        QTest::mouseMove(area, from + (to - from) * step / 10, 20);
    QTest::mouseRelease(area, Qt::LeftButton, {}, to);
    QTest::qWait(1500);
    return window.grab().save(dir + "/" + name + "_zoom.png");
}

int takePictures(const fs::path& root, const QString& dir) {
    QuietMessages messages;
    gui::ResultsWindow window;
    window.setRoot(root);
    window.resize(1237, 648);
    window.show();
    QTest::qWait(3000); // the window loads and draws both pages when it opens
    auto* tabs = window.findChild<QTabWidget*>();
    bool saved = shoot(window, "chartFlow", "results_flow", dir);
    window.findChild<QCheckBox*>("chkHoursFlow")->setChecked(true);
    saved = saved && shoot(window, "chartFlow", "results_flow_hours", dir);
    tabs->setCurrentIndex(1);
    saved = saved && shoot(window, "chartLevel", "results_level", dir);
    window.findChild<QCheckBox*>("chkHoursLevel")->setChecked(true);
    saved = saved && shoot(window, "chartLevel", "results_level_hours", dir);
    if (!messages.shown.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(messages.shown.join('\n')));
    return saved && messages.shown.isEmpty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string self = fs::canonical("/proc/self/exe").string();
    if (argc == 4 && std::string(argv[1]) == "--measure") {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("VELDRON_ROOT", argv[2], 1);
        QApplication app(argc, argv);
        return measureWindow(argv[2], std::atoi(argv[3]));
    }
    if (argc >= 3 && std::string(argv[1]) == "--pictures") {
        const fs::path root = makeRoot(argc >= 4 ? std::atoi(argv[3]) : 48);
        if (root.empty()) return 2;
        ::setenv("VELDRON_ROOT", root.c_str(), 1);
        QApplication app(argc, argv);
        const int status = takePictures(root, QString::fromLocal8Bit(argv[2]));
        fs::remove_all(root);
        return status;
    }
    return compare(argc, argv, self);
}
