// The main window driven offscreen: the open project at a glance, projects
// opened and remembered, the report, menu, about panel, sound, forms, ending.
#include "desk/open_project.h"
#include "desk/project.h"
#include "gui/calculation/calculation_form.h"
#include "gui/inputs/technical_data_form.h"
#include "gui/main_window/about_sound.h"
#include "gui/main_window/main_window.h"
#include "gui/main_window/new_project_dialog.h"
#include "gui/main_window/project_overview_panel.h"
#include "gui/main_window/veldron_application.h"
#include "gui/results/results_window.h"
#include "gui/widgets/form_widgets.h"
#include "helpers/console_driver.h"
#include "helpers/form_fixture.h"
#include "helpers/qt_files.h"
#include "study/variant_store.h"
#include "tests/support/sample_record.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <stdexcept>

namespace {

// Records what the window asks of its sound.
class RecordingSound : public gui::AboutSound {
public:
    explicit RecordingSound(QStringList* log) : m_log(log) {}
    void play(const QString& wavPath) override { *m_log << "play " + wavPath; }
    void stop() override { *m_log << "stop"; }

private:
    QStringList* m_log;
};

QStringList texts(const QList<QAction*>& actions) {
    QStringList result;
    for (const QAction* action : actions)
        if (!action->isSeparator()) result << action->text();
    return result;
}

// The main window's client area, the same with the about panel or without.
const QSize kClientSize(707, 400);

// With VELDRON_SCREENSHOTS set to a directory, saves a picture of `widget`
// there, for looking at the windows by eye.
void snapshot(QWidget* widget, const QString& name) {
    const QString dir = qEnvironmentVariable("VELDRON_SCREENSHOTS");
    if (!dir.isEmpty()) widget->grab().save(QDir(dir).filePath(name + ".png"));
}

// Runs `inspect` on the modal window once it is open, then closes it.
void whenModalOpens(const std::function<void(QWidget*)>& inspect) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, inspect] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        timer->stop();
        timer->deleteLater();
        inspect(modal);
        modal->close();
    });
    timer->start();
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startsWithTheOpenProjectAtAGlance();
    void theMenuBarHasEveryItemInOrder();
    void opensProjectsRefusesWhatIsNoneAndReopensTheLastAtTheNextStart();
    void twoProjectsSideBySideKeepTheirOwnInputsResultsAndVariants();
    void theOverviewTellsTheLastRunAndOpensEachFormAndTheResults();
    void theReportGoesWhereTheEngineerSaysOrSaysWhyNot();
    void theAboutPanelShowsPicturesAndStartsTheSound();
    void showingItAgainRestartsTheSoundAndReloadsThePictures();
    void muteSilencesAndHideHidesWithoutResizing();
    void muteWhileSilentDoesNothing();
    void aBadPictureStopsTheLoadingAtThisShowing();
    void endingAsksFirst();
    void theCloseControlEndsAtOnce();
    void formsFromTheMenuAreNewEachTime_data();
    void formsFromTheMenuAreNewEachTime();
    void theCalculationFormKeepsItsValues();
    void theStudiesStartFromTheLastStartLevel();
    void keepingAVariantWithoutAFinishedRunSaysWhy();
    void anErrorAFormLeavesIsShown();
    void standardButtonsAreCzech();

private:
    QAction* action(const QString& text) const;
    void copySampleFiles(const QStringList& names);

    std::unique_ptr<veldron::testing::FormFixture> m_fixture;
    veldron::testing::FakeMessages* m_messages = nullptr;
    std::unique_ptr<gui::MainWindow> m_window;
    QStringList m_soundLog;
};

