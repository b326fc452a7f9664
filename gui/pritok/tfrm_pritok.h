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

    /// The directory of the source file and of the files written; the
    /// directory of the program file unless set.
    void setFilesDir(const QString& dir) { m_filesDir = dir; }
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
    /// "Zavřít a uložit": writes both files, then closes; on a file error the
    /// error is shown and the form stays open.
    void closeAndSave();
    /// "Zavřít bez uložení": closes without writing when the user says yes.

protected:
private:
    void buildForm();

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
