// The results window driven offscreen on files the real core wrote for the
// sample reservoir: loading, the run summary, drawing over steps and hours,
// the reservoir's levels, zoom, pictures, export, missing files.
#include "gui/charts/line_chart_view.h"
#include "gui/results/results_window.h"
#include "gui/results/summary_panel.h"
#include "helpers/form_fixture.h"
#include "helpers/read_workbook.h"
#include "helpers/test_files.h"

#include <QAbstractItemModel>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineSeries>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <QWheelEvent>

#include <cmath>
#include <map>
#include <memory>

using testing_gui::readWorkbook;

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

/// A number cell read back, as the double it holds.
double cellNumber(const std::map<std::pair<int, int>, QString>& cells, int row, int column) {
    const auto found = cells.find({row, column});
    if (found == cells.end() || !found->second.startsWith("number:")) return std::nan("");
    return found->second.mid(7).toDouble();
}

/// The figures of a summary file as the panel shows them: every line but the
/// stop, its label and its value text.
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

// A summary in the core's layout, for the windows's side of it.
const char* const kStoppedSummary = "Kroků výpočtu:              13 z 48\r\n"
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
    void opensWithEverythingButTheLoadButtonsHidden();
    void loadsBothPagesFromTheCoresFiles();
    void drawingReplacesTheLinesAndInflowAndOutflowEndTogether();
    void theLevelChartShowsTheReservoirsLevelsAndTheHighestLevel();
    void theSummaryPanelShowsTheFiguresOfTheFileAndAStop();
    void theSummaryPanelShowsTheCoresSummaryOfTheSampleAndOfAnOvertopping();
    void hoursUseTheTimeStepAndInputsSavedLaterAreNamed();
    void zoomKeepsRoundTicksAndNeverLeavesTheData();
    void anEditedCellIsDrawnAndExported();
    void picturesAreJpegsOfTheChartAndTheDialogKeepsTheName();
    void aPictureThatCannotBeWrittenIsReported();
    void exportAsksBeforeReplacingAndSaysWhereItSaved();
    void aMissingResultFileStopsTheLoadThere();
    void theInflowIsTheSeriesTheCoreRead();
    void closingAsksNothing();
    void screenshots();

private:
    QPushButton* button(const char* name) const;
    void click(const char* name);
    QLineSeries* line(const char* chart, int index) const;
    gui::LineChartView* chart(const char* name) const;
    gui::SummaryPanel* panel(const char* name) const;
    static QStringList values(const QStringList& records);

    QTemporaryDir m_coreRun; // one real run, copied into each test's root
    std::unique_ptr<testing_gui::FormFixture> m_fixture;
    QString m_root;
    testing_gui::FakeMessages* m_messages = nullptr;
    std::unique_ptr<ResultsWindow> m_form;
    QStringList m_chosen;  // the names the picture dialog was offered
    QString m_pictureName; // the name the picture dialog answers
    QList<QUrl> m_opened;
    bool m_openerWorks = false;
};

void TestResultsWindow::initTestCase() {
    QVERIFY(m_coreRun.isValid());
    QVERIFY(testing_gui::makeSampleRoot(m_coreRun.path()));
    QCOMPARE(runCore(m_coreRun.path()), QByteArray());
    QVERIFY(!lines(m_coreRun.path() + "/OUT_RESULT/transformovana_povoden").isEmpty());
}

