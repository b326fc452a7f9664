// The results window driven offscreen on result sets the real core wrote for
// the sample reservoir: loaded and drawn on opening, the run summary, drawing
// over steps and hours, the reservoir's levels, zoom by dragging, by steps
// and by the summary's steps, pictures, export, incomplete and outdated sets,
// and a long series loaded and drawn while the window keeps answering.
#include "exchange/inputs_record.h"
#include "exchange/result_set.h"
#include "gui/charts/line_chart_view.h"
#include "gui/results/results_page.h"
#include "gui/results/results_window.h"
#include "gui/results/summary_panel.h"
#include "helpers/form_fixture.h"
#include "helpers/qt_files.h"
#include "helpers/read_workbook.h"

#include <QAbstractItemModel>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineSeries>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QValueAxis>
#include <QWheelEvent>

#include <cmath>
#include <map>
#include <memory>

using veldron::testing::readWorkbook;

namespace {

QByteArray runCore(const QString& root) {
    QProcess core;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VELDRON_ROOT", root);
    core.setProcessEnvironment(environment);
    core.setProcessChannelMode(QProcess::MergedChannels);
    core.start(VELDRON_CORE_EXE, {});
    core.closeWriteChannel();
    if (!core.waitForFinished(120000)) return "core did not finish";
    return core.exitCode() == 0 ? QByteArray() : core.readAll();
}

QStringList lines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList result = QString::fromUtf8(file.readAll()).split("\r\n");
    if (!result.isEmpty() && result.constLast().isEmpty()) result.removeLast();
    return result;
}

/// The values of a result series as the core wrote them.
std::vector<double> seriesValues(const QString& path) {
    std::vector<double> values;
    for (const QString& record : lines(path))
        values.push_back(record.trimmed().toDouble());
    return values;
}

/// Copies a run's whole result set, the summary last (so that it stays the newest file).
bool copyResultSet(const QString& from, const QString& to) {
    for (const std::filesystem::path& file : exchange::resultSetFiles(from.toStdString())) {
        const QString relative = QDir(from).relativeFilePath(QString::fromStdString(file.string()));
        QFile::remove(to + "/" + relative);
        if (!QFile::copy(from + "/" + relative, to + "/" + relative)) return false;
    }
    return true;
}

/// A number cell read back, as the double it holds.
double cellNumber(const std::map<std::pair<int, int>, QString>& cells, int row, int column) {
    const auto found = cells.find({row, column});
    if (found == cells.end() || !found->second.startsWith("number:")) return std::nan("");
    return found->second.mid(7).toDouble();
}

/// The figures of a summary file as the panel shows them: the core's text,
/// its decimal points turned into commas (the core's figures hold no other
/// points).
QList<std::pair<QString, QString>> summaryFigures(const QString& path) {
    QList<std::pair<QString, QString>> figures;
    for (const QString& line : lines(path)) {
        const QString label = line.section(':', 0, 0).trimmed();
        if (label != "Výpočet zastaven")
            figures.append({label, line.section(':', 1).trimmed().replace('.', ',')});
    }
    return figures;
}

/// True for 1, 2 or 5 x 10^k.
bool isRoundStep(double step) {
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
    return std::fabs(mantissa - 1.0) < 1e-9 || std::fabs(mantissa - 2.0) < 1e-9 ||
           std::fabs(mantissa - 5.0) < 1e-9;
}

// The longest the event loop may go without answering while a long series
// loads and draws (the figure to reach is 100 ms; the rest is room for a
// machine shared with other work, and for the sanitizers' cost).
#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 kLongestStallMs = 2000;
#else
constexpr qint64 kLongestStallMs = 250;
#endif

// A summary in the core's layout, for the window's side of it (the steps of
// the sample's files, so that the set stays complete).
const char* const kStoppedSummary = "Kroků výpočtu:              48 z 60\r\n"
                                    "Časový krok:                30.000 min\r\n"
                                    "Kulminace přítoku:          100.000 m3/s v kroku 10\r\n"
                                    "Kulminace odtoku:           88.057 m3/s v kroku 12\r\n"
                                    "Transformace kulminace:     11.9 %\r\n"
                                    "Nejvyšší hladina:           13.981 m v kroku 13\r\n"
                                    "Budoucí údaj:               1 kus\r\n"
                                    "Výpočet zastaven: přelití nádrže v kroku 14\r\n";

} // namespace

class TestResultsWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void loadsBothPagesFromTheResultSet();
    void drawingReplacesTheLinesAndInflowAndOutflowEndTogether();
    void theLevelChartShowsTheReservoirsLevelsAndTheHighestLevel();
    void theSummaryPanelShowsTheFiguresOfTheFileAndAStop();
    void theSummaryPanelShowsTheCoresSummaryOfTheSampleAndOfAnOvertopping();
    void hoursCountFromTheStartAndInputsSavedLaterHoldTheChartBack();
    void zoomKeepsRoundTicksAndNeverLeavesTheData();
    void stepFieldsAndTheSummarysStepsZoomTheChart();
    void theGridsShowCzechDecimalsAndTheExportTheValuesAsWritten();
    void picturesAreJpegsOfTheChartUnderNamesThatSayWhatAndWhen();
    void aPictureThatCannotBeWrittenIsReported();
    void exportAsksBeforeReplacingAndSaysWhereItSaved();
    void anIncompleteSetIsShownAsNoResults();
    void theInflowIsTheOneTheSetWasRoutedFrom();
    void aLongSeriesLoadsAndDrawsWhileTheWindowAnswers();
    void closingAsksNothing();

