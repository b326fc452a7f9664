// Drives the flood wave form offscreen: load, edit, draw, save, close.
#include "exchange/file_names.h"
#include "gui/grid/grid_view.h"
#include "gui/inputs/flood_wave_form.h"
#include "helpers/form_fixture.h"
#include "helpers/qt_files.h"
#include "helpers/table_form_files.h"
#include "project_files/file_io.h"

#include <QAbstractItemModel>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QValueAxis>

#include <cerrno>

using veldron::testing::readAll;
using veldron::testing::screenshot;
using veldron::testing::writeAll;

class TestFloodWaveForm : public QObject {
    Q_OBJECT
private:
    veldron::testing::TableFormFiles m_files{exchange::kFloodWaveSource};
    const int m_n = m_files.sampleLines();

    static QString pointCount(gui::FloodWaveForm& form) {
        return form.findChild<QLineEdit*>("editPointCount")->text();
    }

    /// Puts `text` on the clipboard, presses Ctrl+V in the grid as a user
    /// would and waits until the block is in.
    static void paste(QTableView& view, const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
        auto* clipboard = view.findChild<gui::GridClipboard*>();
        QTRY_VERIFY_WITH_TIMEOUT(!clipboard->isPasting(), 60000);
    }
    static void undo(QWidget& form) { QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier); }
    static void redo(QWidget& form) { QTest::keyClick(&form, Qt::Key_Y, Qt::ControlModifier); }

