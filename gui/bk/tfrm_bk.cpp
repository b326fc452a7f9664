// The bathygraphic curve input form.
#include "gui/bk/tfrm_bk.h"

#include "exchange/file_names.h"
#include "gui/charts/line_chart_view.h"
#include "gui/common/grid_points.h"
#include "gui/common/input_fields.h"
#include "gui/common/input_files.h"
#include "gui/common/two_blank_table.h"
#include "gui/dialogs/form_widgets.h"
#include "gui/dialogs/message_service.h"
#include "gui/grid/grid_model.h"
#include "gui/grid/grid_view.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <QValueAxis>

#include <filesystem>

namespace {

const QColor kAreaColour(0, 128, 0);
const QColor kVolumeColour(0, 0, 255);

} // namespace

TFRM_BK::TFRM_BK(QWidget* parent)
    : gui::InputForm(parent), m_grid(kColumnCount, kInitialRows),
      m_filesDir(QCoreApplication::applicationDirPath()) {
    setObjectName("FRM_BK");
    setWindowTitle("FRM_BK");
    buildForm();
    resize(880, 568); // about 896 x 607 with the window frame
    showSavedData();
}

void TFRM_BK::setFilesDir(const QString& dir) {
    m_filesDir = dir;
    showSavedData();
}

// The curve the core would read, shown as after a load; without one the form
// starts empty.
void TFRM_BK::showSavedData() {
    const gui::TableRows saved =
        gui::savedCurveRows(exchange::readSavedInputs(gui::toPath(m_filesDir)));
    const bool shown = !saved.empty();
    m_grid = gui::Grid(kColumnCount, kInitialRows);
    // The header shows before any load; the leading blanks centre it roughly
    // in the columns, as the users know it.
    const char* const blanks[] = {"      ", "         ", "        ", "        "};
    for (int column = kElevationColumn; column <= kAreaColumn; ++column)
        m_grid.setCell(column, 0,
                       std::string(blanks[column - 1]) + gui::label::kCurveColumns[column - 1]);
    if (shown) gui::setDataRows(m_grid, saved);
    m_model->reload();
    m_rowCount->setText(QString::number(saved.size()));
    for (QWidget* widget : {static_cast<QWidget*>(m_rowCountLabel),
                            static_cast<QWidget*>(m_rowCount), m_areaPanel, m_volumePanel})
        widget->setVisible(shown);
}

// The models read the grids, which are destroyed before the widget base hides
// the views: the models go first.
TFRM_BK::~TFRM_BK() {
    delete m_model;
}

QWidget* TFRM_BK::buildChart(QWidget* parent, gui::LineChartView*& chart, QPushButton*& drawButton,
                             const char* name, const QString& title, const QString& horizontal,
                             const QString& vertical, const QColor& colour) {
    auto* panel = new QWidget(parent);
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
    gui::keepPlaceWhenHidden(panel);
    panel->hide();
    return panel;
}

