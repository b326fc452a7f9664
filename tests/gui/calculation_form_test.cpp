// The calculation window: settings written only by the start or "Uložit", the
// side panels, the start level kept and checked, the start sequence, and whole
// runs of the real core and of a slow stand-in.
#include "gui/calculation/calculation_form.h"
#include "gui/calculation/console_dialog.h"
#include "gui/calculation/core_process.h"
#include "helpers/console_driver.h"
#include "helpers/form_fixture.h"
#include "helpers/qt_files.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/file.h>
#include <unistd.h>

class TestCalculationForm : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsEmptyAndHidden();
    void settingsAreWrittenOnlyByTheStartOrTheSave();
    void panelsFollowTheManipulationModeAndHidingRewritesNothing();
    void noToTheQuestionWritesSettingsButDoesNotStart();
    void closingWithoutSavingLeavesEveryFileAsItWas();
    void aFailedWriteKeepsTheWindowOpen();
    void fullRunWithTheRealCore();
    void errorExitWaitsForEnterInTheConsole();
    void missingOrNotExecutableCoreFails();
    void staysResponsiveWhileASlowCoreRuns();
    void opensWithWhatTheFilesHold();
    void aFieldThatCannotBeRightIsRefusedBeforeAnythingIsWritten();
    void aRefusalAndAnOvertoppingAreToldAsWhatTheyAre();
    void anUnexpectedEndSaysTheRunFailed();

private:
    QString exchangeDir() const { return m_fixture->exchangeDir(); }
    QString exchangeFile(const QString& name) const { return m_fixture->exchangeFile(name); }
    QRadioButton* item(const char* group, int index) const {
        return m_form->findChild<QRadioButton*>(QString("%1_%2").arg(group).arg(index));
    }
    // Clicks the item's indicator, as a user would (the item is wider than its text).
    void clickItem(const char* group, int index) const {
        QRadioButton* radio = item(group, index);
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2));
    }
    QLineEdit* edit(const char* name) const { return m_form->findChild<QLineEdit*>(name); }
    QPushButton* button(const char* name) const { return m_form->findChild<QPushButton*>(name); }
    void installSampleReservoir();
    void chooseOutletOptions();
    void installFakeCore();
    void screenshot(QWidget* widget, const QString& name);

    std::unique_ptr<veldron::testing::FormFixture> m_fixture;
    veldron::testing::FakeMessages* m_messages = nullptr;
    std::unique_ptr<gui::CalculationForm> m_form;
};

