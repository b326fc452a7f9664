// One page of the results window: the grids of its series, loaded from the
// core's files, their chart over steps or hours, the run's summary above it,
// and the buttons that save the chart as a picture and export the grids.
#pragma once

#include "gui/common/grid.h"
#include "gui/common/grid_points.h"
#include "gui/common/xlsx_workbook.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <filesystem>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

namespace gui {

class GridModel;
class LineChartView;
class SummaryPanel;

/// One series of a page: a grid and the line drawn from it.
struct ResultSeries {
    const char* gridName;   // object name of its grid view
    const char* header;     // header of its value column, set by a load
    const char* resultFile; // under OUT_RESULT; nullptr: the inflow the core routed
    int columnCount;        // of the grid at opening
    QColor colour;
    const char* legend;     // a label over the chart naming the line; nullptr: none
    const char* legendName; // its object name
};

/// What sets one page apart from another.
struct ResultsPageSpec {
    const char* name; // "Flow": btnLoadFlow, chartFlow, btnDrawFlow, chkHoursFlow, ...
    const char* loadText;
    const char* verticalTitle;
    int groupWidthPx;
    bool exportAtRight;       // "Export do excelu" at the right under the grids, else the left
    const char* summaryOf;    // the result file whose age the summary tells
    const char* workbookName; // beside the program, numbered by the export
    /// RO, RN and the overtopping level drawn beside the line, and its highest point marked.
    bool marksLevels;
    std::vector<ResultSeries> series;
};

/// A page of results as plain grids (Grid) that its views show and edit.
/// Everything but the load button, the grids and "Zavřít okno" is hidden
/// until the page is loaded.
class ResultsPage : public QWidget {
    Q_OBJECT
public:
    explicit ResultsPage(ResultsPageSpec spec, QWidget* parent = nullptr);
    ~ResultsPage() override;

    /// The installation root whose files the page loads.
    void setRoot(const std::filesystem::path& root) { m_root = root; }

    const Grid& grid(std::size_t series) const { return m_grids[series]; }
    /// The time step of the results loaded last [min]: the one the run
    /// summary names, else IN_TIME_STEP_min; empty when neither is a positive number.
    std::optional<double> timeStepMin() const { return m_timeStepMin; }
    LineChartView& chart() { return *m_chart; }
    /// The grids side by side as the export writes them: i (and the hours
    /// when the chart shows them), then each grid's values.
    SheetRows table() const;
    const char* workbookName() const { return m_spec.workbookName; }

    static constexpr int kInitialRows = 999;
    static constexpr int kColumnWidthPx = 73;
    static constexpr int kRowHeightPx = 24;

public slots:
    /// The load button: shows the chart and its buttons and the run's
    /// summary, then loads the grids in order. A file that cannot be read is
    /// shown as an error and ends the load there.
    void load();
    /// "VYKRESLIT GRAF": shows the legend; replaces the lines by the grids'
    /// values, row i at step i (or its hour).
    void draw();

signals:
    void pictureRequested();
    void exportRequested();
    void closeRequested();
    /// The page loaded its results; the window reports its time step.
    void loaded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildGridGroup();
    void buildChart();
    QLayout* buildChartColumn();
    void showResultContext();
    /// Fills a series' grid; the error to show, empty when all is well.
    std::string loadSeries(const ResultSeries& series, Grid& grid);
    std::optional<double> shownTimeStep() const;
    void render();
    void markLevels(const std::vector<ChartPoint>& shown, const std::vector<ChartPoint>& atSteps,
                    bool inHours);
    void placeLegend();

    ResultsPageSpec m_spec;
    std::filesystem::path m_root;
    std::vector<Grid> m_grids;
    std::vector<GridModel*> m_models;
    std::optional<double> m_timeStepMin;
    // What was drawn, at x = i, per series; shown over steps or hours.
    std::optional<std::vector<std::vector<ChartPoint>>> m_drawn;

    LineChartView* m_chart = nullptr;
    std::vector<QLabel*> m_legends;
    QPushButton* m_drawButton = nullptr;
    QPushButton* m_savePictureButton = nullptr;
    QPushButton* m_exportButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QCheckBox* m_hours = nullptr;
    SummaryPanel* m_summary = nullptr;
};

} // namespace gui