private:
    QPushButton* button(const char* name) const;
    void click(const char* name);
    /// Clicks the page's load button and waits until the load ended.
    void load(const char* page);
    /// Waits until neither page is loading.
    void waitForLoads();
    QLineSeries* line(const char* chart, int index) const;
    gui::LineChartView* chart(const char* name) const;
    gui::SummaryPanel* panel(const char* name) const;
    void showLevelPage() { m_form->findChild<QTabWidget*>()->setCurrentIndex(1); }

    QTemporaryDir m_coreRun; // one real run, copied into each test's root
    std::unique_ptr<veldron::testing::FormFixture> m_fixture;
    QString m_root;
    veldron::testing::FakeMessages* m_messages = nullptr;
    std::unique_ptr<gui::ResultsWindow> m_form;
    QStringList m_chosen; // the names the save dialog was offered
    QString m_chosenName; // the name the save dialog answers
    QList<QUrl> m_opened;
    bool m_openerWorks = false;
};

void TestResultsWindow::initTestCase() {
    QVERIFY(m_coreRun.isValid());
    veldron::testing::installSample((m_coreRun.path()).toStdString());
    QCOMPARE(runCore(m_coreRun.path()), QByteArray());
    QVERIFY(!lines(m_coreRun.path() + "/OUT_RESULT/transformovana_povoden").isEmpty());
}

void TestResultsWindow::init() {
    m_fixture = std::make_unique<veldron::testing::FormFixture>(
        veldron::testing::FormFixture::SampleInputs);
    QVERIFY(m_fixture->isValid());
    m_root = m_fixture->root();
    QVERIFY(copyResultSet(m_coreRun.path(), m_root));

    m_messages = &m_fixture->messages();
    m_form = std::make_unique<gui::ResultsWindow>();
    m_form->setWorkbookDir(m_root + "/PULT_na_vypocty");
    m_chosen.clear();
    m_opened.clear();
    m_chosenName.clear();
    m_openerWorks = false;
    m_form->setFileChooser([this](QWidget*, const gui::SaveFileKind&, const QString& suggested) {
        m_chosen << suggested;
        return m_chosenName;
    });
    m_form->setWorkbookOpener([this](const QUrl& url) {
        m_opened << url;
        return m_openerWorks;
    });
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    waitForLoads();
}

void TestResultsWindow::cleanup() {
    m_form.reset();
    m_fixture.reset();
}

QPushButton* TestResultsWindow::button(const char* name) const {
    return m_form->findChild<QPushButton*>(name);
}

void TestResultsWindow::click(const char* name) {
    QPushButton* target = button(name);
    QVERIFY2(target != nullptr, name);
    QVERIFY2(target->isVisible(), name);
    QTest::mouseClick(target, Qt::LeftButton);
}

void TestResultsWindow::load(const char* page) {
    auto* shown = m_form->findChild<gui::ResultsPage*>(QString("page") + page);
    QVERIFY(shown);
    click(qPrintable(QString("btnLoad") + page));
    QTRY_VERIFY_WITH_TIMEOUT(!shown->isLoading(), 60000);
}

void TestResultsWindow::waitForLoads() {
    for (const char* name : {"pageFlow", "pageLevel"}) {
        auto* page = m_form->findChild<gui::ResultsPage*>(name);
        QVERIFY(page);
        QTRY_VERIFY_WITH_TIMEOUT(!page->isLoading(), 60000);
    }
}

QLineSeries* TestResultsWindow::line(const char* chart, int index) const {
    auto* view = m_form->findChild<QChartView*>(chart);
    if (view == nullptr || index >= view->chart()->series().size()) return nullptr;
    return qobject_cast<QLineSeries*>(view->chart()->series().at(index));
}

gui::LineChartView* TestResultsWindow::chart(const char* name) const {
    return m_form->findChild<gui::LineChartView*>(name);
}

gui::SummaryPanel* TestResultsWindow::panel(const char* name) const {
    return m_form->findChild<gui::SummaryPanel*>(name);
}

