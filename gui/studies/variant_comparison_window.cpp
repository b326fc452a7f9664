// "Porovnání variant": the kept variants side by side.
#include "gui/studies/variant_comparison_window.h"

#include "desk/typed_number.h"
#include "exchange/exchange_paths.h"
#include "gui/calculation/stop_signal_watch.h"
#include "gui/calculation/study_core_run.h"
#include "gui/charts/line_chart_view.h"
#include "gui/charts/reservoir_levels.h"
#include "gui/help/help.h"
#include "gui/widgets/form_widgets.h"
#include "gui/widgets/message_service.h"
#include "project_files/result_files.h"
#include "study/recompute.h"
#include "study/variant_store.h"

#include <QBrush>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QListWidget>
#include <QPen>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace gui {

namespace {

// Distinct colours for up to eight variants; red is the inflow's, and red,
// orange and green the reservoir's levels.
const std::array<QColor, VariantComparisonWindow::kMaxCompared> kColours = {
    QColor(0, 0, 255),   QColor(150, 0, 200), QColor(0, 160, 170),  QColor(220, 0, 170),
    QColor(140, 80, 20), QColor(70, 70, 70),  QColor(80, 160, 255), QColor(190, 160, 0)};

const QColor kBestBackground(200, 240, 200);

QString czech(double value, int decimals) {
    return QString::fromStdString(desk::displayNumber(value, decimals));
}

// Each step at its hours from the start, as the results window draws it.
std::vector<desk::ChartPoint> inHours(const std::vector<double>& values, double stepMinutes) {
    std::vector<desk::ChartPoint> points;
    for (std::size_t i = 0; i < values.size(); ++i)
        points.push_back({project_files::stepHours(i + 1, stepMinutes), values[i]});
    return points;
}

} // namespace

VariantComparisonWindow::VariantComparisonWindow(const std::filesystem::path& root, QWidget* parent)
    : QDialog(parent), m_root(root), m_workbookDir(gui::toQString(exchange::exchangeDir(root))),
      m_chooseFile(gui::saveFileDialog()), m_openWorkbook(gui::desktopWorkbookOpener()),
      m_run(std::make_unique<gui::StudyCoreRun>()) {
    setObjectName("VariantComparisonWindow");
    gui::installHelp(this, "porovnani_variant");
    setWindowTitle("Porovnání variant");

    // The list and the two charts above, the table across the whole width below.
    QLayout* list = buildVariantList();
    buildCharts();
    buildTable();
    auto* top = new QHBoxLayout;
    top->addLayout(list, 0);
    top->addWidget(m_flowChart, 1);
    top->addWidget(m_levelChart, 1);
    m_noteLabel = new QLabel(this);
    m_noteLabel->setObjectName("lblNotes");
    m_noteLabel->setWordWrap(true);
    m_noteLabel->setStyleSheet("color: #a04000;");
    m_noteLabel->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 5);
    layout->addWidget(m_noteLabel);
    layout->addWidget(m_figureTable, 3);
    layout->addLayout(buildBottomRow());

    connect(m_run.get(), &gui::StudyCoreRun::finished, this,
            &VariantComparisonWindow::recomputeFinished);
    resize(1250, 820);
    refreshList();
}

QLayout* VariantComparisonWindow::buildVariantList() {
    auto* listLabel = new QLabel("Uložené varianty (porovnat lze nejvýše 8):", this);
    m_variantList = new QListWidget(this);
    m_variantList->setObjectName("listVariants");
    m_recomputeButton = gui::makeButton("Přepočítat", "btnRecompute", this, false);
    m_recomputeButton->setToolTip("Přepočítá vybranou variantu z jejích vlastních vstupů a "
                                  "porovná výsledky s uloženými.");
    m_deleteButton = gui::makeButton("Smazat", "btnDelete", this, false);
    m_statusLabel = new QLabel(this);
    m_statusLabel->setObjectName("lblStatus");
    m_statusLabel->setWordWrap(true);
    m_variantList->setFixedWidth(230);
    listLabel->setWordWrap(true);
    listLabel->setMaximumWidth(230);
    m_statusLabel->setMaximumWidth(230);
    connect(m_variantList, &QListWidget::itemChanged, this, &VariantComparisonWindow::itemChanged);
    connect(m_recomputeButton, &QPushButton::clicked, this,
            &VariantComparisonWindow::recomputeCurrent);
    connect(m_deleteButton, &QPushButton::clicked, this, &VariantComparisonWindow::deleteCurrent);

    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(m_recomputeButton);
    listButtons->addWidget(m_deleteButton);
    auto* column = new QVBoxLayout;
    column->addWidget(listLabel);
    column->addWidget(m_variantList, 1);
    column->addLayout(listButtons);
    column->addWidget(m_statusLabel);
    return column;
}

