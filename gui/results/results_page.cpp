// One page of the results window.
#include "gui/results/results_page.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/io/run_summary_reader.h"
#include "exchange/io/saved_inputs.h"
#include "exchange/run_summary.h"
#include "gui/charts/line_chart_view.h"
#include "gui/charts/reservoir_levels.h"
#include "gui/common/input_files.h"
#include "gui/common/result_columns.h"
#include "gui/common/result_series.h"
#include "gui/dialogs/form_widgets.h"
#include "gui/dialogs/message_service.h"
#include "gui/grid/grid_model.h"
#include "gui/grid/grid_view.h"
#include "gui/results/summary_panel.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace gui {

namespace {

const QString kChartTitle = "TRANSFORMACE POVODŇOVÉ VLNY";
const QString kStepAxisTitle = "časový krok i [-]";
const QString kHoursAxisTitle = "čas t [h]";

// Said when there is no routed inflow to show.
constexpr const char* kSavedFloodWaveUnreadable =
    "Povodňovou vlnu, se kterou jádro počítá, nelze načíst: soubory IN_FLOOD_WAVE a "
    "IN_NUMBER_OF_POINT_FW chybí nebo neobsahují platná čísla (Vstupy → Povodňová vlna).";

QString shownCell(const QString& text) {
    return QString::fromStdString(shownValue(text.toStdString()));
}

// Shows a value cell with three decimals; the cell keeps the file's text.
class ValueCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!GridModel::isFixed(index)) option->text = shownCell(option->text);
    }
};

/// Widens every column whose header or shown cells would be cut at the usual width.
void fitColumns(QTableView& view) {
    const QAbstractItemModel& model = *view.model();
    const QFontMetrics cells(view.font());
    const QFontMetrics header(view.horizontalHeader()->font());
    for (int column = 0; column < model.columnCount(); ++column) {
        int needed = header.horizontalAdvance(model.headerData(column, Qt::Horizontal).toString());
        for (int row = 0; row < model.rowCount(); ++row) {
            const QString text = model.data(model.index(row, column)).toString();
            if (!text.isEmpty())
                needed =
                    std::max(needed, cells.horizontalAdvance(column == 0 ? text : shownCell(text)));
        }
        view.setColumnWidth(column, std::max(ResultsPage::kColumnWidthPx, needed + 12));
    }
}

QTableView* makeGridView(GridModel& model, const char* name, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    setupGridView(*view, model, ResultsPage::kColumnWidthPx, ResultsPage::kRowHeightPx);
    view->setItemDelegate(new ValueCellDelegate(view));
    view->setFixedWidth(169);
    QObject::connect(&model, &QAbstractItemModel::modelReset, view, [view] { fitColumns(*view); });
    return view;
}

QLabel* makeLegend(const QString& text, const QColor& colour, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setStyleSheet(
        QString("QLabel { background: white; color: %1; padding: 1px 3px; }").arg(colour.name()));
    label->adjustSize();
    label->hide();
    return label;
}

/// The points at x = step i shown at their step, or at their hour.
std::vector<ChartPoint> shownPoints(const std::vector<ChartPoint>& points,
                                    std::optional<double> timeStepMin) {
    std::vector<ChartPoint> shown = points;
    for (ChartPoint& point : shown)
        point.x = rowTime(static_cast<int>(std::lround(point.x)), timeStepMin);
    return shown;
}

QString named(const char* prefix, const char* name, const char* suffix = "") {
    return QString(prefix) + name + suffix;
}

} // namespace

ResultsPage::ResultsPage(ResultsPageSpec spec, QWidget* parent)
    : QWidget(parent), m_spec(std::move(spec)) {
    // Every grid exists before a model refers to it.
    for (const ResultSeries& series : m_spec.series)
        m_grids.emplace_back(series.columnCount, kInitialRows);
    auto* columns = new QHBoxLayout(this);
    columns->addWidget(buildGridGroup());
    buildChart();
    columns->addLayout(buildChartColumn(), 1);
}

// The models read the grids, which are destroyed before the widget base hides
// the views: the models go first.
ResultsPage::~ResultsPage() {
    for (GridModel* model : m_models)
        delete model;
}