void TestCalculationForm::init() {
    m_fixture = std::make_unique<veldron::testing::FormFixture>();
    QVERIFY(m_fixture->isValid());
    m_messages = &m_fixture->messages();
    m_form = std::make_unique<gui::CalculationForm>();
    m_form->setProgramDirectory(exchangeDir());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestCalculationForm::cleanup() {
    m_form.reset();
    m_fixture.reset();
    for (const char* name : {"FAKE_CORE_LINES", "FAKE_CORE_DELAY", "FAKE_CORE_WAIT",
                             "FAKE_CORE_EXIT", "FAKE_CORE_SUMMARY"})
        qunsetenv(name);
}

void TestCalculationForm::installSampleReservoir() {
    veldron::testing::installSample(m_fixture->rootPath());
    QVERIFY(QFile::remove(exchangeFile("IN_START_VYP"))); // the window writes it
    QVERIFY(QFile::copy(QStringLiteral(VELDRON_CORE_EXE), exchangeFile("PRGVELDRON")));
    m_form->setProgramDirectory(exchangeDir()); // shows the sample's choices, as an opening does
}

// The choices a run cannot start without, where none is made: the outlets
// closed before and after the flood, open above the crest.
void TestCalculationForm::chooseOutletOptions() {
    for (const char* group : {"groupPreReleaseStorage", "groupPreReleaseControlled",
                              "groupEmptyAfterFlood", "groupManipulationMode"})
        if (!item(group, 0)->isChecked() && !item(group, 1)->isChecked() &&
            (item(group, 2) == nullptr || !item(group, 2)->isChecked()))
            clickItem(group, 0);
}

void TestCalculationForm::installFakeCore() {
    const QString core = exchangeFile("PRGVELDRON");
    QVERIFY(QFile::copy(QStringLiteral(VELDRON_SOURCE_DIR) + "/tests/gui/fake_core/fake_core.sh",
                        core));
    QVERIFY(QFile::setPermissions(core, QFile::permissions(core) | QFile::ExeOwner));
}

// With VELDRON_SCREENSHOTS set to a directory, the states worth looking at are saved there.
void TestCalculationForm::screenshot(QWidget* widget, const QString& name) {
    const QString dir = qEnvironmentVariable("VELDRON_SCREENSHOTS");
    if (!dir.isEmpty()) widget->grab().save(dir + "/" + name + ".png");
}

void TestCalculationForm::startsEmptyAndHidden() {
    QCOMPARE(m_form->windowTitle(), QString("Výpočet"));
    for (const char* group :
         {"groupPreReleaseStorage", "groupManipulationMode", "groupKeepClosedAfterPeak",
          "groupPreReleaseControlled", "groupEmptyAfterFlood"}) {
        auto* box = m_form->findChild<QGroupBox*>(group);
        QVERIFY2(box, group);
        for (QRadioButton* radio : box->findChildren<QRadioButton*>())
            QVERIFY2(!radio->isChecked(), qPrintable(radio->text()));
    }
    QCOMPARE(item("groupManipulationMode", 1)->text(),
             QString("Výpusti ZAVŘENÉ  (buď takto zůstaly nebo otevřeny v 1 kroku)"));
    QVERIFY(!m_form->findChild<QGroupBox*>("groupKeepClosedAfterPeak")->isVisible());
    QVERIFY(!m_form->findChild<QGroupBox*>("groupManipulationZone")->isVisible());
    for (const char* name : {"editStartLevel", "editTimeStep", "editZoneHeight"}) {
        QCOMPARE(edit(name)->text(), QString("0"));
        // A sixth character cannot be typed.
        QTest::keyClicks(edit(name), "123456");
        QCOMPARE(edit(name)->text(), QString("01234"));
    }
    // Opening the window writes nothing.
    QCOMPARE(QDir(exchangeDir()).entryList(QDir::Files), QStringList());
    screenshot(m_form.get(), "calculation_start");
}

void TestCalculationForm::settingsAreWrittenOnlyByTheStartOrTheSave() {
    clickItem("groupPreReleaseStorage", 1);
    clickItem("groupEmptyAfterFlood", 0);
    clickItem("groupManipulationMode", 2);
    edit("editStartLevel")->setText("11,5");
    edit("editTimeStep")->setText("60");
    QCOMPARE(QDir(exchangeDir()).entryList(QDir::Files), QStringList()); // choosing writes nothing

    button("btnSave")->click();
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QCOMPARE(QDir(exchangeDir()).entryList(QDir::Files),
             (QStringList{"IN_MANIP_0_1_2", "IN_MANPR", "IN_PREDP1_0_1", "IN_PREDP3_0_1",
                          "IN_TIME_STEP_min"})); // no IN_START_VYP: that starts a run
    QCOMPARE(veldron::testing::readAll(exchangeFile("IN_PREDP1_0_1")), QByteArray("1\r\n"));
    QCOMPARE(veldron::testing::readAll(exchangeFile("IN_PREDP3_0_1")), QByteArray("0\r\n"));
    QCOMPARE(veldron::testing::readAll(exchangeFile("IN_MANIP_0_1_2")), QByteArray("2\r\n"));
    QCOMPARE(veldron::testing::readAll(m_fixture->root() + "/posledni_vyska_startu"),
             QByteArray("11.5\r\n"));
    QVERIFY(m_messages->shown.isEmpty());
}

void TestCalculationForm::panelsFollowTheManipulationModeAndHidingRewritesNothing() {
    chooseOutletOptions();
    auto* keepClosed = m_form->findChild<QGroupBox*>("groupKeepClosedAfterPeak");
    auto* manipulation = m_form->findChild<QGroupBox*>("groupManipulationZone");

    clickItem("groupManipulationMode", 1);
    QVERIFY(keepClosed->isVisible());
    QVERIFY(!manipulation->isVisible());
    screenshot(m_form.get(), "calculation_keep_closed");
    clickItem("groupKeepClosedAfterPeak", 1); // "Nechám je zavřené"

    clickItem("groupManipulationMode", 2);
    QVERIFY(!keepClosed->isVisible());
    QVERIFY(manipulation->isVisible());
    screenshot(m_form.get(), "calculation_zone");
    edit("editZoneHeight")->setText("0.65");

    clickItem("groupManipulationMode", 0);
    QVERIFY(!keepClosed->isVisible());
    QVERIFY(!manipulation->isVisible());
    screenshot(m_form.get(), "calculation_no_panel");

    // The hidden panels' choice and field are still written by the start.
    edit("editTimeStep")->setText("60");
    m_messages->answers = {false};
    button("btnStart")->click();
    QCOMPARE(veldron::testing::readAll(exchangeFile("IN_MANIP_0_1_2")), QByteArray("0\r\n"));
    QCOMPARE(veldron::testing::readAll(exchangeFile("IN_MANIP1_0_1")), QByteArray("1\r\n"));
    QCOMPARE(veldron::testing::readAll(exchangeFile("IN_MANPR")), QByteArray("0.65\r\n"));
}

void TestCalculationForm::noToTheQuestionWritesSettingsButDoesNotStart() {
    chooseOutletOptions();
    int starts = 0;
    m_form->setProcessFactory([&starts] {
        ++starts;
        return std::make_unique<gui::QProcessCore>();
    });
    edit("editStartLevel")->setText("11");
    edit("editTimeStep")->setText("2,5"); // written as the core reads it: 2.5, not 2
    edit("editZoneHeight")->setText(" 0,6");
    m_messages->answers = {false};

    button("btnStart")->click();

    QCOMPARE(m_messages->shown, QStringList{"Q:Data zapsána. SPUSTIT VÝPOČET ???"});
    QCOMPARE(veldron::testing::readAll(exchangeFile("IN_MANPR")), QByteArray("0.6\r\n"));
    QCOMPARE(veldron::testing::readAll(exchangeFile("IN_TIME_STEP_min")), QByteArray("2.5\r\n"));
    QVERIFY(!QFile::exists(exchangeFile("IN_START_VYP")));
    QCOMPARE(starts, 0);
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
}

void TestCalculationForm::closingWithoutSavingLeavesEveryFileAsItWas() {
    installSampleReservoir();
    veldron::testing::writeAll(m_fixture->root() + "/posledni_vyska_startu", "11\r\n");
    const auto everyFile = [this] {
        QMap<QString, QByteArray> files;
        for (const QString& dir : {exchangeDir(), m_fixture->root()})
            for (const QString& name : QDir(dir).entryList(QDir::Files))
                files[dir + "/" + name] = veldron::testing::readAll(dir + "/" + name);
        return files;
    };
    const QMap<QString, QByteArray> before = everyFile();
    m_form->setProgramDirectory(exchangeDir());
    QVERIFY(item("groupManipulationMode", 2)->isChecked()); // the sample's gradual manipulation
    // Nothing changed: it closes unasked.
    button("btnCloseNoSave")->click();
    QVERIFY(!m_form->isVisible() && m_messages->shown.isEmpty());
    m_form->show();

    clickItem("groupManipulationMode", 1);
    clickItem("groupKeepClosedAfterPeak", 1);
    clickItem("groupEmptyAfterFlood", 0); // the sample empties the reservoir after the flood
    edit("editStartLevel")->setText("12,5");
    edit("editTimeStep")->setText("30");
    m_messages->answers = {false, true};
    button("btnCloseNoSave")->click();
    QVERIFY(m_form->isVisible());
    button("btnCloseNoSave")->click();
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_messages->shown,
             (QStringList{"Q:Opravdu zavřít bez uložení?", "Q:Opravdu zavřít bez uložení?"}));
    QCOMPARE(everyFile(), before); // byte for byte

    // Reopened, the window shows what the files hold, not what was closed.
    m_form->show();
    QVERIFY(item("groupManipulationMode", 2)->isChecked());
    QVERIFY(item("groupEmptyAfterFlood", 1)->isChecked());
    QVERIFY(m_form->findChild<QGroupBox*>("groupManipulationZone")->isVisible());
    QCOMPARE(edit("editTimeStep")->text(), QString("60"));
    QCOMPARE(edit("editStartLevel")->text(), QString("11"));

    // The window's own close control neither asks nor writes.
    clickItem("groupPreReleaseStorage", 1);
    edit("editZoneHeight")->setText("0,9");
    m_form->close();
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_messages->shown.size(), 2);
    QCOMPARE(everyFile(), before);
}