// Opened on a complete set, both pages show their grids, summary and chart
// with no click; the load buttons load again.
void TestResultsWindow::loadsBothPagesFromTheResultSet() {
    QCOMPARE(m_form->findChild<QTabWidget*>()->currentIndex(), 0);
    QCOMPARE(chart("chartFlow")->lines().size(), 2);
    QCOMPARE(chart("chartLevel")->lines().size(), 4); // the levels and RO, RN, overtopping
    QCOMPARE(panel("panelSummaryLevel")->figures().size(), 14);
    QCOMPARE(m_form->levels().size(), std::size_t(48));
    load("Flow");
    QVERIFY(m_messages->shown.isEmpty());
    const QString results = m_root + "/OUT_RESULT/";
    const std::vector<double> outflow = seriesValues(results + "transformovana_povoden");
    QCOMPARE(outflow.size(), std::size_t(48));
    QCOMPARE(m_form->outflow(), outflow);
    QCOMPARE(m_form->inflow(), seriesValues(results + "povodnova_vlna"));
    auto* outflowView = m_form->findChild<QTableView*>("gridOutflow");
    const QAbstractItemModel& model = *outflowView->model();
    QCOMPARE(model.rowCount(), 48); // the header row is the view's header
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString("i"));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("TP [m3/s]"));
    QCOMPARE(m_form->findChild<QTableView*>("gridInflow")->model()->headerData(1, Qt::Horizontal),
             QVariant("PV [m3/s]"));
    QCOMPARE(model.data(model.index(47, 0)).toString(), QString("48"));
    for (const char* visible : {"btnDrawFlow", "btnSaveFlowPicture", "btnExportFlow", "chartFlow",
                                "chkHoursFlow", "panelSummaryFlow", "spinFromStepFlow"})
        QVERIFY2(m_form->findChild<QWidget*>(visible)->isVisible(), visible);
    QVERIFY(!m_form->findChild<QWidget*>("lblChartNoticeFlow")->isVisible());
    // The set's summary, and when it was computed.
    const QDateTime computed = QFileInfo(results + "transformovana_povoden").lastModified();
    QCOMPARE(panel("panelSummaryFlow")->timeText(),
             "Souhrn výpočtu, výsledky vypočteny " + computed.toString("d. M. yyyy H:mm:ss"));
    QCOMPARE(panel("panelSummaryFlow")->figures(), summaryFigures(results + "souhrn_vypoctu"));
    // Nothing cut off: the widest value and the header fit their columns.
    for (int column = 0; column < 2; ++column)
        QVERIFY(outflowView->columnWidth(column) >=
                outflowView->fontMetrics().horizontalAdvance(
                    model.headerData(column, Qt::Horizontal).toString()));
    showLevelPage();
    load("Level");
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(m_form->levels(), seriesValues(results + "vyska_vody"));
    auto* view = m_form->findChild<QTableView*>("gridLevel");
    QCOMPARE(view->model()->rowCount(), 48);
    QCOMPARE(view->model()->headerData(1, Qt::Horizontal).toString(), QString("h [m]"));
}
void TestResultsWindow::drawingReplacesTheLinesAndInflowAndOutflowEndTogether() {
    load("Flow");
    for (int press = 0; press < 3; ++press)
        click("btnDrawFlow");
    auto* chart = m_form->findChild<QChartView*>("chartFlow");
    QCOMPARE(chart->chart()->series().size(), 2);
    QLineSeries* inflow = line("chartFlow", 0);
    QLineSeries* outflow = line("chartFlow", 1);
    QVERIFY(inflow && outflow);
    // Fewer steps than pixels: every point as it is, step i at x = i, before
    // and after a zoom.
    const auto drawnAsLoaded = [&] {
        for (const auto& [drawn, values] :
             {std::pair(inflow, m_form->inflow()), std::pair(outflow, m_form->outflow())}) {
            if (drawn->count() != qsizetype(values.size())) return false;
            for (std::size_t i = 0; i < values.size(); ++i)
                if (drawn->at(qsizetype(i)) != QPointF(double(i + 1), values[i])) return false;
        }
        return true;
    };
    QVERIFY(drawnAsLoaded());
    this->chart("chartFlow")->showRangeX(10.0, 20.0);
    QVERIFY(drawnAsLoaded());
    QCOMPARE(inflow->color(), QColor(255, 0, 0));
    QCOMPARE(outflow->color(), QColor(0, 0, 255));
    QVERIFY(m_form->findChild<QLabel*>("lblInflowLegend")->isVisible());
    QCOMPARE(m_form->findChild<QLabel*>("lblOutflowLegend")->text(),
             QString("Transformovaná povodeň"));
    QVERIFY(!chart->chart()->legend()->isVisible());
    QCOMPARE(chart->chart()->title(), QString("TRANSFORMACE POVODŇOVÉ VLNY"));
    QCOMPARE(this->chart("chartLevel")->chart()->title(), QString("VÝŠKA VODY V NÁDRŽI"));
    QVERIFY(chart->chart()->titleFont().bold());
    QCOMPARE(chart->viewport()->cursor().shape(), Qt::CrossCursor);
    QCOMPARE(chart->rubberBand(), QChartView::RectangleRubberBand);
    QCOMPARE(chart->chart()->axes(Qt::Horizontal).first()->titleText(),
             QString("časový krok i [-]"));
    QCOMPARE(chart->chart()->axes(Qt::Vertical).first()->titleText(), QString("Průtok [m3/s]"));

    showLevelPage();
    load("Level");
    click("btnDrawLevel");
    click("btnDrawLevel");
    auto* levelChart = m_form->findChild<QChartView*>("chartLevel");
    QCOMPARE(line("chartLevel", 0)->count(), 48);
    QCOMPARE(line("chartLevel", 0)->points().constFirst().x(), 1.0);
    QCOMPARE(line("chartLevel", 0)->color(), QColor(0, 0, 0));
    const auto axes = levelChart->chart()->axes(Qt::Vertical);
    QCOMPARE(axes.size(), 1);
    QCOMPARE(axes.first()->titleText(), QString("Výška vody v nádrži [m]"));
    QCOMPARE(qobject_cast<QValueAxis*>(axes.first())->minorTickCount(), 10);
}
void TestResultsWindow::theLevelChartShowsTheReservoirsLevelsAndTheHighestLevel() {
    showLevelPage();
    load("Level");
    click("btnDrawLevel");
    click("btnDrawLevel"); // drawn again: every line once
    gui::LineChartView* view = chart("chartLevel");
    const QList<QLineSeries*> drawn = view->lines();
    QCOMPARE(drawn.size(), 4);
    const std::vector<double>& heights = m_form->levels();
    const int steps = int(heights.size());
    const auto saved = [this](const char* name) {
        return QString::fromUtf8(veldron::testing::readAll(m_root + "/PULT_na_vypocty/" + name))
            .trimmed()
            .toDouble();
    };
    const double ro = saved("IN_START_RO");
    const double rn = saved("IN_START_RN_OWERFLOW");
    const double overtopping = rn + saved("IN_TOTAL_HEIGHT_OWERFLOW");
    const double levels[] = {ro, rn, overtopping};
    for (int i = 0; i < 3; ++i) {
        QLineSeries* level = drawn[i + 1];
        QCOMPARE(level->count(), 2);
        QCOMPARE(level->at(0), QPointF(1.0, levels[i]));
        QCOMPARE(level->at(1), QPointF(double(steps), levels[i]));
        QCOMPARE(level->pen().style(), Qt::DashLine);
    }
    QVERIFY(view->verticalAxis()->max() >= overtopping);
    QVERIFY(view->verticalAxis()->min() <= ro);

    const auto top = std::max_element(heights.begin(), heights.end());
    const int highestRow = int(top - heights.begin()) + 1;
    const double highest = *top;
    // Shown with the decimal comma.
    const auto shown = [](double value) {
        return QString::number(value, 'f', 3).replace('.', ',');
    };
    QCOMPARE(view->annotations(),
             QStringList({"RO " + shown(ro) + " m", "RN " + shown(rn) + " m",
                          "přelití " + shown(overtopping) + " m",
                          QString("max. %1 m v kroku %2").arg(shown(highest)).arg(highestRow)}));
    auto* mark = qobject_cast<QXYSeries*>(view->chart()->series().constLast());
    QVERIFY(mark && mark->count() == 1);
    QCOMPARE(mark->at(0), QPointF(highestRow, highest));
}

