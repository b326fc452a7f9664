// The technical data form driven offscreen: fields, saving, refusing, closing.
#include "gui/inputs/technical_data_form.h"
#include "helpers/form_fixture.h"
#include "helpers/qt_files.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <unistd.h>

namespace {

const char* const kFiles[] = {
    "IN_NUMBER_OF_OUTLET",  "IN_OUTLET_DIAMETER",        "IN_TOTAL_COEFFICIENT_OUTLET",
    "IN_WIDTH_SPILLWAY_B0", "IN_COEFFICIENT_OVERFLOW_m", "IN_TOTAL_HEIGHT_OWERFLOW",
    "IN_START_RO",          "IN_START_RN_OWERFLOW"};

// The fields in the form's order.
const char* const kFields[] = {"editOutletCount",         "editOutletDiameter",
                               "editOutletCoefficient",   "editSpillwayWidth",
                               "editOverflowCoefficient", "editStorageTop",
                               "editCrestHeight",         "editRetentionHeight"};

} // namespace

class TestTechnicalDataForm : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void fieldsStartAtZeroWithTheirLimits_data();
    void fieldsStartAtZeroWithTheirLimits();
    void savingStraightAwayRefusesTheZerosItStartsWith();
    void commasAndPointsGiveTheSameFilesWhateverTheLocale();
    void whatIsNotANumberIsRefusedInCzechAndNothingIsWritten();
    void aWarningLetsTheEngineerDecide();
    void reopeningShowsWhatIsSaved();
    void aFailedFileStopsTheRestAndKeepsTheFormOpen();
    void aReadOnlyDirectoryKeepsTheFormOpen();
    void closingWithoutSavingAsksFirst();
    void theCloseControlWritesNothing();

private:
    bool nothingWritten() const;
    void type(const char* field, const QString& text) {
        veldron::testing::type(*m_form, field, text);
    }
    void click(const char* button) { veldron::testing::click(*m_form, button); }
    // The sample dam, each value one the check of the inputs takes.
    void typeSampleDam() {
        const QString typed[] = {"2", "1", "0,62", "25", "0,38", "9", "12", "2,5"};
        for (int i = 0; i < 8; ++i)
            type(kFields[i], typed[i]);
    }

    std::unique_ptr<veldron::testing::FormFixture> m_fixture;
    veldron::testing::FakeMessages* m_messages = nullptr;
    std::unique_ptr<gui::TechnicalDataForm> m_form;
};

void TestTechnicalDataForm::init() {
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
    m_fixture = std::make_unique<veldron::testing::FormFixture>();
    QVERIFY(m_fixture->isValid());
    m_messages = &m_fixture->messages();
    m_form = std::make_unique<gui::TechnicalDataForm>();
    m_form->setFilesDir(m_fixture->exchangeDir());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestTechnicalDataForm::cleanup() {
    m_form.reset();
    m_fixture.reset();
    QLocale::setDefault(QLocale::system());
}

bool TestTechnicalDataForm::nothingWritten() const {
    return QDir(m_fixture->exchangeDir()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty();
}

void TestTechnicalDataForm::fieldsStartAtZeroWithTheirLimits_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("labelText");
    QTest::addColumn<int>("maxLength");
    QTest::newRow("count") << "editOutletCount"
                           << "lblOutletCount"
                           << "Počet spodních výpustí:" << 1;
    QTest::newRow("diameter") << "editOutletDiameter"
                              << "lblOutletDiameter"
                              << "Průměr potrubí [m]:" << 5;
    QTest::newRow("outlet coefficient") << "editOutletCoefficient"
                                        << "lblOutletCoefficient"
                                        << "Součinitel výtokové rychlosti [-]:" << 6;
    QTest::newRow("width") << "editSpillwayWidth"
                           << "lblSpillwayWidth"
                           << "Skutečná šířka b0 [m]:" << 6;
    QTest::newRow("m") << "editOverflowCoefficient"
                       << "lblOverflowCoefficient"
                       << "Součinitel přepadu m [-]:" << 6;
    QTest::newRow("RO") << "editStorageTop"
                        << "lblStorageTop"
                        << "Výška vody po zásobní prostor ode dna nádrže (začátek RO) [m]:" << 6;
    QTest::newRow("RN") << "editCrestHeight"
                        << "lblCrestHeight"
                        << "Výška vody po bezpečnostní přeliv ode dna nádrže (začátek RN) [m]:"
                        << 6;
    QTest::newRow("retention") << "editRetentionHeight"
                               << "lblRetentionHeight"
                               << "Možná výška retenčního neovladatelného prostoru [m]:" << 5;
}

void TestTechnicalDataForm::fieldsStartAtZeroWithTheirLimits() {
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

void TestTechnicalDataForm::savingStraightAwayRefusesTheZerosItStartsWith() {
    QCOMPARE(m_form->windowTitle(), QString("Technické údaje"));
    click("btnCloseSave");
    // No outlets may be; outlets of no diameter, as the core judges, may not.
    QCOMPARE(m_messages->shown, QStringList{"E:Průměr potrubí [m]: „0“ nelze použít. Zadejte "
                                            "číslo větší než 0."});
    QVERIFY(m_form->isVisible());
    QVERIFY(nothingWritten());
}

void TestTechnicalDataForm::commasAndPointsGiveTheSameFilesWhateverTheLocale() {
    // The user's locale decides nothing: a comma and a point are both decimal.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString typed[] = {"2", "1,2", "0,57", "25", "0,3855", "9,5", "12,5", "2,5"};
    for (int i = 0; i < 8; ++i)
        type(kFields[i], typed[i]);
    click("btnCloseSave");
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->shown.join('|')));
    const QByteArray expected[] = {"2\r\n",     "1.2\r\n", "5700\r\n", "25\r\n",
                                   "385.5\r\n", "2.5\r\n", "9.5\r\n",  "12.5\r\n"};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(veldron::testing::readAll(m_fixture->exchangeFile(kFiles[i])), expected[i]);

    // The same values with points, in a fresh form over the saved files.
    const QByteArray saved =
        veldron::testing::readAll(m_fixture->exchangeFile("IN_START_RN_OWERFLOW"));
    m_form = std::make_unique<gui::TechnicalDataForm>();
    m_form->setFilesDir(m_fixture->exchangeDir());
    m_form->show();
    type("editCrestHeight", "12.5");
    type("editOutletDiameter", "1.2");
    click("btnCloseSave");
    QCOMPARE(veldron::testing::readAll(m_fixture->exchangeFile("IN_START_RN_OWERFLOW")), saved);
    QCOMPARE(veldron::testing::readAll(m_fixture->exchangeFile("IN_OUTLET_DIAMETER")),
             QByteArray("1.2\r\n"));
}