void TestCalculationForm::aFailedWriteKeepsTheWindowOpen() {
    chooseOutletOptions();
    QVERIFY(QDir(exchangeDir()).mkdir("IN_TIME_STEP_min")); // cannot be opened as a file
    edit("editTimeStep")->setText("60");
    m_messages->answers = {true};
    button("btnStart")->click();
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY(m_messages->shown[0].startsWith("E:"));
    QVERIFY(m_messages->shown[0].contains("IN_TIME_STEP_min"));
    QCOMPARE(veldron::testing::readAll(exchangeFile("IN_MANPR")), QByteArray("0\r\n"));
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_messages->answers.size(), std::size_t(1)); // never asked

    // An option file that cannot be written stops the save before the rest.
    QVERIFY(QFile::remove(exchangeFile("IN_PREDP1_0_1")));
    QVERIFY(QDir(exchangeDir()).mkdir("IN_PREDP1_0_1"));
    clickItem("groupPreReleaseStorage", 1);
    button("btnSave")->click();
    QVERIFY(m_messages->shown.last().startsWith("E:"));
    QVERIFY(m_messages->shown.last().contains("IN_PREDP1_0_1"));
    QVERIFY(m_form->isVisible());
}

void TestCalculationForm::fullRunWithTheRealCore() {
    installSampleReservoir();
    edit("editStartLevel")->setText("11,5");
    edit("editTimeStep")->setText("60");
    edit("editZoneHeight")->setText("0.6");
    clickItem("groupManipulationMode", 2);
    m_messages->answers = {true};

    veldron::testing::ConsoleDriver driver;
    button("btnStart")->click();

    QVERIFY(!driver.stuck);
    QVERIFY(driver.seen);
    QCOMPARE(m_messages->shown.size(), 2);
    QCOMPARE(m_messages->shown[0], QString("Q:Data zapsána. SPUSTIT VÝPOČET ???"));
    // A core that writes its run summary has it shown after the line.
    QVERIFY2(m_messages->shown[1] == "I:Výpočet doběhl" ||
                 m_messages->shown[1].startsWith("I:Výpočet doběhl\n\nSouhrn výpočtu:\n"),
             qPrintable(m_messages->shown[1]));
    QVERIFY(!m_form->isVisible());
    QVERIFY(!m_form->isRunning());
    QVERIFY2(driver.text.contains("TRANSFORMACE POVODNOVE VLNY"), qPrintable(driver.text));
    QVERIFY(!driver.text.contains(QLatin1Char('\r')));
    QVERIFY(!driver.text.contains("*ERR*"));
    QVERIFY(!driver.text.contains("ERROR"));
    QVERIFY(!QFile::exists(exchangeFile("IN_START_VYP"))); // the core consumed it

    const QString root = m_fixture->root();
    for (const QString& result :
         {root + "/OUT_RESULT/transformovana_povoden", root + "/OUT_RESULT/vyska_vody"}) {
        const QByteArray bytes = veldron::testing::readAll(result);
        QCOMPARE(bytes.count("\r\n"), 48); // one record per step of the sample flood wave
    }
    QCOMPARE(
        QDir(root + "/OUT_DATA/TK").entryList({"TRANSF_KRIVKA_KLEMES_*[0-9]"}, QDir::Files).size(),
        21);

    // After a restart of the front end the start level is still there.
    gui::CalculationForm restarted;
    restarted.setProgramDirectory(exchangeDir());
    QCOMPARE(restarted.findChild<QLineEdit*>("editStartLevel")->text(), QString("11,5"));
}

