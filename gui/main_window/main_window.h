// The main window of the front end: title line, menu bar and the about panel.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <memory>

class QAction;
class QDialog;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;

namespace gui {
class AboutSound;
}

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

    // The about panel's files, in the order they are loaded at each showing.
    static constexpr const char* kLeftBannerFile = "LOGO_LEVY.jpg";
    static constexpr const char* kSquarePictureFile = "LOGO_ZNAK.jpg";
    static constexpr const char* kRightBannerFile = "LOGO_PRAVY.jpg";
    static constexpr const char* kSoundFile = "ZVUK.wav";

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

    void openNewProjectForm();
    void openFloodWaveForm();
    void openCurveForm();
    void openTechnicalDataForm();
    void showCalculationForm();
    void openResultsWindow();
    /// "Varianty": keep the last finished run, compare the kept variants,
    /// find the dam's safety margin.
    void keepLastRunAsVariant();
    void openVariantComparison();
    void openSafetyMargin();

private:
    void buildMenu();
    void buildAboutPanel(QWidget* parent);
    QGridLayout* buildCredits();
    QHBoxLayout* buildAboutButtons();
    void loadPictures();

    /// Opens a fresh instance of a form, owned by this window, modally, and
    /// destroys it when it closes, so every opening starts from the form's
    /// initial state.
    template <class Form> void openModal();
    /// The start level last saved or started in the calculation window, as
    /// the root keeps it (the core deletes IN_START_VYP once it has read it).
    QString calculationStartLevel() const;

    QLabel* m_title = nullptr;
    QLabel* m_rootLabel = nullptr;
    QGroupBox* m_aboutPanel = nullptr;
    QLabel* m_leftBanner = nullptr;
    QLabel* m_rightBanner = nullptr;
    QLabel* m_squarePicture = nullptr;
    QLabel* m_musicCredit = nullptr;
    QPushButton* m_muteButton = nullptr;
    QPushButton* m_hideButton = nullptr;
    QPointer<QDialog> m_calculationForm;
    std::unique_ptr<gui::AboutSound> m_sound;
    QString m_filesDir;
};
