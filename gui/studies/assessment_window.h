// "Posouzení bezpečnosti za povodně": the settings of the flood-safety
// assessment (N with the decree's table as a hint, the start level, MBH, the
// deciding outlet case, a table of return periods), its runs on the
// machine's cores beside a responsive window with a progress bar and a
// cancel, and the answer: the case table, the level chart and the verdict.
// The settings and the last finished assessment are kept in the project; a
// stop signal to the front end cancels the runs and removes their roots
// before it ends the program.
#pragma once

#include "study/assessment.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QString>

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QWidget;

namespace gui {
class LineChartView;
class StopSignalWatch;
class AssessmentWindow : public QDialog {
    Q_OBJECT
public:
    /// The project at `root`: its inputs, its kept settings and assessment.
    explicit AssessmentWindow(const std::filesystem::path& root, QWidget* parent = nullptr);
    ~AssessmentWindow() override;

    /// The core's program: the one of the installation root unless set.
    void setCoreProgram(const QString& program) { m_program = program; }
    bool isRunning() const { return m_watcher.isRunning(); }
    /// The assessment that ended last in this window.
    const std::optional<study::AssessmentResult>& result() const { return m_result; }

public slots:
    /// "SPUSTIT POSOUZENÍ".
    void startAssessment();
    /// "Zrušit": ends the running cores and the assessment.
    void cancelAssessment();

signals:
    void assessmentEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QWidget* buildSettings();
    QWidget* buildFloodTable();
    QLayout* buildRunRow();
    QLayout* buildAnswer();
    void showSettings(const study::AssessmentSettings& settings);
    study::AssessmentSettings typedSettings() const;
    void refuse(const study::SettingRefused& refusal);
    void showProgress(int done, int expected);
    void endAssessment();
    void showResult(const study::AssessmentResult& result, const QString& outdated);
    void setRunning(bool running);
    void waitForTheRuns();

    std::filesystem::path m_root;
    QString m_program;
    std::shared_ptr<const study::Assessment> m_assessment;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    QFutureWatcher<study::AssessmentResult> m_watcher;
    // While the runs go on; destroyed once their roots are gone.
    std::unique_ptr<gui::StopSignalWatch> m_stopWatch;
    std::optional<study::AssessmentResult> m_result;
    QElapsedTimer m_clock;

    QComboBox* m_groupList = nullptr;        // the decree's rows, data: RequiredSafety::key
    QLineEdit* m_returnPeriodEdit = nullptr; // N [years]
    QLineEdit* m_startLevelEdit = nullptr;   // m; empty: RO
    QLineEdit* m_mbhEdit = nullptr;          // m
    QComboBox* m_decidingList = nullptr;     // study::kOutletCases order
    QTableWidget* m_floodTable = nullptr;    // N [years], Q_N [m3/s]; blank rows skipped
    QPushButton* m_startButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_progressLabel = nullptr;
    QLabel* m_sentenceLabel = nullptr; // the verdict, or that the assessment is outdated
    QTableWidget* m_caseTable = nullptr;
    QLabel* m_findingsLabel = nullptr;
    gui::LineChartView* m_chart = nullptr;
};

} // namespace gui