void TestCalculationForm::errorExitWaitsForEnterInTheConsole() {
    installSampleReservoir();
    // RN 12 m + 10 m reaches above the curve's top of 18 m: ERROR 1.
    veldron::testing::writeAll(exchangeFile("IN_TOTAL_HEIGHT_OWERFLOW"), "10\r\n");
    edit("editStartLevel")->setText("11");
    edit("editTimeStep")->setText("60");
    m_messages->answers = {true};

    int ticksWaiting = 0;
    bool waitedForEnter = false;
    veldron::testing::ConsoleDriver driver([&](gui::ConsoleDialog& console) {
        if (!console.text().contains("ERROR 1")) return;
        // The core keeps waiting as long as nobody presses Enter.
        if (++ticksWaiting < 6) return;
        waitedForEnter = console.isRunning();
        QCOMPARE(console.windowTitle(), QString("Výpočet – konzole"));
        screenshot(&console, "console_error");
        // The keyboard's Enter in the console reaches the core, as in a terminal.
        QTest::keyClick(console.findChild<QWidget*>("txtConsole"), Qt::Key_Return);
    });
    button("btnStart")->click();

    QVERIFY(!driver.stuck);
    QVERIFY(waitedForEnter);
    QVERIFY(driver.text.contains(
        "ERROR 1 spatne nactene hodnoty nebo vybocilo z okrajovych podminek  !!!"));
    // Under the core's line: what it means for these inputs and where to mend it.
    QVERIFY2(m_messages->shown.last().startsWith(
                 "W:Výpočet byl zastaven: jádro ohlásilo chybu.\n\nHlášení jádra:\nERROR 1 "
                 "spatne nactene hodnoty nebo vybocilo z okrajovych podminek  !!!\n\nVýpočet "
                 "pracuje s hladinami od bezpečnostního přelivu RN (12 m) po RN + možnou výšku "
                 "retenčního prostoru (12 + 10 = 22 m). Batygrafická křivka končí ve výšce "
                 "18,00 m, nepokrývá je tedy celé.\n\nOpravte:\nBatygrafické křivky → "),
             qPrintable(m_messages->shown.last()));
    QVERIFY(!m_form->isVisible());
}

