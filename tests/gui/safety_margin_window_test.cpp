// The safety-margin window on the sample with the real core: the search runs
// while the window stays responsive, can be cancelled, and reports a core
// that cannot be started.
#include "gui/charts/line_chart_view.h"
#include "gui/rezerva/tfrm_rezerva.h"
#include "gui/varianty/study_core_run.h"
#include "helpers/fake_messages.h"
#include "helpers/sample_root.h"
#include "helpers/test_files.h"

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
#include <memory>

class TestRezerva : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void findsTheSamplesMarginWhileTheWindowStaysResponsive();
    void cancelEndsTheSearch();
    void aCoreThatCannotStartEndsTheSearchWithAMessage();

private:
    std::filesystem::path rootPath() const { return m_dir->path().toStdString(); }
    std::unique_ptr<TFRM_rezerva> makeForm(const QString& program = VELDRON_CORE_EXE);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<testing_gui::FakeMessages> m_messages;
};

void TestRezerva::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(testing_gui::makeSampleRoot(m_dir->path()));
    // As after a run: the core has taken the start level away.
    QFile::remove(m_dir->path() + "/PULT_na_vypocty/IN_START_VYP");
    m_messages = std::make_unique<testing_gui::FakeMessages>();
}

void TestRezerva::cleanup() {
    m_messages.reset();
    m_dir.reset();
}

std::unique_ptr<TFRM_rezerva> TestRezerva::makeForm(const QString& program) {
    auto form = std::make_unique<TFRM_rezerva>(rootPath(), " 11,0");
    form->coreRun().setProgram(program);
    form->show();
    return form;
}

void TestRezerva::findsTheSamplesMarginWhileTheWindowStaysResponsive() {
    const auto form = makeForm();
    QSignalSpy ended(form.get(), &TFRM_rezerva::searchEnded);
    auto* progress = form->findChild<QProgressBar*>("ProgressBar1");
    int progressSeen = 0;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout,
            [&] { progressSeen = std::max(progressSeen, progress->value()); });
    watcher.start(10);
    QTest::mouseClick(form->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    // The click returns at once; the runs go on while events are processed.
    QVERIFY(form->isSearching());
    QVERIFY(form->findChild<QPushButton*>("Button2")->isEnabled());
    QVERIFY(ended.wait(120000));
    QVERIFY(progressSeen > 5);

    const auto& result = *form->result();
    QVERIFY(result.complete());
    QVERIFY(result.firstOvertopping);
    QCOMPARE(*result.firstOvertopping, result.largestSafe + 1);
    QVERIFY(result.largestSafe > 100 && result.largestSafe < 200);
    const QString k = QString::number(result.largestSafe / 100.0, 'f', 2).replace('.', ',');
    const QString answer = form->findChild<QLabel*>("Label2")->text();
    QVERIFY2(answer.startsWith("Největší násobek přítoku bez přelití nádrže: k = " + k),
             qPrintable(answer));
    QVERIFY(answer.contains("nelze mezi body hrubého kroku vyloučit dřívější přelití"));
    // Highest levels against k, the overtopped runs at the overtopping level.
    const auto* chart = form->findChild<gui::LineChartView*>("Chart1");
    auto* safe = qobject_cast<QLineSeries*>(chart->chart()->series().at(0));
    QCOMPARE(safe->count(),
             static_cast<int>(result.trials.size()) -
                 static_cast<int>(std::count_if(result.trials.begin(), result.trials.end(),
                                                [](const auto& t) { return !t.safe(); })));
    auto* over = qobject_cast<QLineSeries*>(chart->chart()->series().at(1));
    QVERIFY(over->count() >= 1);
    QCOMPARE(over->at(0).y(), 14.5);
    QCOMPARE(chart->annotations(), (QStringList{"RN 12.000 m", "přelití 14.500 m", "k = " + k}));
    // Nothing of the user's was touched.
    QVERIFY(!QFile::exists(m_dir->path() + "/PULT_na_vypocty/IN_START_VYP"));
    QCOMPARE(QDir(m_dir->path() + "/OUT_RESULT").entryList(QDir::Files).size(), 0);
    testing_gui::screenshot(*form, "bezpecnostni_rezerva");
}

void TestRezerva::cancelEndsTheSearch() {
    const auto form = makeForm();
    QSignalSpy ended(form.get(), &TFRM_rezerva::searchEnded);
    auto* progress = form->findChild<QProgressBar*>("ProgressBar1");
    QTest::mouseClick(form->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(progress->value() >= 3, 60000);
    QTest::mouseClick(form->findChild<QPushButton*>("Button2"), Qt::LeftButton);
    QVERIFY(ended.count() == 1 || ended.wait(30000));
    QVERIFY(form->result()->cancelled);
    QVERIFY(!form->isSearching());
    QVERIFY(form->findChild<QLabel*>("Label2")->text().startsWith("Hledání bylo zrušeno"));
    QVERIFY(form->findChild<QPushButton*>("Button1")->isEnabled());
}

void TestRezerva::aCoreThatCannotStartEndsTheSearchWithAMessage() {
    const auto form = makeForm(m_dir->path() + "/chybi/PRGVELDRON");
    QSignalSpy ended(form.get(), &TFRM_rezerva::searchEnded);
    QTest::mouseClick(form->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    QVERIFY(ended.wait(30000));
    QCOMPARE(form->findChild<QLabel*>("Label2")->text().section("\n\n", 0, 0),
             QString("Hledání skončilo předčasně: výpočet při k = 0,10 nedoběhl: Výpočetní jádro "
                     "PRGVELDRON nelze spustit."));
}

QTEST_MAIN(TestRezerva)
#include "safety_margin_window_test.moc"