private slots:
    void initTestCase() {
        QVERIFY(m_files.isValid());
        QVERIFY(m_n > 4);
    }

    void init() { QVERIFY(m_files.startTest()); }

    void freshFormRefusesAWaveWithoutValues() {
        veldron::testing::FakeMessages messages;
        auto form = m_files.makeForm<gui::FloodWaveForm>();
        QCOMPARE(form->windowTitle(), QString("Povodňová vlna"));
        QCOMPARE(form->grid().rowCount(), 999);
        QCOMPARE(form->grid().cell(1, 0), std::string());
        QVERIFY(form->findChild<QChartView*>("chartFloodWave")->isHidden());
        QVERIFY(form->findChild<QPushButton*>("btnDraw")->isHidden());
        QVERIFY(form->findChild<QLineEdit*>("editPointCount")->isHidden());
        QCOMPARE(pointCount(*form), QString("0"));
        screenshot(*form, "flood_wave_fresh");

        // An empty wave would overwrite the reservoir's saved one with nothing.
        QSignalSpy finished(form.get(), &QDialog::finished);
        veldron::testing::press(*form, "btnCloseSave");
        QCOMPARE(messages.shown, QStringList{"E:Povodňová vlna neobsahuje žádnou hodnotu. "
                                             "Načtěte data nebo vyplňte sloupec Q [m3/s]."});
        QCOMPARE(finished.count(), 0);
        QVERIFY(!QFile::exists(m_files.path(exchange::kFloodWave)));

        // A typed cell needs the rows above it: the core would shift the wave.
        QAbstractItemModel* model = form->findChild<QTableView*>("gridFloodWave")->model();
        QVERIFY(model->setData(model->index(1, 1), "7")); // grid row 2
        veldron::testing::press(*form, "btnCloseSave");
        QCOMPARE(messages.shown.last(),
                 QString("E:Řádek 1, sloupec Q [m3/s]: chybí hodnota. Zadejte číslo."));
        QVERIFY(model->setData(model->index(0, 1), "5,5"));
        veldron::testing::press(*form, "btnCloseSave");
        QCOMPARE(finished.count(), 1);
        QCOMPARE(readAll(m_files.path(exchange::kFloodWave)), QByteArray("5.5 \r\n7 \r\n"));
        QCOMPARE(readAll(m_files.path(exchange::kInflowPointCount)), QByteArray("2\r\n"));
    }

    void loadEditDrawAndSave() {
        veldron::testing::FakeMessages messages;
        auto form = m_files.makeForm<gui::FloodWaveForm>();
        veldron::testing::press(*form, "btnLoad");
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(form->grid().rowCount(), m_n + 1);
        QCOMPARE(form->grid().cell(0, 0), std::string("i"));
        QCOMPARE(form->grid().cell(1, 0), std::string("Q [m3/s]"));
        QCOMPARE(form->grid().cell(0, m_n), std::to_string(m_n));
        const QByteArray first = m_files.sample().left(m_files.sample().indexOf('\r'));
        // The source's number as the engineer reads it: with a decimal comma.
        QCOMPARE(form->grid().cell(1, 1), QByteArray(first).replace('.', ',').toStdString());
        QCOMPARE(pointCount(*form), QString::number(m_n));
        QVERIFY(!form->findChild<QChartView*>("chartFloodWave")->isHidden());
        QVERIFY(!form->findChild<QPushButton*>("btnDraw")->isHidden());
        screenshot(*form, "flood_wave_loaded");

        QAbstractItemModel* model = form->findChild<QTableView*>("gridFloodWave")->model();
        // Model row r shows grid row r + 1; the header row is the view's own header.
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QString("Q [m3/s]"));
        QVERIFY(!model->setData(model->index(2, 0), "x")); // the numbering column is fixed
        QVERIFY(model->setData(model->index(2, 1), "105,5"));
        QVERIFY(model->setData(model->index(3, 1), "abc"));

        // Not a number: marked as soon as it is typed, with the reason.
        QCOMPARE(model->data(model->index(3, 1), Qt::BackgroundRole).value<QColor>(),
                 QColor(255, 190, 190));
        QVERIFY(model->data(model->index(3, 1), Qt::ToolTipRole)
                    .toString()
                    .startsWith("Řádek 4, sloupec Q [m3/s]: „abc“ není číslo."));
        QVERIFY(!model->data(model->index(2, 1), Qt::BackgroundRole).isValid());

        veldron::testing::press(*form, "btnDraw");
        veldron::testing::press(*form, "btnDraw"); // the second drawing replaces the first
        const QList<QLineSeries*> drawn = veldron::testing::chartLines(*form, "chartFloodWave");
        QCOMPARE(drawn.size(), 1);
        QCOMPARE(drawn[0]->count(), m_n - 1); // "abc" is left out, not drawn as 0
        QCOMPARE(drawn[0]->color(), QColor(255, 0, 0));
        // Row i at x = i, as the results draw step i.
        QCOMPARE(drawn[0]->at(0), QPointF(1, first.toDouble()));
        QCOMPARE(drawn[0]->at(2), QPointF(3, 105.5)); // drawn as it will be saved
        QCOMPARE(drawn[0]->at(3).x(), 5.0);
        QCOMPARE(drawn[0]->at(m_n - 2).x(), double(m_n));
        screenshot(*form, "flood_wave_drawn");

        // "abc" is refused, its cell selected, and the saved files stay as they were.
        writeAll(m_files.path(exchange::kFloodWave), "saved before\r\n");
        QSignalSpy accepted(form.get(), &QDialog::accepted);
        veldron::testing::press(*form, "btnCloseSave");
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(messages.shown,
                 QStringList{"E:Řádek 4, sloupec Q [m3/s]: „abc“ není číslo. Zadejte číslo s "
                             "desetinnou čárkou nebo tečkou, například 12,5 (bez mezer mezi "
                             "číslicemi)."});
        auto* view = form->findChild<QTableView*>("gridFloodWave");
        QCOMPARE(view->currentIndex(), model->index(3, 1));
        QVERIFY(view->selectionModel()->isSelected(model->index(3, 1)));
        QCOMPARE(readAll(m_files.path(exchange::kFloodWave)), QByteArray("saved before\r\n"));
        QVERIFY(!QFile::exists(m_files.path(exchange::kInflowPointCount)));

        QVERIFY(model->setData(model->index(3, 1), "12.5"));
        veldron::testing::press(*form, "btnCloseSave");
        QCOMPARE(accepted.count(), 1);
        QList<QByteArray> sourceLines = m_files.sample().split('\n');
        sourceLines.removeLast(); // the line end after the last line
        QByteArray expected;
        for (int i = 0; i < sourceLines.size(); ++i) {
            QByteArray value = sourceLines[i].chopped(1); // without its CR
            if (i == 2) value = "105.5";
            if (i == 3) value = "12.5";
            expected += value + " \r\n";
        }
        QCOMPARE(readAll(m_files.path(exchange::kFloodWave)), expected);
        QCOMPARE(readAll(m_files.path(exchange::kInflowPointCount)),
                 QByteArray::number(m_n) + "\r\n");

        // Opened again, the form shows the saved wave as after a load.
        auto reopened = m_files.makeForm<gui::FloodWaveForm>();
        QCOMPARE(reopened->grid().rowCount(), m_n + 1);
        QCOMPARE(reopened->grid().cell(1, 0), std::string("Q [m3/s]"));
        QCOMPARE(reopened->grid().cell(1, 3), std::string("105,5")); // shown with a comma
        QCOMPARE(reopened->grid().cell(0, m_n), std::to_string(m_n));
        QCOMPARE(pointCount(*reopened), QString::number(m_n));
        QVERIFY(!reopened->findChild<QChartView*>("chartFloodWave")->isHidden());
        veldron::testing::press(*reopened, "btnCloseSave");
        QCOMPARE(readAll(m_files.path(exchange::kFloodWave)), expected);
    }

    void onlyTheFirstFieldReachesTheValueColumn() {
        writeAll(m_files.path(exchange::kFloodWaveSource), "1.5  99\r\n7\r\n2.5\r\n\r\n");
        auto form = m_files.makeForm<gui::FloodWaveForm>();
        veldron::testing::press(*form, "btnLoad");
        QCOMPARE(pointCount(*form), QString("4"));
        veldron::testing::press(*form, "btnDraw");
        QCOMPARE(veldron::testing::chartLines(*form, "chartFloodWave")[0]->points(),
                 QList<QPointF>({{1, 1.5}, {2, 7}, {3, 2.5}})); // the empty row is no point
        // The empty last line is no value: the count follows what is written.
        veldron::testing::press(*form, "btnCloseSave");
        QCOMPARE(readAll(m_files.path(exchange::kFloodWave)), QByteArray("1.5 \r\n7 \r\n2.5 \r\n"));
        QCOMPARE(readAll(m_files.path(exchange::kInflowPointCount)), QByteArray("3\r\n"));
    }

    // A shorter column pasted from the first row asks whether it is the whole
    // wave; each answer, typing and Delete, and the load itself, are undone
    // by Ctrl+Z back to the form as it opened, which then closes unasked.
    void aShorterColumnAsksAndCtrlZTakesBackEachStep() {
        veldron::testing::FakeMessages messages;
        auto form = m_files.makeForm<gui::FloodWaveForm>();
        form->show();
        form->activateWindow(); // the keys of the form's shortcuts reach an active window
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        auto* view = form->findChild<QTableView*>("gridFloodWave");
        const desk::Grid opened = form->grid();
        veldron::testing::press(*form, "btnLoad");
        const desk::Grid loaded = form->grid();
        view->setFocus();
        view->setCurrentIndex(view->model()->index(0, 1));
        const std::pair<int, int> answers[] = {
            {2, m_n}, {1, m_n}, {0, 3}}; // cancel, overwrite, replace
        for (const auto& [answer, count] : answers) {
            messages.choices = {answer};
            paste(*view, "1\n2\n3\n");
            QVERIFY2(messages.shown.last().startsWith(
                         "C:Vkládáte od prvního řádku 3 řádky, tabulka ale má " +
                         QString::number(m_n) + " řádků s hodnotami."),
                     qPrintable(messages.shown.last()));
            QCOMPARE(pointCount(*form), QString::number(count));
            QCOMPARE(form->grid().rowCount(), count + 1);
            QCOMPARE(form->grid().cell(1, 1), answer == 2 ? loaded.cell(1, 1) : "1");
            if (answer != 2) undo(*form);
            QCOMPARE(form->grid().rowCount(), m_n + 1);
            QCOMPARE(form->grid().cell(1, 1), loaded.cell(1, 1));
        }
        redo(*form); // the replacing paste again
        QCOMPARE(pointCount(*form), QString("3"));
        undo(*form);

        view->setCurrentIndex(view->model()->index(0, 1));
        QTest::keyClick(view, Qt::Key_7); // typing opens the cell's editor
        auto* editor = view->findChild<QLineEdit*>();
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_7);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(form->grid().cell(1, 1), std::string("77")); // committed by a queued call
        view->selectionModel()->select(
            QItemSelection(view->model()->index(1, 1), view->model()->index(4, 1)),
            QItemSelectionModel::ClearAndSelect);
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(form->grid().cell(1, 3), std::string());
        undo(*form);
        QCOMPARE(form->grid().cell(1, 3), loaded.cell(1, 3));
        undo(*form);
        QCOMPARE(form->grid().cell(1, 1), loaded.cell(1, 1));
        undo(*form); // the load
        QCOMPARE(form->grid().rowCount(), opened.rowCount());
        QCOMPARE(form->grid().cell(1, 0), opened.cell(1, 0));
        QCOMPARE(pointCount(*form), QString("0"));
        messages.shown.clear();
        QSignalSpy finished(form.get(), &QDialog::finished);
        veldron::testing::press(*form, "btnCloseNoSave");
        QCOMPARE(finished.count(), 1);
        QVERIFY(messages.shown.isEmpty());
    }

    // A column longer than a screenful of text is read off the window's
    // thread; it lands whole, and Ctrl+Z takes it back whole.
    void aLongColumnIsPastedWholeAndUndoneWhole() {
        veldron::testing::FakeMessages messages;
        auto form = m_files.makeForm<gui::FloodWaveForm>();
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        auto* view = form->findChild<QTableView*>("gridFloodWave");
        view->setFocus();
        constexpr int kRows = 100000;
        QString column;
        for (int i = 0; i < kRows; ++i)
            column += QString::number(i % 97) + ",25\n";
        paste(*view, column);
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(form->grid().rowCount(), kRows + 1);
        QCOMPARE(form->grid().cell(0, kRows), std::to_string(kRows));
        QCOMPARE(form->grid().cell(1, kRows), std::to_string((kRows - 1) % 97) + ",25");
        QCOMPARE(pointCount(*form), QString::number(kRows));
        undo(*form);
        QCOMPARE(form->grid().rowCount(), gui::FloodWaveForm::kInitialRows);
        QCOMPARE(form->grid().cell(1, 1), std::string());
    }

    void closeWithoutSavingAsks() {
        veldron::testing::FakeMessages messages;
        auto form = m_files.makeForm<gui::FloodWaveForm>();
        veldron::testing::press(*form, "btnLoad");
        QSignalSpy finished(form.get(), &QDialog::finished);
        messages.answers = {false};
        veldron::testing::press(*form, "btnCloseNoSave");
        QCOMPARE(messages.shown, QStringList({"Q:Opravdu zavřít bez uložení?"}));
        QCOMPARE(finished.count(), 0);
        QCOMPARE(form->grid().rowCount(), m_n + 1); // unchanged
        messages.answers = {true};
        veldron::testing::press(*form, "btnCloseNoSave");
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toInt(), int(QDialog::Rejected));
        QVERIFY(!QFile::exists(m_files.path(exchange::kFloodWave)));
        QVERIFY(!QFile::exists(m_files.path(exchange::kInflowPointCount)));
    }

    void escapeKeepsTheFormAndTheCloseControlClosesSilently() {
        veldron::testing::FakeMessages messages;
        auto form = m_files.makeForm<gui::FloodWaveForm>();
        form->show();
        veldron::testing::press(*form, "btnLoad");
        QSignalSpy finished(form.get(), &QDialog::finished);
        QTest::keyClick(form.get(), Qt::Key_Escape);
        QCOMPARE(finished.count(), 0);
        QTest::keyClick(form->findChild<QTableView*>("gridFloodWave"), Qt::Key_Return);
        QCOMPARE(finished.count(), 0); // Enter presses no button
        QVERIFY(form->close());
        QCOMPARE(finished.count(), 1);
        QVERIFY(messages.shown.isEmpty());
        QVERIFY(!QFile::exists(m_files.path(exchange::kFloodWave)));
    }

    void missingSourceKeepsGridAndCount() {
        veldron::testing::FakeMessages messages;
        auto form = m_files.makeForm<gui::FloodWaveForm>();
        veldron::testing::press(*form, "btnLoad");
        QVERIFY(QFile::remove(m_files.path(exchange::kFloodWaveSource)));
        QVERIFY(form->findChild<QTableView*>("gridFloodWave")
                    ->model()
                    ->setData(form->findChild<QTableView*>("gridFloodWave")->model()->index(0, 1),
                              "edited"));
        veldron::testing::press(*form, "btnLoad");
        const std::string error = project_files::fileErrorText(
            ENOENT, (m_files.dir() + "/" + exchange::kFloodWaveSource).toStdString());
        QCOMPARE(messages.shown, QStringList({"E:" + QString::fromStdString(error)}));
        QCOMPARE(form->grid().rowCount(), m_n + 1);
        QCOMPARE(form->grid().cell(1, 1), std::string("edited"));
        QCOMPARE(pointCount(*form), QString::number(m_n));

        // A fresh form: the controls become visible and the header is set all the same.
        auto fresh = m_files.makeForm<gui::FloodWaveForm>();
        veldron::testing::press(*fresh, "btnLoad");
        QCOMPARE(fresh->grid().rowCount(), 999);
        QCOMPARE(fresh->grid().cell(1, 0), std::string("Q [m3/s]"));
        QVERIFY(!fresh->findChild<QChartView*>("chartFloodWave")->isHidden());
        QCOMPARE(pointCount(*fresh), QString("0"));
    }

    // A flood wave as engineers get it: a spreadsheet's column with decimal commas.
    void aPastedColumnSavesAsTheSamplesWave() {
        veldron::testing::FakeMessages messages;
        QFile sampleWave(QStringLiteral(VELDRON_SOURCE_DIR) + "/data/sample/IN_FLOOD_WAVE");
        QVERIFY(sampleWave.open(QIODevice::ReadOnly));
        const QByteArray wave = sampleWave.readAll();
        QString column;
        for (const QByteArray& line : wave.split('\n'))
            if (!line.trimmed().isEmpty())
                column += QString(line.trimmed()).replace('.', ',') + "\r\n";
        QGuiApplication::clipboard()->setText(column);

        auto form = m_files.makeForm<gui::FloodWaveForm>();
        form->show();
        auto* view = form->findChild<QTableView*>("gridFloodWave");
        QAbstractItemModel* model = view->model();
        view->setFocus();
        view->setCurrentIndex(model->index(0, 1));
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(messages.shown.isEmpty());
        // As after a load: the header, the numbers, the count, the chart.
        QCOMPARE(form->grid().cell(1, 0), std::string("Q [m3/s]"));
        QCOMPARE(form->grid().cell(0, 48), std::string("48"));
        QCOMPARE(form->grid().cell(1, 2), std::string("4,51"));
        QCOMPARE(pointCount(*form), QString("48"));
        QVERIFY(!form->findChild<QChartView*>("chartFloodWave")->isHidden());
        screenshot(*form, "flood_wave_pasted");

        // Copied back with decimal commas; Delete empties the cells.
        view->selectionModel()->select(QItemSelection(model->index(0, 1), model->index(1, 1)),
                                       QItemSelectionModel::ClearAndSelect);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("4,00\n4,51"));
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(form->grid().cell(1, 1), std::string());
        QCOMPARE(form->grid().cell(1, 2), std::string());

        // What is not a number is refused, naming row and column, and nothing changes.
        QGuiApplication::clipboard()->setText("4,00\n4 51\n");
        view->setCurrentIndex(model->index(0, 1));
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY2(messages.shown[0].startsWith("E:Řádek 2, sloupec Q [m3/s]: „4 51“ není číslo."),
                 qPrintable(messages.shown[0]));
        QCOMPARE(form->grid().cell(1, 1), std::string());

        // A column pasted while a cell is typed into goes down the column, not into the cell.
        view->setCurrentIndex(model->index(4, 1));
        QTest::keyClick(view, Qt::Key_1);
        QGuiApplication::clipboard()->setText("7,5\n8,5\n");
        QTest::keyClick(view->findChild<QLineEdit*>(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form->grid().cell(1, 5), std::string("7,5"));
        QCOMPARE(form->grid().cell(1, 6), std::string("8,5"));

        // Pasted again from the first row, beyond the last row: the grid grows.
        view->setCurrentIndex(model->index(0, 1));
        QGuiApplication::clipboard()->setText(column);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QGuiApplication::clipboard()->setText("1,5\r\n2,5\r\n");
        view->setCurrentIndex(model->index(47, 1));
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form->grid().rowCount(), 999); // 998 rows held 49 without growing
        QCOMPARE(pointCount(*form), QString("49"));
        view->setCurrentIndex(model->index(997, 1));
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form->grid().rowCount(), 1000);
        QCOMPARE(form->grid().cell(0, 999), std::string("999"));
        QCOMPARE(pointCount(*form), QString("999"));

        // The sample's wave, pasted whole, saves byte for byte as the sample's files.
        auto fresh = m_files.makeForm<gui::FloodWaveForm>();
        fresh->show();
        auto* freshView = fresh->findChild<QTableView*>("gridFloodWave");
        freshView->setFocus();
        QGuiApplication::clipboard()->setText(column);
        QTest::keyClick(freshView, Qt::Key_V, Qt::ControlModifier);
        veldron::testing::press(*fresh, "btnCloseSave");
        QCOMPARE(readAll(m_files.path(exchange::kFloodWave)), wave);
        QCOMPARE(readAll(m_files.path(exchange::kInflowPointCount)), QByteArray("48\r\n"));
    }

    void saveFailureKeepsTheFormOpen() {
        veldron::testing::FakeMessages messages;
        auto form = m_files.makeForm<gui::FloodWaveForm>();
        veldron::testing::press(*form, "btnLoad");
        QVERIFY(QDir().mkdir(m_files.path(exchange::kFloodWave))); // cannot be created as a file
        QSignalSpy finished(form.get(), &QDialog::finished);
        veldron::testing::press(*form, "btnCloseSave");
        QCOMPARE(finished.count(), 0);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.shown[0].startsWith("E:"));
        QVERIFY(messages.shown[0].contains(exchange::kFloodWave));
        QVERIFY(!QFile::exists(m_files.path(exchange::kInflowPointCount)));
    }
};

VELDRON_TEST_MAIN(TestFloodWaveForm)
#include "flood_wave_form_test.moc"