void TestCalculationForm::missingOrNotExecutableCoreFails() {
    chooseOutletOptions();
    edit("editTimeStep")->setText("60");
    m_messages->answers = {true};
    button("btnStart")->click();
    QCOMPARE(m_messages->shown,
             (QStringList{"Q:Data zapsána. SPUSTIT VÝPOČET ???", "W:Výpočet selhal!!!"}));
    QVERIFY(veldron::testing::openConsole() == nullptr);
    QVERIFY(!m_form->isVisible());
    QVERIFY(!m_form->isRunning());

    // Present but without permission to run.
    QFile core(exchangeFile("PRGVELDRON"));
    QVERIFY(core.open(QIODevice::WriteOnly));
    core.write("#!/bin/sh\nexit 0\n");
    core.close();
    QVERIFY(core.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    m_form->show();
    m_messages->answers = {true};
    button("btnStart")->click();
    QCOMPARE(m_messages->shown.last(), QString("W:Výpočet selhal!!!"));
    QVERIFY(button("btnStart")->isEnabled());
}

void TestCalculationForm::staysResponsiveWhileASlowCoreRuns() {
    installFakeCore();
    chooseOutletOptions();
    qputenv("FAKE_CORE_LINES", "8");
    qputenv("FAKE_CORE_DELAY", "0.25");
    qputenv("FAKE_CORE_SUMMARY", "Kroků výpočtu: 8 z 8");
    edit("editTimeStep")->setText("60");
    m_messages->answers = {true};

    // A timer of the front end keeps firing while the core runs; the gaps
    // between its ticks show how long the front end went without events.
    QElapsedTimer clock;
    qint64 last = -1, longestGap = 0;
    int ticksWhileRunning = 0;
    bool partialOutputSeen = false, controlsLocked = true, selectionIgnored = true;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        gui::ConsoleDialog* console = veldron::testing::openConsole();
        if (console == nullptr || !console->isRunning()) return;
        const qint64 now = clock.elapsed();
        if (last >= 0) longestGap = std::max(longestGap, now - last);
        last = now;
        ++ticksWhileRunning;
        const QString text = console->text();
        if (text.contains("krok 1") && !text.contains("krok 8")) partialOutputSeen = true;
        if (ticksWhileRunning == 3) screenshot(console, "console_running");
        controlsLocked = controlsLocked && !button("btnStart")->isEnabled() &&
                         !item("groupPreReleaseStorage", 1)->isEnabled();
        // Even a direct click must not rewrite an option file while the core reads them.
        item("groupPreReleaseStorage", 1)->click();
        selectionIgnored =
            selectionIgnored && veldron::testing::readAll(exchangeFile("IN_PREDP1_0_1")) == "0\r\n";
    });
    clock.start();
    probe.start(100);
    bool closable = false;
    veldron::testing::ConsoleDriver driver({}, [&](gui::ConsoleDialog& console) {
        screenshot(&console, "console_after");
        closable = console.findChild<QPushButton*>("btnClose")->isEnabled();
    });
    button("btnStart")->click();
    probe.stop();

    QVERIFY(!driver.stuck);
    QVERIFY2(ticksWhileRunning >= 10, qPrintable(QString::number(ticksWhileRunning)));
    // The front end's own timer passes events every 500 ms or sooner; the bound
    // here is looser so a loaded machine cannot fail the test, yet a wait that
    // blocked for the whole two-second run would still be caught.
    QVERIFY2(longestGap < 1500, qPrintable(QString::number(longestGap)));
    QVERIFY(partialOutputSeen);
    QVERIFY(controlsLocked);
    QVERIFY(selectionIgnored);
    QVERIFY(closable);
    QVERIFY(driver.text.contains("krok 8\n"));
    QVERIFY(!driver.text.contains(QLatin1Char('\r')));
    QCOMPARE(m_messages->shown.last(),
             QString("I:Výpočet doběhl\n\nSouhrn výpočtu:\nKroků výpočtu: 8 z 8"));
    QVERIFY(button("btnStart")->isEnabled());
}

