// "Bezpečnostní rezerva": the largest factor k of the whole inflow before the
// dam overtops, and the smallest k at which the level reaches the spillway
// crest, found by running the core in temporary roots while the window stays
// responsive; a progress bar, a cancel, the answer and a chart of the highest
// level against k. A finished search is kept in the project for its report;
// a stop signal to the front end cancels the search and removes its root
// before it ends the program.
#pragma once

#include "study/safety_factor.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QString>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace gui {
class LineChartView;
class StopSignalWatch;
class StudyCoreRun;
class SafetyMarginWindow : public QDialog {
    Q_OBJECT
public:
    /// The inputs of `root` (the open project in the front end);
    /// `startLevel` as the calculation window holds it.
    SafetyMarginWindow(const std::filesystem::path& root, const QString& startLevel,
                       QWidget* parent = nullptr);
    ~SafetyMarginWindow() override;

    gui::StudyCoreRun& coreRun() { return *m_run; }
    bool isSearching() const { return m_search != nullptr; }
    /// The answer of the last search that ended.
    const std::optional<study::SafetyFactorResult>& result() const { return m_result; }

public slots:
    /// "SPUSTIT HLEDÁNÍ".
    void startSearch();
    /// "Zrušit": ends the running core and the search.
    void cancelSearch();

signals:
    void searchEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QWidget* buildInputs(const QString& startLevel);
    QLayout* buildRunRow();
    QLayout* buildAnswer();
    std::optional<std::string> checkedStartLevel(const std::filesystem::path& inputs);
    void runNext();
    void runFinished();
    void endSearch();
    void showResult();
    void keepResult();
    void drawChart(const study::SafetyFactorResult& result);
    void setSearching(bool searching);

    std::filesystem::path m_root;
    // While a search runs; destroyed last, once its root is gone.
    std::unique_ptr<gui::StopSignalWatch> m_stopWatch;
    // The search's root goes only after a running core has been ended.
    std::unique_ptr<study::FactorSearch> m_search;
    std::unique_ptr<gui::StudyCoreRun> m_run;
    std::optional<study::SafetyFactorResult> m_result;
    QElapsedTimer m_clock;

    QRadioButton* m_currentInputsButton = nullptr;
    QRadioButton* m_variantButton = nullptr;
    QLineEdit* m_startLevelEdit = nullptr; // m, for the current inputs
    QComboBox* m_variantList = nullptr;
    QPushButton* m_startButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_progressLabel = nullptr; // the run going on, or what the search took
    QLabel* m_answerLabel = nullptr;
    gui::LineChartView* m_chart = nullptr; // the highest level against k
};

} // namespace gui
