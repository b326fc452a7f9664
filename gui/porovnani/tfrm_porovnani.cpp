// "Porovnání variant": the kept variants side by side.
#include "gui/porovnani/tfrm_porovnani.h"

#include "gui/charts/line_chart_view.h"
#include "gui/charts/reservoir_levels.h"
#include "gui/dialogs/form_widgets.h"
#include "gui/dialogs/message_service.h"
#include "gui/varianty/study_core_run.h"
#include "study/recompute.h"
#include "study/variant_store.h"

#include <QBrush>
#include <QCoreApplication>
#include <QDir>
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

namespace {

// Distinct colours for up to eight variants; red is the inflow's, and red,
// orange and green the reservoir's levels.
const std::array<QColor, TFRM_porovnani::kMaxCompared> kColours = {
    QColor(0, 0, 255),   QColor(150, 0, 200), QColor(0, 160, 170),  QColor(220, 0, 170),
    QColor(140, 80, 20), QColor(70, 70, 70),  QColor(80, 160, 255), QColor(190, 160, 0)};

const QColor kBestBackground(200, 240, 200);

QString czech(double value, int decimals) {
    return QString::number(value, 'f', decimals).replace('.', ',');
}

// Points at the end of each step, in hours from the start.
std::vector<gui::ChartPoint> inHours(const std::vector<double>& values, double stepMinutes) {
    std::vector<gui::ChartPoint> points;
    for (std::size_t i = 0; i < values.size(); ++i)
        points.push_back({static_cast<double>(i + 1) * stepMinutes / 60.0, values[i]});
    return points;
}

} // namespace

TFRM_porovnani::TFRM_porovnani(const std::filesystem::path& root, QWidget* parent)
    : QDialog(parent), m_root(root), m_programDir(QCoreApplication::applicationDirPath()),
      m_openWorkbook(gui::desktopWorkbookOpener()), m_run(std::make_unique<gui::StudyCoreRun>()) {
    setObjectName("TFRM_porovnani");
    setWindowTitle("Porovnání variant");

    auto* listLabel = new QLabel("Uložené varianty (porovnat lze nejvýše 8):", this);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    Button1 = gui::makeButton("Přepočítat", "Button1", this, false);
    Button1->setToolTip("Přepočítá vybranou variantu z jejích vlastních vstupů a porovná "
                        "výsledky s uloženými.");
    Button2 = gui::makeButton("Smazat", "Button2", this, false);
    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
    Label2->setWordWrap(true);
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(Button1);
    listButtons->addWidget(Button2);
    auto* left = new QVBoxLayout;
    left->addWidget(listLabel);
    left->addWidget(ListBox1, 1);
    left->addLayout(listButtons);
    left->addWidget(Label2);

    Chart1 = new gui::LineChartView(this);
    Chart1->setObjectName("Chart1");
    Chart1->setChartTitle("ODTOK Z NÁDRŽE");
    Chart1->setAxisTitles("čas t [h]", "Průtok [m3/s]");
    Chart1->setLegendVisible(true);
    Chart2 = new gui::LineChartView(this);
    Chart2->setObjectName("Chart2");
    Chart2->setChartTitle("HLADINA V NÁDRŽI");
    Chart2->setAxisTitles("čas t [h]", "Výška vody v nádrži [m]");
    // The levels are labelled on the chart, the variants' colours named by the
    // flow chart's legend and the table.
    Chart2->setLegendVisible(false);
    Chart1->chart()->legend()->setAlignment(Qt::AlignBottom);

    Table1 = new QTableWidget(this);
    Table1->setObjectName("Table1");
    Table1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table1->verticalHeader()->hide();
    QStringList headers{"Varianta", "Nastavení"};
    // Two-line headers keep the figures' columns narrow.
    for (const study::ComparisonColumn& column : study::comparisonColumns()) {
        const QString header = QString::fromUtf8(column.header);
        headers << header.section(' ', 0, 0) + '\n' + header.section(' ', 1);
    }
    Table1->setColumnCount(static_cast<int>(headers.size()));
    Table1->setHorizontalHeaderLabels(headers);
    Table1->horizontalHeader()->setStretchLastSection(true);
    Table1->setColumnWidth(1, 400);
    Table1->setWordWrap(true);
    auto* bestNote = new QLabel("Zvýrazněna je nejlepší hodnota sloupce, liší-li se varianty: "
                                "nejmenší kulminace odtoku a hladina, největší transformace, "
                                "zpoždění a rezerva, chyba bilance nejblíže nule.",
                                this);
    bestNote->setWordWrap(true);

    Button3 = gui::makeButton("Export do excelu", "Button3", this, false);
    Button4 = gui::makeButton("Zavřít okno", "Button4", this, true);
    auto* bottomButtons = new QHBoxLayout;
    bottomButtons->addWidget(bestNote, 1);
    bottomButtons->addWidget(Button3);
    bottomButtons->addWidget(Button4);

    // The list and the two charts above, the table across the whole width below.
    auto* top = new QHBoxLayout;
    top->addLayout(left, 0);
    top->addWidget(Chart1, 1);
    top->addWidget(Chart2, 1);
    ListBox1->setFixedWidth(230);
    listLabel->setWordWrap(true);
    listLabel->setMaximumWidth(230);
    Label2->setMaximumWidth(230);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 5);
    layout->addWidget(Table1, 3);
    layout->addLayout(bottomButtons);

    connect(ListBox1, &QListWidget::itemChanged, this, &TFRM_porovnani::itemChanged);
    connect(Button1, &QPushButton::clicked, this, &TFRM_porovnani::recomputeCurrent);
    connect(Button2, &QPushButton::clicked, this, &TFRM_porovnani::deleteCurrent);
    connect(Button3, &QPushButton::clicked, this, &TFRM_porovnani::exportTable);
    connect(Button4, &QPushButton::clicked, this, &QDialog::close);
    connect(m_run.get(), &gui::StudyCoreRun::finished, this, &TFRM_porovnani::recomputeFinished);

    resize(1250, 820);
    refreshList();
}