void TestTechnicalDataForm::whatIsNotANumberIsRefusedInCzechAndNothingIsWritten() {
    typeSampleDam();
    type("editOutletDiameter", "abc");
    type("editStorageTop", "5");
    click("btnCloseSave");
    QCOMPARE(m_messages->shown,
             QStringList{"E:Průměr potrubí [m]: „abc“ není číslo. Zadejte číslo s desetinnou "
                         "čárkou nebo tečkou, například 12,5 (bez mezer mezi číslicemi)."});
    QVERIFY(nothingWritten());
    QVERIFY(m_form->isVisible());
    auto* diameter = m_form->findChild<QLineEdit*>("editOutletDiameter");
    QCOMPARE(diameter->text(), QString("abc"));
    QVERIFY(diameter->hasFocus());
    QCOMPARE(diameter->selectedText(), QString("abc"));
    QCOMPARE(m_form->findChild<QLineEdit*>("editStorageTop")->text(), QString("5"));

    // A coefficient the whole-number file cannot hold is refused, not rounded.
    m_messages->shown.clear();
    type("editOutletDiameter", "1");
    type("editOutletCoefficient", "0,1234");
    type("editOverflowCoefficient", "");
    click("btnCloseSave");
    QCOMPARE(m_messages->shown, QStringList{"E:Součinitel přepadu m [-]: chybí hodnota. Zadejte "
                                            "číslo."});
    type("editOverflowCoefficient", "0,4");
    type("editOutletCoefficient", ",12345");
    click("btnCloseSave");
    QVERIFY(m_messages->shown.last().startsWith(
        "E:Součinitel výtokové rychlosti [-]: „,12345“ má více než čtyři desetinná místa."));
    QVERIFY(nothingWritten());
}

void TestTechnicalDataForm::aWarningLetsTheEngineerDecide() {
    // The saved curve reaches 14.5 m; RN 12.5 + 2.5 m reaches above it.
    typeSampleDam();
    veldron::testing::writeAll(m_fixture->exchangeFile("IN_NUMBER_OF_POINT_BK"), "2\r\n");
    veldron::testing::writeAll(m_fixture->exchangeFile("IN_BAT_CURVE_BC"),
                               "300\t0.5\t1000\t10\t\r\n314\t14.5\t90000\t500\t\r\n");
    type("editCrestHeight", "12,5");
    type("editRetentionHeight", "2,5");
    m_messages->answers = {false};
    click("btnCloseSave");
    QCOMPARE(m_messages->shown,
             QStringList{"Q:Začátek RN a možná výška retenčního neovladatelného prostoru dávají "
                         "15 m, to sahá k nejvyšší hladině batygrafické křivky (14,5 m) nebo nad "
                         "ni. Pozor na kapacitu BK!\n\nUložit přesto?"});
    QVERIFY(m_form->isVisible());
    QVERIFY(!QFile::exists(m_fixture->exchangeFile("IN_START_RN_OWERFLOW")));
    m_messages->answers = {true};
    click("btnCloseSave");
    QVERIFY(!m_form->isVisible());
    QCOMPARE(veldron::testing::readAll(m_fixture->exchangeFile("IN_TOTAL_HEIGHT_OWERFLOW")),
             QByteArray("2.5\r\n"));
}

