// Drives the bathygraphic curve form offscreen: load, edit, draw, save, close.
#include "exchange/file_names.h"
#include "gui/inputs/curve_form.h"
#include "helpers/form_fixture.h"
#include "helpers/qt_files.h"
#include "helpers/table_form_files.h"
#include "project_files/file_io.h"

#include <QAbstractItemModel>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <cerrno>
#include <memory>

using veldron::testing::readAll;
using veldron::testing::screenshot;
using veldron::testing::writeAll;

class TestCurveForm : public QObject {
    Q_OBJECT
private:
    veldron::testing::TableFormFiles m_files{exchange::kCurveSource};
    const int m_n = m_files.sampleLines();

    static QString rowCount(gui::CurveForm& form) {
        return form.findChild<QLineEdit*>("editRowCount")->text();
    }
    static bool edit(gui::CurveForm& form, int row, int column, const QString& text) {
        QAbstractItemModel* model = form.findChild<QTableView*>("gridCurve")->model();
        return model->setData(model->index(row - 1, column), text); // grid row r is model row r - 1
    }

private slots:
    void initTestCase() {
        QVERIFY(m_files.isValid());
        QVERIFY(m_n > 2);
    }

    void init() { QVERIFY(m_files.startTest()); }

    void freshFormShowsHeaderAndRefusesACurveWithAGap() {
        veldron::testing::FakeMessages messages;
        auto form = m_files.makeForm<gui::CurveForm>();
        QCOMPARE(form->windowTitle(), QString("Batygrafické křivky"));
        QCOMPARE(form->grid().rowCount(), 50);
        QCOMPARE(form->grid().columnCount(), 5);
        QCOMPARE(form->grid().cell(0, 0), std::string());
        QCOMPARE(form->grid().cell(1, 0), std::string("      H [m n.m.]"));
        QCOMPARE(form->grid().cell(2, 0), std::string("         h [m]"));
        QCOMPARE(form->grid().cell(3, 0), std::string("        V [m3]"));
        QCOMPARE(form->grid().cell(4, 0), std::string("        A [m2]"));
        QVERIFY(form->findChild<QChartView*>("chartArea")->isHidden() ||
                form->findChild<QChartView*>("chartArea")->parentWidget()->isHidden());
        QVERIFY(form->findChild<QLineEdit*>("editRowCount")->isHidden());
        QCOMPARE(rowCount(*form), QString("0"));
        screenshot(*form, "curve_fresh");

        // An empty row would shift every later value the core reads.
        QVERIFY(edit(*form, 2, 3, "77"));
        veldron::testing::press(*form, "btnCloseSave");
        QCOMPARE(messages.shown,
                 QStringList{"E:Řádek 1, sloupec H [m n.m.]: chybí hodnota. Zadejte číslo."});
        const QModelIndex current = form->findChild<QTableView*>("gridCurve")->currentIndex();
        QCOMPARE(current.row(), 0); // grid row 1
        QCOMPARE(current.column(), 1);
        QVERIFY(form->findChild<QTableView*>("gridCurve")->selectionModel()->isSelected(current));
        QVERIFY(!QFile::exists(m_files.path(exchange::kCurve)));
        QVERIFY(!QFile::exists(m_files.path(exchange::kCurveRowCount)));
        QCOMPARE(form->grid().cell(3, 2), std::string("77"));
    }