void TestMainWindow::init() {
    m_fixture = std::make_unique<veldron::testing::FormFixture>();
    QVERIFY(m_fixture->isValid());
    m_messages = &m_fixture->messages();
    m_soundLog.clear();
    m_window = std::make_unique<gui::MainWindow>();
    m_window->setFilesDir(m_fixture->exchangeDir());
    m_window->setSound(std::make_unique<RecordingSound>(&m_soundLog));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestMainWindow::cleanup() {
    m_window.reset();
    desk::setProjectRoot({});
    m_fixture.reset();
}

QAction* TestMainWindow::action(const QString& text) const {
    QList<QAction*> all = m_window->menuBar()->actions();
    for (QAction* top : m_window->menuBar()->actions())
        if (top->menu() != nullptr) all += top->menu()->actions();
    for (QAction* candidate : all)
        if (candidate->text() == text) return candidate;
    return nullptr;
}

void TestMainWindow::copySampleFiles(const QStringList& names) {
    const QDir sample(VELDRON_SOURCE_DIR "/data/sample");
    for (const QString& name : names) {
        QFile::remove(m_fixture->exchangeFile(name));
        QVERIFY(QFile::copy(sample.filePath(name), m_fixture->exchangeFile(name)));
    }
}

void TestMainWindow::startsWithTheOpenProjectAtAGlance() {
    // The installation root is the project open by default.
    const QString name = QDir(m_fixture->root()).dirName();
    QCOMPARE(m_window->windowTitle(), name + " – VELDRON");
    QCOMPARE(m_window->size(), kClientSize);
    auto* title = m_window->findChild<QLabel*>("lblTitle");
    QVERIFY(title && title->isVisible());
    QCOMPARE(title->text(), QString("VELDRON – transformace povodňové vlny nádrží"));
    QVERIFY(title->font().bold());
    QCOMPARE(title->font().pixelSize(), 19);
    auto* overview = m_window->findChild<gui::ProjectOverviewPanel*>("panelProject");
    QVERIFY(overview && overview->isVisible());
    QCOMPARE(m_window->findChild<QLabel*>("lblProjectName")->text(), "Projekt: " + name);
    QVERIFY(overview->inputState(gui::ProjectOverviewPanel::FloodWave).contains("neuloženo"));
    QVERIFY(overview->lastRunText().startsWith("Žádné úplné výsledky"));
    QVERIFY(!m_window->findChild<QPushButton*>("btnOpenResults")->isEnabled());
    auto* panel = m_window->findChild<QGroupBox*>("groupAbout");
    QVERIFY(panel && !panel->isVisible());
    QCOMPARE(panel->title(), QString("Info o programu"));
    QVERIFY(m_soundLog.isEmpty());
    snapshot(m_window.get(), "main_window_start");
}

void TestMainWindow::theMenuBarHasEveryItemInOrder() {
    const QList<QAction*> bar = m_window->menuBar()->actions();
    QCOMPARE(texts(bar), (QStringList{"Soubor", "Vstupy", "Výpočet", "Výsledky", "Varianty",
                                      "Nápověda", "O programu", "Konec"}));
    QVERIFY(bar[0]->menu() && bar[1]->menu() && bar[4]->menu() && bar[5]->menu());
    QCOMPARE(texts(bar[0]->menu()->actions()),
             (QStringList{"Nový projekt…", "Otevřít projekt…", "Uložit projekt jako…",
                          "Nedávné projekty", "Protokol výpočtu (PDF)…", "Info o programu",
                          "Zavřít program"}));
    QCOMPARE(texts(bar[1]->menu()->actions()),
             (QStringList{"Povodňová vlna", "Batygrafické křivky", "Technické údaje"}));
    QCOMPARE(texts(bar[4]->menu()->actions()),
             (QStringList{"Uložit výsledek jako variantu…", "Porovnání variant",
                          "Bezpečnostní rezerva", "Posouzení bezpečnosti za povodně"}));
    QCOMPARE(texts(bar[5]->menu()->actions()),
             (QStringList{"Nápověda k tomuto oknu", "Obsah nápovědy", "Slovníček pojmů"}));
    // The others are commands on the bar itself.
    for (int i : {2, 3, 6, 7})
        QVERIFY2(bar[i]->menu() == nullptr, qPrintable(bar[i]->text()));
}

void TestMainWindow::theAboutPanelShowsPicturesAndStartsTheSound() {
    copySampleFiles({"LOGO_LEVY.jpg", "LOGO_ZNAK.jpg", "LOGO_PRAVY.jpg"});
    action("O programu")->trigger();
    auto* panel = m_window->findChild<QGroupBox*>("groupAbout");
    QVERIFY(panel->isVisible());
    QCOMPARE(m_window->size(), kClientSize);
    QCOMPARE(panel->width(), 697);
    QVERIFY2(qAbs(panel->height() - 346) <= 12, qPrintable(QString::number(panel->height())));
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(m_soundLog, QStringList{"play " + m_fixture->exchangeFile("ZVUK.wav")});
    QCOMPARE(m_window->findChild<QLabel*>("lblLeftBanner")->pixmap().size(), QSize(321, 110));
    QCOMPARE(m_window->findChild<QLabel*>("lblRightBanner")->pixmap().size(), QSize(321, 110));
    QCOMPARE(m_window->findChild<QLabel*>("lblSquarePicture")->pixmap().size(), QSize(70, 70));
    QVERIFY(m_window->findChild<QLabel*>("lblMusicCredit")->isVisible());
    // The panel covers the project's overview.
    QVERIFY(!m_window->findChild<gui::ProjectOverviewPanel*>("panelProject")->isVisible());
    for (const char* text :
         {"AUTOŘI:", "PROJEKT:", "Transformace povodňové vlny v nádrži", "ADRESA:"}) {
        bool found = false;
        for (const QLabel* label : panel->findChildren<QLabel*>())
            found = found || (label->text() == text && label->isVisible());
        QVERIFY2(found, text);
    }
    QCOMPARE(m_window->findChild<QPushButton*>("btnMute")->text(), QString("ZTLUMIT"));
    QVERIFY(!m_window->findChild<QPushButton*>("btnMute")->icon().isNull());
    QCOMPARE(m_window->findChild<QPushButton*>("btnHideAbout")->text(),
             QString("Skrýt info o programu"));
    snapshot(m_window.get(), "main_window_about");
}

void TestMainWindow::showingItAgainRestartsTheSoundAndReloadsThePictures() {
    copySampleFiles({"LOGO_LEVY.jpg", "LOGO_ZNAK.jpg", "LOGO_PRAVY.jpg"});
    action("O programu")->trigger();
    // A different picture under the same name is shown at the next showing.
    QFile::remove(m_fixture->exchangeFile("LOGO_LEVY.jpg"));
    QVERIFY(QFile::copy(m_fixture->exchangeFile("LOGO_ZNAK.jpg"),
                        m_fixture->exchangeFile("LOGO_LEVY.jpg")));
    action("Info o programu")->trigger();
    const QString play = "play " + m_fixture->exchangeFile("ZVUK.wav");
    QCOMPARE(m_soundLog, (QStringList{play, play}));
    QCOMPARE(m_window->findChild<QLabel*>("lblLeftBanner")->pixmap().size(), QSize(70, 70));
    QVERIFY(m_messages->shown.isEmpty());
}

void TestMainWindow::muteSilencesAndHideHidesWithoutResizing() {
    copySampleFiles({"LOGO_LEVY.jpg", "LOGO_ZNAK.jpg", "LOGO_PRAVY.jpg"});
    action("O programu")->trigger();
    auto* panel = m_window->findChild<QGroupBox*>("groupAbout");
    QTest::mouseClick(m_window->findChild<QPushButton*>("btnMute"), Qt::LeftButton);
    QCOMPARE(m_soundLog.size(), 2);
    QCOMPARE(m_soundLog.last(), QString("stop"));
    QVERIFY(panel->isVisible());

    QTest::mouseClick(m_window->findChild<QPushButton*>("btnHideAbout"), Qt::LeftButton);
    QCOMPARE(m_soundLog.size(), 3);
    QCOMPARE(m_soundLog.last(), QString("stop"));
    QVERIFY(!panel->isVisible());
    QCOMPARE(m_window->size(), kClientSize);
    QVERIFY(m_window->findChild<QLabel*>("lblTitle")->isVisible());
    QVERIFY(m_window->findChild<QWidget*>("panelProject")->isVisible());
}

void TestMainWindow::muteWhileSilentDoesNothing() {
    // The real player: nothing has played, so there is nothing to stop.
    m_window->setSound(std::make_unique<gui::EffectSound>());
    copySampleFiles({"LOGO_LEVY.jpg", "LOGO_ZNAK.jpg", "LOGO_PRAVY.jpg"});
    m_window->findChild<QGroupBox*>("groupAbout")->show();
    QTest::mouseClick(m_window->findChild<QPushButton*>("btnMute"), Qt::LeftButton);
    QVERIFY(m_window->findChild<QGroupBox*>("groupAbout")->isVisible());
    // A missing sound file is silent and says nothing.
    QFile::remove(m_fixture->exchangeFile("ZVUK.wav"));
    action("O programu")->trigger();
    QTest::mouseClick(m_window->findChild<QPushButton*>("btnMute"), Qt::LeftButton);
    QTest::mouseClick(m_window->findChild<QPushButton*>("btnHideAbout"), Qt::LeftButton);
    QVERIFY(m_messages->shown.isEmpty());
    // A real melody, shown twice, muted and hidden, with or without a sound
    // device: the window goes on and says nothing.
    copySampleFiles({"ZVUK.wav"});
    action("O programu")->trigger();
    QTest::qWait(50);
    action("O programu")->trigger();
    QTest::qWait(50);
    QTest::mouseClick(m_window->findChild<QPushButton*>("btnMute"), Qt::LeftButton);
    action("O programu")->trigger();
    QTest::mouseClick(m_window->findChild<QPushButton*>("btnHideAbout"), Qt::LeftButton);
    QVERIFY(m_messages->shown.isEmpty());
}

void TestMainWindow::aBadPictureStopsTheLoadingAtThisShowing() {
    // The square picture, loaded second, is missing: the left banner is
    // loaded, the right one after it is not.
    copySampleFiles({"LOGO_LEVY.jpg", "LOGO_PRAVY.jpg"});
    action("O programu")->trigger();
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY(m_messages->shown[0].startsWith("E:"));
    QVERIFY(m_messages->shown[0].contains(m_fixture->exchangeFile("LOGO_ZNAK.jpg")));
    QVERIFY(m_window->findChild<QGroupBox*>("groupAbout")->isVisible());
    QCOMPARE(m_window->findChild<QLabel*>("lblLeftBanner")->pixmap().size(), QSize(321, 110));
    QVERIFY(m_window->findChild<QLabel*>("lblSquarePicture")->pixmap().isNull());
    QVERIFY(m_window->findChild<QLabel*>("lblRightBanner")->pixmap().isNull());

    // A file that is not a JPEG is refused even when it is a picture.
    m_messages->shown.clear();
    QImage png(70, 70, QImage::Format_RGB32);
    png.fill(Qt::red);
    QVERIFY(png.save(m_fixture->exchangeFile("LOGO_ZNAK.jpg"), "PNG"));
    action("O programu")->trigger();
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY(m_window->findChild<QLabel*>("lblRightBanner")->pixmap().isNull());
}

void TestMainWindow::endingAsksFirst() {
    m_messages->answers = {false};
    action("Konec")->trigger();
    QCOMPARE(m_messages->shown, QStringList{"Q:Ukončit program?"});
    QVERIFY(m_window->isVisible());

    m_messages->answers = {true};
    action("Zavřít program")->trigger();
    QCOMPARE(m_messages->shown, (QStringList{"Q:Ukončit program?", "Q:Ukončit program?"}));
    QVERIFY(!m_window->isVisible());
}

void TestMainWindow::theCloseControlEndsAtOnce() {
    QVERIFY(m_window->close());
    QVERIFY(!m_window->isVisible());
    QVERIFY(m_messages->shown.isEmpty());
}

void TestMainWindow::opensProjectsRefusesWhatIsNoneAndReopensTheLastAtTheNextStart() {
    const QString recentFile = m_fixture->root() + "/nastaveni/nedavne_projekty";
    m_window->setRecentProjectsFile(gui::toPath(recentFile));
    const std::filesystem::path parent = m_fixture->rootPath();
    const auto made = [&](const char* name) {
        const desk::ProjectMade project =
            desk::createProject(parent, name, desk::ProjectStart::Empty, {});
        return project.root.value_or(std::filesystem::path());
    };
    const std::filesystem::path alfa = made("Alfa"), beta = made("Beta");
    m_window->setProjectFolderChooser(
        [&](QWidget*, const QString&) { return QString("%1/Alfa").arg(m_fixture->root()); });
    action("Otevřít projekt…")->trigger();
    QCOMPARE(m_window->windowTitle(), QString("Alfa – VELDRON"));
    QCOMPARE(desk::projectRoot(), alfa); // every window asks here
    QVERIFY(m_window->openProject(beta));
    QCOMPARE(m_window->findChild<QLabel*>("lblProjectName")->text(), QString("Projekt: Beta"));
    QCOMPARE(texts(m_window->findChild<QMenu*>("menuRecentProjects")->actions()),
             (QStringList{m_fixture->root() + "/Beta", m_fixture->root() + "/Alfa"}));

    // A folder that is no complete project is refused, naming what is missing.
    QVERIFY(QDir(m_fixture->root() + "/Beta/OUT_RESULT").removeRecursively());
    QVERIFY(!m_window->openProject(beta));
    QCOMPARE(m_messages->shown, QStringList{"E:Složka „" + m_fixture->root() +
                                            "/Beta“ není úplný projekt VELDRON: chybí v ní "
                                            "složka OUT_RESULT."});
    m_window->findChild<QMenu*>("menuRecentProjects")->actions().at(1)->trigger();
    QCOMPARE(m_window->windowTitle(), QString("Alfa – VELDRON"));

    // The next start opens the project opened last.
    desk::setProjectRoot({});
    gui::MainWindow restarted;
    restarted.setRecentProjectsFile(gui::toPath(recentFile));
    restarted.reopenLastProject();
    QCOMPARE(restarted.windowTitle(), QString("Alfa – VELDRON"));

    // A name as long as a folder's may be keeps the window on the screen.
    QVERIFY(m_window->openProject(made(std::string(200, 'n').c_str())));
    // What its layout asks for, which the window manager gives it.
    QVERIFY(m_window->minimumSizeHint().width() <= kClientSize.width());
}

// Two projects beside the installation, which keeps the programs: whatever
// the windows read, write and run lands in the project open at the time.
void TestMainWindow::twoProjectsSideBySideKeepTheirOwnInputsResultsAndVariants() {
    QVERIFY(QFile::copy(VELDRON_CORE_EXE, m_fixture->exchangeFile("PRGVELDRON")));
    const auto made = [&](const char* name) {
        return desk::createProject(m_fixture->rootPath(), name, desk::ProjectStart::Sample,
                                   VELDRON_SOURCE_DIR "/data/sample")
            .root.value_or(std::filesystem::path());
    };
    const std::filesystem::path alfa = made("Alfa"), beta = made("Beta");
    gui::CalculationForm calculation(m_window.get());
    m_window->setCalculationForm(&calculation);
    auto* timeStep = calculation.findChild<QLineEdit*>("editTimeStep");
    const auto file = [](const std::filesystem::path& root, const char* name) {
        return veldron::testing::readAll(gui::toQString(root / name));
    };
    const auto runAndKeep = [&](const std::filesystem::path& project, const QString& step,
                                const QString& variant) {
        QVERIFY(m_window->openProject(project));
        calculation.show();
        timeStep->setText(step);
        m_messages->answers = {true};
        veldron::testing::ConsoleDriver driver;
        calculation.findChild<QPushButton*>("btnStart")->click();
        QVERIFY(!driver.stuck);
        whenModalOpens([&](QWidget* keep) {
            keep->findChild<QLineEdit*>("editVariantName")->setText(variant);
            keep->findChild<QPushButton*>("btnKeep")->click();
        });
        action("Uložit výsledek jako variantu…")->trigger();
    };

    runAndKeep(alfa, "30", "A");
    const QByteArray alfaSummary = file(alfa, "OUT_RESULT/souhrn_vypoctu");
    QVERIFY(alfaSummary.contains("Kroků výpočtu"));
    QVERIFY(!QFile::exists(gui::toQString(beta / "OUT_RESULT/souhrn_vypoctu")));
    // Opening Beta shows its own settings, not those typed for Alfa.
    QVERIFY(m_window->openProject(beta));
    calculation.show();
    QCOMPARE(timeStep->text(), QString("60"));
    runAndKeep(beta, "60", "B");

    QCOMPARE(file(alfa, "PULT_na_vypocty/IN_TIME_STEP_min"), QByteArray("30\r\n"));
    QCOMPARE(file(beta, "PULT_na_vypocty/IN_TIME_STEP_min"), QByteArray("60\r\n"));
    QCOMPARE(file(alfa, "OUT_RESULT/souhrn_vypoctu"), alfaSummary);
    QVERIFY(file(beta, "OUT_RESULT/souhrn_vypoctu") != alfaSummary);
    QCOMPARE(study::listVariants(alfa), std::vector<std::string>{"A"});
    QCOMPARE(study::listVariants(beta), std::vector<std::string>{"B"});
    // The installation root holds the programs and none of the projects' files.
    QVERIFY(QDir(m_fixture->root() + "/OUT_RESULT").isEmpty());
    QVERIFY(!QFile::exists(m_fixture->exchangeFile("IN_TIME_STEP_min")));
    for (const char* item : {"Technické údaje", "Výsledky"}) {
        QString read;
        whenModalOpens([&](QWidget* form) {
            if (auto* data = qobject_cast<gui::TechnicalDataForm*>(form)) read = data->filesDir();
            if (auto* results = qobject_cast<gui::ResultsWindow*>(form))
                read = results->suggestedPicture("Flow");
        });
        action(item)->trigger();
        QVERIFY2(read.startsWith(gui::toQString(beta)), qPrintable(read));
    }
}

void TestMainWindow::theOverviewTellsTheLastRunAndOpensEachFormAndTheResults() {
    veldron::testing::installSample(m_fixture->rootPath());
    QCOMPARE(veldron::testing::runRealCore(m_fixture->rootPath()), 0);
    m_window->refreshProject();
    auto& overview = m_window->overview();
    QVERIFY2(overview.lastRunText().startsWith("Výpočet doběhl"),
             qPrintable(overview.lastRunText()));
    QVERIFY(overview.keyFiguresText().contains(veldron::testing::sample::kPeakOutflowFigure));
    QVERIFY(overview.keyFiguresText().contains(veldron::testing::sample::kFreeboardFigure));
    QVERIFY(overview.inputState(gui::ProjectOverviewPanel::TechnicalData).contains("uloženo"));
    snapshot(m_window.get(), "main_window_project");
    const std::pair<const char*, const char*> clicks[] = {
        {"btnOpenFloodWave", "gui::FloodWaveForm"},
        {"btnOpenCurve", "gui::CurveForm"},
        {"btnOpenTechnicalData", "gui::TechnicalDataForm"},
        {"btnOpenResults", "gui::ResultsWindow"}};
    for (const auto& [button, form] : clicks) {
        QString opened;
        whenModalOpens([&](QWidget* modal) { opened = modal->metaObject()->className(); });
        QTest::mouseClick(m_window->findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(opened, QString(form));
    }
}

void TestMainWindow::theReportGoesWhereTheEngineerSaysOrSaysWhyNot() {
    const QString file = m_fixture->root() + "/protokol";
    QString suggested;
    m_window->setReportFileChooser([&](QWidget*, const QString& offered) {
        suggested = offered;
        return file;
    });
    action("Protokol výpočtu (PDF)…")->trigger();
    QCOMPARE(suggested, m_fixture->root() + "/protokol_vypoctu.pdf");
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY2(m_messages->shown[0].contains("nemá úplné výsledky"),
             qPrintable(m_messages->shown[0]));

    veldron::testing::installSample(m_fixture->rootPath());
    QCOMPARE(veldron::testing::runRealCore(m_fixture->rootPath()), 0);
    QTest::mouseClick(m_window->findChild<QPushButton*>("btnMakeReport"), Qt::LeftButton);
    QCOMPARE(m_messages->shown.last(), "I:Protokol výpočtu uložen: " + file + ".pdf");
    QVERIFY(veldron::testing::readAll(file + ".pdf").startsWith("%PDF-"));
}

void TestMainWindow::formsFromTheMenuAreNewEachTime_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("form");
    QTest::newRow("new project") << "Nový projekt…"
                                 << "gui::NewProjectDialog";
    QTest::newRow("save as") << "Uložit projekt jako…"
                             << "gui::NewProjectDialog";
    QTest::newRow("flood wave") << "Povodňová vlna"
                                << "gui::FloodWaveForm";
    QTest::newRow("curve") << "Batygrafické křivky"
                           << "gui::CurveForm";
    QTest::newRow("technical data") << "Technické údaje"
                                    << "gui::TechnicalDataForm";
    QTest::newRow("results") << "Výsledky"
                             << "gui::ResultsWindow";
    QTest::newRow("comparison") << "Porovnání variant"
                                << "gui::VariantComparisonWindow";
    QTest::newRow("safety margin") << "Bezpečnostní rezerva"
                                   << "gui::SafetyMarginWindow";
}

void TestMainWindow::formsFromTheMenuAreNewEachTime() {
    QFETCH(QString, item);
    QFETCH(QString, form);
    const QString startDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_fixture->root()));
    QString opened;
    bool owned = false;
    whenModalOpens([&](QWidget* modal) {
        opened = modal->metaObject()->className();
        snapshot(modal, opened);
        owned = modal->parent() == m_window.get();
        // Leaves a trace that a reused instance would still show.
        if (auto* edit = modal->findChild<QLineEdit*>("editOutletCount")) edit->setText("7");
        modal->setObjectName("already opened");
    });
    action(item)->trigger();
    QCOMPARE(opened, form);
    QVERIFY(owned);
    // Destroyed when it closed.
    QVERIFY(m_window->findChild<QDialog*>("already opened") == nullptr);

    QString secondName;
    QString secondEdit;
    whenModalOpens([&](QWidget* modal) {
        secondName = modal->objectName();
        if (auto* edit = modal->findChild<QLineEdit*>("editOutletCount")) secondEdit = edit->text();
    });
    action(item)->trigger();
    QDir::setCurrent(startDir);
    QVERIFY(secondName != "already opened");
    if (form == "gui::TechnicalDataForm") QCOMPARE(secondEdit, QString("0"));
}

