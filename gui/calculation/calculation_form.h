// The calculation window: outlet options, start level, time step, and the
// start of the core. One instance lives for the whole run of the front end;
// it writes its settings only when a calculation starts or on "Uložit", and
// every opening shows what the files hold.
#pragma once

#include "desk/calculation_options.h"
#include "gui/calculation/core_process.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <optional>

class QButtonGroup;
class QGroupBox;
class QLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace gui {

class CalculationForm : public QDialog {
    Q_OBJECT
public:
    explicit CalculationForm(QWidget* parent = nullptr);

    /// Where the option files, IN_TIME_STEP_min and IN_MANPR go; by default
    /// the exchange directory of the open project, whichever it is.
    /// Setting it shows again what the files there hold.
    void setProgramDirectory(const QString& dir);

    /// How the core's process is made (tests put a stand-in here).
    void setProcessFactory(gui::CoreProcessFactory factory) {
        m_processFactory = std::move(factory);
    }
    /// True while a started core has not yet ended.
    bool isRunning() const { return m_running; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    /// A single-choice group for the option `group`; its items are named
    /// `name`_0, `name`_1, ...
    QGroupBox* buildOptionGroup(desk::OptionGroup group, const char* name, const QString& caption,
                                const QStringList& items);
    /// The panel of gradual manipulation with the height of its zone.
    QGroupBox* buildZonePanel();
    /// The one place right of the manipulation mode for whichever of its
    /// panels shows.
    QWidget* buildSidePanels();
    QGroupBox* buildSettings();
    QVBoxLayout* buildButtons();
    void buildLayout(QWidget* sidePanels);
    void applyVisibilityRule(int manipulationItem);
    std::filesystem::path settingsDir() const;
    /// Shows the selections and field texts the exchange files hold.
    void showSavedSettings();
    desk::OptionItems selectedItems() const;
    /// The items a run writes; empty after naming the choices not made.
    std::optional<desk::OptionItems> checkedItems();
    /// The items selected and the fields' texts, to tell a change by.
    QStringList shownSettings() const;
    /// The typed fields checked, the warnings asked about; empty after a
    /// refusal (shown, its field marked) or a No.
    std::optional<desk::CalculationFields> checkedFields();
    void startCalculation();
    void saveAndClose();
    void closeWithoutSaving();
    /// Runs the core on `root` and waits for its end.
    void launch(const std::filesystem::path& root);
    void setRunning(bool running);

    QString m_programDir; // empty: the open project's exchange directory
    gui::CoreProcessFactory m_processFactory;
    bool m_running = false;
    QStringList m_openedSettings; // shownSettings() as the files gave them

    std::array<QButtonGroup*, 5> m_groups{};  // by desk::OptionGroup
    std::array<QGroupBox*, 5> m_groupBoxes{}; // by desk::OptionGroup
    QGroupBox* m_zoneGroup = nullptr;         // "Průběžně manipuluji:"
    QLineEdit* m_startLevelEdit = nullptr;    // m above the bottom -> IN_START_VYP
    QLineEdit* m_timeStepEdit = nullptr;      // min -> IN_TIME_STEP_min
    QLineEdit* m_zoneHeightEdit = nullptr;    // m, the zone of gradual manipulation -> IN_MANPR
    QPushButton* m_closeWithoutSavingButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_startButton = nullptr;
};

} // namespace gui
