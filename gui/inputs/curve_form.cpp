// The bathygraphic curve input form.
#include "gui/inputs/curve_form.h"

#include "desk/grid_points.h"
#include "desk/input_fields.h"
#include "exchange/file_names.h"
#include "gui/charts/line_chart_view.h"
#include "gui/help/help.h"
#include "gui/widgets/form_widgets.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>

namespace gui {

namespace {

const QColor kAreaColour(0, 128, 0);
const QColor kVolumeColour(0, 0, 255);

// The header shows before any load; the leading blanks centre it roughly in
// the columns, as the users know it.
void setHeader(desk::Grid& grid, bool) {
    const char* const blanks[] = {"      ", "         ", "        ", "        "};
    for (int column = CurveForm::kElevationColumn; column <= CurveForm::kAreaColumn; ++column)
        grid.setCell(column, 0,
                     std::string(blanks[column - 1]) + desk::label::kCurveColumns[column - 1]);
}

const gui::TableFormDescription kDescription = {.objectName = "CurveForm",
                                                .windowTitle = desk::kCurveFormName,
                                                .groupTitle = "Batygrafie",
                                                .sourceFile = exchange::kCurveSource,
                                                .columnCount = 5, // numbering, H, h, V, A
                                                .initialRows = CurveForm::kInitialRows,
                                                .columnWidthPx = 80,
                                                .gridWidthPx = 425,
                                                .headerCentred = true,
                                                .gridName = "gridCurve",
                                                .countLabel = desk::label::kRowCount,
                                                .countName = "RowCount",
                                                .countWidthPx = 60,
                                                .setHeader = setHeader,
                                                .check = desk::checkCurve,
                                                .write = desk::writeCurveFiles,
                                                .savedRows = desk::savedCurveRows};

} // namespace

CurveForm::CurveForm(QWidget* parent) : gui::TableInputForm(kDescription, parent) {
    gui::installHelp(this, "batygraficka_krivka");
    m_areaPanel = buildChart(m_areaChart, m_drawAreaButton, "chartArea",
                             "Batygrafické křivky - čáry zatopených ploch", "Plocha A [m2]",
                             "Výška hráze h [m]", kAreaColour);
    m_volumePanel = buildChart(m_volumeChart, m_drawVolumeButton, "chartVolume",
                               "Batygrafické křivky - čáry zatopených objemů", "Objem V [m3]",
                               "Nadm. výška H [m n.m.]", kVolumeColour);
    connect(m_drawAreaButton, &QPushButton::clicked, this, &CurveForm::drawAreaCurve);
    connect(m_drawVolumeButton, &QPushButton::clicked, this, &CurveForm::drawVolumeCurve);
    buildLayout();
    resize(880, 568); // about 896 x 607 with the window frame
    showSavedData();
}

QWidget* CurveForm::buildChart(gui::LineChartView*& chart, QPushButton*& drawButton,
                               const char* name, const QString& title, const QString& horizontal,
                               const QString& vertical, const QColor& colour) {
    auto* panel = new QWidget(m_group);
    chart = new gui::LineChartView(panel);
    chart->setObjectName(name);
    chart->setChartTitle(title, colour, true);
    chart->setAxisTitles(horizontal, vertical, colour);
    chart->setMinimumSize(300, 200);
    // At the form's size the plot is short: thin margins and a smaller
    // vertical title keep "Nadm. výška H [m n.m.]" whole.
    chart->chart()->setMargins(QMargins(2, 2, 2, 2));
    QFont titleFont = chart->verticalAxis()->titleFont();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 0.9);
    chart->verticalAxis()->setTitleFont(titleFont);

    drawButton = gui::makeButton("Vykresli graf", name, panel, false);
    drawButton->setObjectName(QString(name) + "Draw");
    QPalette palette = drawButton->palette();
    palette.setColor(QPalette::ButtonText, colour);
    drawButton->setPalette(palette);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(drawButton);
    buttonRow->addStretch(1);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(chart, 1);
    layout->addLayout(buttonRow);
    showOnceLoaded(panel);
    return panel;
}

void CurveForm::buildLayout() {
    auto* loadRow = new QHBoxLayout;
    loadRow->addWidget(m_loadButton);
    loadRow->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addLayout(loadRow);
    left->addWidget(m_gridView, 1);
    left->addWidget(m_pasteBusy);
    left->addLayout(countAndCloseRow());

    auto* right = new QVBoxLayout;
    right->addWidget(m_areaPanel, 1);
    right->addWidget(m_volumePanel, 1);
    setColumns(left, right);
}

void CurveForm::drawCurve(gui::LineChartView* chart, int xColumn, int yColumn,
                          const QColor& colour) {
    chart->removeAllLines();
    QLineSeries* line = chart->addLine(colour);
    chart->appendPoints(line, desk::gridPointsSortedByX(m_grid, xColumn, yColumn));
}

void CurveForm::drawAreaCurve() {
    drawCurve(m_areaChart, kAreaColumn, kDepthColumn, kAreaColour);
}

void CurveForm::drawVolumeCurve() {
    drawCurve(m_volumeChart, kVolumeColumn, kElevationColumn, kVolumeColour);
}

} // namespace gui
