// One page of the results window: the grids of its series, loaded from the
// run's result set off the window's thread, their chart over steps or hours
// with the steps in view chosen by fields, the run's summary above it (its
// steps zoom the chart there), and the buttons that save the chart as a
// picture and export the series.
#pragma once

#include "gui/results/result_series.h"
#include "gui/workbook/workbook_file.h"
#include "project_files/result_inputs.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTableView;
class QTimer;
template <typename T> class QFutureWatcher;

namespace gui {

class LineChartView;
class SeriesTableModel;
class StepRangeBar;
class SummaryPanel;

/// One series of a page: a file of the result set, its grid and its line.
struct ResultSeries {
    const char* gridName;   // object name of its grid view
    const char* header;     // header of its value column
    const char* resultFile; // under OUT_RESULT
    QColor colour;
    const char* legend;     // a label over the chart naming the line; nullptr: none
    const char* legendName; // its object name
};

/// What sets one page apart from another.
struct ResultsPageDescription {
    const char* name; // "Flow": pageFlow, btnLoadFlow, chartFlow, btnDrawFlow, chkHoursFlow, ...
    const char* loadText;
    const char* chartTitle;
    const char* verticalTitle;
    int groupWidthPx;
    bool exportAtRight;    // "Export do excelu" at the right under the grids, else the left
    const char* summaryOf; // the result file whose age the summary tells
    const char* fileWhat;  // what the default names of its picture and workbook begin with
    const char* sheetName; // of its exported workbook
    /// RO, RN and the overtopping level drawn beside the line, and its highest point marked.
    bool marksLevels;
    std::vector<ResultSeries> series;
};

/// A page of results: the series of the set loaded last, shown read-only by
/// its grids and drawn in its chart. Everything but the load button, the
/// grids and "Zavřít okno" is hidden until the page is loaded; a set that
/// cannot be shown, or one older than the inputs saved since, says so in
/// place of the chart.
class ResultsPage : public QWidget {
    Q_OBJECT
public:
    explicit ResultsPage(ResultsPageDescription description, QWidget* parent = nullptr);
    ~ResultsPage() override;

    /// The installation root whose result set the page loads.
    void setRoot(const std::filesystem::path& root) { m_root = root; }

    /// The values of a series loaded last, one per step; empty before a load
    /// and when the set could not be shown.
    const std::vector<double>& values(std::size_t series) const;
    /// A load is under way.
    bool isLoading() const { return m_loading; }
    /// The time step of the results loaded last [min]: the one the run
    /// summary names, else IN_TIME_STEP_min; empty when neither is a positive number.
    std::optional<double> timeStepMin() const { return m_timeStepMin; }
    LineChartView& chart() { return *m_chart; }
    /// The series side by side as the export writes them: i (and the hours
    /// when the chart shows them), then each series.
    SheetRows table() const;
    const ResultsPageDescription& description() const { return m_description; }

    static constexpr int kColumnWidthPx = 73;
    static constexpr int kRowHeightPx = 24;

public slots:
    /// The load button: reads the page's series of a complete result set on a
    /// thread of its own (a progress bar past 0.3 s), then shows them in the
    /// grids, the run's summary and the chart's buttons, and draws them. A set
    /// that is not complete or cannot be read is shown as no results, with
    /// the reason; a set older than an input saved since is shown but not
    /// drawn, the chart's place saying why (VYKRESLIT GRAF draws it).
    void load();
    /// "VYKRESLIT GRAF": shows the chart and its legend; replaces the lines
    /// by the series loaded, step i at x = i (or its hours from the start),
    /// the whole of them in view.
    void draw();
    /// Shows steps `from` to `to` (from 1) of the lines drawn.
    void zoomToSteps(std::size_t from, std::size_t to);
    /// Zooms the chart (drawn first when needed) to the steps around `step`
    /// and shows that step in the grids.
    void showStep(std::size_t step);

signals:
    void pictureRequested();
    void exportRequested();
    void closeRequested();
    /// The page began loading; the window reports its time step.
    void loaded();
    /// A load ended, with the series shown or with no results.
    void loadFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildGridGroup();
    void buildChart();
    QLayout* buildChartColumn();
    /// What the page shows only with results: the chart, its buttons and
    /// fields, the summary and the export.
    QList<QWidget*> resultWidgets() const;
    void finishLoading();
    void showNoResults(const QString& reason);
    /// Shows `notice` in the chart's place.
    void showChartNotice(const QString& notice);
    void showSeries(std::vector<std::vector<double>> series);
    void showResultContext();
    std::optional<double> shownTimeStep() const;
    void render();
    /// Where the steps stand on the chart: at their numbers, or their hours.
    StepScale scale() const;
    void markLevels();
    void followRange(double minX, double maxX);
    void placeLegend();

    ResultsPageDescription m_description;
    std::filesystem::path m_root;
    std::vector<std::shared_ptr<const std::vector<double>>> m_series; // loaded
    std::vector<std::shared_ptr<const std::vector<double>>> m_drawn;  // drawn, empty: none
    std::optional<double> m_drawnTimeStep; // the hours' step the lines are drawn in
    std::optional<double> m_timeStepMin;
    project_files::ResultInputs m_recorded; // of the set loaded: the levels drawn
    bool m_outdated = false;                // an input was saved after the results loaded
    bool m_loading = false;

    std::vector<SeriesTableModel*> m_models;
    std::vector<QTableView*> m_grids;
    QFutureWatcher<SeriesRead>* m_reading = nullptr;
    QTimer* m_progressDelay = nullptr;
    QWidget* m_progress = nullptr;
    QPushButton* m_loadButton = nullptr;
    QStackedWidget* m_chartArea = nullptr; // the chart, or the notice in its place
    QLabel* m_chartNotice = nullptr;
    LineChartView* m_chart = nullptr;
    std::vector<QLabel*> m_legends;
    QPushButton* m_drawButton = nullptr;
    QPushButton* m_savePictureButton = nullptr;
    QPushButton* m_exportButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QCheckBox* m_hours = nullptr;
    StepRangeBar* m_stepRange = nullptr;
    SummaryPanel* m_summary = nullptr;
};

} // namespace gui
