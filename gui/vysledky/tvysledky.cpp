// The results window.
#include "gui/vysledky/tvysledky.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/io/file_io.h"
#include "exchange/io/saved_inputs.h"
#include "exchange/run_summary.h"
#include "gui/charts/line_chart_view.h"
#include "gui/charts/reservoir_levels.h"
#include "gui/common/grid_points.h"
#include "gui/common/input_files.h"
#include "gui/common/result_columns.h"
#include "gui/common/result_series.h"
#include "gui/common/spreadsheet_export.h"
#include "gui/dialogs/form_widgets.h"
#include "gui/dialogs/message_service.h"
#include "gui/grid/grid_model.h"
#include "gui/grid/grid_view.h"
#include "gui/vysledky/summary_panel.h"

#include <QBuffer>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

const QString kChartTitle = "TRANSFORMACE POVODŇOVÉ VLNY";
const QString kStepAxisTitle = "časový krok i [-]";
const QString kHoursAxisTitle = "čas t [h]";
const QString kFlowAxisTitle = "Průtok [m3/s]";
const QString kLevelAxisTitle = "Výška vody v nádrži [m]";
const QColor kInflowColour(255, 0, 0);
const QColor kOutflowColour(0, 0, 255);
const QColor kLevelColour(0, 0, 0);

// Said when there is no routed inflow to show.
constexpr const char* kSavedFloodWaveUnreadable =
    "Povodňovou vlnu, se kterou jádro počítá, nelze načíst: soubory IN_FLOOD_WAVE a "
    "IN_NUMBER_OF_POINT_FW chybí nebo neobsahují platná čísla (Vstupy → Povodňová vlna).";

QFont boldFont(QFont font) {
    font.setBold(true);
    return font;
}

QString shownCell(const QString& text) {
    return QString::fromStdString(gui::shownValue(text.toStdString()));
}

class ValueCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!gui::GridModel::isFixed(index)) option->text = shownCell(option->text);
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
        view.setColumnWidth(column, std::max(Tvysledky::kColumnWidthPx, needed + 12));
    }
}

QTableView* makeGridView(gui::GridModel& model, const char* name, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setObjectName(name);
    gui::setupGridView(*view, model, Tvysledky::kColumnWidthPx, Tvysledky::kRowHeightPx);
    view->setItemDelegate(new ValueCellDelegate(view));
    view->setFixedWidth(169);
    QObject::connect(&model, &QAbstractItemModel::modelReset, view, [view] { fitColumns(*view); });
    return view;
}

/// The points at x = step i shown at their step, or at their hour.
std::vector<gui::ChartPoint> shownPoints(const std::vector<gui::ChartPoint>& points,
                                         std::optional<double> timeStepMin) {
    std::vector<gui::ChartPoint> shown = points;
    for (gui::ChartPoint& point : shown)
        point.x = gui::rowTime(static_cast<int>(std::lround(point.x)), timeStepMin);
    return shown;
}