void TFRM_BK::buildForm() {
    auto* group = new QGroupBox("Batygrafie", this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(group);

    m_loadButton = gui::makeButton("Načíst data", "btnLoad", group, true);

    m_model = new gui::GridModel(m_grid, this);
    m_model->setHeaderCentred(true);
    m_gridView = new QTableView(group);
    m_gridView->setObjectName("gridCurve");
    gui::setupGridView(*m_gridView, *m_model, kColumnWidthPx, kRowHeightPx);
    m_gridView->setFixedWidth(425);

    m_rowCountLabel = new QLabel(gui::label::kRowCount, group);
    m_rowCountLabel->setObjectName("lblRowCount");
    m_rowCount = new QLineEdit("0", group);
    m_rowCount->setObjectName("editRowCount");
    m_rowCount->setReadOnly(true);
    m_rowCount->setFixedWidth(60);
    for (QWidget* widget :
         {static_cast<QWidget*>(m_rowCountLabel), static_cast<QWidget*>(m_rowCount)}) {
        gui::keepPlaceWhenHidden(widget);
        widget->hide();
    }

    m_closeNoSaveButton = gui::makeButton("Zavřít bez uložení", "btnCloseNoSave", group, false);
    m_closeSaveButton = gui::makeButton("Zavřít a uložit", "btnCloseSave", group, true);

    m_areaPanel = buildChart(group, m_areaChart, m_drawAreaButton, "chartArea",
                             "Batygrafické křivky - čáry zatopených ploch", "Plocha A [m2]",
                             "Výška hráze h [m]", kAreaColour);
    m_volumePanel = buildChart(group, m_volumeChart, m_drawVolumeButton, "chartVolume",
                               "Batygrafické křivky - čáry zatopených objemů", "Objem V [m3]",
                               "Nadm. výška H [m n.m.]", kVolumeColour);

    auto* loadRow = new QHBoxLayout;
    loadRow->addWidget(m_loadButton);
    loadRow->addStretch(1);

    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(m_rowCountLabel);
    bottomRow->addWidget(m_rowCount);
    bottomRow->addStretch(1);
    bottomRow->addWidget(m_closeNoSaveButton);
    bottomRow->addWidget(m_closeSaveButton);

    auto* left = new QVBoxLayout;
    left->addLayout(loadRow);
    left->addWidget(m_gridView, 1);
    left->addLayout(bottomRow);

    auto* right = new QVBoxLayout;
    right->addWidget(m_areaPanel, 1);
    right->addWidget(m_volumePanel, 1);

    auto* columns = new QHBoxLayout(group);
    columns->addLayout(left);
    columns->addLayout(right, 1);

    connect(m_loadButton, &QPushButton::clicked, this, &TFRM_BK::loadData);
    connect(m_drawAreaButton, &QPushButton::clicked, this, &TFRM_BK::drawAreaCurve);
    connect(m_drawVolumeButton, &QPushButton::clicked, this, &TFRM_BK::drawVolumeCurve);
    connect(m_closeSaveButton, &QPushButton::clicked, this, &TFRM_BK::closeAndSave);
    connect(m_closeNoSaveButton, &QPushButton::clicked, this, &TFRM_BK::closeWithoutSaving);
}

void TFRM_BK::loadData() {
    m_rowCountLabel->show();
    m_rowCount->show();
    m_areaPanel->show();
    m_volumePanel->show();

    const gui::TableLoad load =
        gui::readTwoBlankTable(gui::toPath(m_filesDir) / exchange::kCurveSource, m_grid);
    m_model->reload();
    if (!load.error.empty()) {
        gui::MessageService::instance().error(this, QString::fromStdString(load.error));
        return;
    }
    m_rowCount->setText(QString::number(load.lines));
}

void TFRM_BK::drawCurve(gui::LineChartView* chart, int xColumn, int yColumn, const QColor& colour) {
    chart->removeAllLines();
    QLineSeries* line = chart->addLine(colour);
    chart->appendPoints(line, gui::gridPointsSortedByX(m_grid, xColumn, yColumn));
}

void TFRM_BK::drawAreaCurve() {
    drawCurve(m_areaChart, kAreaColumn, kDepthColumn, kAreaColour);
}

void TFRM_BK::drawVolumeCurve() {
    drawCurve(m_volumeChart, kVolumeColumn, kElevationColumn, kVolumeColour);
}

void TFRM_BK::closeAndSave() {
    gui::MessageService& messages = gui::MessageService::instance();
    const gui::TableCheck check = gui::checkCurve(m_grid);
    if (check.refusal) {
        messages.error(this, QString::fromStdString(check.refusal->message));
        gui::markCell(*m_gridView, check.refusal->column, check.refusal->row);
        return;
    }
    if (!check.warnings.empty() &&
        !messages.question(this, QString::fromStdString(gui::warningQuestion(check.warnings))))
        return;
    const exchange::FileResult result = gui::writeCurveFiles(gui::toPath(m_filesDir), check.rows);
    if (!result) {
        messages.error(this, QString::fromStdString(result.error));
        return;
    }
    accept();
}
