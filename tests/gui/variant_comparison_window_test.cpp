// Keeping variants of the sample with the real core and comparing them:
// the keep dialog, the comparison window's charts and table, recomputing and
// deleting.
#include "gui/calculation/study_core_run.h"
#include "gui/charts/line_chart_view.h"
#include "gui/studies/keep_variant_dialog.h"
#include "gui/studies/variant_comparison_window.h"
#include "helpers/form_fixture.h"
#include "helpers/qt_files.h"
#include "helpers/read_workbook.h"

#include "exchange/run_lock.h"
#include "exchange/run_summary.h"
#include "project_files/run_summary_reader.h"
#include "study/variant_store.h"

#include <QChart>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QUrl>

#include <map>
#include <memory>

namespace {

const char* const kModeNames[] = {"výpusti otevřené", "výpusti zavřené", "průběžně Z = 0,6 m"};

} // namespace

class TestVariantComparisonWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void theKeepDialogRefusesBadNamesAndAsksBeforeReplacing();
    void threeModesSideBySideWithTheirSummaries();
    void aRecomputationThatDiffersSaysSo();
    void deletingAsksAndNoMoreThanEightAreTicked();
    void aRunStillGoingIsNotKept();
    void variantsWithoutCompleteResultsOrTheirInflowAreSaidSo();

private:
    QString root() const { return m_fixture->root(); }
    std::filesystem::path rootPath() const { return m_fixture->rootPath(); }
    /// Runs the sample in manipulation mode `mode` and keeps it through the dialog.
    void keepMode(int mode);
    void save(gui::KeepVariantDialog& form, const QString& name);

    std::unique_ptr<veldron::testing::FormFixture> m_fixture;
    veldron::testing::FakeMessages* m_messages = nullptr;
};

void TestVariantComparisonWindow::init() {
    m_fixture = std::make_unique<veldron::testing::FormFixture>(
        veldron::testing::FormFixture::SampleInputs);
    QVERIFY(m_fixture->isValid());
    m_messages = &m_fixture->messages();
}

void TestVariantComparisonWindow::cleanup() {
    m_fixture.reset();
}

void TestVariantComparisonWindow::save(gui::KeepVariantDialog& form, const QString& name) {
    form.findChild<QLineEdit*>("editVariantName")->setText(name);
    QTest::mouseClick(form.findChild<QPushButton*>("btnKeep"), Qt::LeftButton);
}

void TestVariantComparisonWindow::keepMode(int mode) {
    const QString exchange = root() + "/PULT_na_vypocty/";
    veldron::testing::writeAll(exchange + "IN_MANIP_0_1_2", QByteArray::number(mode) + "\r\n");
    veldron::testing::writeAll(exchange + "IN_START_VYP", "11\r\n");
    QCOMPARE(veldron::testing::runRealCore(rootPath()), 0);
    gui::KeepVariantDialog form(rootPath(), "11,0");
    save(form, kModeNames[mode]);
    QCOMPARE(form.keptName(), QString(kModeNames[mode]));
}