void TestResultsWindow::init() {
    m_fixture = std::make_unique<testing_gui::FormFixture>(testing_gui::FormFixture::SampleInputs);
    QVERIFY(m_fixture->isValid());
    m_root = m_fixture->root();
    for (const char* name : {"transformovana_povoden", "vyska_vody"})
        QVERIFY(
            QFile::copy(m_coreRun.path() + "/OUT_RESULT/" + name, m_root + "/OUT_RESULT/" + name));

    m_messages = &m_fixture->messages();
    m_form = std::make_unique<ResultsWindow>();
    m_form->setProgramDir(m_root + "/PULT_na_vypocty");
    m_chosen.clear();
    m_opened.clear();
    m_pictureName.clear();
    m_openerWorks = false;
    m_form->setPictureFileChooser([this](QWidget*, const QString& suggested) {
        m_chosen << suggested;
        return m_pictureName;
    });
    m_form->setWorkbookOpener([this](const QUrl& url) {
        m_opened << url;
        return m_openerWorks;
    });
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
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

QStringList TestResultsWindow::values(const QStringList& records) {
    QStringList result;
    for (const QString& record : records)
        result << record.trimmed();
    return result;
}

void TestResultsWindow::opensWithEverythingButTheLoadButtonsHidden() {
    QCOMPARE(m_form->windowTitle(), QString("Výsledky"));
    auto* tabs = m_form->findChild<QTabWidget*>();
    QVERIFY(tabs);
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QString("PRŮTOK"));
    QCOMPARE(tabs->tabText(1), QString("VÝŠKA VODY V NÁDRŽI"));
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(tabs->tabBar()->font().bold());
    for (const char* hidden : {"btnDrawFlow", "btnSaveFlowPicture", "btnExportFlow", "btnDrawLevel",
                               "btnSaveLevelPicture", "btnExportLevel"})
        QVERIFY2(button(hidden)->isHidden(), hidden);
    for (const char* hidden : {"chartFlow", "chartLevel", "chkHoursFlow", "chkHoursLevel",
                               "panelSummaryFlow", "panelSummaryLevel"})
        QVERIFY2(m_form->findChild<QWidget*>(hidden)->isHidden(), hidden);
    QVERIFY(m_form->findChild<QLabel*>("lblInflowLegend")->isHidden());
    for (const char* shown : {"btnLoadFlow", "btnLoadLevel", "btnCloseFlow", "btnCloseLevel"})
        QVERIFY2(!button(shown)->isHidden(), shown);
    for (const char* grid : {"gridInflow", "gridOutflow", "gridLevel"})
        QVERIFY2(!m_form->findChild<QWidget*>(grid)->isHidden(), grid);
    QCOMPARE(button("btnLoadFlow")->text(), QString("NAČÍST VÝSLEDKY TRANSFORMACE"));
    QVERIFY(button("btnLoadFlow")->font().bold());
    QVERIFY(!button("btnExportFlow")->font().bold());
    QCOMPARE(m_form->inflowGrid().columnCount(), 2);
    QCOMPARE(m_form->outflowGrid().columnCount(), 999);
    QCOMPARE(m_form->levelGrid().rowCount(), 999);
    QVERIFY(m_form->outflowGrid().cell(1, 0).empty());
}

void TestResultsWindow::loadsBothPagesFromTheCoresFiles() {
    click("btnLoadFlow");
    QVERIFY(m_messages->shown.isEmpty());
    const QStringList inflow = lines(m_root + "/PULT_na_vypocty/Q_FLOOD_WAVE.csv");
    const QStringList outflow = lines(m_root + "/OUT_RESULT/transformovana_povoden");
    QVERIFY(!outflow.isEmpty());
    QCOMPARE(m_form->inflowGrid().rowCount(), inflow.size() + 1);
    QCOMPARE(m_form->outflowGrid().rowCount(), outflow.size() + 1);
    QCOMPARE(m_form->outflowGrid().columnCount(), 2);
    QCOMPARE(m_form->inflowGrid().cell(1, 0), std::string("PV [m3/s]"));
    QCOMPARE(m_form->outflowGrid().cell(1, 0), std::string("TP [m3/s]"));
    QStringList shown;
    for (int row = 1; row < m_form->outflowGrid().rowCount(); ++row) {
        QCOMPARE(m_form->outflowGrid().cell(0, row), std::to_string(row));
        shown << QString::fromStdString(m_form->outflowGrid().cell(1, row));
    }
    QCOMPARE(shown, values(outflow));
    for (const char* visible : {"btnDrawFlow", "btnSaveFlowPicture", "btnExportFlow", "chartFlow",
                                "chkHoursFlow", "panelSummaryFlow"})
        QVERIFY2(m_form->findChild<QWidget*>(visible)->isVisible(), visible);
    // Results of a core without a summary: said so, and when they were computed.
    const QDateTime computed =
        QFileInfo(m_root + "/OUT_RESULT/transformovana_povoden").lastModified();
    QCOMPARE(panel("panelSummaryFlow")->timeText(),
             "Souhrn výpočtu, výsledky vypočteny " + computed.toString("d. M. yyyy H:mm:ss"));
    QCOMPARE(panel("panelSummaryFlow")->noticeText(),
             QString("Souhrn výpočtu není k dispozici (výsledky staršího výpočtu, soubor "
                     "souhrn_vypoctu chybí)."));
    QVERIFY(panel("panelSummaryFlow")->figures().isEmpty());
    // Three decimals shown, the cell keeps the file's text; nothing cut off.
    auto* outflowView = m_form->findChild<QTableView*>("gridOutflow");
    for (int column = 0; column < 2; ++column)
        QVERIFY(outflowView->columnWidth(column) >=
                outflowView->fontMetrics().horizontalAdvance(
                    outflowView->model()->headerData(column, Qt::Horizontal).toString()));
    QVERIFY(!button("btnDrawLevel")->isVisibleTo(m_form.get())); // the other page is separate

    m_form->findChild<QTabWidget*>()->setCurrentIndex(1);
    click("btnLoadLevel");
    QVERIFY(m_messages->shown.isEmpty());
    const QStringList levels = lines(m_root + "/OUT_RESULT/vyska_vody");
    QCOMPARE(levels.size(), outflow.size());
    QCOMPARE(m_form->levelGrid().rowCount(), levels.size() + 1);
    QCOMPARE(m_form->levelGrid().columnCount(), 2);
    QCOMPARE(m_form->levelGrid().cell(1, 0), std::string("h [m]"));
    QCOMPARE(QString::fromStdString(m_form->levelGrid().cell(1, levels.size())),
             levels.constLast().trimmed());
    auto* view = m_form->findChild<QTableView*>("gridLevel");
    QCOMPARE(view->model()->columnCount(), 2);
    QCOMPARE(view->model()->rowCount(), levels.size()); // the header row is the view's header
    QCOMPARE(view->model()->headerData(1, Qt::Horizontal).toString(), QString("h [m]"));
}

