// The technical data form driven offscreen: fields, saving, refusing, closing.
#include "gui/ostatni/tfrm_ostatni.h"
#include "helpers/fake_messages.h"
#include "helpers/test_files.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <unistd.h>

namespace {

const char* const kFiles[] = {
    "IN_NUMBER_OF_OUTLET",  "IN_OUTLET_DIAMETER",        "IN_TOTAL_COEFFICIENT_OUTLET",
    "IN_WIDTH_SPILLWAY_B0", "IN_COEFFICIENT_OVERFLOW_m", "IN_TOTAL_HEIGHT_OWERFLOW",
    "IN_START_RO",          "IN_START_RN_OWERFLOW"};

} // namespace

class TestOstatni : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fieldsStartAtZeroWithTheirLimits_data();
    void fieldsStartAtZeroWithTheirLimits();
    void savingStraightAwayWritesZeros();
    void commasAndPointsGiveTheSameFilesWhateverTheLocale();
    void whatIsNotANumberIsRefusedInCzechAndNothingIsWritten();
    void aWarningLetsTheEngineerDecide();
    void reopeningShowsWhatIsSaved();
    void aFailedFileStopsTheRestAndKeepsTheFormOpen();
    void aReadOnlyDirectoryKeepsTheFormOpen();
    void closingWithoutSavingAsksFirst();
    void theCloseControlWritesNothing();

private:
    void type(const char* edit, const QString& text);
    void click(const char* button);
    bool nothingWritten() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<testing_gui::FakeMessages> m_messages;
    std::unique_ptr<TFRM_Ostatni> m_form;
};

void TestOstatni::init() {
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("VELDRON_ROOT", m_dir->path().toUtf8());
    m_messages = std::make_unique<testing_gui::FakeMessages>();
    m_form = std::make_unique<TFRM_Ostatni>();
    m_form->setFilesDir(m_dir->path());
    m_form->show();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestOstatni::cleanup() {
    m_form.reset();
    m_messages.reset();
    m_dir.reset();
    QLocale::setDefault(QLocale::system());
}

void TestOstatni::type(const char* edit, const QString& text) {
    auto* field = m_form->findChild<QLineEdit*>(edit);
    QVERIFY(field);
    field->clear();
    QTest::keyClicks(field, text);
}

void TestOstatni::click(const char* button) {
    auto* widget = m_form->findChild<QPushButton*>(button);
    QVERIFY(widget);
    QTest::mouseClick(widget, Qt::LeftButton);
}

bool TestOstatni::nothingWritten() const {
    return QDir(m_dir->path()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty();
}

void TestOstatni::fieldsStartAtZeroWithTheirLimits_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("labelText");
    QTest::addColumn<int>("maxLength");
    QTest::newRow("count") << "Edit1"
                           << "Label1"
                           << "Počet spodních výpustí:" << 1;
    QTest::newRow("diameter") << "Edit2"
                              << "Label2"
                              << "Průměr potrubí [m]:" << 5;
    QTest::newRow("outlet coefficient") << "Edit3"
                                        << "Label3"
                                        << "Součinitel výtokové rychlosti [-]:" << 6;
    QTest::newRow("width") << "Edit4"
                           << "Label4"
                           << "Skutečná šířka b0 [m]:" << 6;
    QTest::newRow("m") << "Edit5"
                       << "Label5"
                       << "Součinitel přepadu m [-]:" << 6;
    QTest::newRow("RO") << "Edit6"
                        << "Label6"
                        << "Výška vody po zásobní prostor ode dna nádrže (začátek RO) [m]:" << 6;
    QTest::newRow("RN") << "Edit7"
                        << "Label7"
                        << "Výška vody po bezpečnostní přeliv ode dna nádrže (začátek RN) [m]:"
                        << 6;
    QTest::newRow("retention") << "Edit8"
                               << "Label8"
                               << "Možná výška retenčního neovladatelného prostoru [m]:" << 5;
}

void TestOstatni::fieldsStartAtZeroWithTheirLimits() {
    QFETCH(QString, edit);
    QFETCH(QString, label);
    QFETCH(QString, labelText);
    QFETCH(int, maxLength);
    auto* field = m_form->findChild<QLineEdit*>(edit);
    QVERIFY(field);
    QCOMPARE(field->text(), QString("0"));
    QCOMPARE(m_form->findChild<QLabel*>(label)->text(), labelText);
    // Typing past the limit is cut off at the limit.
    field->clear();
    QTest::keyClicks(field, "123456789");
    QCOMPARE(field->text(), QString("123456789").left(maxLength));
}

void TestOstatni::savingStraightAwayWritesZeros() {
    QCOMPARE(m_form->windowTitle(), QString("FRM_Technické údaje"));
    click("Button2");
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QVERIFY(!m_form->isVisible());
    for (const char* name : kFiles)
        QCOMPARE(testing_gui::readAll(m_dir->filePath(name)), QByteArray("0\r\n"));
}

void TestOstatni::commasAndPointsGiveTheSameFilesWhateverTheLocale() {
    // The user's locale decides nothing: a comma and a point are both decimal.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString typed[] = {"2", "1,2", "0,57", "25", "0,3855", "9,5", "12,5", "2,5"};
    for (int i = 0; i < 8; ++i)
        type(qPrintable(QString("Edit%1").arg(i + 1)), typed[i]);
    click("Button2");
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->shown.join('|')));
    const QByteArray expected[] = {"2\r\n",     "1.2\r\n", "5700\r\n", "25\r\n",
                                   "385.5\r\n", "2.5\r\n", "9.5\r\n",  "12.5\r\n"};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(testing_gui::readAll(m_dir->filePath(kFiles[i])), expected[i]);

    // The same values with points, in a fresh form over the saved files.
    const QByteArray saved = testing_gui::readAll(m_dir->filePath("IN_START_RN_OWERFLOW"));
    m_form = std::make_unique<TFRM_Ostatni>();
    m_form->setFilesDir(m_dir->path());
    m_form->show();
    type("Edit7", "12.5");
    type("Edit2", "1.2");
    click("Button2");
    QCOMPARE(testing_gui::readAll(m_dir->filePath("IN_START_RN_OWERFLOW")), saved);
    QCOMPARE(testing_gui::readAll(m_dir->filePath("IN_OUTLET_DIAMETER")), QByteArray("1.2\r\n"));
}