TFRM_porovnani::~TFRM_porovnani() = default;

void TFRM_porovnani::refreshList() {
    QStringList ticked;
    for (int i = 0; i < ListBox1->count(); ++i)
        if (ListBox1->item(i)->checkState() == Qt::Checked) ticked << ListBox1->item(i)->text();
    const QSignalBlocker blocker(ListBox1);
    ListBox1->clear();
    for (const std::string& name : study::listVariants(m_root)) {
        auto* item = new QListWidgetItem(QString::fromStdString(name), ListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(ticked.contains(item->text()) ? Qt::Checked : Qt::Unchecked);
    }
    if (ListBox1->count() > 0) ListBox1->setCurrentRow(0);
    const bool any = ListBox1->count() > 0;
    Button1->setEnabled(any);
    Button2->setEnabled(any);
    if (!any)
        Label2->setText("Zatím není uložena žádná varianta: po výpočtu ji uložte volbou "
                        "Varianty → Uložit výsledek jako variantu.");
    showCompared();
}

void TFRM_porovnani::itemChanged(QListWidgetItem* item) {
    if (item->checkState() == Qt::Checked) {
        int count = 0;
        for (int i = 0; i < ListBox1->count(); ++i)
            count += ListBox1->item(i)->checkState() == Qt::Checked ? 1 : 0;
        if (count > kMaxCompared) {
            const QSignalBlocker blocker(ListBox1);
            item->setCheckState(Qt::Unchecked);
            gui::MessageService::instance().warning(
                this, QString("Porovnat lze nejvýše %1 variant najednou.").arg(kMaxCompared));
            return;
        }
    }
    showCompared();
}

void TFRM_porovnani::showCompared() {
    m_compared.clear();
    for (int i = 0; i < ListBox1->count(); ++i)
        if (ListBox1->item(i)->checkState() == Qt::Checked)
            m_compared.push_back(
                study::loadVariant(m_root, ListBox1->item(i)->text().toStdString()));
    m_rows = study::compareVariants(m_compared);
    drawCharts();
    fillTable();
}

void TFRM_porovnani::drawCharts() {
    Chart1->removeAllLines();
    Chart2->removeAllLines();
    double endHours = 0.0;
    const std::vector<double>* sharedInflow = nullptr;
    bool sameInflow = true;
    for (const study::Variant& v : m_compared) {
        const double step = v.timeStepMinutes.value_or(60.0);
        endHours = std::max(endHours, static_cast<double>(v.inflow.size()) * step / 60.0);
        if (!sharedInflow) sharedInflow = &v.inflow;
        sameInflow = sameInflow && v.inflow == *sharedInflow &&
                     v.timeStepMinutes == m_compared.front().timeStepMinutes;
    }
    // One inflow when all share it, else each variant's own, dashed in its colour.
    for (std::size_t i = 0; i < m_compared.size(); ++i) {
        const study::Variant& v = m_compared[i];
        const double step = v.timeStepMinutes.value_or(60.0);
        if (i == 0 || !sameInflow) {
            QLineSeries* inflow = Chart1->addLine(sameInflow ? QColor(255, 0, 0) : kColours[i]);
            QPen pen = inflow->pen();
            pen.setStyle(Qt::DashLine);
            inflow->setPen(pen);
            inflow->setName(sameInflow ? "Přítok" : "Přítok – " + QString::fromStdString(v.name));
            Chart1->appendPoints(inflow, inHours(v.inflow, step));
        }
    }
    for (std::size_t i = 0; i < m_compared.size(); ++i) {
        const study::Variant& v = m_compared[i];
        const double step = v.timeStepMinutes.value_or(60.0);
        QLineSeries* outflow = Chart1->addLine(kColours[i]);
        outflow->setName(QString::fromStdString(v.name));
        Chart1->appendPoints(outflow, inHours(v.outflow, step));
        QLineSeries* level = Chart2->addLine(kColours[i]);
        level->setName(QString::fromStdString(v.name));
        Chart2->appendPoints(level, inHours(v.levels, step));
    }
    // The reservoir's levels, once for the dam the first variant describes.
    if (!m_compared.empty())
        gui::drawReservoirLevels(*Chart2, m_compared.front().reservoirLevels, 0.0, endHours);
}

void TFRM_porovnani::fillTable() {
    const auto& columns = study::comparisonColumns();
    Table1->setRowCount(static_cast<int>(m_rows.size()));
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r) {
        const study::ComparisonRow& row = m_rows[static_cast<std::size_t>(r)];
        auto* name = new QTableWidgetItem(QString::fromStdString(row.name));
        name->setForeground(kColours[static_cast<std::size_t>(r)]);
        QFont bold = name->font();
        bold.setBold(true);
        name->setFont(bold);
        Table1->setItem(r, 0, name);
        auto* settings = new QTableWidgetItem(QString::fromStdString(row.settings));
        settings->setToolTip(settings->text());
        Table1->setItem(r, 1, settings);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            auto* cell = new QTableWidgetItem(
                row.values[c] ? czech(*row.values[c], columns[c].decimals) : QString("–"));
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (row.best[c]) {
                cell->setBackground(kBestBackground);
                cell->setFont(bold);
                cell->setToolTip("nejlepší hodnota sloupce");
            }
            Table1->setItem(r, static_cast<int>(c) + 2, cell);
        }
    }
    Table1->resizeColumnToContents(0);
    for (int c = 2; c < Table1->columnCount(); ++c)
        Table1->resizeColumnToContents(c);
    Table1->resizeRowsToContents();
    Button3->setEnabled(!m_rows.empty());
}