gui::LineChartView* makeChart(const QString& verticalTitle, const char* name, QWidget* parent) {
    auto* chart = new gui::LineChartView(parent);
    chart->setObjectName(name);
    chart->setChartTitle(kChartTitle);
    chart->setAxisTitles(kStepAxisTitle, verticalTitle);
    chart->viewport()->setCursor(Qt::CrossCursor);
    chart->setMinimumSize(400, 250);
    return chart;
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

QString toQString(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

QString askPictureFile(QWidget* parent, const QString& suggested) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter("JPEG Image File (*.jpeg)");
    dialog.setDefaultSuffix("jpeg");
    // The picture replaces a file of the same name without a question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QFileInfo info(suggested);
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

Tvysledky::Tvysledky(QWidget* parent)
    : QDialog(parent), m_inflow(2, kInitialRows), m_outflow(kResultColumns, kInitialRows),
      m_level(kResultColumns, kInitialRows), m_programDir(QCoreApplication::applicationDirPath()),
      m_choosePictureFile(askPictureFile), m_openWorkbook(gui::desktopWorkbookOpener()) {
    setObjectName("vysledky");
    setWindowTitle("vysledky");
    setRoot(exchange::installationRoot());

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName("PageControl1");
    m_tabs->tabBar()->setFont(boldFont(m_tabs->tabBar()->font()));
    m_tabs->addTab(buildFlowPage(), "PRUTOK");
    m_tabs->addTab(buildLevelPage(), "VÝŠKA VODY V NÁDRŽI");
    m_tabs->setCurrentIndex(0);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_tabs);
    resize(1237, 648); // about 1253 x 687 with the window frame
}

// The models read the grids, which are destroyed before the widget base hides
// the views: the models go first.
Tvysledky::~Tvysledky() {
    delete m_inflowModel;
    delete m_outflowModel;
    delete m_levelModel;
}

void Tvysledky::setRoot(const std::filesystem::path& root) {
    m_root = root;
    m_pictureFileName = toQString(exchange::outPicturesDir(root) / ".jpeg");
}

QWidget* Tvysledky::buildFlowPage() {
    auto* page = new QWidget;
    auto* group = new QGroupBox(page);
    group->setFixedWidth(369);

    auto* loadButton = gui::makeButton("NAČÍST VÝSLEDKY TRANSFORMACE", "btnLoadFlow", group, true);
    m_inflowModel = new gui::GridModel(m_inflow, this);
    m_outflowModel = new gui::GridModel(m_outflow, this);
    auto* inflowView = makeGridView(*m_inflowModel, "gridInflow", group);
    auto* outflowView = makeGridView(*m_outflowModel, "gridOutflow", group);
    m_exportFlowButton = gui::makeButton("Export do excelu", "btnExportFlow", group, false);

    auto* grids = new QHBoxLayout;
    grids->addWidget(inflowView);
    grids->addWidget(outflowView);
    grids->addStretch(1);
    auto* exportRow = new QHBoxLayout;
    exportRow->addStretch(1);
    exportRow->addWidget(m_exportFlowButton);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(loadButton);
    groupLayout->addLayout(grids, 1);
    groupLayout->addLayout(exportRow);

    m_drawFlowButton = gui::makeButton("VYKRESLIT GRAF", "btnDrawFlow", page, true);
    m_flowChart = makeChart(kFlowAxisTitle, "chartFlow", page);
    m_inflowLegend = makeLegend("Povodňová vlna", kInflowColour, "lblInflowLegend", m_flowChart);
    m_outflowLegend =
        makeLegend("Transformovaná povodeň", kOutflowColour, "lblOutflowLegend", m_flowChart);
    m_flowChart->installEventFilter(this);
    m_saveFlowButton = gui::makeButton("Uložení grafu do JPG", "btnSaveFlowPicture", page, false);
    auto* closeButton = gui::makeButton("Zavřít okno", "btnCloseFlow", page, true);

    m_flowHours = new QCheckBox("čas v hodinách", page);
    m_flowHours->setObjectName("chkHoursFlow");
    m_flowSummary = new gui::SummaryPanel(page);
    m_flowSummary->setObjectName("panelSummaryFlow");
    auto* drawRow = new QHBoxLayout;
    drawRow->addWidget(m_drawFlowButton);
    drawRow->addSpacing(12);
    drawRow->addWidget(m_flowHours);
    drawRow->addStretch(1);
    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(m_saveFlowButton);
    bottomRow->addStretch(1);
    bottomRow->addWidget(closeButton);
    auto* right = new QVBoxLayout;
    right->addLayout(drawRow);
    right->addWidget(m_flowSummary);
    right->addWidget(m_flowChart, 1);
    right->addLayout(bottomRow);

    auto* columns = new QHBoxLayout(page);
    columns->addWidget(group);
    columns->addLayout(right, 1);

    for (QWidget* widget :
         {static_cast<QWidget*>(m_flowChart), static_cast<QWidget*>(m_drawFlowButton),
          static_cast<QWidget*>(m_saveFlowButton), static_cast<QWidget*>(m_exportFlowButton),
          static_cast<QWidget*>(m_flowHours), static_cast<QWidget*>(m_flowSummary)}) {
        gui::keepPlaceWhenHidden(widget);
        widget->hide();
    }

    connect(loadButton, &QPushButton::clicked, this, &Tvysledky::loadFlow);
    connect(m_drawFlowButton, &QPushButton::clicked, this, &Tvysledky::drawFlow);
    connect(m_flowHours, &QCheckBox::toggled, this, &Tvysledky::renderFlow);
    connect(m_saveFlowButton, &QPushButton::clicked, this, &Tvysledky::saveFlowPicture);
    connect(m_exportFlowButton, &QPushButton::clicked, this, &Tvysledky::exportOutflow);
    connect(closeButton, &QPushButton::clicked, this, &Tvysledky::closeWindow);
    return page;
}

QWidget* Tvysledky::buildLevelPage() {
    auto* page = new QWidget;
    auto* group = new QGroupBox(page);
    group->setFixedWidth(233);

    auto* loadButton = gui::makeButton("NAČÍST VÝŠKY VODY", "btnLoadLevel", group, true);
    m_levelModel = new gui::GridModel(m_level, this);
    auto* levelView = makeGridView(*m_levelModel, "gridLevel", group);
    m_exportLevelButton = gui::makeButton("Export do excelu", "btnExportLevel", group, false);

    auto* gridRow = new QHBoxLayout;
    gridRow->addWidget(levelView);
    gridRow->addStretch(1);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(loadButton);
    groupLayout->addLayout(gridRow, 1);
    groupLayout->addWidget(m_exportLevelButton, 0, Qt::AlignLeft);

    m_drawLevelButton = gui::makeButton("VYKRESLIT GRAF", "btnDrawLevel", page, true);
    m_levelChart = makeChart(kLevelAxisTitle, "chartLevel", page);
    m_saveLevelButton = gui::makeButton("Uložení grafu do JPG", "btnSaveLevelPicture", page, false);
    auto* closeButton = gui::makeButton("Zavřít okno", "btnCloseLevel", page, true);

    m_levelHours = new QCheckBox("čas v hodinách", page);
    m_levelHours->setObjectName("chkHoursLevel");
    m_levelSummary = new gui::SummaryPanel(page);
    m_levelSummary->setObjectName("panelSummaryLevel");
    auto* drawRow = new QHBoxLayout;
    drawRow->addWidget(m_drawLevelButton);
    drawRow->addSpacing(12);
    drawRow->addWidget(m_levelHours);
    drawRow->addStretch(1);
    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(m_saveLevelButton);
    bottomRow->addStretch(1);
    bottomRow->addWidget(closeButton);
    auto* right = new QVBoxLayout;
    right->addLayout(drawRow);
    right->addWidget(m_levelSummary);
    right->addWidget(m_levelChart, 1);
    right->addLayout(bottomRow);

    auto* columns = new QHBoxLayout(page);
    columns->addWidget(group);
    columns->addLayout(right, 1);

    for (QWidget* widget :
         {static_cast<QWidget*>(m_levelChart), static_cast<QWidget*>(m_drawLevelButton),
          static_cast<QWidget*>(m_saveLevelButton), static_cast<QWidget*>(m_exportLevelButton),
          static_cast<QWidget*>(m_levelHours), static_cast<QWidget*>(m_levelSummary)}) {
        gui::keepPlaceWhenHidden(widget);
        widget->hide();
    }

    connect(loadButton, &QPushButton::clicked, this, &Tvysledky::loadLevel);
    connect(m_drawLevelButton, &QPushButton::clicked, this, &Tvysledky::drawLevel);
    connect(m_levelHours, &QCheckBox::toggled, this, &Tvysledky::renderLevel);
    connect(m_saveLevelButton, &QPushButton::clicked, this, &Tvysledky::saveLevelPicture);
    connect(m_exportLevelButton, &QPushButton::clicked, this, &Tvysledky::exportLevel);
    connect(closeButton, &QPushButton::clicked, this, &Tvysledky::closeWindow);
    return page;
}

bool Tvysledky::showLoad(const std::string& error) {
    if (error.empty()) return true;
    gui::MessageService::instance().error(this, QString::fromStdString(error));
    return false;
}

void Tvysledky::loadFlow() {
    showResultContext(m_flowSummary, m_flowHours, exchange::kOutflowSeries);
    for (QWidget* widget :
         {static_cast<QWidget*>(m_drawFlowButton), static_cast<QWidget*>(m_saveFlowButton),
          static_cast<QWidget*>(m_exportFlowButton), static_cast<QWidget*>(m_flowChart)})
        widget->show();

    m_inflow.setCell(0, 0, "i");
    m_inflow.setCell(1, 0, "PV [m3/s]");
    // The inflow the core routed, not the source it was once loaded from.
    const exchange::SavedInputs saved = exchange::readSavedInputs(exchange::exchangeDir(m_root));
    if (saved.inflow) gui::setDataRows(m_inflow, gui::savedFloodWaveRows(saved));
    m_inflowModel->reload();
    if (!showLoad(saved.inflow ? "" : kSavedFloodWaveUnreadable)) return;

    const gui::ResultLoad outflow = gui::readResultColumns(
        exchange::outResultDir(m_root) / exchange::kOutflowSeries, m_outflow);
    if (outflow.opened) {
        m_outflow.setCell(0, 0, "i");
        m_outflow.setCell(1, 0, "TP [m3/s]");
    }
    m_outflowModel->reload();
    showLoad(outflow.error);
}

void Tvysledky::loadLevel() {
    showResultContext(m_levelSummary, m_levelHours, exchange::kLevelSeries);
    for (QWidget* widget :
         {static_cast<QWidget*>(m_levelChart), static_cast<QWidget*>(m_exportLevelButton),
          static_cast<QWidget*>(m_drawLevelButton), static_cast<QWidget*>(m_saveLevelButton)})
        widget->show();

    const gui::ResultLoad level =
        gui::readResultColumns(exchange::outResultDir(m_root) / exchange::kLevelSeries, m_level);
    if (level.opened) {
        m_level.setCell(0, 0, "i");
        m_level.setCell(1, 0, "h [m]");
    }
    m_levelModel->reload();
    showLoad(level.error);
}

// The run summary and the age of the results beside `resultFile`, and the
// time step that the switch to hours uses.
void Tvysledky::showResultContext(gui::SummaryPanel* panel, QCheckBox* hours,
                                  const char* resultFile) {
    const exchange::SummaryRead summary =
        exchange::readRunSummary(exchange::outResultDir(m_root) / exchange::summary::kFileName);
    panel->showSummary(summary, exchange::resultAge(exchange::outResultDir(m_root) / resultFile,
                                                    exchange::exchangeDir(m_root)));
    panel->show();
    // The summary names the step the run used; IN_TIME_STEP_min may have been
    // changed since.
    m_timeStepMin = summary.summary ? summary.summary->timeStepMin : std::nullopt;
    if (!m_timeStepMin)
        if (const auto saved =
                exchange::readSavedInputs(exchange::exchangeDir(m_root)).timeStepMinutes)
            m_timeStepMin = saved->value;
    if (m_timeStepMin && !(*m_timeStepMin > 0.0)) m_timeStepMin.reset();
    hours->setEnabled(m_timeStepMin.has_value());
    hours->setToolTip(
        m_timeStepMin
            ? QString("Časový krok %1 min").arg(*m_timeStepMin)
            : QString("Časový krok výpočtu nelze přečíst (%1).").arg(exchange::kTimeStep));
    if (!m_timeStepMin) hours->setChecked(false);
    hours->show();
}

std::optional<double> Tvysledky::shownTimeStep(const QCheckBox* hours) const {
    return hours->isChecked() ? m_timeStepMin : std::nullopt;
}

void Tvysledky::drawFlow() {
    m_inflowLegend->show();
    m_outflowLegend->show();
    placeLegend();
    m_drawnInflow = gui::resultPoints(m_inflow, std::nullopt);
    m_drawnOutflow = gui::resultPoints(m_outflow, std::nullopt);
    renderFlow();
}

void Tvysledky::renderFlow() {
    const std::optional<double> step = shownTimeStep(m_flowHours);
    m_flowChart->setAxisTitles(step ? kHoursAxisTitle : kStepAxisTitle, kFlowAxisTitle);
    if (!m_drawnInflow || !m_drawnOutflow) return;
    m_flowChart->removeAllLines();
    m_flowChart->appendPoints(m_flowChart->addLine(kInflowColour),
                              shownPoints(*m_drawnInflow, step));
    m_flowChart->appendPoints(m_flowChart->addLine(kOutflowColour),
                              shownPoints(*m_drawnOutflow, step));
}

void Tvysledky::drawLevel() {
    m_drawnLevel = gui::resultPoints(m_level, std::nullopt);
    renderLevel();
}

void Tvysledky::renderLevel() {
    const std::optional<double> step = shownTimeStep(m_levelHours);
    m_levelChart->setAxisTitles(step ? kHoursAxisTitle : kStepAxisTitle, kLevelAxisTitle);
    if (!m_drawnLevel) return;
    m_levelChart->removeAllLines();
    const std::vector<gui::ChartPoint> points = shownPoints(*m_drawnLevel, step);
    m_levelChart->appendPoints(m_levelChart->addLine(kLevelColour), points);
    if (points.empty()) return;
    gui::drawReservoirLevels(
        *m_levelChart,
        exchange::reservoirLevels(exchange::readSavedInputs(exchange::exchangeDir(m_root))),
        points.front().x, points.back().x);
    // The first of the highest points, as the run summary names it.
    const auto highest = std::max_element(
        points.begin(), points.end(),
        [](const gui::ChartPoint& a, const gui::ChartPoint& b) { return a.y < b.y; });
    const long row =
        std::lround((*m_drawnLevel)[static_cast<std::size_t>(highest - points.begin())].x);
    m_levelChart->markPoint(
        QPointF(highest->x, highest->y), kLevelColour,
        step
            ? QString("max. %1 m v čase %2 h").arg(highest->y, 0, 'f', 3).arg(highest->x, 0, 'f', 2)
            : QString("max. %1 m v kroku %2").arg(highest->y, 0, 'f', 3).arg(row));
}

void Tvysledky::saveFlowPicture() {
    savePicture(m_flowChart);
}

void Tvysledky::saveLevelPicture() {
    savePicture(m_levelChart);
}

void Tvysledky::savePicture(gui::LineChartView* chart) {
    const QString fileName = m_choosePictureFile(this, m_pictureFileName);
    if (fileName.isEmpty()) return;
    m_pictureFileName = fileName;

    QImage picture(chart->size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    // The widget as a whole, not only the chart's scene, so that the legend
    // labels lying over the flow chart are in the picture too.
    static_cast<QWidget*>(chart)->render(&painter);
    painter.end();

    // Encoded in memory first, so that the file is touched only with a
    // complete picture and its error is the file system's own.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(95); // thin coloured lines suffer at lower qualities
    if (!writer.write(picture)) {
        gui::MessageService::instance().error(this, "Obrázek nelze převést do formátu JPEG: " +
                                                        writer.errorString());
        return;
    }
    const exchange::FileResult written = exchange::writeBytes(
        gui::toPath(fileName),
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!written)
        gui::MessageService::instance().error(this, QString::fromStdString(written.error));
}

void Tvysledky::exportOutflow() {
    gui::exportTableToSpreadsheet(
        this, gui::resultTable({&m_inflow, &m_outflow}, shownTimeStep(m_flowHours)), kSheetName,
        toQString(gui::toPath(m_programDir) / "transformovana_povoden.xlsx"), true, m_openWorkbook);
}

void Tvysledky::exportLevel() {
    gui::exportTableToSpreadsheet(
        this, gui::resultTable({&m_level}, shownTimeStep(m_levelHours)), kSheetName,
        toQString(gui::toPath(m_programDir) / "vyska_vody.xlsx"), true, m_openWorkbook);
}

void Tvysledky::closeWindow() {
    if (gui::MessageService::instance().question(this, "Opravdu odejít?")) accept();
}

// The legend labels sit inside the flow chart near its top right corner.
void Tvysledky::placeLegend() {
    const int right = m_flowChart->width() - 40;
    const int width = std::max(m_inflowLegend->width(), m_outflowLegend->width());
    m_inflowLegend->move(right - width, 40);
    m_outflowLegend->move(right - width, 40 + m_inflowLegend->height() + 2);
    m_inflowLegend->raise();
    m_outflowLegend->raise();
}

bool Tvysledky::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_flowChart && event->type() == QEvent::Resize) placeLegend();
    return QDialog::eventFilter(watched, event);
}

void Tvysledky::showEvent(QShowEvent* event) {
    if (!m_centred) {
        m_centred = true;
        gui::centreOnScreen(*this);
    }
    QDialog::showEvent(event);
}