void TestResultsWindow::drawingReplacesTheLinesAndInflowAndOutflowEndTogether() {
    click("btnLoadFlow");
    for (int press = 0; press < 3; ++press)
        click("btnDrawFlow");
    auto* chart = m_form->findChild<QChartView*>("chartFlow");
    QCOMPARE(chart->chart()->series().size(), 2);
    QLineSeries* inflow = line("chartFlow", 0);
    QLineSeries* outflow = line("chartFlow", 1);
    QVERIFY(inflow && outflow);
    const int steps = m_form->outflowGrid().rowCount() - 1;
    QCOMPARE(inflow->count(), m_form->inflowGrid().rowCount() - 1);
    QCOMPARE(outflow->count(), steps);
    // The core writes one outflow per inflow value: both lines end at one x.
    QCOMPARE(inflow->points().constLast().x(), outflow->points().constLast().x());
    QCOMPARE(outflow->points().constFirst().x(), 1.0); // row i at step i, as in the grid
    QCOMPARE(inflow->points().constFirst().x(), 1.0);
    QCOMPARE(outflow->at(steps - 1).y(), std::stod(m_form->outflowGrid().cell(1, steps)));
    QCOMPARE(inflow->color(), QColor(255, 0, 0));
    QCOMPARE(outflow->color(), QColor(0, 0, 255));
    QVERIFY(m_form->findChild<QLabel*>("lblInflowLegend")->isVisible());
    QCOMPARE(m_form->findChild<QLabel*>("lblOutflowLegend")->text(),
             QString("Transformovaná povodeň"));
    QVERIFY(!chart->chart()->legend()->isVisible());
    QCOMPARE(chart->chart()->title(), QString("TRANSFORMACE POVODŇOVÉ VLNY"));
    QVERIFY(chart->chart()->titleFont().bold());
    QCOMPARE(chart->viewport()->cursor().shape(), Qt::CrossCursor);
    QCOMPARE(chart->rubberBand(), QChartView::RectangleRubberBand);
    QCOMPARE(chart->chart()->axes(Qt::Horizontal).first()->titleText(),
             QString("časový krok i [-]"));
    QCOMPARE(chart->chart()->axes(Qt::Vertical).first()->titleText(), QString("Průtok [m3/s]"));

    m_form->findChild<QTabWidget*>()->setCurrentIndex(1);
    click("btnLoadLevel");
    click("btnDrawLevel");
    click("btnDrawLevel");
    auto* levelChart = m_form->findChild<QChartView*>("chartLevel");
    QCOMPARE(line("chartLevel", 0)->count(), steps);
    QCOMPARE(line("chartLevel", 0)->points().constFirst().x(), 1.0);
    QCOMPARE(line("chartLevel", 0)->color(), QColor(0, 0, 0));
    const auto axes = levelChart->chart()->axes(Qt::Vertical);
    QCOMPARE(axes.size(), 1);
    QCOMPARE(axes.first()->titleText(), QString("Výška vody v nádrži [m]"));
    QCOMPARE(qobject_cast<QValueAxis*>(axes.first())->minorTickCount(), 10);
}