void TFRM_porovnani::deleteCurrent() {
    QListWidgetItem* item = ListBox1->currentItem();
    if (!item || m_job) return;
    const QString name = item->text();
    if (!gui::MessageService::instance().question(this, "Smazat variantu „" + name + "“?")) return;
    try {
        study::deleteVariant(m_root, name.toStdString());
    } catch (const study::StudyError& e) {
        gui::MessageService::instance().error(this, QString::fromUtf8(e.what()));
    }
    refreshList();
}

void TFRM_porovnani::recomputeCurrent() {
    QListWidgetItem* item = ListBox1->currentItem();
    if (!item || m_job) return;
    m_jobName = item->text();
    try {
        m_job = std::make_unique<study::RecomputeJob>(m_root, m_jobName.toStdString());
    } catch (const study::StudyError& e) {
        gui::MessageService::instance().error(this, QString::fromUtf8(e.what()));
        return;
    }
    setBusy(true);
    Label2->setText("Přepočítávám variantu „" + m_jobName + "“…");
    m_run->start(m_job->root());
}

void TFRM_porovnani::recomputeFinished() {
    if (!m_job) return;
    const study::RecomputeResult result = m_job->finish(m_run->result());
    m_job.reset();
    setBusy(false);
    const QString report = "Varianta „" + m_jobName + "“: " + QString::fromStdString(result.text());
    Label2->setText(report);
    auto& messages = gui::MessageService::instance();
    if (result.outcome.end == study::RunEnd::Normal && result.differing.empty())
        messages.information(this, report);
    else
        messages.warning(this, report);
    emit recomputed(report);
}

void TFRM_porovnani::setBusy(bool busy) {
    ListBox1->setEnabled(!busy);
    Button1->setEnabled(!busy);
    Button2->setEnabled(!busy);
}

void TFRM_porovnani::exportTable() {
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
    gui::exportTableToSpreadsheet(this, sheet, kSheetName,
                                  QDir(m_programDir).filePath(kWorkbookName), true, m_openWorkbook);
}
