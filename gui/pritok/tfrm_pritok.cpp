// The flood wave input form.
#include "gui/pritok/tfrm_pritok.h"

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

#include <filesystem>

TFRM_Pritok::TFRM_Pritok(QWidget* parent)
    : gui::InputForm(parent), m_grid(2, kInitialRows),
      m_filesDir(QCoreApplication::applicationDirPath()) {
    setObjectName("FRM_Pritok");
    setWindowTitle("FRM_Povodňová vlna");
    buildForm();
    resize(963, 445); // about 979 x 484 with the window frame
    showSavedData();
}

void TFRM_Pritok::setFilesDir(const QString& dir) {
    m_filesDir = dir;
    showSavedData();
}

// The wave the core would route, shown as after a load; without one the form
// starts empty.
void TFRM_Pritok::showSavedData() {
    const gui::TableRows saved =
        gui::savedFloodWaveRows(exchange::readSavedInputs(gui::toPath(m_filesDir)));
    const bool shown = !saved.empty();
    m_grid = gui::Grid(2, kInitialRows);
    if (shown) {
        setHeader();
        gui::setDataRows(m_grid, saved);
    }
    m_model->reload();
    m_pointCount->setText(QString::number(saved.size()));
    for (QWidget* widget :
         {static_cast<QWidget*>(m_chart), static_cast<QWidget*>(m_drawButton),
          static_cast<QWidget*>(m_pointCountLabel), static_cast<QWidget*>(m_pointCount)})
        widget->setVisible(shown);
}

void TFRM_Pritok::setHeader() {
    m_grid.setCell(0, 0, "i");
    m_grid.setCell(1, 0, gui::label::kFloodWaveColumn);
}

// The models read the grids, which are destroyed before the widget base hides
// the views: the models go first.
TFRM_Pritok::~TFRM_Pritok() {
    delete m_model;
}

void TFRM_Pritok::buildForm() {
    auto* group = new QGroupBox("Povodňová vlna", this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(group);

    m_loadButton = gui::makeButton("Načíst data", "btnLoad", group, true);
    m_loadButton->setFixedWidth(169);

    m_model = new gui::GridModel(m_grid, this);
    m_gridView = new QTableView(group);
    m_gridView->setObjectName("gridFloodWave");
    gui::setupGridView(*m_gridView, *m_model, kColumnWidthPx, kRowHeightPx);
    m_gridView->setFixedWidth(169);

    m_drawButton = gui::makeButton("Vykresli povodňovou vlnu", "btnDraw", group, true);
    m_chart = new gui::LineChartView(group);
    m_chart->setObjectName("chartFloodWave");
    m_chart->setAxisTitles("časový krok i [-]", "Průtok [m3/s]");
    m_chart->setMinimumSize(400, 250);

    m_pointCountLabel = new QLabel(gui::label::kPointCount, group);
    m_pointCountLabel->setObjectName("lblPointCount");
    m_pointCount = new QLineEdit("0", group);
    m_pointCount->setObjectName("editPointCount");
    m_pointCount->setReadOnly(true);
    m_pointCount->setFixedWidth(73);

    m_closeNoSaveButton = gui::makeButton("Zavřít bez uložení", "btnCloseNoSave", group, false);
    m_closeSaveButton = gui::makeButton("Zavřít a uložit", "btnCloseSave", group, true);
    QPalette blue = m_closeSaveButton->palette();
    blue.setColor(QPalette::ButtonText, QColor(0, 0, 255));
    m_closeSaveButton->setPalette(blue);

    auto* left = new QVBoxLayout;
    left->addWidget(m_loadButton);
    left->addWidget(m_gridView, 1);

    auto* drawRow = new QHBoxLayout;
    drawRow->addWidget(m_drawButton);
    drawRow->addStretch(1);

    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(m_pointCountLabel);
    bottomRow->addWidget(m_pointCount);
    bottomRow->addStretch(1);
    bottomRow->addWidget(m_closeNoSaveButton);
    bottomRow->addWidget(m_closeSaveButton);

    auto* right = new QVBoxLayout;
    right->addLayout(drawRow);
    right->addWidget(m_chart, 1);
    right->addLayout(bottomRow);

    auto* columns = new QHBoxLayout(group);
    columns->addLayout(left);
    columns->addLayout(right, 1);

    for (QWidget* widget :
         {static_cast<QWidget*>(m_chart), static_cast<QWidget*>(m_drawButton),
          static_cast<QWidget*>(m_pointCountLabel), static_cast<QWidget*>(m_pointCount)}) {
        gui::keepPlaceWhenHidden(widget);
        widget->hide();
    }

    connect(m_loadButton, &QPushButton::clicked, this, &TFRM_Pritok::loadData);
    connect(m_drawButton, &QPushButton::clicked, this, &TFRM_Pritok::drawFloodWave);
    connect(m_closeSaveButton, &QPushButton::clicked, this, &TFRM_Pritok::closeAndSave);
    connect(m_closeNoSaveButton, &QPushButton::clicked, this, &TFRM_Pritok::closeWithoutSaving);
}

void TFRM_Pritok::loadData() {
    m_chart->show();
    m_pointCountLabel->show();
    m_pointCount->show();
    m_drawButton->show();

    setHeader();
    const gui::TableLoad load =
        gui::readTwoBlankTable(gui::toPath(m_filesDir) / exchange::kFloodWaveSource, m_grid);
    m_model->reload();
    if (!load.error.empty()) {
        gui::MessageService::instance().error(this, QString::fromStdString(load.error));
        return;
    }
    m_pointCount->setText(QString::number(load.lines));
}

void TFRM_Pritok::drawFloodWave() {
    m_chart->removeAllLines();
    QLineSeries* line = m_chart->addLine(QColor(255, 0, 0));
    m_chart->appendValues(line, gui::gridValues(m_grid));
}

void TFRM_Pritok::closeAndSave() {
    gui::MessageService& messages = gui::MessageService::instance();
    const gui::TableCheck check = gui::checkFloodWave(m_grid);
    if (check.refusal) {
        messages.error(this, QString::fromStdString(check.refusal->message));
        gui::markCell(*m_gridView, check.refusal->column, check.refusal->row);
        return;
    }
    const exchange::FileResult result =
        gui::writeFloodWaveFiles(gui::toPath(m_filesDir), check.rows);
    if (!result) {
        messages.error(this, QString::fromStdString(result.error));
        return;
    }
    accept();
}