void VariantComparisonWindow::buildCharts() {
    m_flowChart = new gui::LineChartView(this);
    m_flowChart->setObjectName("chartFlows");
    m_flowChart->setChartTitle("ODTOK Z NÁDRŽE");
    m_flowChart->setAxisTitles("čas t [h]", "Průtok [m3/s]");
    m_flowChart->setLegendVisible(true);
    m_levelChart = new gui::LineChartView(this);
    m_levelChart->setObjectName("chartLevels");
    m_levelChart->setChartTitle("HLADINA V NÁDRŽI");
    m_levelChart->setAxisTitles("čas t [h]", "Výška vody v nádrži [m]");
    // The levels are labelled on the chart, the variants' colours named by the
    // flow chart's legend and the table.
    m_levelChart->setLegendVisible(false);
    m_flowChart->chart()->legend()->setAlignment(Qt::AlignBottom);
}

void VariantComparisonWindow::buildTable() {
    m_figureTable = new QTableWidget(this);
    m_figureTable->setObjectName("tableFigures");
    m_figureTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_figureTable->verticalHeader()->hide();
    QStringList headers{"Varianta", "Nastavení"};
    // Two-line headers keep the figures' columns narrow.
    for (const study::ComparisonColumn& column : study::comparisonColumns()) {
        const QString header = QString::fromUtf8(column.header);
        headers << header.section(' ', 0, 0) + '\n' + header.section(' ', 1);
    }
    m_figureTable->setColumnCount(static_cast<int>(headers.size()));
    m_figureTable->setHorizontalHeaderLabels(headers);
    m_figureTable->horizontalHeader()->setStretchLastSection(true);
    m_figureTable->setColumnWidth(1, 400);
    m_figureTable->setWordWrap(true);
}

QLayout* VariantComparisonWindow::buildBottomRow() {
    auto* bestNote = new QLabel("Zvýrazněna je nejlepší hodnota sloupce, liší-li se varianty: "
                                "nejmenší kulminace odtoku a hladina, největší transformace, "
                                "zpoždění a rezerva, chyba bilance nejblíže nule.",
                                this);
    bestNote->setWordWrap(true);
    m_exportButton = gui::makeButton("Export do excelu", "btnExport", this, false);
    QPushButton* close = gui::makeButton("Zavřít okno", "btnClose", this, true);
    connect(m_exportButton, &QPushButton::clicked, this, &VariantComparisonWindow::exportTable);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* row = new QHBoxLayout;
    row->addWidget(bestNote, 1);
    row->addWidget(m_exportButton);
    row->addWidget(close);
    return row;
}

VariantComparisonWindow::~VariantComparisonWindow() = default;

