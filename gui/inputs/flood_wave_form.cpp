// The flood wave input form.
#include "gui/inputs/flood_wave_form.h"

#include "desk/grid_points.h"
#include "desk/input_fields.h"
#include "exchange/file_names.h"
#include "gui/charts/line_chart_view.h"
#include "gui/help/help.h"
#include "gui/widgets/form_widgets.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace gui {

namespace {

// "i" and "Q [m3/s]" once a wave is loaded; empty before.
void setHeader(desk::Grid& grid, bool loaded) {
    if (!loaded) return;
    grid.setCell(0, 0, "i");
    grid.setCell(1, 0, desk::label::kFloodWaveColumn);
}

const gui::TableFormDescription kDescription = {.objectName = "FloodWaveForm",
                                                .windowTitle = desk::kFloodWaveFormName,
                                                .groupTitle = "Povodňová vlna",
                                                .sourceFile = exchange::kFloodWaveSource,
                                                .columnCount = 2,
                                                .initialRows = FloodWaveForm::kInitialRows,
                                                .columnWidthPx = 73,
                                                .gridWidthPx = 169,
                                                .headerCentred = false,
                                                .gridName = "gridFloodWave",
                                                .countLabel = desk::label::kPointCount,
                                                .countName = "PointCount",
                                                .countWidthPx = 73,
                                                .setHeader = setHeader,
                                                .check = desk::checkFloodWave,
                                                .write = desk::writeFloodWaveFiles,
                                                .savedRows = desk::savedFloodWaveRows};

} // namespace

FloodWaveForm::FloodWaveForm(QWidget* parent) : gui::TableInputForm(kDescription, parent) {
    gui::installHelp(this, "povodnova_vlna");
    m_loadButton->setFixedWidth(169);
    buildChart();
    buildLayout();
    resize(963, 445); // about 979 x 484 with the window frame
    showSavedData();
}

void FloodWaveForm::buildChart() {
    m_drawButton = gui::makeButton("Vykresli povodňovou vlnu", "btnDraw", m_group, true);
    m_chart = new gui::LineChartView(m_group);
    m_chart->setObjectName("chartFloodWave");
    m_chart->setAxisTitles("časový krok i [-]", "Průtok [m3/s]");
    m_chart->setMinimumSize(400, 250);
    showOnceLoaded(m_chart);
    showOnceLoaded(m_drawButton);
    connect(m_drawButton, &QPushButton::clicked, this, &FloodWaveForm::drawFloodWave);

    QPalette blue = m_closeAndSaveButton->palette();
    blue.setColor(QPalette::ButtonText, QColor(0, 0, 255));
    m_closeAndSaveButton->setPalette(blue);
    // The keys move through the form as it reads: the grid, the chart, the
    // count, the closing buttons.
    QWidget* const order[] = {m_loadButton,        m_gridView,
                              m_drawButton,        m_chart,
                              m_countField,        m_closeWithoutSavingButton,
                              m_closeAndSaveButton};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void FloodWaveForm::buildLayout() {
    auto* left = new QVBoxLayout;
    left->addWidget(m_loadButton);
    left->addWidget(m_gridView, 1);
    left->addWidget(m_pasteBusy);

    auto* drawRow = new QHBoxLayout;
    drawRow->addWidget(m_drawButton);
    drawRow->addStretch(1);

    auto* right = new QVBoxLayout;
    right->addLayout(drawRow);
    right->addWidget(m_chart, 1);
    right->addLayout(countAndCloseRow());
    setColumns(left, right);
}

void FloodWaveForm::drawFloodWave() {
    m_chart->removeAllLines();
    QLineSeries* line = m_chart->addLine(QColor(255, 0, 0));
    m_chart->appendPoints(line, desk::gridColumnPoints(m_grid, 1));
}

} // namespace gui