    void loadEditDrawAndSave() {
        veldron::testing::FakeMessages messages;
        auto form = m_files.makeForm<gui::CurveForm>();
        veldron::testing::press(*form, "btnLoad");
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(form->grid().rowCount(), m_n + 1);
        QCOMPARE(rowCount(*form), QString::number(m_n));
        QCOMPARE(form->grid().cell(0, m_n), std::to_string(m_n));
        QCOMPARE(form->grid().cell(1, 0), std::string("      H [m n.m.]")); // header kept
        QVERIFY(form->grid().cell(2, 1).starts_with(' '));
        QVERIFY(!form->findChild<QChartView*>("chartArea")->isHidden());
        QVERIFY(!form->findChild<QChartView*>("chartArea")->parentWidget()->isHidden());
        QVERIFY(!form->findChild<QChartView*>("chartVolume")->parentWidget()->isHidden());
        QVERIFY(!form->findChild<QLineEdit*>("editRowCount")->isHidden());
        screenshot(*form, "curve_loaded");

        QVERIFY(edit(*form, m_n, 4, "9e5")); // the largest area, drawn last
        QVERIFY(edit(*form, 1, 3, " 1838,9"));
        veldron::testing::press(*form, "chartAreaDraw");
        veldron::testing::press(*form, "chartAreaDraw"); // the second drawing replaces the first
        veldron::testing::press(*form, "chartVolumeDraw");
        const QList<QLineSeries*> area = veldron::testing::chartLines(*form, "chartArea");
        const QList<QLineSeries*> volume = veldron::testing::chartLines(*form, "chartVolume");
        QCOMPARE(area.size(), 1);
        QCOMPARE(volume.size(), 1);
        QCOMPARE(area[0]->count(), m_n);
        QCOMPARE(volume[0]->count(), m_n);
        QCOMPARE(area[0]->color(), QColor(0, 128, 0));
        QCOMPARE(volume[0]->color(), QColor(0, 0, 255));
        QCOMPARE(area[0]->at(m_n - 1), QPointF(9e5, QByteArray(form->grid().cell(2, m_n).c_str())
                                                        .trimmed()
                                                        .replace(',', '.')
                                                        .toDouble()));
        for (int i = 1; i < m_n; ++i)
            QVERIFY(area[0]->at(i - 1).x() <= area[0]->at(i).x());
        QCOMPARE(volume[0]->at(0).y(),
                 QByteArray(form->grid().cell(1, 1).c_str()).replace(',', '.').toDouble());
        screenshot(*form, "curve_drawn");

        QSignalSpy accepted(form.get(), &QDialog::accepted);
        veldron::testing::press(*form, "btnCloseSave");
        QCOMPARE(accepted.count(), 1);
        QList<QByteArray> sourceLines = m_files.sample().split('\n');
        sourceLines.removeLast();
        QByteArray expected;
        for (int i = 0; i < sourceLines.size(); ++i) {
            QList<QByteArray> fields = sourceLines[i].chopped(1).split(' ');
            fields.removeAll(QByteArray());
            QCOMPARE(fields.size(), 4);
            if (i == 0) QCOMPARE(fields[2], QByteArray("1838.9"));
            if (i == m_n - 1) fields[3] = "9e5";
            expected += fields.join('\t') + "\t\r\n";
        }
        QCOMPARE(readAll(m_files.path(exchange::kCurve)), expected);
        QCOMPARE(readAll(m_files.path(exchange::kCurveRowCount)), QByteArray::number(m_n) + "\r\n");

        // Opened again, the form shows the saved curve as after a load.
        auto reopened = m_files.makeForm<gui::CurveForm>();
        QCOMPARE(reopened->grid().rowCount(), m_n + 1);
        QCOMPARE(reopened->grid().cell(4, m_n), std::string("9e5"));
        QCOMPARE(reopened->grid().cell(0, m_n), std::to_string(m_n));
        QCOMPARE(reopened->grid().cell(1, 0), std::string("      H [m n.m.]"));
        QCOMPARE(rowCount(*reopened), QString::number(m_n));
        QVERIFY(!reopened->findChild<QChartView*>("chartArea")->parentWidget()->isHidden());
        veldron::testing::press(*reopened, "btnCloseSave");
        QCOMPARE(readAll(m_files.path(exchange::kCurve)), expected);
    }

    void levelsThatDoNotRiseAreRefused() {
        veldron::testing::FakeMessages messages;
        auto form = m_files.makeForm<gui::CurveForm>();
        veldron::testing::press(*form, "btnLoad");
        QVERIFY(edit(*form, 3, 2, form->grid().cell(2, 2).c_str()));
        QSignalSpy finished(form.get(), &QDialog::finished);
        veldron::testing::press(*form, "btnCloseSave");
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY2(messages.shown[0].startsWith("E:Batygrafická křivka: hladina h [m] v řádku 3 ("),
                 qPrintable(messages.shown[0]));
        QCOMPARE(finished.count(), 0);
        QVERIFY(!QFile::exists(m_files.path(exchange::kCurve)));
    }