void TestResultsWindow::theLevelChartShowsTheReservoirsLevelsAndTheHighestLevel() {
    m_form->findChild<QTabWidget*>()->setCurrentIndex(1);
    click("btnLoadLevel");
    click("btnDrawLevel");
    click("btnDrawLevel"); // drawn again: every line once
    gui::LineChartView* view = chart("chartLevel");
    const QList<QLineSeries*> drawn = view->lines();
    QCOMPARE(drawn.size(), 4);
    const int steps = m_form->levelGrid().rowCount() - 1;
    const auto saved = [this](const char* name) {
        return QString::fromUtf8(testing_gui::readAll(m_root + "/PULT_na_vypocty/" + name))
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

    int highestRow = 1;
    for (int row = 2; row <= steps; ++row)
        if (std::stod(m_form->levelGrid().cell(1, row)) >
            std::stod(m_form->levelGrid().cell(1, highestRow)))
            highestRow = row;
    const double highest = std::stod(m_form->levelGrid().cell(1, highestRow));
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
    testing_gui::writeAll(m_root + "/OUT_RESULT/souhrn_vypoctu", kStoppedSummary);
    click("btnLoadFlow");
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

    m_form->findChild<QTabWidget*>()->setCurrentIndex(1);
    click("btnLoadLevel");
    QCOMPARE(panel("panelSummaryLevel")->figures(), expected);
    QVERIFY(m_messages->shown.isEmpty());
}

void TestResultsWindow::theSummaryPanelShowsTheCoresSummaryOfTheSampleAndOfAnOvertopping() {
    const QString summary = m_coreRun.path() + "/OUT_RESULT/souhrn_vypoctu";
    QVERIFY2(QFile::copy(summary, m_root + "/OUT_RESULT/souhrn_vypoctu"), "no summary");
    click("btnLoadFlow");
    const auto figures = summaryFigures(summary);
    QCOMPARE(figures.size(), 14); // every figure of a finished run, each one known
    QCOMPARE(panel("panelSummaryFlow")->figures(), figures);
    QCOMPARE(panel("panelSummaryFlow")->noticeText(), QString());
    // The highest level marked on the chart is the summary's.
    m_form->findChild<QTabWidget*>()->setCurrentIndex(1);
    click("btnLoadLevel");
    click("btnDrawLevel");
    const auto highest = std::find_if(figures.begin(), figures.end(), [](const auto& figure) {
        return figure.first == "Nejvyšší hladina";
    });
    QVERIFY(highest != figures.end());
    QCOMPARE(chart("chartLevel")->annotations().constLast(), "max. " + highest->second);

    // Twice the sample's flood overtops the dam.
    QTemporaryDir overtopping;
    QVERIFY(testing_gui::makeSampleRoot(overtopping.path()));
    QByteArray wave;
    for (const QString& value : lines(overtopping.path() + "/PULT_na_vypocty/IN_FLOOD_WAVE"))
        wave += QByteArray::number(2 * value.trimmed().toDouble()) + "\r\n";
    testing_gui::writeAll(overtopping.path() + "/PULT_na_vypocty/IN_FLOOD_WAVE", wave);
    QVERIFY(runCore(overtopping.path()).contains("preliti"));
    m_form->setRoot(overtopping.path().toStdString());
    click("btnLoadLevel");
    const auto stopped = summaryFigures(overtopping.path() + "/OUT_RESULT/souhrn_vypoctu");
    QVERIFY(!stopped.isEmpty());
    QCOMPARE(panel("panelSummaryLevel")->figures(), stopped);
    QVERIFY2(panel("panelSummaryLevel")
                 ->noticeText()
                 .startsWith("Výpočet byl zastaven (přelití nádrže v kroku "),
             qPrintable(panel("panelSummaryLevel")->noticeText()));
    QVERIFY(m_messages->shown.isEmpty());
}

void TestResultsWindow::hoursUseTheTimeStepAndInputsSavedLaterAreNamed() {
    // A time step saved after the results, as a refused run leaves it.
    const QString timeStep = m_root + "/PULT_na_vypocty/IN_TIME_STEP_min";
    testing_gui::writeAll(timeStep, "15\r\n");
    const QDateTime later =
        QFileInfo(m_root + "/OUT_RESULT/transformovana_povoden").lastModified().addSecs(90);
    {
        QFile file(timeStep);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(later, QFileDevice::FileModificationTime));
    }
    click("btnLoadFlow");
    QVERIFY2(panel("panelSummaryFlow")
                 ->noticeText()
                 .startsWith("Pozor: IN_TIME_STEP_min byl uložen " +
                             later.toString("d. M. yyyy H:mm:ss") + ", po tomto výpočtu."),
             qPrintable(panel("panelSummaryFlow")->noticeText()));
    click("btnDrawFlow");
    auto* hours = m_form->findChild<QCheckBox*>("chkHoursFlow");
    QVERIFY(hours->isEnabled());
    hours->setChecked(true);
    QCOMPARE(line("chartFlow", 1)->at(0).x(), 0.25);
    QCOMPARE(line("chartFlow", 0)->at(3).x(), 1.0);
    QCOMPARE(chart("chartFlow")->horizontalAxis()->titleText(), QString("čas t [h]"));

    click("btnExportFlow");
    const auto cells = readWorkbook(m_root + "/PULT_na_vypocty/transformovana_povoden1.xlsx");
    QCOMPARE(cells.at({0, 1}), QString("text:t [h]"));
    QCOMPARE(cells.at({0, 3}), QString("text:TP [m3/s]"));
    QCOMPARE(cellNumber(cells, 4, 1), 1.0);
    QCOMPARE(cellNumber(cells, 5, 1), 1.25);

    hours->setChecked(false);
    QCOMPARE(line("chartFlow", 1)->at(0).x(), 1.0);
    QCOMPARE(chart("chartFlow")->horizontalAxis()->titleText(), QString("časový krok i [-]"));

    // Without a time step there are no hours to show.
    QVERIFY(QFile::remove(timeStep));
    hours->setChecked(true);
    click("btnLoadFlow");
    QVERIFY(!hours->isEnabled());
    QVERIFY(!hours->isChecked());
}