QWidget* ResultsPage::buildGridGroup() {
    auto* group = new QGroupBox(this);
    group->setFixedWidth(m_spec.groupWidthPx);
    auto* loadButton = makeButton(m_spec.loadText, named("btnLoad", m_spec.name), group, true);
    auto* grids = new QHBoxLayout;
    for (std::size_t i = 0; i < m_grids.size(); ++i) {
        m_models.push_back(new GridModel(m_grids[i], this));
        grids->addWidget(makeGridView(*m_models.back(), m_spec.series[i].gridName, group));
    }
    grids->addStretch(1);
    m_exportButton = makeButton("Export do excelu", named("btnExport", m_spec.name), group, false);

    auto* layout = new QVBoxLayout(group);
    layout->addWidget(loadButton);
    layout->addLayout(grids, 1);
    if (m_spec.exportAtRight) {
        auto* exportRow = new QHBoxLayout;
        exportRow->addStretch(1);
        exportRow->addWidget(m_exportButton);
        layout->addLayout(exportRow);
    } else {
        layout->addWidget(m_exportButton, 0, Qt::AlignLeft);
    }
    connect(loadButton, &QPushButton::clicked, this, &ResultsPage::load);
    connect(m_exportButton, &QPushButton::clicked, this, &ResultsPage::exportRequested);
    return group;
}

void ResultsPage::buildChart() {
    m_drawButton = makeButton("VYKRESLIT GRAF", named("btnDraw", m_spec.name), this, true);
    m_chart = new LineChartView(this);
    m_chart->setObjectName(named("chart", m_spec.name));
    m_chart->setChartTitle(kChartTitle);
    m_chart->setAxisTitles(kStepAxisTitle, m_spec.verticalTitle);
    m_chart->viewport()->setCursor(Qt::CrossCursor);
    m_chart->setMinimumSize(400, 250);
    for (const ResultSeries& series : m_spec.series)
        if (series.legend != nullptr)
            m_legends.push_back(
                makeLegend(series.legend, series.colour, series.legendName, m_chart));
    m_chart->installEventFilter(this);
    m_savePictureButton =
        makeButton("Uložení grafu do JPG", named("btnSave", m_spec.name, "Picture"), this, false);
    m_closeButton = makeButton("Zavřít okno", named("btnClose", m_spec.name), this, true);
    m_hours = new QCheckBox("čas v hodinách", this);
    m_hours->setObjectName(named("chkHours", m_spec.name));
    m_summary = new SummaryPanel(this);
    m_summary->setObjectName(named("panelSummary", m_spec.name));

    connect(m_drawButton, &QPushButton::clicked, this, &ResultsPage::draw);
    connect(m_hours, &QCheckBox::toggled, this, &ResultsPage::render);
    connect(m_savePictureButton, &QPushButton::clicked, this, &ResultsPage::pictureRequested);
    connect(m_closeButton, &QPushButton::clicked, this, &ResultsPage::closeRequested);
}

QLayout* ResultsPage::buildChartColumn() {
    auto* drawRow = new QHBoxLayout;
    drawRow->addWidget(m_drawButton);
    drawRow->addSpacing(12);
    drawRow->addWidget(m_hours);
    drawRow->addStretch(1);
    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(m_savePictureButton);
    bottomRow->addStretch(1);
    bottomRow->addWidget(m_closeButton);
    auto* column = new QVBoxLayout;
    column->addLayout(drawRow);
    column->addWidget(m_summary);
    column->addWidget(m_chart, 1);
    column->addLayout(bottomRow);

    for (QWidget* widget :
         {static_cast<QWidget*>(m_chart), static_cast<QWidget*>(m_drawButton),
          static_cast<QWidget*>(m_savePictureButton), static_cast<QWidget*>(m_exportButton),
          static_cast<QWidget*>(m_hours), static_cast<QWidget*>(m_summary)}) {
        keepPlaceWhenHidden(widget);
        widget->hide();
    }
    return column;
}

void ResultsPage::load() {
    showResultContext();
    for (QWidget* widget :
         {static_cast<QWidget*>(m_drawButton), static_cast<QWidget*>(m_savePictureButton),
          static_cast<QWidget*>(m_exportButton), static_cast<QWidget*>(m_chart)})
        widget->show();
    emit loaded();
    for (std::size_t i = 0; i < m_grids.size(); ++i) {
        const std::string error = loadSeries(m_spec.series[i], m_grids[i]);
        m_models[i]->reload();
        if (!error.empty()) {
            MessageService::instance().error(this, QString::fromStdString(error));
            return;
        }
    }
}

std::string ResultsPage::loadSeries(const ResultSeries& series, Grid& grid) {
    const auto setHeader = [&] {
        grid.setCell(0, 0, "i");
        grid.setCell(1, 0, series.header);
    };
    if (series.resultFile == nullptr) {
        // The inflow the core routes (IN_FLOOD_WAVE), not the source file the
        // form loads, which may hold another wave.
        setHeader();
        const exchange::SavedInputs saved =
            exchange::readSavedInputs(exchange::exchangeDir(m_root));
        if (!saved.inflow) return kSavedFloodWaveUnreadable;
        setDataRows(grid, savedFloodWaveRows(saved));
        return {};
    }
    const ResultLoad load =
        readResultColumns(exchange::outResultDir(m_root) / series.resultFile, grid);
    if (load.opened) setHeader();
    return load.error;
}

