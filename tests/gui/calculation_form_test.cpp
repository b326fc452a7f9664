// The calculation window: option files written at selection, the side panels,
// the start sequence, and whole runs of the real core and of a slow stand-in.
#include "gui/console/console_dialog.h"
#include "gui/console/core_process.h"
#include "gui/vypocet/tfrm_vypocet.h"
#include "helpers/fake_messages.h"
#include "helpers/test_files.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

gui::ConsoleDialog* openConsole() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* console = qobject_cast<gui::ConsoleDialog*>(widget);
            console && console->isVisible())
            return console;
    return nullptr;
}

// Drives the core's console while a launch waits: calls `onTick` every 50 ms
// while the console is open and closes the console once the core has ended.
// A run that takes too long gets Enter and is recorded as stuck, so that a
// broken launch fails the test instead of hanging it.
class ConsoleDriver {
public:
    explicit ConsoleDriver(std::function<void(gui::ConsoleDialog&)> onTick = {},
                           std::function<void(gui::ConsoleDialog&)> onFinished = {})
        : m_onTick(std::move(onTick)), m_onFinished(std::move(onFinished)) {
        m_clock.start();
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_timer.start(50);
    }
    QString text;      // the console's text when it was last seen
    bool seen = false; // a console was open at some tick
    bool stuck = false;

private:
    void tick() {
        gui::ConsoleDialog* console = openConsole();
        if (console == nullptr) return;
        seen = true;
        text = console->text();
        if (console->isRunning()) {
            if (m_onTick) m_onTick(*console);
            if (m_clock.elapsed() > 60000) {
                stuck = true;
                console->findChild<QPushButton*>("btnSendEnter")->click();
            }
        } else {
            if (m_onFinished) m_onFinished(*console);
            console->findChild<QPushButton*>("btnClose")->click();
        }
    }
    std::function<void(gui::ConsoleDialog&)> m_onTick, m_onFinished;
    QTimer m_timer;
    QElapsedTimer m_clock;
};

} // namespace

class TestVypocet : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsEmptyAndHidden();
    void eachSelectionWritesItsFileAtOnce();
    void panelsFollowRadioGroup2AndHidingRewritesNothing();
    void noToTheQuestionWritesSettingsButDoesNotStart();
    void closingWithoutSavingAsksAndSettingsPersist();
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
    QString exchangeDir() const { return m_root->path() + "/PULT_na_vypocty"; }
    QString exchangeFile(const QString& name) const { return exchangeDir() + "/" + name; }
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
    void installFakeCore();
    void screenshot(QWidget* widget, const QString& name);

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<testing_gui::FakeMessages> m_messages;
    std::unique_ptr<TFRM_vypocet> m_form;
};