void TestOstatni::whatIsNotANumberIsRefusedInCzechAndNothingIsWritten() {
    type("Edit2", "abc");
    type("Edit6", "5");
    click("Button2");
    QCOMPARE(m_messages->shown,
             QStringList{"E:Průměr potrubí [m]: „abc“ není číslo. Zadejte číslo s desetinnou "
                         "čárkou nebo tečkou, například 12,5 (bez mezer mezi číslicemi)."});
    QVERIFY(nothingWritten());
    QVERIFY(m_form->isVisible());
    auto* diameter = m_form->findChild<QLineEdit*>("Edit2");
    QCOMPARE(diameter->text(), QString("abc"));
    QVERIFY(diameter->hasFocus());
    QCOMPARE(diameter->selectedText(), QString("abc"));
    QCOMPARE(m_form->findChild<QLineEdit*>("Edit6")->text(), QString("5"));

    // A coefficient the whole-number file cannot hold is refused, not rounded.
    m_messages->shown.clear();
    type("Edit2", "1");
    type("Edit3", "0,1234");
    type("Edit5", "");
    click("Button2");
    QCOMPARE(m_messages->shown, QStringList{"E:Součinitel přepadu m [-]: chybí hodnota. Zadejte "
                                            "číslo."});
    type("Edit5", "0,4");
    type("Edit3", ",12345");
    click("Button2");
    QVERIFY(m_messages->shown.last().startsWith(
        "E:Součinitel výtokové rychlosti [-]: „,12345“ má více než čtyři desetinná místa."));
    QVERIFY(nothingWritten());
}

void TestOstatni::aWarningLetsTheEngineerDecide() {
    // The saved curve reaches 14.5 m; RN 12.5 + 2.5 m reaches above it.
    testing_gui::writeAll(m_dir->filePath("IN_NUMBER_OF_POINT_BK"), "2\r\n");
    testing_gui::writeAll(m_dir->filePath("IN_BAT_CURVE_BC"),
                          "300\t0.5\t1000\t10\t\r\n314\t14.5\t90000\t500\t\r\n");
    type("Edit7", "12,5");
    type("Edit8", "2,5");
    m_messages->answers = {false};
    click("Button2");
    QCOMPARE(m_messages->shown,
             QStringList{"Q:Začátek RN a možná výška retenčního neovladatelného prostoru dávají "
                         "15 m, to sahá k nejvyšší hladině batygrafické křivky (14,5 m) nebo nad "
                         "ni. Pozor na kapacitu BK!\n\nUložit přesto?"});
    QVERIFY(m_form->isVisible());
    QVERIFY(!QFile::exists(m_dir->filePath("IN_START_RN_OWERFLOW")));
    m_messages->answers = {true};
    click("Button2");
    QVERIFY(!m_form->isVisible());
    QCOMPARE(testing_gui::readAll(m_dir->filePath("IN_TOTAL_HEIGHT_OWERFLOW")),
             QByteArray("2.5\r\n"));
}

