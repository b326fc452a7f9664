// The results window: the outflow hydrograph beside the inflow and the
// course of the water level, each as an editable grid and a line chart over
// steps or hours, the run's summary above each chart, chart pictures and
// spreadsheet export.
#pragma once

#include "gui/common/grid.h"
#include "gui/common/grid_points.h"
#include "gui/vysledky/grid_export.h"

#include <QDialog>
#include <QString>

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;
class QTabWidget;

namespace gui {
class GridModel;
class LineChartView;
class SummaryPanel;
} // namespace gui

class Tvysledky : public QDialog {
    Q_OBJECT
public:
    explicit Tvysledky(QWidget* parent = nullptr);
    ~Tvysledky() override;

    /// The directory the exported workbooks are written to; the directory of
    /// the program file unless set.
    void setProgramDir(const QString& dir) { m_programDir = dir; }
    QString programDir() const { return m_programDir; }
    /// The installation root of the result files and of the pictures'
    /// directory; exchange::installationRoot() unless set. Resets the name
    /// the picture dialog offers.
    void setRoot(const std::filesystem::path& root);

    /// Asks for the name of a picture file, offering `suggested`; an empty
    /// text means the user cancelled.
    using PictureFileChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
    /// Replaces the save dialog (tests answer without a modal loop).
    void setPictureFileChooser(PictureFileChooser chooser) {
        m_choosePictureFile = std::move(chooser);
    }
    /// Replaces the opening of exported workbooks on the desktop.
    void setWorkbookOpener(gui::WorkbookOpener opener) { m_openWorkbook = std::move(opener); }

    const gui::Grid& inflowGrid() const { return m_inflow; }
    const gui::Grid& outflowGrid() const { return m_outflow; }
    const gui::Grid& levelGrid() const { return m_level; }
    /// The name the picture dialog offers next.
    QString pictureFileName() const { return m_pictureFileName; }
    /// The time step of the results loaded last [min]: the one the run
    /// summary names, else IN_TIME_STEP_min; empty when neither is a positive number.
    std::optional<double> timeStepMin() const { return m_timeStepMin; }

    static constexpr int kInitialRows = 999;
    static constexpr int kResultColumns = 999;
    static constexpr int kColumnWidthPx = 73;
    static constexpr int kRowHeightPx = 24;
    static inline const char* const kSheetName = "Stringgrid Print";

public slots:
    /// "NAČÍST VÝSLEDKY TRANSFORMACE": shows the flow chart and its buttons,
    /// loads the inflow grid, then the outflow grid. A file that cannot be
    /// read is shown as an error and ends the load there.
    void loadFlow();
    /// "NAČÍST VÝŠKY VODY": shows the level chart and its buttons, loads the level grid.
    void loadLevel();
    /// "VYKRESLIT GRAF" on "PRUTOK": shows the legend; replaces the lines by
    /// the inflow in red and the outflow in blue, row i at step i (or its hour).
    void drawFlow();
    /// "VYKRESLIT GRAF" on "VÝŠKA VODY V NÁDRŽI": replaces the line by the
    /// levels in black, with the reservoir's levels and the highest level marked.
    void drawLevel();
    /// "Uložení grafu do JPG": the chart at its size on screen, as a JPEG file.
    void saveFlowPicture();
    void saveLevelPicture();
    /// "Export do excelu": i (and the hours when shown), the inflow and the
    /// outflow, or the levels, as a workbook beside the program.
    void exportOutflow();
    void exportLevel();
    /// "Zavřít okno": closes when the user confirms.
    void closeWindow();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildFlowPage();
    QWidget* buildLevelPage();
    void showResultContext(gui::SummaryPanel* panel, QCheckBox* hours, const char* resultFile);
    std::optional<double> shownTimeStep(const QCheckBox* hours) const;
    void renderFlow();
    void renderLevel();
    void savePicture(gui::LineChartView* chart);
    void placeLegend();
    bool showLoad(const std::string& error);

    gui::Grid m_inflow;
    gui::Grid m_outflow;
    gui::Grid m_level;
    QString m_programDir;
    std::filesystem::path m_root;
    QString m_pictureFileName;
    PictureFileChooser m_choosePictureFile;
    gui::WorkbookOpener m_openWorkbook;
    bool m_centred = false;
    std::optional<double> m_timeStepMin;
    // What was drawn, at x = i; shown over steps or hours.
    std::optional<std::vector<gui::ChartPoint>> m_drawnInflow, m_drawnOutflow, m_drawnLevel;

    QTabWidget* m_tabs = nullptr;
    gui::GridModel* m_inflowModel = nullptr;
    gui::GridModel* m_outflowModel = nullptr;
    gui::GridModel* m_levelModel = nullptr;
    gui::LineChartView* m_flowChart = nullptr;
    gui::LineChartView* m_levelChart = nullptr;
    QLabel* m_inflowLegend = nullptr;
    QLabel* m_outflowLegend = nullptr;
    QPushButton* m_drawFlowButton = nullptr;
    QPushButton* m_saveFlowButton = nullptr;
    QPushButton* m_exportFlowButton = nullptr;
    QPushButton* m_drawLevelButton = nullptr;
    QPushButton* m_saveLevelButton = nullptr;
    QPushButton* m_exportLevelButton = nullptr;
    QCheckBox* m_flowHours = nullptr;
    QCheckBox* m_levelHours = nullptr;
    gui::SummaryPanel* m_flowSummary = nullptr;
    gui::SummaryPanel* m_levelSummary = nullptr;
};