void TestTechnicalDataForm::reopeningShowsWhatIsSaved() {
    typeSampleDam();
    type("editOutletCount", "3");
    type("editOutletCoefficient", "0,62");
    type("editSpillwayWidth", "25,25");
    type("editOverflowCoefficient", "0,385");
    click("btnCloseSave");
    QVERIFY(!m_form->isVisible());
    // A file too long for its field is shown whole, not cut.
    veldron::testing::writeAll(m_fixture->exchangeFile("IN_OUTLET_DIAMETER"), "1.23456789\r\n");

    m_form = std::make_unique<gui::TechnicalDataForm>();
    m_form->setFilesDir(m_fixture->exchangeDir());
    m_form->show();
    const QString shown[] = {"3", "1,23456789", "0,62", "25,25", "0,385", "9", "12", "2,5"};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(m_form->findChild<QLineEdit*>(kFields[i])->text(), shown[i]);
    click("btnCloseSave"); // saved again unchanged
    QCOMPARE(veldron::testing::readAll(m_fixture->exchangeFile("IN_TOTAL_COEFFICIENT_OUTLET")),
             QByteArray("6200\r\n"));
    QCOMPARE(veldron::testing::readAll(m_fixture->exchangeFile("IN_OUTLET_DIAMETER")),
             QByteArray("1.23456789\r\n"));
}

void TestTechnicalDataForm::aFailedFileStopsTheRestAndKeepsTheFormOpen() {
    // A directory where the fifth file belongs cannot be opened as a file.
    QVERIFY(QDir(m_fixture->exchangeDir()).mkdir("IN_COEFFICIENT_OVERFLOW_m"));
    typeSampleDam();
    click("btnCloseSave");
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY(m_messages->shown[0].startsWith("E:"));
    QVERIFY(m_messages->shown[0].contains("IN_COEFFICIENT_OVERFLOW_m"));
    QVERIFY(m_form->isVisible());
    const QByteArray written[] = {"2\r\n", "1\r\n", "6200\r\n", "25\r\n"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(veldron::testing::readAll(m_fixture->exchangeFile(kFiles[i])), written[i]);
    for (int i = 5; i < 8; ++i)
        QVERIFY(!QFile::exists(m_fixture->exchangeFile(kFiles[i])));
}

void TestTechnicalDataForm::aReadOnlyDirectoryKeepsTheFormOpen() {
    if (geteuid() == 0) QSKIP("root writes into read-only directories");
    QFile::setPermissions(m_fixture->exchangeDir(), QFile::ReadOwner | QFile::ExeOwner);
    typeSampleDam();
    click("btnCloseSave");
    QFile::setPermissions(m_fixture->exchangeDir(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY(m_messages->shown[0].startsWith("E:Přístup k souboru odepřen"));
    QVERIFY(m_messages->shown[0].contains("IN_NUMBER_OF_OUTLET"));
    QVERIFY(m_form->isVisible());
    QVERIFY(nothingWritten());
}

// Only when something was changed: typed back to what it showed, it closes unasked.
void TestTechnicalDataForm::closingWithoutSavingAsksFirst() {
    const QString shown = m_form->findChild<QLineEdit*>("editOutletDiameter")->text();
    type("editOutletDiameter", "0,8");
    type("editOutletDiameter", shown);
    click("btnCloseNoSave");
    QVERIFY(m_messages->shown.isEmpty());
    QVERIFY(!m_form->isVisible());
    m_form->show();
    type("editOutletDiameter", "0,8");
    m_messages->answers = {false};
    click("btnCloseNoSave");
    QCOMPARE(m_messages->shown, QStringList{"Q:Opravdu zavřít bez uložení?"});
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_form->findChild<QLineEdit*>("editOutletDiameter")->text(), QString("0,8"));

    m_messages->answers = {true};
    click("btnCloseNoSave");
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_form->result(), int(QDialog::Rejected));
    QVERIFY(nothingWritten());
}

void TestTechnicalDataForm::theCloseControlWritesNothing() {
    // Escape is not a way out: it would lose what was typed.
    QTest::keyClick(m_form->findChild<QLineEdit*>("editOutletCount"), Qt::Key_Escape);
    QVERIFY(m_form->isVisible());
    // Enter in a field does not press a button either.
    QTest::keyClick(m_form->findChild<QLineEdit*>("editOutletCount"), Qt::Key_Return);
    QVERIFY(m_form->isVisible());
    QVERIFY(m_form->close());
    QVERIFY(m_messages->shown.isEmpty());
    QVERIFY(nothingWritten());
}

VELDRON_TEST_MAIN(TestTechnicalDataForm)
#include "technical_data_form_test.moc"
