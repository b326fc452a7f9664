// The calculation report as an engineer hands it in: veldron_protokol run
// without a display on a project with the real core's results, the PDF read
// back with poppler's tools (text, pages, paper size, fonts, pictures).
#include "desk/kept_margin.h"
#include "desk/program_version.h"
#include "desk/project_overview.h"
#include "desk/typed_number.h"
#include "gui/charts/line_chart_view.h"
#include "gui/report/report_charts.h"
#include "gui/report/report_document.h"
#include "helpers/form_fixture.h"
#include "helpers/qt_files.h"
#include "study/variant_store.h"
#include "tests/support/sample_record.h"

#include <QChart>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <memory>

class TestCalculationReport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void theSampleReportHoldsEveryFigureTheInputsAndBothCharts();
    void anOvertoppedRunSaysSoAndWhyOnItsFirstPage();
    void noReportOfResultsOlderThanTheInputsOrOfNoResults();
    void aLongRunIsTabledEveryKthStepAndItsLast();
    void aChartIsPaintedWithItsLinesWhereTheyEnd();

private:
    /// Runs veldron_protokol on the fixture's root without a display; its
    /// exit status, what it printed on its error output in `error`.
    int makeReport(QString* error = nullptr);
    /// A poppler tool's output on the report.
    QString poppler(const QString& tool, const QStringList& options = {}) const;
    void checkPages(int atLeast);

    std::unique_ptr<veldron::testing::FormFixture> m_fixture;
    QString m_pdf;
};

void TestCalculationReport::init() {
    m_fixture = std::make_unique<veldron::testing::FormFixture>(
        veldron::testing::FormFixture::SampleInputs);
    QVERIFY(m_fixture->isValid());
    m_pdf = m_fixture->root() + "/protokol.pdf";
}

void TestCalculationReport::cleanup() {
    m_fixture.reset();
}

int TestCalculationReport::makeReport(QString* error) {
    QProcess report;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name); // the program finds its own way to draw
    report.setProcessEnvironment(environment);
    report.start(VELDRON_REPORT_EXE, {m_fixture->root(), m_pdf});
    if (!report.waitForFinished(120000) || report.exitStatus() != QProcess::NormalExit) return -1;
    if (error != nullptr) *error = QString::fromUtf8(report.readAllStandardError());
    return report.exitCode();
}

QString TestCalculationReport::poppler(const QString& tool, const QStringList& options) const {
    QProcess process;
    process.start(tool, options + QStringList{m_pdf, "-"});
    if (!process.waitForFinished(60000)) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A4 portrait, as many pages as said, every font embedded, every page with
// its header and its number, and no picture: the charts are vectors.
void TestCalculationReport::checkPages(int atLeast) {
    QProcess info;
    info.start("pdfinfo", {m_pdf});
    QVERIFY(info.waitForFinished(60000));
    const QString details = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(details.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? "
                                                 "pts \\(A4\\)")),
             qPrintable(details));
    const int pages = QRegularExpression("Pages:\\s+(\\d+)").match(details).captured(1).toInt();
    QVERIFY2(pages >= atLeast, qPrintable(details));

    QProcess fonts;
    fonts.start("pdffonts", {m_pdf});
    QVERIFY(fonts.waitForFinished(60000));
    const QStringList lines = QString::fromUtf8(fonts.readAllStandardOutput()).split('\n');
    QVERIFY(lines.size() > 3);
    for (const QString& line : lines.mid(2))
        if (!line.trimmed().isEmpty())
            QVERIFY2(line.contains(QRegularExpression("\\s+yes\\s+(yes|no)\\s+(yes|no)\\s+\\d+")),
                     qPrintable(line)); // emb

    QProcess images;
    images.start("pdfimages", {"-list", m_pdf});
    QVERIFY(images.waitForFinished(60000));
    QCOMPARE(QString::fromUtf8(images.readAllStandardOutput()).split('\n').size(), 3);

    const QString text = poppler("pdftotext");
    const QString name = QDir(m_fixture->root()).dirName();
    QCOMPARE(text.count("Projekt: " + name), pages);
    for (int page = 1; page <= pages; ++page)
        QVERIFY(text.contains(QString("Strana %1 z %2").arg(page).arg(pages)));
}