void TestCalculationForm::opensWithWhatTheFilesHold() {
    for (const auto& [name, bytes] : std::vector<std::pair<QString, QByteArray>>{
             {"IN_PREDP1_0_1", "1\r\n"},
             {"IN_PREDP2_0_1", "0.5\r\n"}, // no item writes it
             {"IN_MANIP_0_1_2", "2\r\n"},
             {"IN_TIME_STEP_min", "30\r\n"},
             {"IN_MANPR", "0.65\r\n"},
             {"IN_START_VYP", "11.25\r\n"}})
        veldron::testing::writeAll(exchangeFile(name), bytes);
    m_form = std::make_unique<gui::CalculationForm>();
    m_form->setProgramDirectory(exchangeDir());
    m_form->show();

    QVERIFY(item("groupPreReleaseStorage", 1)->isChecked());
    QVERIFY(!item("groupPreReleaseControlled", 0)->isChecked() &&
            !item("groupPreReleaseControlled", 1)->isChecked());
    QVERIFY(item("groupManipulationMode", 2)->isChecked());
    QVERIFY(m_form->findChild<QGroupBox*>("groupManipulationZone")->isVisible());
    QCOMPARE(edit("editStartLevel")->text(), QString("11,25"));
    QCOMPARE(edit("editTimeStep")->text(), QString("30"));
    QCOMPARE(edit("editZoneHeight")->text(), QString("0,65"));
    // Showing is not choosing: nothing was rewritten.
    QCOMPARE(veldron::testing::readAll(exchangeFile("IN_PREDP2_0_1")), QByteArray("0.5\r\n"));
    QCOMPARE(QDir(exchangeDir()).entryList(QDir::Files).size(), 6);
}

