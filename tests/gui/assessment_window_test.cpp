// The flood-safety assessment's window on the sample with the real core: the
// runs beside a responsive window, the case table, the verdict kept in the
// project, read back by a new window, the overview and the calculation
// report, and marked outdated once an input changes; a refused setting starts
// nothing.
#include "desk/project_overview.h"
#include "gui/report/calculation_report.h"
#include "gui/studies/assessment_window.h"
#include "helpers/form_fixture.h"
#include "helpers/qt_files.h"
#include "tests/support/sample_record.h"

#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>

#include <memory>

class TestAssessmentWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void assessesTheSampleKeepsItAndReportsIt();
    void aRefusedSettingStartsNothing();
    void cancelEndsTheCoresAndRemovesTheirRoots();

private:
    std::unique_ptr<gui::AssessmentWindow> makeWindow();
    QString cell(gui::AssessmentWindow& window, int row, int column) const;

    std::unique_ptr<veldron::testing::FormFixture> m_fixture;
};

void TestAssessmentWindow::init() {
    m_fixture = std::make_unique<veldron::testing::FormFixture>(
        veldron::testing::FormFixture::SampleInputs);
    QVERIFY(m_fixture->isValid());
    // The outlets open above the crest, so that the three cases part.
    veldron::testing::writeAll(m_fixture->exchangeFile("IN_MANIP_0_1_2"), "0\r\n");
}

void TestAssessmentWindow::cleanup() {
    m_fixture.reset();
}

std::unique_ptr<gui::AssessmentWindow> TestAssessmentWindow::makeWindow() {
    auto window = std::make_unique<gui::AssessmentWindow>(m_fixture->rootPath());
    window->setCoreProgram(VELDRON_CORE_EXE);
    window->show();
    return window;
}

QString TestAssessmentWindow::cell(gui::AssessmentWindow& window, int row, int column) const {
    const QTableWidgetItem* item = window.findChild<QTableWidget*>("tableCases")->item(row, column);
    return item ? item->text() : QString();
}

void TestAssessmentWindow::assessesTheSampleKeepsItAndReportsIt() {
    QCOMPARE(veldron::testing::runRealCore(m_fixture->rootPath()), 0); // results for the report
    auto window = makeWindow();
    veldron::testing::type(*window, "editStartLevel", "9");
    veldron::testing::type(*window, "editMbh", "13,5");
    auto* floods = window->findChild<QTableWidget*>("tableFloods");
    const char* pairs[][2] = {{"100", "90"}, {"1000", "100"}, {"10000", "120,0"}};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 2; ++column)
            floods->setItem(row, column, new QTableWidgetItem(pairs[row][column]));
    QSignalSpy ended(window.get(), &gui::AssessmentWindow::assessmentEnded);
    veldron::testing::click(*window, "btnStart");
    QVERIFY(window->isRunning() || ended.count() == 1);
    QVERIFY(ended.count() == 1 || ended.wait(60000));

    const QString sentence =
        QString("Vodní dílo při kontrolní povodni vyhovuje: KMH %1 m ≤ MBH 13,500 m, rezerva "
                "0,024 m (jedna výpust mimo provoz).")
            .arg(QString(veldron::testing::sample::kAssessmentLevels[1]).replace('.', ','));
    QCOMPARE(window->findChild<QLabel*>("lblSentence")->text(), sentence);
    QStringList kmh;
    for (int row = 0; row < 3; ++row) {
        kmh << QString(veldron::testing::sample::kAssessmentLevels[row]).replace('.', ',');
        QCOMPARE(cell(*window, row, 2), kmh.last());
        QCOMPARE(cell(*window, row, 3), QString("14"));
        QCOMPARE(cell(*window, row, 7), QString(row < 2 ? "vyhovuje" : "nevyhovuje"));
    }
    QVERIFY(window->findChild<QLabel*>("lblFindings")
                ->text()
                .contains("N = 1000 let; první, která nevyhovuje: N = 10000 let."));
    veldron::testing::screenshot(*window, "posouzeni_bezpecnosti");
    window.reset();

    // Kept with the project: a new window shows the settings and the verdict,
    // the overview the verdict, the report its chapter.
    window = makeWindow();
    QCOMPARE(window->findChild<QLineEdit*>("editMbh")->text(), QString("13,5"));
    QCOMPARE(window->findChild<QLabel*>("lblSentence")->text(), sentence);
    const desk::ProjectOverview overview = desk::readProjectOverview(m_fixture->rootPath());
    QVERIFY(QString::fromStdString(desk::assessmentText(overview.assessment)).endsWith(sentence));
    const QString pdf = m_fixture->root() + "/protokol.pdf";
    QCOMPARE(gui::makeCalculationReport(m_fixture->rootPath(), pdf), QString());
    QProcess text;
    text.start("pdftotext", {pdf, "-"});
    QVERIFY(text.waitForFinished(60000));
    const QString report = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    QVERIFY(report.contains("3. Posouzení bezpečnosti vodního díla za povodně"));
    QVERIFY2(report.contains(sentence), qPrintable(report.right(3000)));
    for (const QString& level : kmh)
        QVERIFY2(report.contains(level), qPrintable(level));

    // An input changed since: outdated everywhere, never shown as current.
    veldron::testing::writeAll(m_fixture->exchangeFile("IN_OUTLET_DIAMETER"), "1.2\r\n");
    const QString outdated = QString::fromStdString(
        desk::assessmentText(desk::readProjectOverview(m_fixture->rootPath()).assessment));
    QVERIFY2(outdated.contains("je zastaralé: vstupy se od něj změnily (Technické údaje → "
                               "Průměr potrubí [m])"),
             qPrintable(outdated));
    window = makeWindow();
    QVERIFY(window->findChild<QLabel*>("lblSentence")->text().startsWith(outdated.left(20)));
}