void TestCalculationReport::theSampleReportHoldsEveryFigureTheInputsAndBothCharts() {
    QCOMPARE(veldron::testing::runRealCore(m_fixture->rootPath()), 0);
    // What the project keeps besides: a safety-margin search and variants.
    for (const char* name : {"Z 0,6 m", "předpouštění"})
        study::keepVariant(m_fixture->rootPath(), name, false);
    QVERIFY(desk::keepSafetyMargin(m_fixture->rootPath(), true, "11",
                                   {veldron::testing::sample::kMarginAnswer}));
    QString error;
    QCOMPARE(makeReport(&error), 0);
    checkPages(3);
    const QString text = poppler("pdftotext", {"-layout"});
    // Every figure of the summary with the core's digits and a decimal comma.
    const QStringList summary =
        QString::fromUtf8(
            veldron::testing::readAll(m_fixture->root() + "/OUT_RESULT/souhrn_vypoctu"))
            .split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(summary.size(), 14);
    for (const QString& line : summary) {
        const QString label = line.section(':', 0, 0);
        const QString value = QString::fromStdString(
            desk::czechFigures(line.section(':', 1).trimmed().toStdString()));
        QVERIFY2(text.contains(QRegularExpression(QRegularExpression::escape(label) + "\\s+" +
                                                  QRegularExpression::escape(value))),
                 qPrintable(line));
    }
    // The technical data with units, the settings in the calculation window's
    // words, the inputs' tables.
    for (const char* shown : {"Průměr potrubí [m]", "Součinitel výtokové rychlosti [-]", "0,62",
                              "0,38", "Možná výška retenčního neovladatelného prostoru [m]", "2,5",
                              "Budu průběžně manipulovat", "ZAVŘENÉ - bez předpouštění",
                              "4880123,0", "596459,5", "100,00", "Čára zatopených objemů"})
        QVERIFY2(text.contains(QString::fromUtf8(shown)), shown);
    // Each heading once in the text layer that copying and searching read (a
    // heading moved to the next page was once drawn, clipped, on this one
    // too), named for what it holds, not for a file.
    const QStringList lines = poppler("pdftotext")
                                  .normalized(QString::NormalizationForm_KC) // the "fi" ligature
                                  .split('\n');
    for (const char* heading :
         {"1. Vstupní údaje", "1.1 Technické údaje", "1.2 Nastavení výpočtu",
          "1.3 Batygrafická křivka", "1.4 Povodňová vlna", "2. Výsledky výpočtu",
          "2.1 Souhrn výpočtu", "2.2 Průtoky: povodňová vlna a transformovaná povodeň",
          "2.3 Výška vody v nádrži", "2.4 Řady výpočtu", "3. Bezpečnostní rezerva",
          "4. Porovnání uložených variant"})
        QVERIFY2(lines.count(QString::fromUtf8(heading)) == 1, heading);
    QVERIFY(text.contains(
        QString("VELDRON %1, sestaveno %2")
            .arg(QString::fromUtf8(desk::kProgramVersion), QString::fromUtf8(desk::kBuildDate))));
    // Both result charts, with their marks, and the series table's last step.
    for (const char* shown :
         {"TRANSFORMACE POVODŇOVÉ VLNY", "VÝŠKA VODY V NÁDRŽI", "Transformovaná povodeň", "RN 12",
          "přelití 14", veldron::testing::sample::kHighestLevelMark, "časový krok i [-]"})
        QVERIFY2(text.contains(QString::fromUtf8(shown)), shown);
    QVERIFY(text.contains(QRegularExpression("48\\s+47,00\\s+4,000\\s+4,000\\s+12,000")));
    QVERIFY(!text.contains("zastaven"));
    QVERIFY(text.contains("3. Bezpečnostní rezerva"));
    QVERIFY(text.contains(veldron::testing::sample::kMarginAnswer));
    QVERIFY(text.contains("4. Porovnání uložených variant"));
    QVERIFY(text.contains(QRegularExpression("předpouštění\\s+89,550\\s+10,5")));
}