void TestVypocet::init() {
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    qputenv("VELDRON_ROOT", m_root->path().toUtf8());
    QDir root(m_root->path());
    for (const char* dir : {"PULT_na_vypocty", "OUT_DATA/TK", "OUT_RESULT", "OUT_PICTURES"})
        QVERIFY(root.mkpath(dir));
    m_messages = std::make_unique<testing_gui::FakeMessages>();
    m_form = std::make_unique<TFRM_vypocet>();
    m_form->setProgramDirectory(exchangeDir());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestVypocet::cleanup() {
    m_form.reset();
    m_messages.reset();
    m_root.reset();
    qunsetenv("VELDRON_ROOT");
    for (const char* name : {"FAKE_CORE_LINES", "FAKE_CORE_DELAY", "FAKE_CORE_WAIT",
                             "FAKE_CORE_EXIT", "FAKE_CORE_SUMMARY"})
        qunsetenv(name);
}

void TestVypocet::installSampleReservoir() {
    const QDir sample(QStringLiteral(VELDRON_SOURCE_DIR) + "/data/sample");
    for (const QString& name : sample.entryList(QDir::Files))
        QVERIFY(QFile::copy(sample.filePath(name), exchangeFile(name)));
    QVERIFY(QFile::remove(exchangeFile("IN_START_VYP"))); // the window writes it
    QVERIFY(QFile::copy(QStringLiteral(VELDRON_CORE_EXE), exchangeFile("PRGVELDRON")));
}

void TestVypocet::installFakeCore() {
    const QString core = exchangeFile("PRGVELDRON");
    QVERIFY(QFile::copy(QStringLiteral(VELDRON_SOURCE_DIR) + "/tests/gui/fake_core/fake_core.sh",
                        core));
    QVERIFY(QFile::setPermissions(core, QFile::permissions(core) | QFile::ExeOwner));
}

// With VELDRON_SCREENSHOTS set to a directory, the states worth looking at are saved there.
void TestVypocet::screenshot(QWidget* widget, const QString& name) {
    const QString dir = qEnvironmentVariable("VELDRON_SCREENSHOTS");
    if (!dir.isEmpty()) widget->grab().save(dir + "/" + name + ".png");
}

void TestVypocet::startsEmptyAndHidden() {
    QCOMPARE(m_form->windowTitle(), QString("FRM_výpočet"));
    for (const char* group :
         {"RadioGroup1", "RadioGroup2", "RadioGroup3", "RadioGroup4", "RadioGroup5"}) {
        auto* box = m_form->findChild<QGroupBox*>(group);
        QVERIFY2(box, group);
        for (QRadioButton* radio : box->findChildren<QRadioButton*>())
            QVERIFY2(!radio->isChecked(), qPrintable(radio->text()));
    }
    QCOMPARE(item("RadioGroup2", 1)->text(),
             QString("Výpusti ZAVŘENÉ  (buď takto zůstaly nebo otevřeny v 1 kroku)"));
    QVERIFY(!m_form->findChild<QGroupBox*>("RadioGroup3")->isVisible());
    QVERIFY(!m_form->findChild<QGroupBox*>("GroupBox2")->isVisible());
    for (const char* name : {"Edit1", "Edit2", "Edit6"}) {
        QCOMPARE(edit(name)->text(), QString("0"));
        // A sixth character cannot be typed.
        QTest::keyClicks(edit(name), "123456");
        QCOMPARE(edit(name)->text(), QString("01234"));
    }
    // Opening the window writes nothing.
    QCOMPARE(QDir(exchangeDir()).entryList(QDir::Files), QStringList());
    screenshot(m_form.get(), "vypocet_start");
}

void TestVypocet::eachSelectionWritesItsFileAtOnce() {
    struct Case {
        const char* group;
        int index;
        const char* file;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"RadioGroup1", 1, "IN_PREDP1_0_1", "1\r\n"},
        {"RadioGroup1", 0, "IN_PREDP1_0_1", "0\r\n"},
        {"RadioGroup4", 1, "IN_PREDP2_0_1", "1\r\n"},
        {"RadioGroup5", 1, "IN_PREDP3_0_1", "1\r\n"},
        {"RadioGroup5", 0, "IN_PREDP3_0_1", "0\r\n"},
        {"RadioGroup2", 2, "IN_MANIP_0_1_2", "2\r\n"},
        {"RadioGroup2", 1, "IN_MANIP_0_1_2", "1\r\n"},
        {"RadioGroup3", 1, "IN_MANIP1_0_1", "1\r\n"},
        {"RadioGroup3", 0, "IN_MANIP1_0_1", "0\r\n"},
    };
    for (const Case& c : cases) {
        clickItem(c.group, c.index);
        QCOMPARE(testing_gui::readAll(exchangeFile(c.file)), c.bytes);
    }
    QCOMPARE(QDir(exchangeDir()).entryList(QDir::Files).size(), 5);
    QVERIFY(m_messages->shown.isEmpty());
}

void TestVypocet::panelsFollowRadioGroup2AndHidingRewritesNothing() {
    auto* group3 = m_form->findChild<QGroupBox*>("RadioGroup3");
    auto* manipulation = m_form->findChild<QGroupBox*>("GroupBox2");

    clickItem("RadioGroup2", 1);
    QVERIFY(group3->isVisible());
    QVERIFY(!manipulation->isVisible());
    screenshot(m_form.get(), "vypocet_radiogroup3");
    clickItem("RadioGroup3", 1); // "Nechám je zavřené"

    clickItem("RadioGroup2", 2);
    QVERIFY(!group3->isVisible());
    QVERIFY(manipulation->isVisible());
    screenshot(m_form.get(), "vypocet_manipulace");
    QCOMPARE(testing_gui::readAll(exchangeFile("IN_MANIP1_0_1")), QByteArray("1\r\n"));
    edit("Edit6")->setText("0.65");

    clickItem("RadioGroup2", 0);
    QVERIFY(!group3->isVisible());
    QVERIFY(!manipulation->isVisible());
    screenshot(m_form.get(), "vypocet_zadny_panel");
    QCOMPARE(testing_gui::readAll(exchangeFile("IN_MANIP_0_1_2")), QByteArray("0\r\n"));
    QCOMPARE(testing_gui::readAll(exchangeFile("IN_MANIP1_0_1")), QByteArray("1\r\n"));

    // The hidden field is still written by the start.
    edit("Edit2")->setText("60");
    m_messages->answers = {false};
    button("Button2")->click();
    QCOMPARE(testing_gui::readAll(exchangeFile("IN_MANPR")), QByteArray("0.65\r\n"));
}

