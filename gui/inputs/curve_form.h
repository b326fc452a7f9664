// The bathygraphic curve input form: loads the stage-volume table from its
// source file into a grid, draws the area and volume curves, and writes the
// core's curve files.
#pragma once

#include "gui/inputs/table_input_form.h"

#include <QColor>

class QPushButton;

namespace gui {
class LineChartView;
class CurveForm : public gui::TableInputForm {
    Q_OBJECT
public:
    explicit CurveForm(QWidget* parent = nullptr);

    static constexpr int kInitialRows = 50; // header and 49 data rows
    // Value columns of the grid.
    static constexpr int kElevationColumn = 1; // H [m n.m.]
    static constexpr int kDepthColumn = 2;     // h [m]
    static constexpr int kVolumeColumn = 3;    // V [m3]
    static constexpr int kAreaColumn = 4;      // A [m2]

public slots:
    /// "Vykresli graf" of the upper chart: depth against area, in green.
    void drawAreaCurve();
    /// "Vykresli graf" of the lower chart: elevation against volume, in blue.
    void drawVolumeCurve();

private:
    /// A chart with its "Vykresli graf" below it, hidden until a load.
    QWidget* buildChart(gui::LineChartView*& chart, QPushButton*& drawButton, const char* name,
                        const QString& title, const QString& horizontal, const QString& vertical,
                        const QColor& colour);
    void buildLayout();
    void drawCurve(gui::LineChartView* chart, int xColumn, int yColumn, const QColor& colour);

    QWidget* m_areaPanel = nullptr;
    QWidget* m_volumePanel = nullptr;
    gui::LineChartView* m_areaChart = nullptr;
    gui::LineChartView* m_volumeChart = nullptr;
    QPushButton* m_drawAreaButton = nullptr;
    QPushButton* m_drawVolumeButton = nullptr;
};

} // namespace gui
