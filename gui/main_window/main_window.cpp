// The main window of the front end: title line, menu bar, the open project
// at a glance, and the about panel.
#include "gui/main_window/main_window.h"

#include "desk/open_project.h"
#include "desk/project.h"
#include "desk/project_overview.h"
#include "gui/help/help.h"
#include "gui/inputs/curve_form.h"
#include "gui/inputs/flood_wave_form.h"
#include "gui/inputs/technical_data_form.h"
#include "gui/main_window/about_panel.h"
#include "gui/main_window/about_sound.h"
#include "gui/main_window/new_project_dialog.h"
#include "gui/main_window/project_overview_panel.h"
#include "gui/report/calculation_report.h"
#include "gui/results/results_window.h"
#include "gui/studies/assessment_window.h"
#include "gui/studies/keep_variant_dialog.h"
#include "gui/studies/safety_margin_window.h"
#include "gui/studies/variant_comparison_window.h"
#include "gui/widgets/form_widgets.h"
#include "gui/widgets/message_service.h"

#include "desk/start_level.h"
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>
#include <exception>

namespace gui {

namespace {

QString shown(const std::filesystem::path& path) {
    return QDir::toNativeSeparators(gui::toQString(path));
}

QString chooseProjectFolder(QWidget* parent, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, "Otevřít projekt", start);
}

QString chooseReportFile(QWidget* parent, const QString& suggested) {
    return QFileDialog::getSaveFileName(parent, "Protokol výpočtu (PDF)", suggested,
                                        "Dokument PDF (*.pdf)");
}

/// The folder above a project, where the dialogs open.
QString besideProject() {
    return shown(desk::projectRoot().lexically_normal().parent_path());
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), m_chooseProjectFolder(chooseProjectFolder),
      m_chooseReportFile(chooseReportFile), m_sound(std::make_unique<gui::EffectSound>()) {
    setObjectName("MainWindow");

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(5, 2, 5, 5);
    layout->setSpacing(2);

    m_title = new QLabel("VELDRON – transformace povodňové vlny nádrží", central);
    m_title->setObjectName("lblTitle");
    QFont titleFont = m_title->font();
    titleFont.setPixelSize(19);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    layout->addWidget(m_title);

    m_overview = new gui::ProjectOverviewPanel(central);
    layout->addWidget(m_overview, 1);
    connect(m_overview, &gui::ProjectOverviewPanel::formRequested, this,
            [this](gui::ProjectOverviewPanel::Input input) { openOverviewItem(input); });
    connect(m_overview, &gui::ProjectOverviewPanel::resultsRequested, this,
            &MainWindow::openResultsWindow);
    connect(m_overview, &gui::ProjectOverviewPanel::reportRequested, this, &MainWindow::makeReport);
    connect(m_overview, &gui::ProjectOverviewPanel::assessmentRequested, this,
            &MainWindow::openAssessment);

    // The about panel takes the overview's place while it is shown.
    m_aboutPanel = new gui::AboutPanel(central);
    layout->addWidget(m_aboutPanel, 1);
    connect(m_aboutPanel, &gui::AboutPanel::muteRequested, this, &MainWindow::muteSound);
    connect(m_aboutPanel, &gui::AboutPanel::hideRequested, this, &MainWindow::hideAbout);
    setCentralWidget(central);

    buildMenu();
    m_aboutPanel->hide();
    refreshProject();

    // The client area; with the frame and the caption the window is about
    // 707 x 427 and the panel about 697 x 346.
    resize(707, 400);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

MainWindow::~MainWindow() = default;

void MainWindow::setFilesDir(const QString& dir) {
    m_filesDir = dir;
}

QString MainWindow::filesDir() const {
    return m_filesDir.isEmpty() ? QCoreApplication::applicationDirPath() : m_filesDir;
}

void MainWindow::setCalculationForm(QDialog* form) {
    m_calculationForm = form;
}

void MainWindow::setSound(std::unique_ptr<gui::AboutSound> sound) {
    m_sound = std::move(sound);
}

void MainWindow::setRecentProjectsFile(const std::filesystem::path& storeFile) {
    m_recent = desk::RecentProjects(storeFile);
    fillRecentMenu();
}

void MainWindow::setProjectFolderChooser(PathChooser chooser) {
    m_chooseProjectFolder = std::move(chooser);
}

void MainWindow::setReportFileChooser(PathChooser chooser) {
    m_chooseReportFile = std::move(chooser);
}

void MainWindow::buildFileMenu() {
    QMenu* file = menuBar()->addMenu("Soubor");
    file->setObjectName("menuFile");
    file->addAction("Nový projekt…", this, &MainWindow::openNewProjectForm)
        ->setObjectName("actionNewProject");
    file->addAction("Otevřít projekt…", this, &MainWindow::openExistingProject)
        ->setObjectName("actionOpenProject");
    file->addAction("Uložit projekt jako…", this, &MainWindow::saveProjectAs)
        ->setObjectName("actionSaveProjectAs");
    m_recentMenu = file->addMenu("Nedávné projekty");
    m_recentMenu->setObjectName("menuRecentProjects");
    fillRecentMenu();
    file->addSeparator();
    file->addAction("Protokol výpočtu (PDF)…", this, &MainWindow::makeReport)
        ->setObjectName("actionReport");
    file->addSeparator();
    file->addAction("Info o programu", this, &MainWindow::showAbout)
        ->setObjectName("actionFileAbout");
    file->addAction("Zavřít program", this, &MainWindow::askToQuit)
        ->setObjectName("actionFileQuit");
}

void MainWindow::fillRecentMenu() {
    if (m_recentMenu == nullptr) return;
    m_recentMenu->clear();
    for (const std::filesystem::path& root : m_recent.projects())
        m_recentMenu->addAction(shown(root), this, [this, root] { openProject(root); });
    m_recentMenu->setEnabled(!m_recent.projects().empty());
}

void MainWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("menuBar");
    buildFileMenu();

    QMenu* inputs = bar->addMenu("Vstupy");
    inputs->setObjectName("menuInputs");
    inputs->addAction("Povodňová vlna", this, &MainWindow::openFloodWaveForm)
        ->setObjectName("actionFloodWave");
    inputs->addAction("Batygrafické křivky", this, &MainWindow::openCurveForm)
        ->setObjectName("actionCurve");
    inputs->addAction("Technické údaje", this, &MainWindow::openTechnicalDataForm)
        ->setObjectName("actionTechnicalData");

    // "Výpočet", "Výsledky", "O programu" and "Konec" are commands on the bar
    // itself, without a drop-down list.
    bar->addAction("Výpočet", this, &MainWindow::showCalculationForm)
        ->setObjectName("actionCalculation");
    bar->addAction("Výsledky", this, &MainWindow::openResultsWindow)
        ->setObjectName("actionResults");
    QMenu* variants = bar->addMenu("Varianty");
    variants->setObjectName("menuVariants");
    variants->addAction("Uložit výsledek jako variantu…", this, &MainWindow::keepLastRunAsVariant)
        ->setObjectName("actionKeepVariant");
    variants->addAction("Porovnání variant", this, &MainWindow::openVariantComparison)
        ->setObjectName("actionCompareVariants");
    variants->addAction("Bezpečnostní rezerva", this, &MainWindow::openSafetyMargin)
        ->setObjectName("actionSafetyMargin");
    variants->addAction("Posouzení bezpečnosti za povodně", this, &MainWindow::openAssessment)
        ->setObjectName("actionAssessment");
    QMenu* help = bar->addMenu("Nápověda");
    help->setObjectName("menuHelp");
    help->addAction(gui::installHelp(this, "hlavni_okno"));
    help->addAction("Obsah nápovědy", this, [this] { gui::showHelp(this, "index"); })
        ->setObjectName("actionHelpContents");
    help->addAction("Slovníček pojmů", this, [this] { gui::showHelp(this, "slovnicek"); })
        ->setObjectName("actionHelpGlossary");
    bar->addAction("O programu", this, &MainWindow::showAbout)->setObjectName("actionAbout");
    bar->addAction("Konec", this, &MainWindow::askToQuit)->setObjectName("actionQuit");
}

void MainWindow::showAbout() {
    m_overview->hide();
    m_aboutPanel->show();
    const QDir dir(filesDir());
    if (m_sound) m_sound->play(dir.filePath(exchange::kSoundFile));
    if (const QString error = m_aboutPanel->loadPictures(filesDir()); !error.isEmpty())
        gui::MessageService::instance().error(this, error);
}

void MainWindow::hideAbout() {
    m_aboutPanel->hide();
    m_overview->show();
    if (m_sound) m_sound->stop();
}

void MainWindow::muteSound() {
    if (m_sound) m_sound->stop();
}

void MainWindow::askToQuit() {
    if (gui::MessageService::instance().question(this, "Ukončit program?")) close();
}

template <class Form> void MainWindow::openModal() {
    QPointer<Form> form;
    try {
        form = new Form(this);
        form->exec();
    } catch (const std::exception& e) {
        gui::MessageService::instance().error(this, QString::fromUtf8(e.what()));
    }
    delete form.data();
    refreshProject();
}

bool MainWindow::openProject(const std::filesystem::path& root) {
    if (const std::string problem = desk::projectProblem(root); !problem.empty()) {
        gui::MessageService::instance().error(this, QString::fromStdString(problem));
        return false;
    }
    desk::setProjectRoot(root);
    if (const std::string error = m_recent.add(root); !error.empty())
        gui::MessageService::instance().warning(this, QString::fromStdString(error));
    fillRecentMenu();
    refreshProject();
    return true;
}

void MainWindow::reopenLastProject() {
    if (m_recent.projects().empty()) return;
    const std::filesystem::path last = m_recent.projects().front();
    if (desk::projectProblem(last).empty()) openProject(last);
}

void MainWindow::refreshProject() {
    const desk::ProjectOverview overview = desk::readProjectOverview(desk::projectRoot());
    setWindowTitle(QString::fromStdString(overview.name) + " – VELDRON");
    m_overview->showOverview(overview);
}

void MainWindow::openNewProjectForm() {
    NewProjectDialog dialog(NewProjectDialog::Purpose::NewProject,
                            desk::programsDir() / exchange::kSampleFolder, besideProject(), this);
    if (dialog.exec() == QDialog::Accepted && dialog.project()) openProject(*dialog.project());
}

void MainWindow::saveProjectAs() {
    NewProjectDialog dialog(NewProjectDialog::Purpose::SaveAs, desk::projectRoot(), besideProject(),
                            this);
    if (dialog.exec() == QDialog::Accepted && dialog.project()) openProject(*dialog.project());
}

void MainWindow::openExistingProject() {
    const QString folder = m_chooseProjectFolder(this, besideProject());
    if (!folder.isEmpty()) openProject(gui::toPath(folder));
}

void MainWindow::makeReport() {
    const std::filesystem::path root = desk::projectRoot();
    const QString suggested = shown(root / "protokol_vypoctu.pdf");
    QString file = m_chooseReportFile(this, suggested);
    if (file.isEmpty()) return;
    if (!file.endsWith(".pdf", Qt::CaseInsensitive)) file += ".pdf";
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString error = gui::makeCalculationReport(root, file);
    QApplication::restoreOverrideCursor();
    if (!error.isEmpty())
        gui::MessageService::instance().error(this, error);
    else
        gui::MessageService::instance().information(this, "Protokol výpočtu uložen: " +
                                                              QDir::toNativeSeparators(file));
}

void MainWindow::openOverviewItem(int input) {
    switch (input) {
    case gui::ProjectOverviewPanel::FloodWave:
        return openFloodWaveForm();
    case gui::ProjectOverviewPanel::Curve:
        return openCurveForm();
    case gui::ProjectOverviewPanel::TechnicalData:
        return openTechnicalDataForm();
    default:
        return showCalculationForm();
    }
}

// Files change behind the window's back (a run, another program): coming
// back to the window shows them as they are.
bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) refreshProject();
    return QMainWindow::event(event);
}

