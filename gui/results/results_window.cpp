// The results window.
#include "gui/results/results_window.h"

#include "desk/open_project.h"
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "gui/charts/line_chart_view.h"
#include "gui/charts/result_chart_titles.h"
#include "gui/help/help.h"
#include "gui/results/results_page.h"
#include "gui/widgets/form_widgets.h"
#include "gui/widgets/message_service.h"
#include "project_files/file_io.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace gui {

namespace {

const gui::ResultsPageDescription kFlowPage = {
    .name = "Flow",
    .loadText = "NAČÍST VÝSLEDKY TRANSFORMACE",
    .chartTitle = gui::kFlowChartTitle,
    .verticalTitle = "Průtok [m3/s]",
    .groupWidthPx = 369,
    .exportAtRight = true,
    .summaryOf = exchange::kOutflowSeries,
    .fileWhat = "prutok",
    .sheetName = "Průtok",
    .marksLevels = false,
    // The inflow the set was routed from, whatever IN_FLOOD_WAVE holds since.
    .series = {{"gridInflow", "PV [m3/s]", exchange::kInflowSeries, QColor(255, 0, 0),
                "Povodňová vlna", "lblInflowLegend"},
               {"gridOutflow", "TP [m3/s]", exchange::kOutflowSeries, QColor(0, 0, 255),
                "Transformovaná povodeň", "lblOutflowLegend"}}};

const gui::ResultsPageDescription kLevelPage = {
    .name = "Level",
    .loadText = "NAČÍST VÝŠKY VODY",
    .chartTitle = gui::kLevelChartTitle,
    .verticalTitle = "Výška vody v nádrži [m]",
    .groupWidthPx = 233,
    .exportAtRight = false,
    .summaryOf = exchange::kLevelSeries,
    .fileWhat = "hladina",
    .sheetName = "Hladina",
    .marksLevels = true,
    .series = {{"gridLevel", "h [m]", exchange::kLevelSeries, QColor(0, 0, 0), nullptr, nullptr}}};

} // namespace

ResultsWindow::ResultsWindow(QWidget* parent)
    : QDialog(parent), m_workbookDir(gui::toQString(desk::projectInputsDir())),
      m_chooseFile(gui::saveFileDialog()), m_openWorkbook(gui::desktopWorkbookOpener()) {
    setObjectName("ResultsWindow");
    gui::installHelp(this, "vysledky");
    setWindowTitle("Výsledky");

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName("tabResults");
    QFont bold = m_tabs->tabBar()->font();
    bold.setBold(true);
    m_tabs->tabBar()->setFont(bold);
    m_flowPage = new gui::ResultsPage(kFlowPage);
    m_levelPage = new gui::ResultsPage(kLevelPage);
    connectPage(m_flowPage);
    connectPage(m_levelPage);
    m_tabs->addTab(m_flowPage, "PRŮTOK");
    m_tabs->addTab(m_levelPage, "VÝŠKA VODY V NÁDRŽI");
    m_tabs->setCurrentIndex(0);
    setRoot(desk::projectRoot());

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_tabs);
    resize(1237, 648); // about 1253 x 687 with the window frame
}

void ResultsWindow::connectPage(gui::ResultsPage* page) {
    connect(page, &gui::ResultsPage::loaded, this, [this, page] { m_loadedLast = page; });
    connect(page, &gui::ResultsPage::pictureRequested, this, [this, page] { savePicture(*page); });
    connect(page, &gui::ResultsPage::exportRequested, this, [this, page] { exportTable(*page); });
    connect(page, &gui::ResultsPage::closeRequested, this, &ResultsWindow::closeWindow);
}

void ResultsWindow::setRoot(const std::filesystem::path& root) {
    m_root = root;
    m_flowPage->setRoot(root);
    m_levelPage->setRoot(root);
    m_pictureDir = gui::toQString(exchange::outPicturesDir(root));
}

gui::ResultsPage* ResultsWindow::page(const QString& name) const {
    return name == kLevelPage.name ? m_levelPage : m_flowPage;
}

QString ResultsWindow::suggestedPicture(const QString& name) const {
    return gui::datedFileName(m_pictureDir, page(name)->description().fileWhat, m_root,
                              gui::kJpegPicture.suffix);
}

QString ResultsWindow::suggestedWorkbook(const QString& name) const {
    return gui::datedFileName(m_workbookDir, page(name)->description().fileWhat, m_root,
                              gui::kWorkbook.suffix);
}

const std::vector<double>& ResultsWindow::inflow() const {
    return m_flowPage->values(0);
}

const std::vector<double>& ResultsWindow::outflow() const {
    return m_flowPage->values(1);
}

const std::vector<double>& ResultsWindow::levels() const {
    return m_levelPage->values(0);
}

std::optional<double> ResultsWindow::timeStepMin() const {
    return m_loadedLast ? m_loadedLast->timeStepMin() : std::nullopt;
}

void ResultsWindow::savePicture(gui::ResultsPage& page) {
    const QString fileName =
        m_chooseFile(this, gui::kJpegPicture, suggestedPicture(page.description().name));
    if (fileName.isEmpty()) return;
    m_pictureDir = QFileInfo(fileName).absolutePath();
    if (!gui::acceptsFileName(this, fileName) || !gui::mayReplace(this, fileName)) return;

    gui::LineChartView& chart = page.chart();
    QImage picture(chart.size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    // The widget as a whole, not only the chart's scene, so that the legend
    // labels lying over the flow chart are in the picture too.
    static_cast<QWidget&>(chart).render(&painter);
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
    const project_files::FileResult written = project_files::writeBytes(
        gui::toPath(fileName),
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!written)
        gui::MessageService::instance().error(this, QString::fromStdString(written.error));
}

void ResultsWindow::exportTable(const gui::ResultsPage& page) {
    const QString chosen = gui::exportTableToWorkbook(
        this, page.table(), page.description().sheetName,
        suggestedWorkbook(page.description().name), m_chooseFile, m_openWorkbook);
    if (!chosen.isEmpty()) m_workbookDir = QFileInfo(chosen).absolutePath();
}

// The window only shows results: closing it loses nothing, so it asks nothing.
void ResultsWindow::closeWindow() {
    accept();
}

// The first showing loads and draws both pages; their buttons load and draw again.
void ResultsWindow::showEvent(QShowEvent* event) {
    if (!m_centred) {
        m_centred = true;
        gui::centreOnScreen(*this);
        m_flowPage->load();
        m_levelPage->load();
    }
    QDialog::showEvent(event);
}

} // namespace gui