void TestMainWindow::theCalculationFormKeepsItsValues() {
    QDialog calculation;
    auto* edit = new QLineEdit("0", &calculation);
    edit->setObjectName("editStartLevel");
    m_window->setCalculationForm(&calculation);
    QWidget* first = nullptr;
    whenModalOpens([&](QWidget* modal) {
        first = modal;
        modal->findChild<QLineEdit*>("editStartLevel")->setText("150");
    });
    action("Výpočet")->trigger();
    QCOMPARE(first, &calculation);
    QString seen;
    whenModalOpens(
        [&](QWidget* modal) { seen = modal->findChild<QLineEdit*>("editStartLevel")->text(); });
    action("Výpočet")->trigger();
    QCOMPARE(seen, QString("150"));
    QVERIFY(!calculation.isVisible());
}

// The core has taken IN_START_VYP away; after a restart the root still keeps
// the level the last calculation window saved, from which the safety margin
// starts, while a kept variant keeps the level its run read.
void TestMainWindow::theStudiesStartFromTheLastStartLevel() {
    veldron::testing::installSample(m_fixture->rootPath());
    QCOMPARE(veldron::testing::runRealCore(m_fixture->rootPath()), 0);
    QVERIFY(!QFile::exists(m_fixture->exchangeFile("IN_START_VYP")));
    veldron::testing::writeAll(m_fixture->root() + "/posledni_vyska_startu", "11.5\r\n");
    for (const auto& [item, level] : {std::pair{"Uložit výsledek jako variantu…", "11"},
                                      std::pair{"Bezpečnostní rezerva", "11,5"}}) {
        QString shown;
        whenModalOpens([&](QWidget* modal) {
            if (auto* edit = modal->findChild<QLineEdit*>("editStartLevel")) shown = edit->text();
        });
        action(item)->trigger();
        QCOMPARE(shown, QString(level));
    }
    QVERIFY(m_messages->shown.isEmpty());
}

void TestMainWindow::keepingAVariantWithoutAFinishedRunSaysWhy() {
    action("Uložit výsledek jako variantu…")->trigger();
    QCOMPARE(m_messages->shown, QStringList{"W:Poslední výsledky nemají souhrn výpočtu: spusťte "
                                            "výpočet a pak jej uložte jako variantu."});
}

void TestMainWindow::anErrorAFormLeavesIsShown() {
    QTimer::singleShot(0, this, [] { throw std::runtime_error("Chyba formuláře"); });
    QTRY_COMPARE(m_messages->shown, QStringList{"E:Chyba formuláře"});
    QVERIFY(m_window->isVisible());
}

void TestMainWindow::standardButtonsAreCzech() {
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QString("&Ano"));
    QCOMPARE(QApplication::applicationName(), QString("VELDRON"));
}

VELDRON_TEST_MAIN(TestMainWindow)

#include "main_window_test.moc"