void VariantComparisonWindow::refreshList() {
    QStringList ticked;
    for (int i = 0; i < m_variantList->count(); ++i)
        if (m_variantList->item(i)->checkState() == Qt::Checked)
            ticked << m_variantList->item(i)->text();
    const QSignalBlocker blocker(m_variantList);
    m_variantList->clear();
    for (const std::string& name : study::listVariants(m_root)) {
        auto* item = new QListWidgetItem(QString::fromStdString(name), m_variantList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(ticked.contains(item->text()) ? Qt::Checked : Qt::Unchecked);
    }
    if (m_variantList->count() > 0) m_variantList->setCurrentRow(0);
    const bool any = m_variantList->count() > 0;
    m_recomputeButton->setEnabled(any);
    m_deleteButton->setEnabled(any);
    if (!any)
        m_statusLabel->setText("Zatím není uložena žádná varianta: po výpočtu ji uložte volbou "
                               "Varianty → Uložit výsledek jako variantu.");
    showCompared();
}

void VariantComparisonWindow::itemChanged(QListWidgetItem* item) {
    if (item->checkState() == Qt::Checked) {
        int count = 0;
        for (int i = 0; i < m_variantList->count(); ++i)
            count += m_variantList->item(i)->checkState() == Qt::Checked ? 1 : 0;
        if (count > kMaxCompared) {
            const QSignalBlocker blocker(m_variantList);
            item->setCheckState(Qt::Unchecked);
            gui::MessageService::instance().warning(
                this, QString("Porovnat lze nejvýše %1 variant najednou.").arg(kMaxCompared));
            return;
        }
    }
    showCompared();
}

void VariantComparisonWindow::showCompared() {
    m_compared.clear();
    for (int i = 0; i < m_variantList->count(); ++i)
        if (m_variantList->item(i)->checkState() == Qt::Checked)
            m_compared.push_back(
                study::loadVariant(m_root, m_variantList->item(i)->text().toStdString()));
    m_rows = study::compareVariants(m_compared);
    drawCharts();
    fillTable();
    QStringList notes;
    for (const std::string& note : study::comparisonNotes(m_compared))
        notes << QString::fromStdString(note);
    m_noteLabel->setText(notes.join('\n'));
    m_noteLabel->setVisible(!notes.isEmpty());
}

void VariantComparisonWindow::drawCharts() {
    m_flowChart->removeAllLines();
    m_levelChart->removeAllLines();
    double endHours = 0.0;
    bool sameInflow = true;
    const study::Variant* first = nullptr;
    // A variant without complete results has no lines (see its note).
    for (const study::Variant& v : m_compared) {
        if (!v.complete) continue;
        const double step = v.timeStepMinutes.value_or(60.0);
        endHours = std::max(endHours, project_files::stepHours(v.inflow.size(), step));
        if (!first) first = &v;
        sameInflow =
            sameInflow && v.inflow == first->inflow && v.timeStepMinutes == first->timeStepMinutes;
    }
    // One inflow when all share it, else each variant's own, dashed in its colour.
    for (std::size_t i = 0; i < m_compared.size(); ++i) {
        const study::Variant& v = m_compared[i];
        if (!v.complete) continue;
        const double step = v.timeStepMinutes.value_or(60.0);
        if (&v == first || !sameInflow) {
            QLineSeries* inflow =
                m_flowChart->addLine(sameInflow ? QColor(255, 0, 0) : kColours[i]);
            QPen pen = inflow->pen();
            pen.setStyle(Qt::DashLine);
            inflow->setPen(pen);
            inflow->setName(sameInflow ? "Přítok" : "Přítok – " + QString::fromStdString(v.name));
            m_flowChart->appendPoints(inflow, inHours(v.inflow, step));
        }
    }
    for (std::size_t i = 0; i < m_compared.size(); ++i) {
        const study::Variant& v = m_compared[i];
        if (!v.complete) continue;
        const double step = v.timeStepMinutes.value_or(60.0);
        QLineSeries* outflow = m_flowChart->addLine(kColours[i]);
        outflow->setName(QString::fromStdString(v.name));
        m_flowChart->appendPoints(outflow, inHours(v.outflow, step));
        QLineSeries* level = m_levelChart->addLine(kColours[i]);
        level->setName(QString::fromStdString(v.name));
        m_levelChart->appendPoints(level, inHours(v.levels, step));
    }
    // The reservoir's levels, once for the dam the first variant describes.
    if (first) gui::drawReservoirLevels(*m_levelChart, first->reservoirLevels, 0.0, endHours);
}

void VariantComparisonWindow::fillTable() {
    const auto& columns = study::comparisonColumns();
    m_figureTable->setRowCount(static_cast<int>(m_rows.size()));
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r) {
        const study::ComparisonRow& row = m_rows[static_cast<std::size_t>(r)];
        auto* name = new QTableWidgetItem(QString::fromStdString(row.name));
        name->setForeground(kColours[static_cast<std::size_t>(r)]);
        QFont bold = name->font();
        bold.setBold(true);
        name->setFont(bold);
        m_figureTable->setItem(r, 0, name);
        auto* settings = new QTableWidgetItem(QString::fromStdString(row.settings));
        settings->setToolTip(settings->text());
        m_figureTable->setItem(r, 1, settings);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            auto* cell = new QTableWidgetItem(
                row.values[c] ? czech(*row.values[c], columns[c].decimals) : QString("–"));
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (row.best[c]) {
                cell->setBackground(kBestBackground);
                cell->setFont(bold);
                cell->setToolTip("nejlepší hodnota sloupce");
            }
            m_figureTable->setItem(r, static_cast<int>(c) + 2, cell);
        }
    }
    m_figureTable->resizeColumnToContents(0);
    for (int c = 2; c < m_figureTable->columnCount(); ++c)
        m_figureTable->resizeColumnToContents(c);
    m_figureTable->resizeRowsToContents();
    m_exportButton->setEnabled(!m_rows.empty());
}