void TestCalculationForm::aFieldThatCannotBeRightIsRefusedBeforeAnythingIsWritten() {
    // Without its choices the core would refuse a missing option file, after
    // the settings were written.
    clickItem("groupManipulationMode", 1);
    edit("editTimeStep")->setText("60");
    button("btnStart")->click();
    QCOMPARE(m_messages->shown.size(), 1);
    for (const char* named :
         {"E:Výpočet nelze spustit", "\n• Vyber možnost v zásobním prostoru (ve Vz)",
          "\n• Vyber možnost v retenčním prostoru ovladatelném (v RO)",
          "\n• Nastavení spodních výpustí po povodní",
          "\n• Po transformaci maxima PV mám zavřené výpustě (stále v RN)"})
        QVERIFY2(m_messages->shown[0].contains(QString::fromUtf8(named)), named);
    QVERIFY(item("groupPreReleaseStorage", 0)->hasFocus());
    QCOMPARE(QDir(exchangeDir()).entryList(QDir::Files), QStringList());
    QVERIFY(m_form->isVisible());
    m_messages->shown.clear();

    clickItem("groupManipulationMode", 0);
    chooseOutletOptions();
    edit("editTimeStep")->setText("abc");
    m_messages->answers = {true};
    button("btnStart")->click();
    QCOMPARE(m_messages->shown,
             QStringList{"E:Časový krok výpočtu (krok povodňové vlny) [min]: „abc“ není číslo. "
                         "Zadejte číslo s desetinnou čárkou nebo tečkou, například 12,5 (bez "
                         "mezer mezi číslicemi)."});
    QVERIFY(m_form->isVisible());
    QCOMPARE(edit("editTimeStep")->text(), QString("abc"));
    QCOMPARE(edit("editTimeStep")->selectedText(), QString("abc"));
    QCOMPARE(QDir(exchangeDir()).entryList(QDir::Files), QStringList());

    // The time step 0 that once ran "successfully" with every result 0.
    edit("editTimeStep")->setText("0");
    button("btnStart")->click();
    QVERIFY(m_messages->shown.last().endsWith("„0“ nelze použít. Zadejte číslo větší než 0."));
    QCOMPARE(QDir(exchangeDir()).entryList(QDir::Files), QStringList());

    // At or above the overtopping level (14,50 m) the dam would overtop at once.
    installSampleReservoir();
    const QStringList files = QDir(exchangeDir()).entryList(QDir::Files);
    edit("editTimeStep")->setText("60");
    edit("editStartLevel")->setText("99");
    button("btnStart")->click();
    QVERIFY2(m_messages->shown.last().startsWith(
                 "E:Výška vody 99 m leží na úrovni přelití nádrže nebo nad ní (14,50 m)."),
             qPrintable(m_messages->shown.last()));
    QCOMPARE(edit("editStartLevel")->selectedText(), QString("99"));
    QCOMPARE(QDir(exchangeDir()).entryList(QDir::Files), files);
    QVERIFY(m_form->isVisible());
    screenshot(m_form.get(), "calculation_refused_start");

    // Below the curve's first row (0,50 m): the core starts from an empty
    // reservoir, so the window asks first; No writes nothing.
    edit("editStartLevel")->setText("0");
    m_messages->answers = {false};
    button("btnStart")->click();
    QVERIFY2(m_messages->shown.last().startsWith("Q:Výška vody 0 m leží pod prvním řádkem "
                                                 "batygrafické křivky (0,50 m)."),
             qPrintable(m_messages->shown.last()));
    QCOMPARE(QDir(exchangeDir()).entryList(QDir::Files), files);
    QVERIFY(m_form->isVisible());
}

