// The safety-margin window on the sample with the real core: the search runs
// while the window stays responsive, can be cancelled, and reports a core
// that cannot be started.
#include "desk/kept_margin.h"
#include "gui/calculation/study_core_run.h"
#include "gui/charts/line_chart_view.h"
#include "gui/studies/safety_margin_window.h"
#include "helpers/form_fixture.h"
#include "helpers/qt_files.h"
#include "tests/support/sample_record.h"

#include <QChart>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <memory>

class TestSafetyMarginWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void findsTheSamplesMarginWhileTheWindowStaysResponsive();
    void cancelEndsTheSearch();
    void aCoreThatCannotStartEndsTheSearchWithAMessage();
    void aStartLevelTheCurveCannotHoldStartsNothing();
    void aStopSignalEndsTheSearchAndRemovesItsRootFirst();

private:
    std::filesystem::path rootPath() const { return m_fixture->rootPath(); }
    std::unique_ptr<gui::SafetyMarginWindow> makeForm(const QString& program = VELDRON_CORE_EXE);

    std::unique_ptr<veldron::testing::FormFixture> m_fixture;
    veldron::testing::FakeMessages* m_messages = nullptr;
};

void TestSafetyMarginWindow::init() {
    m_fixture = std::make_unique<veldron::testing::FormFixture>(
        veldron::testing::FormFixture::SampleInputs);
    QVERIFY(m_fixture->isValid());
    // As after a run: the core has taken the start level away.
    QFile::remove(m_fixture->root() + "/PULT_na_vypocty/IN_START_VYP");
    m_messages = &m_fixture->messages();
}

void TestSafetyMarginWindow::cleanup() {
    m_fixture.reset();
}

std::unique_ptr<gui::SafetyMarginWindow> TestSafetyMarginWindow::makeForm(const QString& program) {
    auto form = std::make_unique<gui::SafetyMarginWindow>(rootPath(), " 11,0");
    form->coreRun().setProgram(program);
    form->show();
    return form;
}

void TestSafetyMarginWindow::findsTheSamplesMarginWhileTheWindowStaysResponsive() {
    const auto form = makeForm();
    QSignalSpy ended(form.get(), &gui::SafetyMarginWindow::searchEnded);
    auto* progress = form->findChild<QProgressBar*>("progressSearch");
    int progressSeen = 0;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout,
            [&] { progressSeen = std::max(progressSeen, progress->value()); });
    watcher.start(10);
    QTest::mouseClick(form->findChild<QPushButton*>("btnStart"), Qt::LeftButton);
    // The click returns at once; the runs go on while events are processed.
    QVERIFY(form->isSearching());
    QVERIFY(form->findChild<QPushButton*>("btnCancel")->isEnabled());
    QVERIFY(ended.wait(120000));
    QVERIFY(progressSeen > 5);

    const auto& result = *form->result();
    QVERIFY(result.complete());
    QVERIFY(result.firstOvertopping);
    QCOMPARE(*result.firstOvertopping, result.largestSafe + 1);
    QCOMPARE(result.largestSafe, veldron::testing::sample::kMargins[0].largestSafe);
    const QString k = QString::number(result.largestSafe / 100.0, 'f', 2).replace('.', ',');
    const QString answer = form->findChild<QLabel*>("lblAnswer")->text();
    QVERIFY2(answer.startsWith("Největší násobek přítoku bez přelití nádrže: k = " + k),
             qPrintable(answer));
    QVERIFY(answer.contains("nelze mezi body hrubého kroku vyloučit dřívější přelití"));
    // Highest levels against k, the overtopped runs at the overtopping level.
    const auto* chart = form->findChild<gui::LineChartView*>("chartHighestLevel");
    auto* safe = qobject_cast<QLineSeries*>(chart->chart()->series().at(0));
    QCOMPARE(safe->count(),
             static_cast<int>(result.trials.size()) -
                 static_cast<int>(std::count_if(result.trials.begin(), result.trials.end(),
                                                [](const auto& t) { return !t.safe(); })));
    auto* over = qobject_cast<QLineSeries*>(chart->chart()->series().at(1));
    QVERIFY(over->count() >= 1);
    QCOMPARE(over->at(0).y(), 14.5);
    QCOMPARE(chart->annotations(), (QStringList{"RN 12,000 m", "přelití 14,500 m", "k = " + k}));
    // The search is kept in the project for its report.
    const auto kept = desk::readKeptSafetyMargin(rootPath());
    QVERIFY(kept);
    QVERIFY(kept->ofProjectInputs);
    QCOMPARE(QString::fromStdString(kept->inputs),
             QString("Vstupy hledání: aktuální vstupy projektu, výška vody na začátku řešení "
                     "11,0 m"));
    QVERIFY(kept->answer == result.text(','));
    // Nothing of the user's was touched.
    QVERIFY(!QFile::exists(m_fixture->root() + "/PULT_na_vypocty/IN_START_VYP"));
    QCOMPARE(QDir(m_fixture->root() + "/OUT_RESULT").entryList(QDir::Files).size(), 0);
    veldron::testing::screenshot(*form, "bezpecnostni_rezerva");
}