void TestResultsWindow::zoomKeepsRoundTicksAndNeverLeavesTheData() {
    click("btnLoadFlow");
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

void TestResultsWindow::anEditedCellIsDrawnAndExported() {
    click("btnLoadFlow");
    click("btnDrawFlow");
    auto* view = m_form->findChild<QTableView*>("gridOutflow");
    QVERIFY(view->model()->setData(view->model()->index(2, 1), "999"));
    QCOMPARE(line("chartFlow", 1)->at(2).y() == 999.0, false); // no redraw by itself
    click("btnDrawFlow");
    QCOMPARE(line("chartFlow", 1)->at(2).y(), 999.0);

    click("btnExportFlow");
    QVERIFY2(m_messages->shown.size() == 1 && m_messages->shown[0].startsWith("I:"),
             qPrintable(m_messages->shown.join('|')));
    const QString workbook = m_root + "/PULT_na_vypocty/transformovana_povoden1.xlsx";
    QVERIFY(m_messages->shown[0].contains(workbook));
    // i, the inflow and the outflow side by side, numbers as numbers to the last digit.
    const auto cells = readWorkbook(workbook);
    QCOMPARE(cells.at({0, 0}), QString("text:i"));
    QCOMPARE(cells.at({0, 1}), QString("text:PV [m3/s]"));
    QCOMPARE(cells.at({0, 2}), QString("text:TP [m3/s]"));
    const QStringList outflow = values(lines(m_root + "/OUT_RESULT/transformovana_povoden"));
    for (int row = 1; row <= outflow.size(); ++row) {
        QCOMPARE(cellNumber(cells, row, 0), double(row));
        QCOMPARE(
            cellNumber(cells, row, 1),
            QString::fromStdString(m_form->inflowGrid().cell(1, row)).replace(',', '.').toDouble());
        QCOMPARE(cellNumber(cells, row, 2), row == 3 ? 999.0 : outflow[row - 1].toDouble());
    }
    QCOMPARE(cells.count({int(outflow.size()) + 1, 2}), 0u);
}

void TestResultsWindow::picturesAreJpegsOfTheChartAndTheDialogKeepsTheName() {
    click("btnLoadFlow");
    click("btnDrawFlow");
    m_pictureName = m_root + "/OUT_PICTURES/prutok.jpeg";
    click("btnSaveFlowPicture");
    QCOMPARE(m_chosen, QStringList{QDir(m_root).filePath("OUT_PICTURES/.jpeg")});
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(QImageReader(m_pictureName).format(), QByteArray("jpeg"));
    const QImage picture(m_pictureName);
    QCOMPARE(picture.size(), m_form->findChild<QWidget*>("chartFlow")->size());
    // The chart's corner is the white background, not transparency turned black.
    QVERIFY(qGray(picture.pixel(picture.width() - 3, picture.height() / 2)) > 240);

    // The dialog offers the last name; cancelling writes nothing.
    const QString first = m_pictureName;
    m_pictureName.clear();
    m_form->findChild<QTabWidget*>()->setCurrentIndex(1);
    click("btnLoadLevel");
    click("btnSaveLevelPicture");
    QCOMPARE(m_chosen.size(), 2);
    QCOMPARE(m_chosen[1], first);
    QCOMPARE(QDir(m_root + "/OUT_PICTURES").entryList(QDir::Files), QStringList{"prutok.jpeg"});
}

void TestResultsWindow::aPictureThatCannotBeWrittenIsReported() {
    click("btnLoadFlow");
    m_pictureName = m_root + "/NO_SUCH_DIR/a.jpeg";
    click("btnSaveFlowPicture");
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY2(m_messages->shown[0].startsWith("E:") && m_messages->shown[0].contains("a.jpeg"),
             qPrintable(m_messages->shown[0]));
    QCOMPARE(m_form->pictureFileName(), m_pictureName); // still the last name chosen
}

void TestResultsWindow::exportAsksBeforeReplacingAndSaysWhereItSaved() {
    m_form->findChild<QTabWidget*>()->setCurrentIndex(1);
    click("btnLoadLevel");
    m_openerWorks = true;
    click("btnExportLevel");
    const QString workbook = m_root + "/PULT_na_vypocty/vyska_vody1.xlsx";
    QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(workbook)});
    QVERIFY(m_messages->shown.isEmpty());

    // A second export finds the workbook: No keeps it and opens nothing.
    {
        QFile old(workbook);
        QVERIFY(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
        old.write("old");
    }
    m_messages->answers = {false};
    click("btnExportLevel");
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY(m_messages->shown[0].startsWith("Q:") && m_messages->shown[0].contains(workbook));
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(QFileInfo(workbook).size(), 3);

    m_messages->answers = {true};
    click("btnExportLevel");
    QCOMPARE(m_opened.size(), 2);
    QFile replaced(workbook);
    QVERIFY(replaced.open(QIODevice::ReadOnly));
    QCOMPARE(replaced.read(4), QByteArray("PK\x03\x04", 4)); // a zip container
    replaced.close();
    const auto cells = readWorkbook(workbook);
    QCOMPARE(cells.at({0, 1}), QString("text:h [m]"));
    QCOMPARE(cellNumber(cells, 1, 1),
             QString::fromStdString(m_form->levelGrid().cell(1, 1)).toDouble());
}