void TestCalculationForm::aRefusalAndAnOvertoppingAreToldAsWhatTheyAre() {
    installSampleReservoir();
    veldron::testing::writeAll(exchangeFile("IN_START_RN_OWERFLOW"), "abc\r\n");
    edit("editStartLevel")->setText("11");
    edit("editTimeStep")->setText("60");
    m_messages->answers = {true};
    {
        veldron::testing::ConsoleDriver driver;
        button("btnStart")->click();
        QVERIFY(!driver.stuck);
    }
    const QString refused = m_messages->shown.last();
    QVERIFY2(refused.startsWith("E:Jádro odmítlo vstupní data, výpočet neproběhl.\n\nHlášení "
                                "jádra:\n*ERR* "),
             qPrintable(refused));
    QVERIFY(refused.contains("IN_START_RN_OWERFLOW"));
    QVERIFY(refused.endsWith("\n\nOpravte:\nTechnické údaje → Výška vody po bezpečnostní "
                             "přeliv ode dna nádrže (začátek RN) [m]"));

    // A flood far beyond the spillway: the dam overtops while routing.
    veldron::testing::writeAll(exchangeFile("IN_START_RN_OWERFLOW"), "12\r\n");
    QByteArray wave;
    for (int i = 0; i < 48; ++i)
        wave += "400 \r\n";
    veldron::testing::writeAll(exchangeFile("IN_FLOOD_WAVE"), wave);
    m_form->show();
    m_messages->answers = {true};
    veldron::testing::ConsoleDriver driver([](gui::ConsoleDialog& console) {
        if (console.text().contains("!!!"))
            console.findChild<QPushButton*>("btnSendEnter")->click();
    });
    button("btnStart")->click();
    QVERIFY(!driver.stuck);
    const QString stopped = m_messages->shown.last();
    QVERIFY2(stopped.startsWith("W:Výpočet byl zastaven v kroku "), qPrintable(stopped));
    QVERIFY(stopped.contains(": došlo k přelití nádrže.\n\nHlášení jádra:\n!!! doslo k "
                             "preliti nadrze !!!"));
    // The step told is the one after the last step the console shows done.
    const QStringList steps = driver.text.split('\n').filter(QRegularExpression("^ +\\d+$"));
    QVERIFY(!steps.isEmpty());
    QVERIFY(stopped.contains(QString("v kroku %1:").arg(steps.last().trimmed().toInt() + 1)));
    QVERIFY(stopped.contains("by hladina vystoupila nad hladinu přelití nádrže 14,500 m"));
    QVERIFY(stopped.contains("Nejvyšší hladina provedených kroků: "));
    QVERIFY(stopped.contains("Varianty → Bezpečnostní rezerva"));

    // Another calculation holds the root: nothing changed, try again later.
    const int lock = ::open(QFile::encodeName(m_fixture->root() + "/zamek_vypoctu").constData(),
                            O_RDWR | O_CREAT, 0644);
    QVERIFY(lock >= 0 && ::flock(lock, LOCK_EX | LOCK_NB) == 0);
    m_form->show();
    m_messages->answers = {true};
    {
        veldron::testing::ConsoleDriver busy;
        button("btnStart")->click();
        QVERIFY(!busy.stuck);
    }
    ::close(lock);
    QVERIFY2(m_messages->shown.last().startsWith(
                 "W:Výpočet neproběhl: v tomto adresáři výpočtu už běží jiný výpočet."),
             qPrintable(m_messages->shown.last()));
}

void TestCalculationForm::anUnexpectedEndSaysTheRunFailed() {
    installFakeCore();
    chooseOutletOptions();
    qputenv("FAKE_CORE_LINES", "1");
    edit("editTimeStep")->setText("60");
    for (const char* exit : {"3", "kill"}) {
        qputenv("FAKE_CORE_EXIT", exit);
        m_form->show();
        m_messages->answers = {true};
        veldron::testing::ConsoleDriver driver;
        button("btnStart")->click();
        QVERIFY(!driver.stuck);
        QVERIFY2(m_messages->shown.last().startsWith("E:Výpočet selhal\n\n"),
                 qPrintable(m_messages->shown.last()));
    }
}

VELDRON_TEST_MAIN(TestCalculationForm)
#include "calculation_form_test.moc"
