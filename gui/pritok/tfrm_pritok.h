// The flood wave input form: loads the inflow hydrograph from its source
// file into a grid, draws it, and writes the core's flood wave files.
#pragma once

#include "gui/common/grid.h"

#include "gui/dialogs/input_form.h"
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace gui {
class GridModel;
class LineChartView;
} // namespace gui

class TFRM_Pritok : public gui::InputForm {
    Q_OBJECT
public:
    explicit TFRM_Pritok(QWidget* parent = nullptr);
    ~TFRM_Pritok() override;

    /// The directory of the source file and of the exchange files; the
    /// directory of the program file unless set. The form shows the flood
    /// wave saved there, as after a load, or starts empty without one.
    void setFilesDir(const QString& dir);
    QString filesDir() const { return m_filesDir; }

    const gui::Grid& grid() const { return m_grid; }

    static constexpr int kInitialRows = 999; // header and 998 data rows
    static constexpr int kColumnWidthPx = 73;
    static constexpr int kRowHeightPx = 24;

public slots:
    /// "Načíst data": shows the chart and its controls, sets the header and
    /// fills the grid from the source file; the point count follows a load
    /// that read the file completely.
    void loadData();
    /// "Vykresli povodňovou vlnu": replaces the chart's line by the grid's
    /// values, row r at x = r - 1, in red.
    void drawFloodWave();
    /// "Zavřít a uložit": checks the wave, writes both files, then closes. A
    /// cell that cannot be right is named and selected and nothing is
    /// written; on a file error the error is shown; the form stays open.
    void closeAndSave();

private:
    void buildForm();
    void setHeader();
    void showSavedData();

    gui::Grid m_grid;
    QString m_filesDir;

    gui::GridModel* m_model = nullptr;
    QTableView* m_gridView = nullptr;
    gui::LineChartView* m_chart = nullptr;
    QPushButton* m_loadButton = nullptr;
    QPushButton* m_drawButton = nullptr;
    QPushButton* m_closeNoSaveButton = nullptr;
    QPushButton* m_closeSaveButton = nullptr;
    QLabel* m_pointCountLabel = nullptr;
    QLineEdit* m_pointCount = nullptr;
};