void TestResultsWindow::aMissingResultFileStopsTheLoadThere() {
    QVERIFY(QFile::remove(m_root + "/OUT_RESULT/transformovana_povoden"));
    QVERIFY(QFile::remove(m_root + "/OUT_RESULT/vyska_vody"));
    click("btnLoadFlow");
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY2(m_messages->shown[0].startsWith("E:Soubor nenalezen") &&
                 m_messages->shown[0].contains("transformovana_povoden"),
             qPrintable(m_messages->shown[0]));
    QCOMPARE(m_form->inflowGrid().rowCount(),
             lines(m_root + "/PULT_na_vypocty/Q_FLOOD_WAVE.csv").size() + 1);
    QCOMPARE(m_form->outflowGrid().rowCount(), 999);
    QCOMPARE(m_form->outflowGrid().columnCount(), 999);
    QVERIFY(m_form->outflowGrid().cell(1, 0).empty()); // header not yet set
    QVERIFY(button("btnDrawFlow")->isVisible());

    m_form->findChild<QTabWidget*>()->setCurrentIndex(1);
    click("btnLoadLevel");
    QCOMPARE(m_messages->shown.size(), 2);
    QVERIFY(m_messages->shown[1].contains("vyska_vody"));
    QCOMPARE(m_form->levelGrid().rowCount(), 999);
    QVERIFY(m_form->levelGrid().cell(1, 0).empty());
    QVERIFY(button("btnDrawLevel")->isVisible());
}