void TestResultsWindow::theSummaryPanelShowsTheFiguresOfTheFileAndAStop() {
    veldron::testing::writeAll(m_root + "/OUT_RESULT/souhrn_vypoctu", kStoppedSummary);
    load("Flow");
    QList<std::pair<QString, QString>> expected;
    for (const QString& line : QString::fromUtf8(kStoppedSummary).split("\r\n")) {
        const QString label = line.section(':', 0, 0).trimmed();
        if (!line.isEmpty() && label != "Budoucí údaj" && label != "Výpočet zastaven")
            // The core's figures, their decimal points turned into commas.
            expected.append({label, line.section(':', 1).trimmed().replace('.', ',')});
    }
    QCOMPARE(expected.size(), 6);
    QCOMPARE(expected[2].second, QString("100,000 m3/s v kroku 10"));
    QCOMPARE(panel("panelSummaryFlow")->figures(), expected);
    QCOMPARE(panel("panelSummaryFlow")->noticeText(),
             QString("Výpočet byl zastaven (přelití nádrže v kroku 14); hodnoty platí pro "
                     "provedené kroky."));
    QCOMPARE(m_form->timeStepMin(), 30.0); // the run's step, not IN_TIME_STEP_min's 60

    showLevelPage();
    load("Level");
    QCOMPARE(panel("panelSummaryLevel")->figures(), expected);
    QVERIFY(m_messages->shown.isEmpty());
}

void TestResultsWindow::theSummaryPanelShowsTheCoresSummaryOfTheSampleAndOfAnOvertopping() {
    const QString summary = m_coreRun.path() + "/OUT_RESULT/souhrn_vypoctu";
    load("Flow");
    const auto figures = summaryFigures(summary);
    QCOMPARE(figures.size(), 14); // every figure of a finished run, each one known
    QCOMPARE(panel("panelSummaryFlow")->figures(), figures);
    QCOMPARE(panel("panelSummaryFlow")->noticeText(), QString());
    // The highest level marked on the chart is the summary's.
    showLevelPage();
    load("Level");
    click("btnDrawLevel");
    const auto highest = std::find_if(figures.begin(), figures.end(), [](const auto& figure) {
        return figure.first == "Nejvyšší hladina";
    });
    QVERIFY(highest != figures.end());
    QCOMPARE(chart("chartLevel")->annotations().constLast(), "max. " + highest->second);

    // Twice the sample's flood overtops the dam.
    QTemporaryDir overtopping;
    veldron::testing::installSample((overtopping.path()).toStdString());
    QByteArray wave;
    for (const QString& value : lines(overtopping.path() + "/PULT_na_vypocty/IN_FLOOD_WAVE"))
        wave += QByteArray::number(2 * value.trimmed().toDouble()) + "\r\n";
    veldron::testing::writeAll(overtopping.path() + "/PULT_na_vypocty/IN_FLOOD_WAVE", wave);
    QVERIFY(runCore(overtopping.path()).contains("preliti"));
    m_form->setRoot(overtopping.path().toStdString());
    load("Level");
    const auto stopped = summaryFigures(overtopping.path() + "/OUT_RESULT/souhrn_vypoctu");
    QVERIFY(!stopped.isEmpty());
    QCOMPARE(panel("panelSummaryLevel")->figures(), stopped);
    QVERIFY2(panel("panelSummaryLevel")
                 ->noticeText()
                 .startsWith("Výpočet byl zastaven (přelití nádrže v kroku "),
             qPrintable(panel("panelSummaryLevel")->noticeText()));
    // The steps routed, up to the overtopping.
    QCOMPARE(QString::number(m_form->levels().size()),
             stopped.constFirst().second.section(' ', 0, 0));
    QVERIFY(m_messages->shown.isEmpty());
}