void TestAssessmentWindow::aRefusedSettingStartsNothing() {
    auto window = makeWindow();
    veldron::testing::type(*window, "editMbh", "15");
    veldron::testing::click(*window, "btnStart");
    QVERIFY(!window->isRunning());
    QCOMPARE(m_fixture->messages().shown,
             QStringList{"W:Mezní bezpečná hladina MBH 15,000 m leží nad hladinou přelití nádrže "
                         "14,500 m (RN + retenční výška): výpočet hladinu nad ní neukáže."});
    QVERIFY(!QFile::exists(m_fixture->root() + "/posouzeni_nastaveni"));
}

void TestAssessmentWindow::cancelEndsTheCoresAndRemovesTheirRoots() {
    QTemporaryDir tmp;
    qputenv("TMPDIR", tmp.path().toUtf8());
    qputenv("FAKE_CORE_LINES", "600"); // a minute
    auto window = makeWindow();
    window->setCoreProgram(QStringLiteral(VELDRON_SOURCE_DIR) +
                           "/tests/gui/fake_core/fake_core.sh");
    veldron::testing::type(*window, "editMbh", "13,5");
    QSignalSpy ended(window.get(), &gui::AssessmentWindow::assessmentEnded);
    veldron::testing::click(*window, "btnStart");
    // The inputs' snapshot and a root for each run going at once.
    QTRY_VERIFY(QDir(tmp.path()).entryList(QDir::NoDotAndDotDot | QDir::Dirs).size() >= 2);
    veldron::testing::click(*window, "btnCancel");
    QVERIFY(ended.wait(10000));
    QVERIFY(window->result()->cancelled);
    QCOMPARE(window->findChild<QLabel*>("lblSentence")->text(),
             QString("Posouzení bylo zrušeno: verdikt nelze vyslovit."));
    window.reset();
    QCOMPARE(QDir(tmp.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    QVERIFY(!QFile::exists(m_fixture->root() + "/posouzeni_bezpecnosti"));
    qunsetenv("FAKE_CORE_LINES");
    qunsetenv("TMPDIR");
}

VELDRON_TEST_MAIN(TestAssessmentWindow)
#include "assessment_window_test.moc"