// The run summary and the age of the results, and the time step that the
// switch to hours uses.
void ResultsPage::showResultContext() {
    const std::filesystem::path results = exchange::outResultDir(m_root);
    const exchange::SummaryRead summary =
        exchange::readRunSummary(results / exchange::summary::kFileName);
    m_summary->showSummary(
        summary, exchange::resultAge(results / m_spec.summaryOf, exchange::exchangeDir(m_root)));
    m_summary->show();
    // The summary names the step the run used; IN_TIME_STEP_min may have been
    // changed since.
    m_timeStepMin = summary.summary ? summary.summary->timeStepMin : std::nullopt;
    if (!m_timeStepMin)
        if (const auto saved =
                exchange::readSavedInputs(exchange::exchangeDir(m_root)).timeStepMinutes)
            m_timeStepMin = saved->value;
    if (m_timeStepMin && !(*m_timeStepMin > 0.0)) m_timeStepMin.reset();
    m_hours->setEnabled(m_timeStepMin.has_value());
    m_hours->setToolTip(
        m_timeStepMin
            ? QString("Časový krok %1 min").arg(*m_timeStepMin)
            : QString("Časový krok výpočtu nelze přečíst (%1).").arg(exchange::kTimeStep));
    if (!m_timeStepMin) m_hours->setChecked(false);
    m_hours->show();
}

std::optional<double> ResultsPage::shownTimeStep() const {
    return m_hours->isChecked() ? m_timeStepMin : std::nullopt;
}

void ResultsPage::draw() {
    for (QLabel* legend : m_legends)
        legend->show();
    placeLegend();
    m_drawn.emplace();
    for (const Grid& grid : m_grids)
        m_drawn->push_back(resultPoints(grid, std::nullopt));
    render();
}

void ResultsPage::render() {
    const std::optional<double> step = shownTimeStep();
    m_chart->setAxisTitles(step ? kHoursAxisTitle : kStepAxisTitle, m_spec.verticalTitle);
    if (!m_drawn) return;
    m_chart->removeAllLines();
    for (std::size_t i = 0; i < m_drawn->size(); ++i)
        m_chart->appendPoints(m_chart->addLine(m_spec.series[i].colour),
                              shownPoints((*m_drawn)[i], step));
    if (m_spec.marksLevels)
        markLevels(shownPoints(m_drawn->front(), step), m_drawn->front(), step.has_value());
}

// The reservoir's levels across the line, and the first of its highest
// points, as the run summary names it.
void ResultsPage::markLevels(const std::vector<ChartPoint>& shown,
                             const std::vector<ChartPoint>& atSteps, bool inHours) {
    if (shown.empty()) return;
    drawReservoirLevels(
        *m_chart,
        exchange::reservoirLevels(exchange::readSavedInputs(exchange::exchangeDir(m_root))),
        shown.front().x, shown.back().x);
    const auto highest =
        std::max_element(shown.begin(), shown.end(),
                         [](const ChartPoint& a, const ChartPoint& b) { return a.y < b.y; });
    const long row = std::lround(atSteps[static_cast<std::size_t>(highest - shown.begin())].x);
    const auto shownNumber = [](double value, int decimals) {
        return QString::fromStdString(displayNumber(value, decimals));
    };
    m_chart->markPoint(
        QPointF(highest->x, highest->y), m_spec.series.front().colour,
        inHours ? QString("max. %1 m v čase %2 h")
                      .arg(shownNumber(highest->y, 3), shownNumber(highest->x, 2))
                : QString("max. %1 m v kroku %2").arg(shownNumber(highest->y, 3)).arg(row));
}

SheetRows ResultsPage::table() const {
    std::vector<const Grid*> grids;
    for (const Grid& grid : m_grids)
        grids.push_back(&grid);
    return resultTable(grids, shownTimeStep());
}

// The legend labels sit inside the chart near its top right corner.
void ResultsPage::placeLegend() {
    if (m_legends.empty()) return;
    int width = 0;
    for (const QLabel* legend : m_legends)
        width = std::max(width, legend->width());
    int top = 40;
    for (QLabel* legend : m_legends) {
        legend->move(m_chart->width() - 40 - width, top);
        legend->raise();
        top += legend->height() + 2;
    }
}

bool ResultsPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_chart && event->type() == QEvent::Resize) placeLegend();
    return QWidget::eventFilter(watched, event);
}

} // namespace gui