void TestVypocet::noToTheQuestionWritesSettingsButDoesNotStart() {
    int starts = 0;
    m_form->setProcessFactory([&starts] {
        ++starts;
        return std::make_unique<gui::QProcessCore>();
    });
    edit("Edit1")->setText("11");
    edit("Edit2")->setText("2,5"); // written as the core reads it: 2.5, not 2
    edit("Edit6")->setText(" 0,6");
    m_messages->answers = {false};

    button("Button2")->click();

    QCOMPARE(m_messages->shown, QStringList{"Q:Data zapsána. SPUSTIT VÝPOČET ???"});
    QCOMPARE(testing_gui::readAll(exchangeFile("IN_MANPR")), QByteArray("0.6\r\n"));
    QCOMPARE(testing_gui::readAll(exchangeFile("IN_TIME_STEP_min")), QByteArray("2.5\r\n"));
    QVERIFY(!QFile::exists(exchangeFile("IN_START_VYP")));
    QCOMPARE(starts, 0);
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
}

void TestVypocet::closingWithoutSavingAsksAndSettingsPersist() {
    clickItem("RadioGroup2", 2);
    clickItem("RadioGroup5", 1);
    edit("Edit2")->setText("30");

    m_messages->answers = {false, true};
    button("Button1")->click();
    QVERIFY(m_form->isVisible());
    button("Button1")->click();
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_messages->shown,
             (QStringList{"Q:Opravdu zavřít bez uložení?", "Q:Opravdu zavřít bez uložení?"}));
    QVERIFY(!QFile::exists(exchangeFile("IN_TIME_STEP_min")));

    // Reopened, the window shows what it showed before.
    m_form->show();
    QVERIFY(item("RadioGroup2", 2)->isChecked());
    QVERIFY(item("RadioGroup5", 1)->isChecked());
    QVERIFY(m_form->findChild<QGroupBox*>("GroupBox2")->isVisible());
    QCOMPARE(edit("Edit2")->text(), QString("30"));

    // The window's own close control neither asks nor writes.
    m_form->close();
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_messages->shown.size(), 2);
    QVERIFY(!QFile::exists(exchangeFile("IN_TIME_STEP_min")));
}

void TestVypocet::aFailedWriteKeepsTheWindowOpen() {
    QVERIFY(QDir(exchangeDir()).mkdir("IN_TIME_STEP_min")); // cannot be opened as a file
    edit("Edit2")->setText("60");
    m_messages->answers = {true};
    button("Button2")->click();
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY(m_messages->shown[0].startsWith("E:"));
    QVERIFY(m_messages->shown[0].contains("IN_TIME_STEP_min"));
    QCOMPARE(testing_gui::readAll(exchangeFile("IN_MANPR")), QByteArray("0\r\n"));
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_messages->answers.size(), std::size_t(1)); // never asked

    // A selection whose file cannot be written says so too.
    QVERIFY(QDir(exchangeDir()).mkdir("IN_PREDP1_0_1"));
    clickItem("RadioGroup1", 1);
    QVERIFY(m_messages->shown.last().startsWith("E:"));
}

void TestVypocet::fullRunWithTheRealCore() {
    installSampleReservoir();
    edit("Edit1")->setText("11");
    edit("Edit2")->setText("60");
    edit("Edit6")->setText("0.6");
    clickItem("RadioGroup2", 2);
    m_messages->answers = {true};

    ConsoleDriver driver;
    button("Button2")->click();

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

    const QString root = m_root->path();
    for (const QString& result :
         {root + "/OUT_RESULT/transformovana_povoden", root + "/OUT_RESULT/vyska_vody"}) {
        const QByteArray bytes = testing_gui::readAll(result);
        QCOMPARE(bytes.count("\r\n"), 48); // one record per step of the sample flood wave
    }
    QCOMPARE(QDir(root + "/OUT_DATA/TK").entryList(QDir::Files).size(), 21);
}