    void areaCurveIsSortedByAreaWithTiesInRowOrder() {
        writeAll(m_files.path(exchange::kCurveSource),
                 "300  0  0  50\r\n301  1  10  20\r\n302  2  20  50\r\n303  3  30  10\r\n");
        auto form = m_files.makeForm<gui::CurveForm>();
        veldron::testing::press(*form, "btnLoad");
        veldron::testing::press(*form, "chartAreaDraw");
        QCOMPARE(veldron::testing::chartLines(*form, "chartArea")[0]->points(),
                 QList<QPointF>({{10, 3}, {20, 1}, {50, 0}, {50, 2}}));
    }

    void loadNeverClearsCellsItsLinesDoNotReach() {
        QByteArray bytes;
        for (int i = 1; i <= 60; ++i)
            bytes += QByteArray::number(i) + "  2  3  4\r\n";
        writeAll(m_files.path(exchange::kCurveSource), bytes);
        auto form = m_files.makeForm<gui::CurveForm>();
        veldron::testing::press(*form, "btnLoad");
        QCOMPARE(form->grid().rowCount(), 61); // grows past its 49 data rows
        QVERIFY(edit(*form, 1, 4, "typed"));
        writeAll(m_files.path(exchange::kCurveSource), "9  8\r\n7  6\r\n");
        veldron::testing::press(*form, "btnLoad");
        QCOMPARE(rowCount(*form), QString("2"));
        QCOMPARE(form->grid().rowCount(), 3);
        QCOMPARE(form->grid().cell(3, 1), std::string(" 3"));
        QCOMPARE(form->grid().cell(4, 1), std::string("typed"));
        QCOMPARE(form->grid().cell(4, 2), std::string(" 4"));
    }

    void closeWithoutSavingAsks() {
        veldron::testing::FakeMessages messages;
        auto form = m_files.makeForm<gui::CurveForm>();
        veldron::testing::press(*form, "btnLoad");
        QSignalSpy finished(form.get(), &QDialog::finished);
        messages.answers = {false};
        veldron::testing::press(*form, "btnCloseNoSave");
        QCOMPARE(messages.shown, QStringList({"Q:Opravdu zavřít bez uložení?"}));
        QCOMPARE(finished.count(), 0);
        messages.answers = {true};
        veldron::testing::press(*form, "btnCloseNoSave");
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toInt(), int(QDialog::Rejected));
        QVERIFY(!QFile::exists(m_files.path(exchange::kCurve)));
        QVERIFY(!QFile::exists(m_files.path(exchange::kCurveRowCount)));
    }

    void missingSourceKeepsGridAndCount() {
        veldron::testing::FakeMessages messages;
        QVERIFY(QFile::remove(m_files.path(exchange::kCurveSource)));
        auto form = m_files.makeForm<gui::CurveForm>();
        QVERIFY(edit(*form, 1, 1, "typed"));
        veldron::testing::press(*form, "btnLoad");
        const std::string error = project_files::fileErrorText(
            ENOENT, (m_files.dir() + "/" + exchange::kCurveSource).toStdString());
        QCOMPARE(messages.shown, QStringList({"E:" + QString::fromStdString(error)}));
        QCOMPARE(form->grid().rowCount(), 50);
        QCOMPARE(form->grid().cell(1, 1), std::string("typed"));
        QCOMPARE(rowCount(*form), QString("1")); // the rows up to the last that holds text
        QVERIFY(!form->findChild<QLineEdit*>("editRowCount")->isHidden()); // step 1 took effect
    }

    void countFailureKeepsTheCurveAndTheFormOpen() {
        veldron::testing::FakeMessages messages;
        auto form = m_files.makeForm<gui::CurveForm>();
        veldron::testing::press(*form, "btnLoad");
        QVERIFY(QDir().mkdir(m_files.path(exchange::kCurveRowCount)));
        QSignalSpy finished(form.get(), &QDialog::finished);
        veldron::testing::press(*form, "btnCloseSave");
        QCOMPARE(finished.count(), 0);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].contains(exchange::kCurveRowCount));
        QCOMPARE(readAll(m_files.path(exchange::kCurve)).count('\n'), m_n);
    }
};

VELDRON_TEST_MAIN(TestCurveForm)
#include "curve_form_test.moc"
