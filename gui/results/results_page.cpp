// One page of the results window.
#include "gui/results/results_page.h"

#include "desk/typed_number.h"
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/result_set.h"
#include "exchange/run_summary.h"
#include "gui/charts/line_chart_view.h"
#include "gui/charts/reservoir_levels.h"
#include "gui/grid/grid_view.h"
#include "gui/results/series_table_model.h"
#include "gui/results/step_range_bar.h"
#include "gui/results/summary_panel.h"
#include "gui/widgets/form_widgets.h"
#include "project_files/result_inputs.h"
#include "project_files/run_summary_reader.h"
#include "project_files/saved_inputs.h"

#include <QCheckBox>
#include <QEvent>
#include <QFutureWatcher>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>

namespace gui {

namespace {

const QString kStepAxisTitle = "časový krok i [-]";
const QString kHoursAxisTitle = "čas t [h]";
// A load that takes longer than this shows its progress.
constexpr int kProgressDelayMs = 300;
// A step of the summary is shown with this many steps on each side, a tenth
// of the series but at least 10 and at most 100.
constexpr std::size_t kStepViewMinHalf = 10, kStepViewMaxHalf = 100;

/// Widens every column whose header or widest value would be cut at the usual width.
void fitColumns(QTableView& view, const SeriesTableModel& model) {
    const QFontMetrics cells(view.font());
    const QFontMetrics header(view.horizontalHeader()->font());
    for (int column = 0; column < model.columnCount(); ++column) {
        const QString widest = model.widestText(column);
        const int needed =
            std::max(header.horizontalAdvance(widest), cells.horizontalAdvance(widest));
        view.setColumnWidth(column, std::max(ResultsPage::kColumnWidthPx, needed + 12));
    }
}

QTableView* makeGridView(SeriesTableModel& model, const char* name, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    setupGridView(*view, model, ResultsPage::kColumnWidthPx, ResultsPage::kRowHeightPx);
    view->setFixedWidth(169);
    QObject::connect(&model, &QAbstractItemModel::modelReset, view,
                     [view, &model] { fitColumns(*view, model); });
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

QString named(const char* prefix, const char* name, const char* suffix = "") {
    return QString(prefix) + name + suffix;
}

} // namespace

ResultsPage::ResultsPage(ResultsPageDescription description, QWidget* parent)
    : QWidget(parent), m_description(std::move(description)) {
    setObjectName(named("page", m_description.name));
    m_reading = new QFutureWatcher<SeriesRead>(this);
    connect(m_reading, &QFutureWatcher<SeriesRead>::finished, this, &ResultsPage::finishLoading);
    m_progressDelay = new QTimer(this);
    m_progressDelay->setSingleShot(true);
    m_progressDelay->setInterval(kProgressDelayMs);
    auto* columns = new QHBoxLayout(this);
    columns->addWidget(buildGridGroup());
    buildChart();
    columns->addLayout(buildChartColumn(), 1);
    connect(m_progressDelay, &QTimer::timeout, m_progress, &QWidget::show);
}

ResultsPage::~ResultsPage() = default;

QWidget* ResultsPage::buildGridGroup() {
    auto* group = new QGroupBox(this);
    group->setFixedWidth(m_description.groupWidthPx);
    m_loadButton =
        makeButton(m_description.loadText, named("btnLoad", m_description.name), group, true);
    m_progress = makeBusyIndicator("Načítají se výsledky…",
                                   named("progressLoad", m_description.name), group);
    auto* grids = new QHBoxLayout;
    for (const ResultSeries& series : m_description.series) {
        m_models.push_back(new SeriesTableModel(this));
        m_grids.push_back(makeGridView(*m_models.back(), series.gridName, group));
        grids->addWidget(m_grids.back());
    }
    grids->addStretch(1);
    m_exportButton =
        makeButton("Export do excelu", named("btnExport", m_description.name), group, false);

    auto* layout = new QVBoxLayout(group);
    layout->addWidget(m_loadButton);
    layout->addWidget(m_progress);
    layout->addLayout(grids, 1);
    if (m_description.exportAtRight) {
        auto* exportRow = new QHBoxLayout;
        exportRow->addStretch(1);
        exportRow->addWidget(m_exportButton);
        layout->addLayout(exportRow);
    } else {
        layout->addWidget(m_exportButton, 0, Qt::AlignLeft);
    }
    connect(m_loadButton, &QPushButton::clicked, this, &ResultsPage::load);
    connect(m_exportButton, &QPushButton::clicked, this, &ResultsPage::exportRequested);
    return group;
}

void ResultsPage::buildChart() {
    m_drawButton = makeButton("VYKRESLIT GRAF", named("btnDraw", m_description.name), this, true);
    m_chart = new LineChartView(this);
    m_chart->setObjectName(named("chart", m_description.name));
    m_chart->setChartTitle(m_description.chartTitle);
    m_chart->setAxisTitles(kStepAxisTitle, m_description.verticalTitle);
    m_chart->viewport()->setCursor(Qt::CrossCursor);
    m_chart->setMinimumSize(400, 250);
    for (const ResultSeries& series : m_description.series)
        if (series.legend != nullptr)
            m_legends.push_back(
                makeLegend(series.legend, series.colour, series.legendName, m_chart));
    m_chart->installEventFilter(this);
    m_savePictureButton = makeButton("Uložení grafu do JPG",
                                     named("btnSave", m_description.name, "Picture"), this, false);
    m_closeButton = makeButton("Zavřít okno", named("btnClose", m_description.name), this, true);
    m_hours = new QCheckBox("čas v hodinách", this);
    m_hours->setObjectName(named("chkHours", m_description.name));
    m_stepRange = new StepRangeBar(m_description.name, this);
    m_summary = new SummaryPanel(this);
    m_summary->setObjectName(named("panelSummary", m_description.name));
    m_chartNotice = new QLabel(this);
    m_chartNotice->setObjectName(named("lblChartNotice", m_description.name));
    m_chartNotice->setWordWrap(true);
    m_chartNotice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_chartNotice->setStyleSheet("QLabel { color: rgb(190, 0, 0); font-weight: bold; }");
    m_chartArea = new QStackedWidget(this);
    m_chartArea->addWidget(m_chartNotice);
    m_chartArea->addWidget(m_chart);

    connect(m_drawButton, &QPushButton::clicked, this, &ResultsPage::draw);
    connect(m_hours, &QCheckBox::toggled, this, &ResultsPage::render);
    connect(m_stepRange, &StepRangeBar::rangeChosen, this, &ResultsPage::zoomToSteps);
    connect(m_stepRange, &StepRangeBar::wholeChosen, m_chart, &LineChartView::showAll);
    connect(m_chart, &LineChartView::horizontalRangeChanged, this, &ResultsPage::followRange);
    connect(m_summary, &SummaryPanel::stepActivated, this, &ResultsPage::showStep);
    connect(m_savePictureButton, &QPushButton::clicked, this, &ResultsPage::pictureRequested);
    connect(m_closeButton, &QPushButton::clicked, this, &ResultsPage::closeRequested);
}

QLayout* ResultsPage::buildChartColumn() {
    auto* drawRow = new QHBoxLayout;
    drawRow->addWidget(m_drawButton);
    drawRow->addSpacing(12);
    drawRow->addWidget(m_hours);
    drawRow->addStretch(1);
    drawRow->addWidget(m_stepRange);
    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(m_savePictureButton);
    bottomRow->addStretch(1);
    bottomRow->addWidget(m_closeButton);
    auto* column = new QVBoxLayout;
    column->addLayout(drawRow);
    column->addWidget(m_summary);
    column->addWidget(m_chartArea, 1);
    column->addLayout(bottomRow);

    for (QWidget* widget : resultWidgets()) {
        keepPlaceWhenHidden(widget);
        widget->hide();
    }
    return column;
}

QList<QWidget*> ResultsPage::resultWidgets() const {
    return {m_drawButton, m_savePictureButton, m_exportButton, m_hours, m_summary, m_stepRange};
}

const std::vector<double>& ResultsPage::values(std::size_t series) const {
    static const std::vector<double> none;
    return series < m_series.size() ? *m_series[series] : none;
}

void ResultsPage::load() {
    if (m_loading) return;
    emit loaded();
    std::vector<std::string> names;
    for (const ResultSeries& series : m_description.series)
        names.emplace_back(series.resultFile);
    m_loading = true;
    m_loadButton->setEnabled(false);
    m_reading->setFuture(QtConcurrent::run(readResultSet, m_root, names));
    m_progressDelay->start();
}

void ResultsPage::finishLoading() {
    m_loading = false;
    m_progressDelay->stop();
    m_progress->hide();
    m_loadButton->setEnabled(true);
    // Taken, not copied: a copy of a million steps would hold up the window.
    SeriesRead read = m_reading->future().takeResult();
    if (read.error.empty())
        showSeries(std::move(read.series));
    else
        showNoResults(QString::fromStdString(read.error));
    emit loadFinished();
}

// Nothing of another set stays on the page: no half a set, no summary of
// files that do not belong to it.
void ResultsPage::showNoResults(const QString& reason) {
    m_series.clear();
    for (SeriesTableModel* model : m_models)
        model->setSeries(nullptr, {});
    for (QWidget* widget : resultWidgets())
        widget->hide();
    showChartNotice(reason);
}

void ResultsPage::showChartNotice(const QString& notice) {
    m_chartNotice->setText(notice);
    m_chartArea->setCurrentWidget(m_chartNotice);
}

void ResultsPage::showSeries(std::vector<std::vector<double>> series) {
    m_series.clear();
    for (std::size_t i = 0; i < series.size(); ++i) {
        m_series.push_back(std::make_shared<const std::vector<double>>(std::move(series[i])));
        m_models[i]->setSeries(m_series.back(), m_description.series[i].header);
    }
    showResultContext();
    for (QWidget* widget : resultWidgets())
        widget->show();
    if (!m_outdated) {
        draw();
        return;
    }
    showChartNotice("Graf není vykreslen: výsledky jsou starší než vstupy uložené po výpočtu "
                    "(viz souhrn výše). Spusťte výpočet znovu (nabídka Výpočet), nebo graf "
                    "přesto vykreslete tlačítkem VYKRESLIT GRAF.");
    m_drawn.clear();
    m_stepRange->setStepCount(m_series.front()->size());
    m_stepRange->setEnabled(false);
    m_savePictureButton->setEnabled(false); // no chart to save until drawn
}

// The run summary and the age of the results, and the time step that the
// switch to hours uses.
void ResultsPage::showResultContext() {
    const std::filesystem::path results = exchange::outResultDir(m_root);
    const project_files::SummaryRead summary =
        project_files::readRunSummary(results / exchange::summary::kFileName);
    m_recorded = project_files::readResultInputs(m_root);
    const project_files::ResultAge age =
        project_files::resultAgainstInputs(m_root, results / m_description.summaryOf, m_recorded);
    m_outdated = !age.newerInput.empty();
    m_summary->showSummary(summary, age);
    // The summary names the step the run used; IN_TIME_STEP_min may have been
    // changed since, so only the set's record of its inputs stands in for it.
    m_timeStepMin = summary.summary ? summary.summary->timeStepMin : std::nullopt;
    if (!m_timeStepMin)
        if (const auto saved = m_recorded.inputs.timeStepMinutes) m_timeStepMin = saved->value;
    if (m_timeStepMin && !(*m_timeStepMin > 0.0)) m_timeStepMin.reset();
    m_hours->setEnabled(m_timeStepMin.has_value());
    m_hours->setToolTip(
        m_timeStepMin
            ? QString("Časový krok %1 min")
                  .arg(QString::fromStdString(desk::czechNumber(*m_timeStepMin)))
            : QString("Časový krok výpočtu nelze přečíst (%1).").arg(exchange::kTimeStep));
    if (!m_timeStepMin) m_hours->setChecked(false);
}

std::optional<double> ResultsPage::shownTimeStep() const {
    return m_hours->isChecked() ? m_timeStepMin : std::nullopt;
}

void ResultsPage::draw() {
    if (m_series.empty()) return;
    m_chartArea->setCurrentWidget(m_chart);
    m_savePictureButton->setEnabled(true);
    for (QLabel* legend : m_legends)
        legend->show();
    placeLegend();
    m_drawn = m_series;
    m_stepRange->setStepCount(m_drawn.front()->size());
    m_stepRange->setEnabled(true);
    m_chart->removeAllLines(); // the whole of the new lines in view
    render();
}

// Over steps or hours; a zoomed view keeps its steps across the switch.
void ResultsPage::render() {
    const std::optional<double> step = shownTimeStep();
    m_chart->setAxisTitles(step ? kHoursAxisTitle : kStepAxisTitle, m_description.verticalTitle);
    if (m_drawn.empty()) return;
    const QValueAxis* x = m_chart->horizontalAxis();
    const StepScale before = scale();
    const auto from =
        static_cast<std::size_t>(std::max(1.0, std::ceil(before.step(x->min()) - 1e-9)));
    const auto to =
        static_cast<std::size_t>(std::max(1.0, std::floor(before.step(x->max()) + 1e-9)));
    const bool zoomed = !m_chart->lines().isEmpty() && (from > 1 || to < m_drawn.front()->size());
    m_drawnTimeStep = step;
    m_chart->removeAllLines();
    for (std::size_t i = 0; i < m_drawn.size(); ++i)
        m_chart->setStepValues(m_chart->addLine(m_description.series[i].colour), m_drawn[i],
                               scale());
    if (m_description.marksLevels) markLevels();
    if (zoomed) zoomToSteps(from, to);
}

StepScale ResultsPage::scale() const {
    return stepScale(m_drawnTimeStep);
}

void ResultsPage::zoomToSteps(std::size_t from, std::size_t to) {
    if (m_drawn.empty() || m_drawn.front()->empty()) return;
    const std::size_t last = m_drawn.front()->size();
    from = std::clamp<std::size_t>(from, 1, last);
    to = std::clamp<std::size_t>(to, from, last);
    if (from == to) { // one step: with its neighbours
        from = std::max<std::size_t>(from - 1, 1);
        to = std::min(to + 1, last);
    }
    m_chart->showRangeX(scale().x(static_cast<double>(from)), scale().x(static_cast<double>(to)));
}

void ResultsPage::showStep(std::size_t step) {
    if (m_series.empty()) return;
    if (m_drawn.empty()) draw();
    const std::size_t steps = m_drawn.front()->size();
    const std::size_t half = std::clamp(steps / 10, kStepViewMinHalf, kStepViewMaxHalf);
    zoomToSteps(step > half ? step - half : 1, step + half);
    for (std::size_t i = 0; i < m_grids.size(); ++i) {
        const QModelIndex cell = m_models[i]->index(static_cast<int>(step) - 1, 1);
        if (!cell.isValid()) continue;
        m_grids[i]->setCurrentIndex(cell);
        m_grids[i]->scrollTo(cell, QAbstractItemView::PositionAtCenter);
    }
}

// The fields show the steps in view, however the chart was zoomed.
void ResultsPage::followRange(double minX, double maxX) {
    if (m_drawn.empty()) return;
    const double last = std::max(static_cast<double>(m_drawn.front()->size()), 1.0);
    const double from = std::clamp(std::ceil(scale().step(minX) - 1e-9), 1.0, last);
    const double to = std::clamp(std::floor(scale().step(maxX) + 1e-9), from, last);
    m_stepRange->showRange(static_cast<std::size_t>(from), static_cast<std::size_t>(to));
}

// The reservoir's levels across the line, and the first of its highest
// points, as the run summary names it.
void ResultsPage::markLevels() {
    const std::vector<double>& levels = *m_drawn.front();
    if (levels.empty()) return;
    const StepScale steps = scale();
    drawReservoirLevels(*m_chart, project_files::reservoirLevels(m_recorded.inputs), steps.x(1.0),
                        steps.x(static_cast<double>(levels.size())));
    const std::size_t highest =
        static_cast<std::size_t>(std::max_element(levels.begin(), levels.end()) - levels.begin());
    const double x = steps.x(static_cast<double>(highest + 1)), y = levels[highest];
    const auto shown = [](double value, int decimals) {
        return QString::fromStdString(desk::displayNumber(value, decimals));
    };
    m_chart->markPoint(QPointF(x, y), m_description.series.front().colour,
                       m_drawnTimeStep
                           ? QString("max. %1 m v čase %2 h").arg(shown(y, 3), shown(x, 2))
                           : QString("max. %1 m v kroku %2").arg(shown(y, 3)).arg(highest + 1));
}

SheetRows ResultsPage::table() const {
    std::vector<TableColumn> columns;
    for (std::size_t i = 0; i < m_series.size(); ++i)
        columns.push_back({m_description.series[i].header, m_series[i].get()});
    return resultTable(columns, shownTimeStep());
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