void TestVypocet::errorExitWaitsForEnterInTheConsole() {
    installSampleReservoir();
    edit("Edit1")->setText("99"); // above the top of the curve: ERROR 2
    edit("Edit2")->setText("60");
    m_messages->answers = {true, true}; // the warning, then the start

    int ticksWaiting = 0;
    bool waitedForEnter = false;
    ConsoleDriver driver([&](gui::ConsoleDialog& console) {
        if (!console.text().contains("ERROR 2")) return;
        // The core keeps waiting as long as nobody presses Enter.
        if (++ticksWaiting < 6) return;
        waitedForEnter = console.isRunning();
        screenshot(&console, "console_error");
        // The keyboard's Enter in the console reaches the core, as in a terminal.
        QTest::keyClick(console.findChild<QWidget*>("txtConsole"), Qt::Key_Return);
    });
    button("Button2")->click();

    QVERIFY(!driver.stuck);
    QVERIFY(waitedForEnter);
    QVERIFY(driver.text.contains(
        "ERROR 2 spatne nactene hodnoty nebo vybocilo z okrajovych podminek  !!!"));
    QVERIFY2(m_messages->shown[0].startsWith("Q:Výška vody na začátku řešení (99 m) leží mimo "
                                             "batygrafickou křivku"),
             qPrintable(m_messages->shown[0]));
    QVERIFY2(m_messages->shown.last().startsWith(
                 "W:Výpočet byl zastaven: jádro ohlásilo chybu.\n\nHlášení jádra:\nERROR 2 "
                 "spatne nactene hodnoty nebo vybocilo z okrajovych podminek  !!!"),
             qPrintable(m_messages->shown.last()));
    QVERIFY(!m_form->isVisible());
}

void TestVypocet::missingOrNotExecutableCoreFails() {
    edit("Edit2")->setText("60");
    m_messages->answers = {true};
    button("Button2")->click();
    QCOMPARE(m_messages->shown,
             (QStringList{"Q:Data zapsána. SPUSTIT VÝPOČET ???", "W:Výpočet selhal!!!"}));
    QVERIFY(openConsole() == nullptr);
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
    button("Button2")->click();
    QCOMPARE(m_messages->shown.last(), QString("W:Výpočet selhal!!!"));
    QVERIFY(button("Button2")->isEnabled());
}

void TestVypocet::staysResponsiveWhileASlowCoreRuns() {
    installFakeCore();
    qputenv("FAKE_CORE_LINES", "8");
    qputenv("FAKE_CORE_DELAY", "0.25");
    qputenv("FAKE_CORE_SUMMARY", "Kroků výpočtu: 8 z 8");
    edit("Edit2")->setText("60");
    m_messages->answers = {true};

    // A timer of the front end keeps firing while the core runs; the gaps
    // between its ticks show how long the front end went without events.
    QElapsedTimer clock;
    qint64 last = -1, longestGap = 0;
    int ticksWhileRunning = 0;
    bool partialOutputSeen = false, controlsLocked = true, selectionIgnored = true;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        gui::ConsoleDialog* console = openConsole();
        if (console == nullptr || !console->isRunning()) return;
        const qint64 now = clock.elapsed();
        if (last >= 0) longestGap = std::max(longestGap, now - last);
        last = now;
        ++ticksWhileRunning;
        const QString text = console->text();
        if (text.contains("krok 1") && !text.contains("krok 8")) partialOutputSeen = true;
        if (ticksWhileRunning == 3) screenshot(console, "console_running");
        controlsLocked = controlsLocked && !button("Button2")->isEnabled() &&
                         !item("RadioGroup1", 1)->isEnabled();
        // Even a direct click must not rewrite an option file while the core reads them.
        item("RadioGroup1", 1)->click();
        selectionIgnored = selectionIgnored && !QFile::exists(exchangeFile("IN_PREDP1_0_1"));
    });
    clock.start();
    probe.start(100);
    bool closable = false;
    ConsoleDriver driver({}, [&](gui::ConsoleDialog& console) {
        screenshot(&console, "console_after");
        closable = console.findChild<QPushButton*>("btnClose")->isEnabled();
    });
    button("Button2")->click();
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
    QVERIFY(button("Button2")->isEnabled());
}