void TestOstatni::reopeningShowsWhatIsSaved() {
    type("Edit1", "3");
    type("Edit3", "0,62");
    type("Edit4", "25,25");
    type("Edit5", "0,385");
    click("Button2");
    QVERIFY(!m_form->isVisible());
    // A file too long for its field is shown whole, not cut.
    testing_gui::writeAll(m_dir->filePath("IN_OUTLET_DIAMETER"), "1.23456789\r\n");

    m_form = std::make_unique<TFRM_Ostatni>();
    m_form->setFilesDir(m_dir->path());
    m_form->show();
    const QString shown[] = {"3", "1,23456789", "0,62", "25,25", "0,385", "0", "0", "0"};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(m_form->findChild<QLineEdit*>(QString("Edit%1").arg(i + 1))->text(), shown[i]);
    click("Button2"); // saved again unchanged
    QCOMPARE(testing_gui::readAll(m_dir->filePath("IN_TOTAL_COEFFICIENT_OUTLET")),
             QByteArray("6200\r\n"));
    QCOMPARE(testing_gui::readAll(m_dir->filePath("IN_OUTLET_DIAMETER")),
             QByteArray("1.23456789\r\n"));
}

void TestOstatni::aFailedFileStopsTheRestAndKeepsTheFormOpen() {
    // A directory where the fifth file belongs cannot be opened as a file.
    QVERIFY(QDir(m_dir->path()).mkdir("IN_COEFFICIENT_OVERFLOW_m"));
    click("Button2");
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY(m_messages->shown[0].startsWith("E:"));
    QVERIFY(m_messages->shown[0].contains("IN_COEFFICIENT_OVERFLOW_m"));
    QVERIFY(m_form->isVisible());
    for (int i = 0; i < 4; ++i)
        QCOMPARE(testing_gui::readAll(m_dir->filePath(kFiles[i])), QByteArray("0\r\n"));
    for (int i = 5; i < 8; ++i)
        QVERIFY(!QFile::exists(m_dir->filePath(kFiles[i])));
}

void TestOstatni::aReadOnlyDirectoryKeepsTheFormOpen() {
    if (geteuid() == 0) QSKIP("root writes into read-only directories");
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner);
    click("Button2");
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY(m_messages->shown[0].startsWith("E:Přístup k souboru odepřen"));
    QVERIFY(m_messages->shown[0].contains("IN_NUMBER_OF_OUTLET"));
    QVERIFY(m_form->isVisible());
    QVERIFY(nothingWritten());
}

void TestOstatni::closingWithoutSavingAsksFirst() {
    type("Edit2", "0,8");
    m_messages->answers = {false};
    click("Button1");
    QCOMPARE(m_messages->shown, QStringList{"Q:Opravdu zavřít bez uložení?"});
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_form->findChild<QLineEdit*>("Edit2")->text(), QString("0,8"));

    m_messages->answers = {true};
    click("Button1");
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_form->result(), int(QDialog::Rejected));
    QVERIFY(nothingWritten());
}

void TestOstatni::theCloseControlWritesNothing() {
    // Escape is not a way out: it would lose what was typed.
    QTest::keyClick(m_form->findChild<QLineEdit*>("Edit1"), Qt::Key_Escape);
    QVERIFY(m_form->isVisible());
    // Enter in a field does not press a button either.
    QTest::keyClick(m_form->findChild<QLineEdit*>("Edit1"), Qt::Key_Return);
    QVERIFY(m_form->isVisible());
    QVERIFY(m_form->close());
    QVERIFY(m_messages->shown.isEmpty());
    QVERIFY(nothingWritten());
}

QTEST_MAIN(TestOstatni)
#include "technical_data_form_test.moc"