void TestResultsWindow::hoursCountFromTheStartAndInputsSavedLaterHoldTheChartBack() {
    // A time step saved after the results, as a refused run leaves it.
    const QString timeStep = m_root + "/PULT_na_vypocty/IN_TIME_STEP_min";
    veldron::testing::writeAll(timeStep, "15\r\n");
    const QDateTime later =
        QFileInfo(m_root + "/OUT_RESULT/souhrn_vypoctu").lastModified().addSecs(90);
    {
        QFile file(timeStep);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(later, QFileDevice::FileModificationTime));
    }
    load("Flow");
    QVERIFY2(panel("panelSummaryFlow")
                 ->noticeText()
                 .startsWith("Pozor: vstup „Časový krok výpočtu (krok povodňové vlny) [min]“ ve "
                             "formuláři Výpočet byl uložen " +
                             later.toString("d. M. yyyy H:mm:ss") + ", po tomto výpočtu."),
             qPrintable(panel("panelSummaryFlow")->noticeText()));
    // Results older than the inputs are not drawn unasked; the chart's place says why.
    QVERIFY(!chart("chartFlow")->isVisible());
    auto* notice = m_form->findChild<QLabel*>("lblChartNoticeFlow");
    QVERIFY(notice->isVisible() && notice->text().startsWith("Graf není vykreslen"));
    QVERIFY(!button("btnSaveFlowPicture")->isEnabled());
    QCOMPARE(m_form->outflow().size(), std::size_t(48));
    click("btnDrawFlow");
    QVERIFY(chart("chartFlow")->isVisible() && !notice->isVisible());
    // Hours from the start, as the grids count steps: step 1 at 0 h; the
    // run's own step (60 min), not the step saved since.
    auto* hours = m_form->findChild<QCheckBox*>("chkHoursFlow");
    QVERIFY(hours->isEnabled());
    hours->setChecked(true);
    QCOMPARE(line("chartFlow", 1)->at(1).x(), 1.0);
    QCOMPARE(chart("chartFlow")->horizontalAxis()->titleText(), QString("čas t [h]"));
    hours->setChecked(false);
    QCOMPARE(line("chartFlow", 1)->at(1).x(), 2.0);
    QCOMPARE(chart("chartFlow")->horizontalAxis()->titleText(), QString("časový krok i [-]"));

    // A summary that names no step: the run's own, as the set records its
    // inputs, never the IN_TIME_STEP_min saved since.
    const QString summary = m_root + "/OUT_RESULT/souhrn_vypoctu";
    const QString record = m_root + "/OUT_RESULT/vstupy_vypoctu";
    const QByteArray sealed = veldron::testing::readAll(summary);
    const QByteArray recorded = veldron::testing::readAll(record);
    QStringList figures = lines(summary);
    figures.removeIf([](const QString& figure) { return figure.startsWith("Časový krok"); });
    const QByteArray stepless = (figures.join("\r\n") + "\r\n").toUtf8();
    const auto files = exchange::parseInputsRecord(recorded.toStdString(), sealed.toStdString());
    QVERIFY(files);
    veldron::testing::writeAll(record, QByteArray::fromStdString(exchange::inputsRecordText(
                                           *files, stepless.toStdString())));
    veldron::testing::writeAll(summary, stepless); // the summary seals the set, last
    load("Flow");
    click("btnDrawFlow");
    hours->setChecked(true);
    QCOMPARE(line("chartFlow", 1)->at(0).x(), 0.0);
    QCOMPARE(line("chartFlow", 0)->at(4).x(), 4.0);
    m_chosenName = m_root + "/hodiny.xlsx";
    click("btnExportFlow");
    const auto cells = readWorkbook(m_chosenName);
    QCOMPARE(cells.at({0, 1}), QString("text:t [h]"));
    QCOMPARE(cells.at({0, 3}), QString("text:TP [m3/s]"));
    QCOMPARE(cellNumber(cells, 1, 1), 0.0);
    QCOMPARE(cellNumber(cells, 5, 1), 4.0);

    // Without a time step there are no hours to show: a set of an earlier
    // core records no inputs, and the step saved now is not the run's.
    QVERIFY(QFile::remove(record));
    load("Flow");
    QVERIFY(!hours->isEnabled());
    QVERIFY(!hours->isChecked());
}
void TestResultsWindow::zoomKeepsRoundTicksAndNeverLeavesTheData() {
    load("Flow");
    click("btnDrawFlow");
    QCoreApplication::processEvents();
    gui::LineChartView* view = chart("chartFlow");
    QValueAxis* x = view->horizontalAxis();
    QValueAxis* y = view->verticalAxis();
    const QPointF fullX(x->min(), x->max()), fullY(y->min(), y->max());
    QCOMPARE(fullX, QPointF(0.0, 50.0));
    const auto roundTicks = [x, y] {
        return x->tickType() == QValueAxis::TicksDynamic && x->tickAnchor() == 0.0 &&
               isRoundStep(x->tickInterval()) && y->tickType() == QValueAxis::TicksDynamic &&
               y->tickAnchor() == 0.0 && isRoundStep(y->tickInterval());
    };
    QVERIFY(roundTicks());

    // A dragged rectangle over an odd part of the plot.
    QWidget* area = view->viewport();
    const QPoint from(area->width() / 4 + 3, area->height() / 5 + 7);
    const QPoint to(area->width() * 3 / 5 - 5, area->height() * 4 / 5 + 1);
    QTest::mousePress(area, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 10; ++step)
        QTest::mouseMove(area, from + (to - from) * step / 10);
    QTest::mouseRelease(area, Qt::LeftButton, {}, to);
    QCoreApplication::processEvents();
    QVERIFY(x->max() - x->min() < (fullX.y() - fullX.x()) / 2);
    QVERIFY2(roundTicks(),
             qPrintable(QString("%1 %2").arg(x->tickInterval()).arg(y->tickInterval())));

    // The wheel zooms about the pointer: the value under it stays.
    const QPoint pointer(area->width() / 2 + 11, area->height() / 2 - 13);
    const auto valueAt = [view](QPoint at) {
        return view->chart()->mapToValue(view->chart()->mapFromScene(view->mapToScene(at)),
                                         view->chart()->series().first());
    };
    const QPointF before = valueAt(pointer);
    const double span = x->max() - x->min();
    QWheelEvent wheel(pointer, area->mapToGlobal(pointer), {}, {0, 120}, Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(area, &wheel);
    QCoreApplication::processEvents();
    QVERIFY(std::fabs((x->max() - x->min()) * 1.25 - span) < 1e-9 * span);
    QVERIFY(std::fabs(valueAt(pointer).x() - before.x()) < 1e-6 * span);
    QVERIFY(roundTicks());

    // Zooming out stops at the data, however often.
    for (int click = 0; click < 4; ++click) {
        QTest::mouseClick(area, Qt::RightButton, {}, pointer);
        QCoreApplication::processEvents();
        QVERIFY(x->min() >= fullX.x() && x->max() <= fullX.y());
        QVERIFY(y->min() >= fullY.x() && y->max() <= fullY.y());
    }
    QCOMPARE(QPointF(x->min(), x->max()), fullX);
    QWheelEvent out(pointer, area->mapToGlobal(pointer), {}, {0, -480}, Qt::NoButton, {},
                    Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(area, &out);
    QCoreApplication::processEvents();
    QCOMPARE(QPointF(y->min(), y->max()), fullY);

    // "VYKRESLIT GRAF" returns a zoomed view to the whole.
    QWheelEvent in(pointer, area->mapToGlobal(pointer), {}, {0, 360}, Qt::NoButton, {},
                   Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(area, &in);
    QVERIFY(x->max() - x->min() < fullX.y() - fullX.x());
    click("btnDrawFlow");
    QCOMPARE(QPointF(x->min(), x->max()), fullX);
    QCOMPARE(view->viewport()->cursor().shape(), Qt::CrossCursor);
}

void TestResultsWindow::stepFieldsAndTheSummarysStepsZoomTheChart() {
    load("Flow");
    click("btnDrawFlow");
    gui::LineChartView* view = chart("chartFlow");
    QValueAxis* x = view->horizontalAxis();
    auto* from = m_form->findChild<QSpinBox*>("spinFromStepFlow");
    auto* to = m_form->findChild<QSpinBox*>("spinToStepFlow");
    QVERIFY(from && to && from->isEnabled());
    QCOMPARE(std::pair(from->value(), to->value()), std::pair(1, 48));

    // Steps typed into the fields; the vertical axis fits what they show.
    from->setValue(30);
    to->setValue(40);
    click("btnZoomStepsFlow");
    QCOMPARE(QPointF(x->min(), x->max()), QPointF(30.0, 40.0));
    const auto shown = m_form->outflow().begin();
    QVERIFY(view->verticalAxis()->max() < *std::max_element(shown, shown + 48));
    QVERIFY(view->verticalAxis()->max() >= *std::max_element(shown + 29, shown + 40));

    // A dragged rectangle: the fields follow the steps in view.
    QWidget* area = view->viewport();
    const QPoint corner(area->width() / 3, area->height() / 4),
        opposite(area->width() * 2 / 3, area->height() * 3 / 4);
    QTest::mousePress(area, Qt::LeftButton, {}, corner);
    for (int step = 1; step <= 10; ++step)
        QTest::mouseMove(area, corner + (opposite - corner) * step / 10);
    QTest::mouseRelease(area, Qt::LeftButton, {}, opposite);
    QTRY_VERIFY(x->min() > 30.0);
    QTRY_COMPARE(from->value(), int(std::ceil(x->min() - 1e-9)));
    QCOMPARE(to->value(), int(std::floor(x->max() + 1e-9)));
    click("btnWholeViewFlow");
    QCOMPARE(QPointF(x->min(), x->max()), QPointF(0.0, 50.0));

    // A step of the summary (the outflow's peak) zooms there and shows it in the grids.
    QLabel* peak = nullptr;
    for (QLabel* figure : panel("panelSummaryFlow")->findChildren<QLabel*>("lblSummaryFigure"))
        if (figure->text().startsWith("Kulminace odtoku")) peak = figure;
    QVERIFY(peak && peak->text().contains("href=\"krok:12\""));
    emit peak->linkActivated("krok:12");
    QCOMPARE(QPointF(x->min(), x->max()), QPointF(2.0, 22.0));
    QCOMPARE(std::pair(from->value(), to->value()), std::pair(2, 22));
    QCOMPARE(m_form->findChild<QTableView*>("gridOutflow")->currentIndex().row(), 11);

    // The level page: its highest level with its neighbours.
    showLevelPage();
    emit panel("panelSummaryLevel")->stepActivated(13);
    QCOMPARE(chart("chartLevel")->lines().size(), 4);
    QCOMPARE(chart("chartLevel")->horizontalAxis()->min(), 3.0);
}

// The core holds single-precision values and writes them with seven
// decimals (4.51 as 4.5100002); the grids, a copy and a workbook give them
// as the inputs wrote them.
void TestResultsWindow::theGridsShowCzechDecimalsAndTheExportTheValuesAsWritten() {
    auto* view = m_form->findChild<QTableView*>("gridOutflow");
    QAbstractItemModel& model = *view->model();
    const QStringList records = lines(m_root + "/OUT_RESULT/transformovana_povoden");
    const double value = records[11].trimmed().toDouble();
    const QModelIndex cell = model.index(11, 1);
    QCOMPARE(model.data(cell).toString(),
             QString::number(value, 'f', 3).replace('.', ',')); // "89,550"
    const auto single = [](const QString& text) { return text.toFloat(); };
    QCOMPARE(single(model.data(cell, Qt::EditRole).toString().replace(',', '.')), float(value));
    QVERIFY(!(model.flags(cell) & Qt::ItemIsEditable));
    QVERIFY(!model.setData(cell, "999"));

    m_chosenName = m_root + "/PULT_na_vypocty/prutok.xlsx";
    click("btnExportFlow");
    QCOMPARE(m_chosen.size(), 1);
    QVERIFY2(m_messages->shown.size() == 1 && m_messages->shown[0].startsWith("I:") &&
                 m_messages->shown[0].contains(m_chosenName),
             qPrintable(m_messages->shown.join('|')));
    // i, the inflow and the outflow side by side, numbers as numbers, as written.
    QStringList sheets;
    const auto cells = readWorkbook(m_chosenName, &sheets);
    QCOMPARE(sheets, QStringList{"Průtok"});
    QCOMPARE(cells.at({0, 0}), QString("text:i"));
    QCOMPARE(cells.at({0, 1}), QString("text:PV [m3/s]"));
    QCOMPARE(cells.at({0, 2}), QString("text:TP [m3/s]"));
    QCOMPARE(cells.at({2, 1}), QString("number:4.51")); // IN_FLOOD_WAVE's second value
    const std::vector<double> inflow = seriesValues(m_root + "/OUT_RESULT/povodnova_vlna");
    for (int row = 1; row <= records.size(); ++row) {
        QCOMPARE(cellNumber(cells, row, 0), double(row));
        QCOMPARE(float(cellNumber(cells, row, 1)), float(inflow[std::size_t(row - 1)]));
        QCOMPARE(float(cellNumber(cells, row, 2)), single(records[row - 1].trimmed()));
    }
    QCOMPARE(cells.count({int(records.size()) + 1, 2}), 0u);

    // Ctrl+C copies the values as written, with decimal commas, for a Czech
    // spreadsheet; the grid takes no paste and no Delete.
    view->setFocus();
    view->selectionModel()->select(QItemSelection(model.index(11, 1), model.index(12, 1)),
                                   QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    const QString copied = QGuiApplication::clipboard()->text();
    QCOMPARE(copied.count('\n'), 1);
    QCOMPARE(copied.section('\n', 0, 0), model.data(cell, Qt::EditRole).toString());
    QVERIFY(copied.contains(',') && !copied.contains('.'));
    QCOMPARE(single(copied.section('\n', 1, 1).replace(',', '.')), single(records[12].trimmed()));
    QTest::keyClick(view, Qt::Key_Delete);
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(model.data(cell).toString(), QString::number(value, 'f', 3).replace('.', ','));
    QVERIFY(m_messages->shown.size() == 1);
}

void TestResultsWindow::picturesAreJpegsOfTheChartUnderNamesThatSayWhatAndWhen() {
    const QString pictures = QDir(m_root).filePath("OUT_PICTURES");
    const QString day = QDate::currentDate().toString(Qt::ISODate);
    const QString project = QDir(m_root).dirName();
    m_chosenName = pictures + "/prutok.jpg";
    click("btnSaveFlowPicture");
    QCOMPARE(m_chosen, QStringList{pictures + "/prutok_" + project + "_" + day + ".jpg"});
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(QImageReader(m_chosenName).format(), QByteArray("jpeg"));
    const QImage picture(m_chosenName);
    QCOMPARE(picture.size(), m_form->findChild<QWidget*>("chartFlow")->size());
    // The chart's corner is the white background, not transparency turned black.
    QVERIFY(qGray(picture.pixel(picture.width() - 3, picture.height() / 2)) > 240);

    // The level page offers its own name in the folder chosen last; an
    // existing file is replaced only on Yes, a hidden name never written.
    showLevelPage();
    m_messages->answers = {false};
    click("btnSaveLevelPicture");
    QCOMPARE(m_chosen[1], pictures + "/hladina_" + project + "_" + day + ".jpg");
    QCOMPARE(m_messages->shown,
             QStringList{"Q:Soubor " + m_chosenName + " již existuje. Přepsat?"});
    QCOMPARE(QImage(m_chosenName).size(), picture.size()); // the flow chart's still
    m_chosenName = pictures + "/.jpg";
    click("btnSaveLevelPicture");
    QVERIFY(m_messages->shown.last().startsWith("E:Název souboru .jpg začíná tečkou"));
    m_chosenName.clear(); // cancelled
    click("btnSaveLevelPicture");
    QCOMPARE(QDir(pictures).entryList(QDir::Files | QDir::Hidden), QStringList{"prutok.jpg"});
}

void TestResultsWindow::aPictureThatCannotBeWrittenIsReported() {
    m_chosenName = m_root + "/NO_SUCH_DIR/a.jpg";
    click("btnSaveFlowPicture");
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY2(m_messages->shown[0].startsWith("E:") && m_messages->shown[0].contains("a.jpg"),
             qPrintable(m_messages->shown[0]));
}

void TestResultsWindow::exportAsksBeforeReplacingAndSaysWhereItSaved() {
    showLevelPage();
    m_openerWorks = true;
    const QString workbook = m_root + "/hladina.xlsx";
    m_chosenName = workbook;
    click("btnExportLevel");
    QCOMPARE(m_chosen.constFirst(), m_root + "/PULT_na_vypocty/hladina_" + QDir(m_root).dirName() +
                                        "_" + QDate::currentDate().toString(Qt::ISODate) + ".xlsx");
    QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(workbook)});
    QVERIFY(m_messages->shown.isEmpty());

    // A second export finds the workbook: No keeps it and opens nothing.
    veldron::testing::writeAll(workbook, "old");
    m_messages->answers = {false};
    click("btnExportLevel");
    QVERIFY(m_chosen.constLast().startsWith(m_root + "/hladina_")); // the folder chosen last
    QCOMPARE(m_messages->shown, QStringList{"Q:Soubor " + workbook + " již existuje. Přepsat?"});
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(QFileInfo(workbook).size(), 3);

    m_messages->answers = {true};
    click("btnExportLevel");
    QCOMPARE(m_opened.size(), 2);
    QStringList sheets;
    const auto cells = readWorkbook(workbook, &sheets);
    QCOMPARE(sheets, QStringList{"Hladina"});
    QCOMPARE(cells.at({0, 1}), QString("text:h [m]"));
    const std::vector<double>& levels = m_form->levels();
    for (std::size_t step = 0; step < levels.size(); ++step)
        QCOMPARE(float(cellNumber(cells, int(step) + 1, 1)), float(levels[step]));
}

void TestResultsWindow::anIncompleteSetIsShownAsNoResults() {
    auto* reason = m_form->findChild<QLabel*>("lblChartNoticeFlow");
    const QString results = m_root + "/OUT_RESULT/";
    // Each way a set is not one run's whole set: nothing of it is shown, and why.
    const auto showsNoResults = [&](const char* why) {
        load("Flow");
        QVERIFY2(reason->isVisible() && reason->text().contains(why), qPrintable(reason->text()));
        QVERIFY(m_form->inflow().empty() && m_form->outflow().empty());
        QCOMPARE(m_form->findChild<QTableView*>("gridOutflow")->model()->rowCount(), 0);
        for (const char* hidden :
             {"btnDrawFlow", "chartFlow", "btnExportFlow", "panelSummaryFlow", "chkHoursFlow"})
            QVERIFY2(!m_form->findChild<QWidget*>(hidden)->isVisible(), hidden);
        QVERIFY(m_messages->shown.isEmpty());
    };
    // A file written after the summary (a run died while replacing the set, or an edit).
    {
        QFile file(results + "vyska_vody");
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QFileInfo(results + "souhrn_vypoctu").lastModified().addSecs(5),
                                 QFileDevice::FileModificationTime));
    }
    showsNoResults("nepatří k jednomu výpočtu");
    // The set of an earlier core, without the inflow it routed.
    QVERIFY(copyResultSet(m_coreRun.path(), m_root));
    QVERIFY(QFile::remove(results + "povodnova_vlna"));
    showsNoResults("povodnova_vlna");
    // No summary: no run, or one that did not end.
    QVERIFY(copyResultSet(m_coreRun.path(), m_root));
    QVERIFY(QFile::remove(results + "souhrn_vypoctu"));
    showsNoResults("souhrn_vypoctu");

    // The whole set again: shown again.
    QVERIFY(copyResultSet(m_coreRun.path(), m_root));
    load("Flow");
    QVERIFY(!reason->isVisible());
    QCOMPARE(m_form->outflow().size(), std::size_t(48));
    QVERIFY(button("btnDrawFlow")->isVisible());
}
void TestResultsWindow::theInflowIsTheOneTheSetWasRoutedFrom() {
    // The source file and the saved wave changed after the run.
    const QString exchange = m_root + "/PULT_na_vypocty/";
    veldron::testing::writeAll(exchange + "Q_FLOOD_WAVE.csv", "1\r\n2\r\n");
    QStringList wave = lines(exchange + "IN_FLOOD_WAVE");
    wave[9] = "105.5 ";
    veldron::testing::writeAll(exchange + "IN_FLOOD_WAVE", (wave.join("\r\n") + "\r\n").toUtf8());
    load("Flow");
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(m_form->inflow(), seriesValues(m_root + "/OUT_RESULT/povodnova_vlna"));
    QCOMPARE(m_form->inflow()[9], 100.0); // the sample's peak, as routed
    QVERIFY(QFile::remove(exchange + "IN_FLOOD_WAVE"));
    load("Flow");
    QCOMPARE(m_form->inflow().size(), std::size_t(48));
}