void TestVypocet::opensWithWhatTheFilesHold() {
    for (const auto& [name, bytes] : std::vector<std::pair<QString, QByteArray>>{
             {"IN_PREDP1_0_1", "1\r\n"},
             {"IN_PREDP2_0_1", "0.5\r\n"}, // no item writes it
             {"IN_MANIP_0_1_2", "2\r\n"},
             {"IN_TIME_STEP_min", "30\r\n"},
             {"IN_MANPR", "0.65\r\n"},
             {"IN_START_VYP", "11.25\r\n"}})
        testing_gui::writeAll(exchangeFile(name), bytes);
    m_form = std::make_unique<TFRM_vypocet>();
    m_form->setProgramDirectory(exchangeDir());
    m_form->show();

    QVERIFY(item("RadioGroup1", 1)->isChecked());
    QVERIFY(!item("RadioGroup4", 0)->isChecked() && !item("RadioGroup4", 1)->isChecked());
    QVERIFY(item("RadioGroup2", 2)->isChecked());
    QVERIFY(m_form->findChild<QGroupBox*>("GroupBox2")->isVisible());
    QCOMPARE(edit("Edit1")->text(), QString("11,25"));
    QCOMPARE(edit("Edit2")->text(), QString("30"));
    QCOMPARE(edit("Edit6")->text(), QString("0,65"));
    // Showing is not choosing: nothing was rewritten.
    QCOMPARE(testing_gui::readAll(exchangeFile("IN_PREDP2_0_1")), QByteArray("0.5\r\n"));
    QCOMPARE(QDir(exchangeDir()).entryList(QDir::Files).size(), 6);
}

void TestVypocet::aFieldThatCannotBeRightIsRefusedBeforeAnythingIsWritten() {
    edit("Edit2")->setText("abc");
    m_messages->answers = {true};
    button("Button2")->click();
    QCOMPARE(m_messages->shown,
             QStringList{"E:Časový krok výpočtu (krok povodňové vlny) [min]: „abc“ není číslo. "
                         "Zadejte číslo s desetinnou čárkou nebo tečkou, například 12,5 (bez "
                         "mezer mezi číslicemi)."});
    QVERIFY(m_form->isVisible());
    QCOMPARE(edit("Edit2")->text(), QString("abc"));
    QCOMPARE(edit("Edit2")->selectedText(), QString("abc"));
    QCOMPARE(QDir(exchangeDir()).entryList(QDir::Files), QStringList());

    // The time step 0 that once ran "successfully" with every result 0.
    edit("Edit2")->setText("0");
    button("Button2")->click();
    QVERIFY(m_messages->shown.last().endsWith("Časový krok musí být větší než 0."));
    QCOMPARE(QDir(exchangeDir()).entryList(QDir::Files), QStringList());
}

void TestVypocet::aRefusalAndAnOvertoppingAreToldAsWhatTheyAre() {
    installSampleReservoir();
    testing_gui::writeAll(exchangeFile("IN_START_RN_OWERFLOW"), "abc\r\n");
    edit("Edit1")->setText("11");
    edit("Edit2")->setText("60");
    m_messages->answers = {true};
    {
        ConsoleDriver driver;
        button("Button2")->click();
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
    testing_gui::writeAll(exchangeFile("IN_START_RN_OWERFLOW"), "12\r\n");
    QByteArray wave;
    for (int i = 0; i < 48; ++i)
        wave += "400 \r\n";
    testing_gui::writeAll(exchangeFile("IN_FLOOD_WAVE"), wave);
    m_form->show();
    m_messages->answers = {true};
    ConsoleDriver driver([](gui::ConsoleDialog& console) {
        if (console.text().contains("!!!"))
            console.findChild<QPushButton*>("btnSendEnter")->click();
    });
    button("Button2")->click();
    QVERIFY(!driver.stuck);
    const QString stopped = m_messages->shown.last();
    QVERIFY2(stopped.startsWith("W:Výpočet byl zastaven v kroku "), qPrintable(stopped));
    QVERIFY(stopped.contains(": došlo k přelití nádrže.\n\nHlášení jádra:\n!!! doslo k "
                             "preliti nadrze !!!"));
    // The step told is the one after the last step the console shows done.
    const QStringList steps = driver.text.split('\n').filter(QRegularExpression("^ +\\d+$"));
    QVERIFY(!steps.isEmpty());
    QVERIFY(stopped.contains(QString("v kroku %1:").arg(steps.last().trimmed().toInt() + 1)));
}

void TestVypocet::anUnexpectedEndSaysTheRunFailed() {
    installFakeCore();
    qputenv("FAKE_CORE_LINES", "1");
    edit("Edit2")->setText("60");
    for (const char* exit : {"3", "kill"}) {
        qputenv("FAKE_CORE_EXIT", exit);
        m_form->show();
        m_messages->answers = {true};
        ConsoleDriver driver;
        button("Button2")->click();
        QVERIFY(!driver.stuck);
        QVERIFY2(m_messages->shown.last().startsWith("E:Výpočet selhal\n\n"),
                 qPrintable(m_messages->shown.last()));
    }
}

QTEST_MAIN(TestVypocet)
#include "calculation_form_test.moc"