void TestResultsWindow::theInflowIsTheSeriesTheCoreRead() {
    // The source file edited after the run, the routed wave edited in its form.
    const QString exchange = m_root + "/PULT_na_vypocty/";
    testing_gui::writeAll(exchange + "Q_FLOOD_WAVE.csv", "1\r\n2\r\n");
    QStringList wave = lines(exchange + "IN_FLOOD_WAVE");
    wave[9] = "105.5 ";
    testing_gui::writeAll(exchange + "IN_FLOOD_WAVE", (wave.join("\r\n") + "\r\n").toUtf8());
    click("btnLoadFlow");
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(m_form->inflowGrid().rowCount(), wave.size() + 1);
    for (int row = 1; row <= wave.size(); ++row) {
        QCOMPARE(m_form->inflowGrid().cell(0, row), std::to_string(row));
        // The saved text, with a decimal comma.
        QCOMPARE(QString::fromStdString(m_form->inflowGrid().cell(1, row)),
                 wave[row - 1].trimmed().replace('.', ','));
    }

    // Without it nothing is shown as the inflow, and the load stops there.
    QVERIFY(QFile::remove(exchange + "IN_FLOOD_WAVE"));
    auto fresh = std::make_unique<ResultsWindow>();
    fresh->show();
    fresh->findChild<QPushButton*>("btnLoadFlow")->click();
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY(m_messages->shown[0].contains("IN_FLOOD_WAVE"));
    QCOMPARE(fresh->inflowGrid().cell(1, 0), std::string("PV [m3/s]"));
    QCOMPARE(fresh->inflowGrid().rowCount(), 999);
    QCOMPARE(fresh->outflowGrid().rowCount(), 999);
}

// The window holds nothing to save: it closes without a question.
void TestResultsWindow::closingAsksNothing() {
    click("btnCloseFlow");
    QVERIFY(!m_form->isVisible());
    m_form->show();
    m_form->findChild<QTabWidget*>()->setCurrentIndex(1);
    click("btnCloseLevel");
    QVERIFY(!m_form->isVisible());
    QVERIFY(m_messages->shown.isEmpty());
}

// With VELDRON_SCREENSHOT_DIR set: pictures of both pages after a real run,
// drawn over steps and hours, whole and zoomed by a dragged rectangle.
void TestResultsWindow::screenshots() {
    const QString dir = qEnvironmentVariable("VELDRON_SCREENSHOT_DIR");
    if (dir.isEmpty()) QSKIP("VELDRON_SCREENSHOT_DIR not set");
    QVERIFY(QFile::copy(m_coreRun.path() + "/OUT_RESULT/souhrn_vypoctu",
                        m_root + "/OUT_RESULT/souhrn_vypoctu"));
    m_form->resize(1237, 648);
    const auto shoot = [this, &dir](const char* chartName, const QString& name) {
        QTest::qWait(1500); // let the lines settle
        QVERIFY(m_form->grab().save(dir + "/" + name + ".png"));
        QWidget* area = m_form->findChild<QChartView*>(chartName)->viewport();
        const QPoint from(area->width() / 4, area->height() / 5);
        const QPoint to(area->width() * 3 / 5, area->height() * 4 / 5);
        QTest::mousePress(area, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 10; ++step)
            QTest::mouseMove(area, from + (to - from) * step / 10, 20);
        QTest::mouseRelease(area, Qt::LeftButton, {}, to);
        QTest::qWait(1500);
        QVERIFY(m_form->grab().save(dir + "/" + name + "_zoom.png"));
    };
    click("btnLoadFlow");
    click("btnDrawFlow");
    shoot("chartFlow", "results_flow");
    m_form->findChild<QCheckBox*>("chkHoursFlow")->setChecked(true);
    shoot("chartFlow", "results_flow_hours");
    m_form->findChild<QTabWidget*>()->setCurrentIndex(1);
    click("btnLoadLevel");
    click("btnDrawLevel");
    shoot("chartLevel", "results_level");
    m_form->findChild<QCheckBox*>("chkHoursLevel")->setChecked(true);
    shoot("chartLevel", "results_level_hours");
    QVERIFY(m_messages->shown.isEmpty());
}

VELDRON_TEST_MAIN(TestResultsWindow)
#include "results_window_test.moc"
