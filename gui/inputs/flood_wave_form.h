// The flood wave input form: loads the inflow hydrograph from its source
// file into a grid, draws it, and writes the core's flood wave files.
#pragma once

#include "gui/inputs/table_input_form.h"

class QPushButton;

namespace gui {
class LineChartView;
class FloodWaveForm : public gui::TableInputForm {
    Q_OBJECT
public:
    explicit FloodWaveForm(QWidget* parent = nullptr);

    static constexpr int kInitialRows = 999; // header and 998 data rows

public slots:
    /// "Vykresli povodňovou vlnu": replaces the chart's line by the grid's
    /// values, row r at x = r - 1, in red.
    void drawFloodWave();

private:
    void buildChart();
    void buildLayout();

    gui::LineChartView* m_chart = nullptr;
    QPushButton* m_drawButton = nullptr;
};

} // namespace gui