void TestCalculationReport::anOvertoppedRunSaysSoAndWhyOnItsFirstPage() {
    // Three times the sample's flood overtops in step 9, before its peak.
    const QString wave = m_fixture->exchangeFile("IN_FLOOD_WAVE");
    QByteArray tripled;
    for (const QByteArray& value : veldron::testing::readAll(wave).split('\n'))
        if (!value.trimmed().isEmpty())
            tripled += QByteArray::number(3 * value.trimmed().toDouble(), 'f', 2) + " \r\n";
    veldron::testing::writeAll(wave, tripled);
    QCOMPARE(veldron::testing::runRealCore(m_fixture->rootPath()), 1);
    QCOMPARE(makeReport(), 0);
    checkPages(3);
    const QString first = poppler("pdftotext", {"-f", "1", "-l", "1"}).simplified();
    QVERIFY2(first.contains("Výpočet byl zastaven: přelití nádrže v kroku 9."), qPrintable(first));
    QVERIFY(first.contains("Kroků výpočtu: 8 z 48") || first.contains("8 z 48"));
    const QString text = poppler("pdftotext", {"-layout"});
    QVERIFY(text.contains("žádná, nádrž přelita v kroku 9"));
    QVERIFY(text.contains(QRegularExpression("Kulminace celé povodně\\s+300,000 m3/s v kroku 10")));
}

void TestCalculationReport::noReportOfResultsOlderThanTheInputsOrOfNoResults() {
    QString error;
    QCOMPARE(makeReport(&error), 1);
    QVERIFY2(error.contains("nemá úplné výsledky"), qPrintable(error));
    QCOMPARE(veldron::testing::runRealCore(m_fixture->rootPath()), 0);
    QTest::qWait(20); // a later time of saving than the results'
    veldron::testing::writeAll(m_fixture->exchangeFile("IN_MANPR"), "0.7\r\n");
    QCOMPARE(makeReport(&error), 1);
    QVERIFY2(
        error.contains("jsou starší než vstupy: vstup „Průběžně manipuluji → Zadej, v jak "
                       "velkém prostoru (do jaké výšky) bude probíhat plynulá manipulace "
                       "(cca podle MŘ 0,5–0,7 m) [m]“ ve formuláři Výpočet byl od výpočtu změněn"),
        qPrintable(error));
    QVERIFY(!QFile::exists(m_pdf));
}

// A table of more steps than a page count allows lists every k-th step, its
// last one always; one of at most kMostTableRows steps lists them all.
void TestCalculationReport::aLongRunIsTabledEveryKthStepAndItsLast() {
    QVERIFY(gui::tabledSteps(0).empty());
    const std::vector<std::size_t> all = gui::tabledSteps(gui::kMostTableRows);
    QCOMPARE(all.size(), gui::kMostTableRows);
    QCOMPARE(all.back(), gui::kMostTableRows);
    const std::size_t n = 3 * gui::kMostTableRows - 1;
    const std::vector<std::size_t> thinned = gui::tabledSteps(n);
    QVERIFY(thinned.size() <= gui::kMostTableRows + 1);
    QCOMPARE(thinned.front(), std::size_t{1});
    QCOMPARE(thinned[1] - thinned[0], std::size_t{3});
    QCOMPARE(thinned.back(), n);
    QVERIFY(std::is_sorted(thinned.begin(), thinned.end()));
    QCOMPARE(std::adjacent_find(thinned.begin(), thinned.end()), thinned.end());
}

// Painted once onto paper: a line gliding into view would be caught half way.
void TestCalculationReport::aChartIsPaintedWithItsLinesWhereTheyEnd() {
    QTextDocument document;
    QTextCursor cursor(&document);
    gui::ReportCharts charts(1.0);
    gui::LineChartView& chart = charts.insert(cursor, 100.0, 60.0);
    desk::ReportContent report;
    report.inflow = {1.0, 5.0, 3.0};
    report.outflow = {0.0, 2.0, 2.5};
    gui::ReportCharts::drawFlows(chart, report);
    QCOMPARE(chart.chart()->animationOptions(), QChart::AnimationOptions(QChart::NoAnimation));
}

QTEST_MAIN(TestCalculationReport)
#include "calculation_report_test.moc"