void MainWindow::openFloodWaveForm() {
    openModal<FloodWaveForm>();
}

void MainWindow::openCurveForm() {
    openModal<CurveForm>();
}

void MainWindow::openTechnicalDataForm() {
    openModal<TechnicalDataForm>();
}

void MainWindow::showCalculationForm() {
    if (m_calculationForm) m_calculationForm->exec();
    refreshProject();
}

void MainWindow::openResultsWindow() {
    openModal<ResultsWindow>();
}

QString MainWindow::calculationStartLevel() const {
    return QString::fromStdString(desk::shownStartLevel(desk::projectRoot()));
}

void MainWindow::keepLastRunAsVariant() {
    const std::filesystem::path root = desk::projectRoot();
    if (!KeepVariantDialog::lastRunKeepable(root, this)) return;
    KeepVariantDialog form(root, calculationStartLevel(), this);
    form.exec();
}

void MainWindow::openVariantComparison() {
    VariantComparisonWindow form(desk::projectRoot(), this);
    form.exec();
}

void MainWindow::openSafetyMargin() {
    SafetyMarginWindow form(desk::projectRoot(), calculationStartLevel(), this);
    form.exec();
}

void MainWindow::openAssessment() {
    AssessmentWindow form(desk::projectRoot(), this);
    form.exec();
    refreshProject();
}

} // namespace gui
