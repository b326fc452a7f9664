// The main window of the front end: title line, menu bar, the open project
// at a glance, and the about panel.
#pragma once

#include "desk/recent_projects.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>

class QAction;
class QDialog;
class QLabel;
class QMenu;

namespace gui {
class AboutPanel;
class AboutSound;
class ProjectOverviewPanel;
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    /// The directory holding the about panel's pictures and sound; empty (the
    /// default) means the directory of the program file.
    void setFilesDir(const QString& dir);
    QString filesDir() const;

    /// The calculation settings form, created once at start-up and kept for
    /// the whole run; "Výpočet" only shows it. Not owned.
    void setCalculationForm(QDialog* form);

    /// Replaces the player of the about panel's sound (tests use a recorder).
    void setSound(std::unique_ptr<gui::AboutSound> sound);

    /// Remembers the projects opened last in `storeFile` between sessions
    /// (none remembered until it is set).
    void setRecentProjectsFile(const std::filesystem::path& storeFile);
    const desk::RecentProjects& recentProjects() const { return m_recent; }
    /// Opens the project opened last, when it can still be opened; otherwise
    /// the installation root stays open.
    void reopenLastProject();

    /// Asks for a folder to open as a project, for the report's file
    /// (suggested name given); empty when the user cancels. Tests put their
    /// answers here.
    using PathChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
    void setProjectFolderChooser(PathChooser chooser);
    void setReportFileChooser(PathChooser chooser);

    gui::ProjectOverviewPanel& overview() { return *m_overview; }

public slots:
    /// "O programu", "Info o programu": shows the panel, restarts the sound
    /// from its beginning and loads the pictures again.
    void showAbout();
    /// "Skrýt info o programu": hides the panel and silences it.
    void hideAbout();
    /// "ZTLUMIT": silences the sound, the panel stays.
    void muteSound();
    /// "Konec", "Zavřít program": closes the window when the user says yes.
    void askToQuit();

    /// Opens the project at `root` in every window; a folder that is no
    /// complete project is refused with what is missing. True when opened.
    bool openProject(const std::filesystem::path& root);
    /// "Nový projekt…", "Otevřít projekt…", "Uložit projekt jako…".
    void openNewProjectForm();
    void openExistingProject();
    void saveProjectAs();
    /// "Protokol výpočtu (PDF)…": the report of the open project.
    void makeReport();
    /// Reads the open project's files again into the overview and the title.
    void refreshProject();

    void openFloodWaveForm();
    void openCurveForm();
    void openTechnicalDataForm();
    void showCalculationForm();
    void openResultsWindow();
    /// "Varianty": keep the last finished run, compare the kept variants,
    /// find the dam's safety margin, assess its safety during floods.
    void keepLastRunAsVariant();
    void openVariantComparison();
    void openSafetyMargin();
    void openAssessment();

protected:
    bool event(QEvent* event) override;

private:
    void buildMenu();
    void buildFileMenu();
    void fillRecentMenu();
    void openOverviewItem(int input);

    /// Opens a fresh instance of a form, owned by this window, modally, and
    /// destroys it when it closes, so every opening starts from the form's
    /// initial state.
    template <class Form> void openModal();
    /// The start level last saved or started in the calculation window, as
    /// the root keeps it (the core deletes IN_START_VYP once it has read it).
    QString calculationStartLevel() const;

    QLabel* m_title = nullptr;
    gui::ProjectOverviewPanel* m_overview = nullptr;
    QMenu* m_recentMenu = nullptr;
    desk::RecentProjects m_recent;
    PathChooser m_chooseProjectFolder;
    PathChooser m_chooseReportFile;
    gui::AboutPanel* m_aboutPanel = nullptr;
    QPointer<QDialog> m_calculationForm;
    std::unique_ptr<gui::AboutSound> m_sound;
    QString m_filesDir;
};

} // namespace gui