void TestVariantComparisonWindow::theKeepDialogRefusesBadNamesAndAsksBeforeReplacing() {
    QCOMPARE(veldron::testing::runRealCore(rootPath()), 0);
    gui::KeepVariantDialog form(rootPath(), "12");
    form.show();
    // The start level the run read, from the set's record, not the one passed.
    QCOMPARE(form.findChild<QLineEdit*>("editStartLevel")->text(), QString("11"));
    QVERIFY(form.findChild<QLineEdit*>("editStartLevel")->isReadOnly());
    save(form, "a/b");
    QCOMPARE(m_messages->shown.last(),
             "W:Název varianty nesmí obsahovat lomítko / ani \\: odděluje složky v cestě.");
    QVERIFY(form.isVisible());
    // Names Windows or the file systems cannot hold: each refused in Czech,
    // the dialog open, nothing written.
    const QString euros(100, QChar(0x20AC));
    for (const QString& name :
         {euros, QString("CON"), QString("NUL.txt"), QString("com1"), QString("abc.")}) {
        save(form, name);
        QVERIFY2(m_messages->shown.last().startsWith("W:Název varianty "),
                 qPrintable(m_messages->shown.last()));
        QVERIFY(form.isVisible());
    }
    QCOMPARE(m_messages->shown.at(m_messages->shown.size() - 5),
             "W:Název varianty je příliš dlouhý: v kódování UTF-8 má 300 bajtů, název složky smí "
             "mít nejvýše 255 (písmeno s diakritikou zabere 2 bajty, znak € 3).");
    QVERIFY(!QDir(root() + "/VARIANTY").exists());
    save(form, "A");
    QCOMPARE(m_messages->shown.last(), "I:Varianta „A“ je uložena.");
    const QString kept = root() + "/VARIANTY/A/IN_START_VYP";
    QCOMPARE(veldron::testing::readAll(kept), QByteArray("11\r\n"));

    veldron::testing::writeAll(root() + "/PULT_na_vypocty/IN_START_VYP", "11.5\r\n");
    QCOMPARE(veldron::testing::runRealCore(rootPath()), 0);
    gui::KeepVariantDialog again(rootPath(), "12");
    m_messages->answers = {false};
    save(again, "A");
    QCOMPARE(m_messages->shown.last(), "Q:Varianta „A“ už existuje. Nahradit ji?");
    QCOMPARE(veldron::testing::readAll(kept), QByteArray("11\r\n"));
    m_messages->answers = {true};
    save(again, "A");
    QCOMPARE(veldron::testing::readAll(kept), QByteArray("11.5\r\n"));
}

void TestVariantComparisonWindow::threeModesSideBySideWithTheirSummaries() {
    for (int mode = 0; mode < 3; ++mode)
        keepMode(mode);
    gui::VariantComparisonWindow form(rootPath());
    auto* list = form.findChild<QListWidget*>("listVariants");
    QCOMPARE(list->count(), 3);
    for (int i = 0; i < 3; ++i)
        list->item(i)->setCheckState(Qt::Checked);

    auto* table = form.findChild<QTableWidget*>("tableFigures");
    QCOMPARE(table->rowCount(), 3);
    const auto& columns = study::comparisonColumns();
    for (int r = 0; r < 3; ++r) {
        const QString name = table->item(r, 0)->text();
        const auto summary =
            project_files::readRunSummary(study::variantDir(rootPath(), name.toStdString()) /
                                          exchange::summary::kFileName)
                .summary;
        QVERIFY(summary);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const auto value = (*summary).*columns[c].value;
            const QString shown = table->item(r, static_cast<int>(c) + 2)->text();
            QCOMPARE(shown,
                     value ? QString::number(*value, 'f', columns[c].decimals).replace('.', ',')
                           : QString("–"));
        }
    }
    // Inflow once, an outflow per variant; a level per variant and RO, RN,
    // overtopping, labelled on the chart.
    const auto* flows = form.findChild<gui::LineChartView*>("chartFlows");
    const auto* levels = form.findChild<gui::LineChartView*>("chartLevels");
    QCOMPARE(flows->chart()->series().size(), 4);
    QCOMPARE(levels->chart()->series().size(), 6);
    QCOMPARE(levels->annotations(), (QStringList{"RO 9,000 m", "RN 12,000 m", "přelití 14,500 m"}));
    QCOMPARE(qobject_cast<QLineSeries*>(levels->chart()->series().last())->at(0).y(), 14.5);
    auto* first = qobject_cast<QLineSeries*>(flows->chart()->series().at(1));
    QCOMPARE(first->count(), 48);
    QCOMPARE(first->at(1).x(), 1.0); // hours from the start: step 1 at 0 h
    veldron::testing::screenshot(form, "porovnani_variant");

    // The table as a workbook: texts as texts, figures as numbers to the last digit.
    QStringList opened, offered;
    form.setWorkbookDir(root());
    form.setFileChooser([&](QWidget*, const gui::SaveFileKind&, const QString& suggested) {
        offered << suggested;
        return root() + "/varianty.xlsx";
    });
    form.setWorkbookOpener([&](const QUrl& url) {
        opened << url.toLocalFile();
        return true;
    });
    QTest::mouseClick(form.findChild<QPushButton*>("btnExport"), Qt::LeftButton);
    QCOMPARE(offered, QStringList{root() + "/porovnani_variant_" + QDir(root()).dirName() + "_" +
                                  QDate::currentDate().toString(Qt::ISODate) + ".xlsx"});
    QCOMPARE(opened, QStringList{root() + "/varianty.xlsx"});
    QStringList sheets;
    const auto cells = veldron::testing::readWorkbook(opened.front(), &sheets);
    QCOMPARE(sheets, QStringList{"Porovnání variant"});
    QCOMPARE(cells.at({0, 2}), QString("text:Kulminace odtoku [m3/s]"));
    for (int r = 0; r < 3; ++r) {
        QCOMPARE(cells.at({r + 1, 0}), "text:" + table->item(r, 0)->text());
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const QString cell = cells.at({r + 1, static_cast<int>(c) + 2});
            QVERIFY2(cell.startsWith("number:"), qPrintable(cell));
            QCOMPARE(cell.mid(7).toDouble(), *form.rows()[static_cast<std::size_t>(r)].values[c]);
        }
    }
}

