// The calculation window: outlet options, start level, time step, and the
// start of the core. One instance lives for the whole run of the front end.
#pragma once

#include "gui/common/calculation_options.h"
#include "gui/console/core_process.h"

#include <QDialog>
#include <array>

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;

class TFRM_vypocet : public QDialog {
    Q_OBJECT
public:
    explicit TFRM_vypocet(QWidget* parent = nullptr);

    /// Where the option files, IN_TIME_STEP_min and IN_MANPR go; by default
    /// the directory of the front end's program file.
    /// Setting it shows again what the files there hold.
    void setProgramDirectory(const QString& dir);
    QString programDirectory() const { return m_programDir; }
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
    QGroupBox* makeGroup(gui::OptionGroup group, const char* objectName, const QString& caption,
                         const QStringList& items);
    void selectOption(gui::OptionGroup group, int itemIndex);
    void applyVisibilityRule(int itemIndex);
    /// Shows the selections and field texts the exchange files hold.
    void showSavedSettings();
    static std::size_t groupIndex(gui::OptionGroup group) {
        return static_cast<std::size_t>(group);
    }
    void startCalculation();
    void closeWithoutSaving();
    void launch(const std::filesystem::path& executable);
    void setRunning(bool running);

    QString m_programDir;
    gui::CoreProcessFactory m_processFactory;
    bool m_running = false;

    std::array<QButtonGroup*, 5> m_groups{};
    QGroupBox* RadioGroup3 = nullptr;
    QGroupBox* GroupBox2 = nullptr; // "Průběžně manipuluji:"
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QPushButton* Button1 = nullptr; // close without saving
    QPushButton* Button2 = nullptr; // start
};