void TestResultsWindow::aLongSeriesLoadsAndDrawsWhileTheWindowAnswers() {
    constexpr int kSteps = 100000;
    QTemporaryDir longRun;
    veldron::testing::installSample((longRun.path()).toStdString());
    const QString exchange = longRun.path() + "/PULT_na_vypocty/";
    const QStringList flood = lines(exchange + "IN_FLOOD_WAVE");
    QByteArray wave;
    for (int i = 0; i < kSteps; ++i)
        wave += flood[i % flood.size()].toUtf8() + "\r\n";
    veldron::testing::writeAll(exchange + "IN_FLOOD_WAVE", wave);
    veldron::testing::writeAll(exchange + "IN_NUMBER_OF_POINT_FW",
                               QByteArray::number(kSteps) + "\r\n");
    QCOMPARE(runCore(longRun.path()), QByteArray());
    m_form->setRoot(longRun.path().toStdString());

    // A timer of 5 ms ticks as long as the window answers.
    QElapsedTimer sinceTick, clock;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(5);
    connect(&ticker, &QTimer::timeout, [&] { longest = std::max(longest, sinceTick.restart()); });
    sinceTick.start();
    clock.start();
    ticker.start();
    load("Flow");
    const qint64 loaded = clock.elapsed();
    click("btnDrawFlow");
    QTest::qWait(100); // painted meanwhile
    ticker.stop();
    qInfo("%d steps loaded in %lld ms, drawn by %lld ms; the longest the window did not answer: "
          "%lld ms",
          kSteps, loaded, clock.elapsed() - 100, longest);
    QCOMPARE(m_form->outflow().size(), std::size_t(kSteps));
    QVERIFY2(longest < kLongestStallMs, qPrintable(QString::number(longest)));

    // Drawn as the plot's columns show it, every peak kept.
    gui::LineChartView* view = chart("chartFlow");
    const int columns = int(std::ceil(view->chart()->plotArea().width()));
    const std::vector<double>& outflow = m_form->outflow();
    const auto peak = std::max_element(outflow.begin(), outflow.end());
    QLineSeries* drawn = line("chartFlow", 1);
    QVERIFY(drawn->count() <= 4 * columns + 2);
    QVERIFY(drawn->points().contains(QPointF(double(peak - outflow.begin() + 1), *peak)));
    QCOMPARE(view->pointCount(drawn), std::size_t(kSteps));
}

// The window holds nothing to save: it closes without a question.
void TestResultsWindow::closingAsksNothing() {
    click("btnCloseFlow");
    QVERIFY(!m_form->isVisible());
    m_form->show();
    showLevelPage();
    click("btnCloseLevel");
    QVERIFY(!m_form->isVisible());
    QVERIFY(m_messages->shown.isEmpty());
}

VELDRON_TEST_MAIN(TestResultsWindow)
#include "results_window_test.moc"