void TestVariantComparisonWindow::aRecomputationThatDiffersSaysSo() {
    keepMode(2);
    gui::VariantComparisonWindow form(rootPath());
    form.coreRun().setProgram(VELDRON_CORE_EXE);
    QSignalSpy reported(&form, &gui::VariantComparisonWindow::recomputed);
    QTest::mouseClick(form.findChild<QPushButton*>("btnRecompute"), Qt::LeftButton);
    QVERIFY(reported.wait(60000));
    QCOMPARE(m_messages->shown.last(),
             "I:Varianta „" + QString(kModeNames[2]) +
                 "“: Přepočet dal stejné výsledky, jaké jsou u varianty uloženy.");

    const QString kept = root() + "/VARIANTY/" + kModeNames[2] + "/vyska_vody";
    QByteArray levels = veldron::testing::readAll(kept);
    levels[10] = levels[10] == '9' ? '8' : '9';
    veldron::testing::writeAll(kept, levels);
    QTest::mouseClick(form.findChild<QPushButton*>("btnRecompute"), Qt::LeftButton);
    QVERIFY(reported.wait(60000));
    QVERIFY2(m_messages->shown.last().startsWith("W:") &&
                 m_messages->shown.last().contains("JINÉ") &&
                 m_messages->shown.last().contains("vyska_vody"),
             qPrintable(m_messages->shown.last()));
    QCOMPARE(veldron::testing::readAll(kept), levels);

    // Its message goes with the variant: it would speak of one that is gone.
    auto* status = form.findChild<QLabel*>("lblStatus");
    QVERIFY(status->text().contains(kModeNames[2]));
    m_messages->answers = {true};
    QTest::mouseClick(form.findChild<QPushButton*>("btnDelete"), Qt::LeftButton);
    QVERIFY2(!status->text().contains(kModeNames[2]), qPrintable(status->text()));
}

void TestVariantComparisonWindow::deletingAsksAndNoMoreThanEightAreTicked() {
    keepMode(0);
    const auto first = study::variantDir(rootPath(), kModeNames[0]);
    for (int i = 1; i <= 8; ++i)
        std::filesystem::copy(first, study::variantDir(rootPath(), "kopie " + std::to_string(i)));
    gui::VariantComparisonWindow form(rootPath());
    auto* list = form.findChild<QListWidget*>("listVariants");
    QCOMPARE(list->count(), 9);
    m_messages->shown.clear();
    for (int i = 0; i < 9; ++i)
        list->item(i)->setCheckState(Qt::Checked);
    QCOMPARE(m_messages->shown, QStringList{"W:Porovnat lze nejvýše 8 variant najednou."});
    QCOMPARE(list->item(8)->checkState(), Qt::Unchecked);
    QCOMPARE(form.findChild<QTableWidget*>("tableFigures")->rowCount(), 8);

    list->setCurrentRow(0);
    m_messages->answers = {false};
    QTest::mouseClick(form.findChild<QPushButton*>("btnDelete"), Qt::LeftButton);
    QCOMPARE(list->count(), 9);
    m_messages->answers = {true};
    QTest::mouseClick(form.findChild<QPushButton*>("btnDelete"), Qt::LeftButton);
    QCOMPARE(m_messages->shown.last(), "Q:Smazat variantu „kopie 1“?");
    QCOMPARE(list->count(), 8);
    QVERIFY(!QFile::exists(root() + "/VARIANTY/kopie 1"));
    // The ticks of the others stay.
    QCOMPARE(form.findChild<QTableWidget*>("tableFigures")->rowCount(), 7);
}

