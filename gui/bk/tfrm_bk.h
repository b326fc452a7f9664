// The bathygraphic curve input form: loads the stage-volume table from its
// source file into a grid, draws the area and volume curves, and writes the
// core's curve files.
#pragma once

#include "gui/common/grid.h"

#include "gui/dialogs/input_form.h"
#include <QColor>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace gui {
class GridModel;
class LineChartView;
} // namespace gui

class TFRM_BK : public gui::InputForm {
    Q_OBJECT
public:
    explicit TFRM_BK(QWidget* parent = nullptr);
    ~TFRM_BK() override;

    /// The directory of the source file and of the exchange files; the
    /// directory of the program file unless set. The form shows the curve
    /// saved there, as after a load, or starts empty without one.
    void setFilesDir(const QString& dir);
    QString filesDir() const { return m_filesDir; }

    const gui::Grid& grid() const { return m_grid; }

    static constexpr int kInitialRows = 50; // header and 49 data rows
    static constexpr int kColumnCount = 5;  // numbering, H, h, V, A
    static constexpr int kColumnWidthPx = 80;
    static constexpr int kRowHeightPx = 24;
    // Value columns of the grid.
    static constexpr int kElevationColumn = 1; // H [m n.m.]
    static constexpr int kDepthColumn = 2;     // h [m]
    static constexpr int kVolumeColumn = 3;    // V [m3]
    static constexpr int kAreaColumn = 4;      // A [m2]

public slots:
    /// "Načíst data": shows the charts and the row count, fills the grid from
    /// the source file (cells its lines do not reach keep their text); the
    /// row count follows a load that read the file completely.
    void loadData();
    /// "Vykresli graf" of the upper chart: depth against area, in green.
    void drawAreaCurve();
    /// "Vykresli graf" of the lower chart: elevation against volume, in blue.
    void drawVolumeCurve();
    /// "Zavřít a uložit": checks the curve, asks about levels or volumes that
    /// do not rise, writes both files, then closes. A cell that cannot be
    /// right is named and selected and nothing is written; on a No or a file
    /// error the form stays open.
    void closeAndSave();

private:
    void buildForm();
    void showSavedData();
    QWidget* buildChart(QWidget* parent, gui::LineChartView*& chart, QPushButton*& drawButton,
                        const char* name, const QString& title, const QString& horizontal,
                        const QString& vertical, const QColor& colour);
    void drawCurve(gui::LineChartView* chart, int xColumn, int yColumn, const QColor& colour);

    gui::Grid m_grid;
    QString m_filesDir;

    gui::GridModel* m_model = nullptr;
    QTableView* m_gridView = nullptr;
    QWidget* m_areaPanel = nullptr;
    QWidget* m_volumePanel = nullptr;
    gui::LineChartView* m_areaChart = nullptr;
    gui::LineChartView* m_volumeChart = nullptr;
    QPushButton* m_loadButton = nullptr;
    QPushButton* m_drawAreaButton = nullptr;
    QPushButton* m_drawVolumeButton = nullptr;
    QPushButton* m_closeNoSaveButton = nullptr;
    QPushButton* m_closeSaveButton = nullptr;
    QLabel* m_rowCountLabel = nullptr;
    QLineEdit* m_rowCount = nullptr;
};