void TestSafetyMarginWindow::cancelEndsTheSearch() {
    const auto form = makeForm();
    QSignalSpy ended(form.get(), &gui::SafetyMarginWindow::searchEnded);
    auto* progress = form->findChild<QProgressBar*>("progressSearch");
    QTest::mouseClick(form->findChild<QPushButton*>("btnStart"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(progress->value() >= 3, 60000);
    QTest::mouseClick(form->findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
    QVERIFY(ended.count() == 1 || ended.wait(30000));
    QVERIFY(form->result()->cancelled);
    QVERIFY(!form->isSearching());
    QVERIFY(form->findChild<QLabel*>("lblAnswer")->text().startsWith("Hledání bylo zrušeno"));
    QVERIFY2(progress->value() < progress->maximum(), "a cancelled search shown as done");
    QVERIFY(form->findChild<QPushButton*>("btnStart")->isEnabled());
    QVERIFY(!desk::readKeptSafetyMargin(rootPath())); // only a finished search is kept
}

void TestSafetyMarginWindow::aCoreThatCannotStartEndsTheSearchWithAMessage() {
    const auto form = makeForm(m_fixture->root() + "/chybi/PRGVELDRON");
    QSignalSpy ended(form.get(), &gui::SafetyMarginWindow::searchEnded);
    QTest::mouseClick(form->findChild<QPushButton*>("btnStart"), Qt::LeftButton);
    QVERIFY(ended.wait(30000));
    QCOMPARE(form->findChild<QLabel*>("lblAnswer")->text().section("\n\n", 0, 0),
             QString("Hledání skončilo předčasně: výpočet při k = 0,10 nedoběhl: Výpočetní jádro "
                     "PRGVELDRON nelze spustit."));
}

void TestSafetyMarginWindow::aStartLevelTheCurveCannotHoldStartsNothing() {
    const auto form = makeForm(m_fixture->root() + "/chybi/PRGVELDRON");
    auto* start = form->findChild<QLineEdit*>("editStartLevel");
    start->setText("16");
    QTest::mouseClick(form->findChild<QPushButton*>("btnStart"), Qt::LeftButton);
    QVERIFY2(m_messages->shown.last().startsWith(
                 "W:Výška vody 16 m leží na úrovni přelití nádrže nebo nad ní (14,50 m)."),
             qPrintable(m_messages->shown.last()));
    // Below the curve's first row (0,50 m) the search asks first; No starts nothing.
    start->setText("0,2");
    m_messages->answers = {false};
    QTest::mouseClick(form->findChild<QPushButton*>("btnStart"), Qt::LeftButton);
    QVERIFY2(m_messages->shown.last().startsWith("Q:Výška vody 0,2 m leží pod prvním řádkem"),
             qPrintable(m_messages->shown.last()));
    QCOMPARE(m_messages->shown.size(), 2);
    QVERIFY(!form->isSearching());
    QVERIFY(!form->result());
}

namespace {

volatile std::sig_atomic_t g_signalSeen = 0;

extern "C" void noteSignal(int signal) {
    g_signalSeen = signal;
}

} // namespace

// SIGTERM to the front end while a core runs: the core is ended and the
// search's temporary root removed, and only then does the signal take effect
// (here the test's own handler, which notes it).
void TestSafetyMarginWindow::aStopSignalEndsTheSearchAndRemovesItsRootFirst() {
    QTemporaryDir tmp;
    qputenv("TMPDIR", tmp.path().toUtf8());
    qputenv("FAKE_CORE_LINES", "600"); // a minute
    const auto previous = std::signal(SIGTERM, noteSignal);
    g_signalSeen = 0;
    const auto form =
        makeForm(QStringLiteral(VELDRON_SOURCE_DIR) + "/tests/gui/fake_core/fake_core.sh");
    QSignalSpy ended(form.get(), &gui::SafetyMarginWindow::searchEnded);
    QTest::mouseClick(form->findChild<QPushButton*>("btnStart"), Qt::LeftButton);
    QVERIFY(form->coreRun().isRunning());
    QCOMPARE(QDir(tmp.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 1);

    std::raise(SIGTERM);
    QCOMPARE(g_signalSeen, 0);
    QVERIFY(ended.wait(30000));
    QCOMPARE(g_signalSeen, SIGTERM);
    QVERIFY(form->result()->cancelled);
    QVERIFY(form->result()->trials.empty());
    QCOMPARE(QDir(tmp.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    std::signal(SIGTERM, previous);
    qunsetenv("FAKE_CORE_LINES");
    qunsetenv("TMPDIR");
}

VELDRON_TEST_MAIN(TestSafetyMarginWindow)
#include "safety_margin_window_test.moc"