void TestVariantComparisonWindow::aRunStillGoingIsNotKept() {
    QCOMPARE(veldron::testing::runRealCore(rootPath()), 0);
    // A run of a million steps, so that it is still going when the keep is asked for.
    QByteArray wave;
    for (int i = 0; i < 1000000; ++i)
        wave += "4.00 \r\n";
    veldron::testing::writeAll(m_fixture->exchangeFile("IN_FLOOD_WAVE"), wave);
    veldron::testing::writeAll(m_fixture->exchangeFile("IN_NUMBER_OF_POINT_FW"), "1000000\r\n");
    veldron::testing::writeAll(m_fixture->exchangeFile("IN_START_VYP"), "11\r\n");
    QProcess core;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VELDRON_ROOT", root());
    core.setProcessEnvironment(environment);
    core.setStandardInputFile(QProcess::nullDevice());
    core.start(VELDRON_CORE_EXE, {});
    QTRY_VERIFY_WITH_TIMEOUT(exchange::runInProgress(rootPath()), 30000);
    QVERIFY(!gui::KeepVariantDialog::lastRunKeepable(rootPath(), nullptr));
    QCOMPARE(m_messages->shown.last(), "W:V tomto projektu právě běží výpočet: jeho výsledky "
                                       "ještě nejsou celé. Variantu uložte, až výpočet skončí.");
    core.kill();
    QVERIFY(core.waitForFinished(30000));
}

void TestVariantComparisonWindow::variantsWithoutCompleteResultsOrTheirInflowAreSaidSo() {
    keepMode(0);
    keepMode(1);
    // One kept from a run killed while it wrote, one by a version that did not
    // keep the inflow its run routed.
    const QString killed = root() + "/VARIANTY/" + kModeNames[0];
    veldron::testing::writeAll(killed + "/souhrn_vypoctu", "");
    QVERIFY(QFile::remove(root() + "/VARIANTY/" + kModeNames[1] + "/povodnova_vlna"));
    gui::VariantComparisonWindow form(rootPath());
    auto* list = form.findChild<QListWidget*>("listVariants");
    auto* notes = form.findChild<QLabel*>("lblNotes");
    QVERIFY(notes->isHidden());
    for (int i = 0; i < 2; ++i)
        list->item(i)->setCheckState(Qt::Checked);
    QVERIFY(!notes->isHidden());
    QCOMPARE(notes->text(),
             "Bez úplných výsledků (souhrn výpočtu chybí, je prázdný nebo neodpovídá řadám "
             "výsledků), proto bez údajů a průběhů: „" +
                 QString(kModeNames[0]) +
                 "“.\nUloženo bez přítoku, který výpočet použil (povodnova_vlna); přítok je vzat "
                 "ze vstupu IN_FLOOD_WAVE varianty: „" +
                 kModeNames[1] + "“.");
    auto* table = form.findChild<QTableWidget*>("tableFigures");
    QCOMPARE(table->item(0, 2)->text(), QString("–"));
    QVERIFY(table->item(1, 2)->text() != "–");
    // The inflow (from the second variant's inputs) and its outflow only.
    const auto lines = veldron::testing::chartLines(form, "chartFlows");
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0)->count(), 48);
    QCOMPARE(lines.at(0)->at(9).y(), 100.0);
    veldron::testing::screenshot(form, "porovnani_variant_poznamky");
}

VELDRON_TEST_MAIN(TestVariantComparisonWindow)
#include "variant_comparison_window_test.moc"