void VariantComparisonWindow::deleteCurrent() {
    QListWidgetItem* item = m_variantList->currentItem();
    if (!item || m_job) return;
    const QString name = item->text();
    if (!gui::MessageService::instance().question(this, "Smazat variantu „" + name + "“?")) return;
    try {
        study::deleteVariant(m_root, name.toStdString());
        // What the status said of the variant goes with it.
        if (name == m_jobName) m_statusLabel->clear();
    } catch (const study::StudyError& e) {
        gui::MessageService::instance().error(this, QString::fromUtf8(e.what()));
    }
    refreshList();
}

void VariantComparisonWindow::recomputeCurrent() {
    QListWidgetItem* item = m_variantList->currentItem();
    if (!item || m_job) return;
    m_jobName = item->text();
    try {
        m_job = std::make_unique<study::RecomputeJob>(m_root, m_jobName.toStdString());
    } catch (const study::StudyError& e) {
        gui::MessageService::instance().error(this, QString::fromUtf8(e.what()));
        return;
    }
    setBusy(true);
    m_statusLabel->setText("Přepočítávám variantu „" + m_jobName + "“…");
    // A stop signal to the front end ends the core first, so that its
    // temporary root is removed.
    m_stopWatch = std::make_unique<gui::StopSignalWatch>();
    connect(m_stopWatch.get(), &gui::StopSignalWatch::stopAsked, m_run.get(),
            &gui::StudyCoreRun::stop, Qt::QueuedConnection);
    m_run->start(m_job->root());
}

void VariantComparisonWindow::recomputeFinished() {
    if (!m_job) return;
    const study::RecomputeResult result = m_job->finish(m_run->result());
    m_job.reset();
    setBusy(false);
    const QString report = "Varianta „" + m_jobName + "“: " + QString::fromStdString(result.text());
    m_statusLabel->setText(report);
    // The root is gone: a stop signal noted takes effect now, before any question.
    m_stopWatch.reset();
    auto& messages = gui::MessageService::instance();
    if (result.outcome.end == study::RunEnd::Normal && result.differing.empty())
        messages.information(this, report);
    else
        messages.warning(this, report);
    emit recomputed(report);
}

void VariantComparisonWindow::setBusy(bool busy) {
    m_variantList->setEnabled(!busy);
    m_recomputeButton->setEnabled(!busy);
    m_deleteButton->setEnabled(!busy);
}

void VariantComparisonWindow::exportTable() {
    if (m_rows.empty()) return;
    const auto& columns = study::comparisonColumns();
    gui::SheetRows sheet(m_rows.size() + 1);
    sheet[0].emplace_back(std::string("Varianta"));
    sheet[0].emplace_back(std::string("Nastavení"));
    for (const study::ComparisonColumn& column : columns)
        sheet[0].emplace_back(std::string(column.header));
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        std::vector<gui::SheetCell>& cells = sheet[r + 1];
        cells.emplace_back(m_rows[r].name);
        cells.emplace_back(m_rows[r].settings);
        // Figures as numbers; a figure the summary lacks stays an empty cell.
        for (const std::optional<double>& value : m_rows[r].values) {
            if (value)
                cells.emplace_back(*value);
            else
                cells.emplace_back();
        }
    }
    const QString chosen = gui::exportTableToWorkbook(
        this, sheet, kSheetName,
        gui::datedFileName(m_workbookDir, "porovnani_variant", m_root, gui::kWorkbook.suffix),
        m_chooseFile, m_openWorkbook);
    if (!chosen.isEmpty()) m_workbookDir = QFileInfo(chosen).absolutePath();
}

} // namespace gui
