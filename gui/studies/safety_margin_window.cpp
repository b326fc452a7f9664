// "Bezpečnostní rezerva": the safety margin of the dam.
#include "gui/studies/safety_margin_window.h"

#include "desk/calculation_options.h"
#include "desk/input_findings.h"
#include "desk/kept_margin.h"
#include "desk/typed_number.h"
#include "exchange/exchange_paths.h"
#include "gui/calculation/stop_signal_watch.h"
#include "gui/calculation/study_core_run.h"
#include "gui/charts/line_chart_view.h"
#include "gui/charts/reservoir_levels.h"
#include "gui/help/help.h"
#include "gui/studies/keep_variant_dialog.h"
#include "gui/studies/study_run_row.h"
#include "gui/widgets/form_widgets.h"
#include "gui/widgets/message_service.h"
#include "project_files/saved_inputs.h"
#include "study/variant_store.h"

#include <QChart>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QLineSeries>
#include <QPen>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace gui {

namespace {

QString factor(int hundredths) {
    return QString::fromStdString(desk::displayNumber(hundredths / 100.0, 2));
}

QLineSeries* namedLine(gui::LineChartView& chart, const QString& name, const QColor& colour,
                       Qt::PenStyle style) {
    QLineSeries* line = chart.addLine(colour);
    QPen pen = line->pen();
    pen.setStyle(style);
    pen.setWidthF(style == Qt::NoPen ? 0.0 : 1.5);
    line->setPen(pen);
    line->setName(name);
    return line;
}

} // namespace

SafetyMarginWindow::SafetyMarginWindow(const std::filesystem::path& root, const QString& startLevel,
                                       QWidget* parent)
    : QDialog(parent), m_root(root), m_run(std::make_unique<gui::StudyCoreRun>()) {
    setObjectName("SafetyMarginWindow");
    gui::installHelp(this, "bezpecnostni_rezerva");
    setWindowTitle("Bezpečnostní rezerva");

    auto* intro = new QLabel(
        "Hledá největší násobek k celé povodňové vlny (stejný tvar, vše ostatní beze změny), "
        "při kterém nádrž ještě nepřelije, a nejmenší k, při kterém hladina dosáhne "
        "bezpečnostního přelivu (RN). Každý výpočet běží v dočasném adresáři; vstupy ani "
        "výsledky se nemění.",
        this);
    intro->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(buildInputs(startLevel));
    layout->addLayout(buildRunRow());
    layout->addLayout(buildAnswer(), 1);

    QPushButton* close = gui::makeButton("Zavřít okno", "btnClose", this, true);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layout->addLayout(gui::rowAtRight({close}));

    connect(m_run.get(), &gui::StudyCoreRun::finished, this, &SafetyMarginWindow::runFinished);
    resize(1150, 720);
}

// The current inputs with a start level, or a kept variant.
QWidget* SafetyMarginWindow::buildInputs(const QString& startLevel) {
    auto* inputs = new QGroupBox("Vstupy hledání", this);
    m_currentInputsButton = new QRadioButton(
        "Aktuální vstupy (PULT_na_vypocty), výška vody na začátku řešení (start) [m]:", inputs);
    m_currentInputsButton->setObjectName("radioCurrentInputs");
    m_startLevelEdit = new QLineEdit(startLevel, inputs);
    m_startLevelEdit->setObjectName("editStartLevel");
    m_startLevelEdit->setMaximumWidth(80);
    m_variantButton = new QRadioButton("Uložená varianta:", inputs);
    m_variantButton->setObjectName("radioVariant");
    m_variantList = new QComboBox(inputs);
    m_variantList->setObjectName("comboVariants");
    for (const std::string& name : study::listVariants(m_root))
        m_variantList->addItem(QString::fromStdString(name));
    m_variantList->setMinimumWidth(260);
    m_variantButton->setEnabled(m_variantList->count() > 0);
    m_variantList->setEnabled(false);
    m_currentInputsButton->setChecked(true);
    connect(m_variantButton, &QRadioButton::toggled, this, [this](bool on) {
        m_variantList->setEnabled(on);
        m_startLevelEdit->setEnabled(!on);
    });
    auto* grid = new QGridLayout(inputs);
    grid->addWidget(m_currentInputsButton, 0, 0);
    grid->addWidget(m_startLevelEdit, 0, 1);
    grid->addWidget(m_variantButton, 1, 0);
    grid->addWidget(m_variantList, 1, 1);
    grid->setColumnStretch(2, 1);
    return inputs;
}

QLayout* SafetyMarginWindow::buildRunRow() {
    const StudyRunRow row = makeStudyRunRow(this, "SPUSTIT HLEDÁNÍ", "progressSearch");
    m_startButton = row.start;
    m_cancelButton = row.cancel;
    m_progress = row.progress;
    m_progressLabel = row.label;
    connect(m_startButton, &QPushButton::clicked, this, &SafetyMarginWindow::startSearch);
    connect(m_cancelButton, &QPushButton::clicked, this, &SafetyMarginWindow::cancelSearch);
    return row.layout;
}

// The answer in words beside the chart of the highest level against k.
QLayout* SafetyMarginWindow::buildAnswer() {
    m_answerLabel = new QLabel(this);
    m_answerLabel->setObjectName("lblAnswer");
    m_answerLabel->setWordWrap(true);
    m_answerLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_answerLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_answerLabel->setMinimumWidth(430);

    m_chart = new gui::LineChartView(this);
    m_chart->setObjectName("chartHighestLevel");
    m_chart->setChartTitle("NEJVYŠŠÍ HLADINA PODLE NÁSOBKU PŘÍTOKU");
    m_chart->setAxisTitles("násobek přítoku k [-]", "Nejvyšší hladina [m]");
    m_chart->setLegendVisible(true);
    m_chart->chart()->legend()->setAlignment(Qt::AlignBottom);
    // Redrawn after every run: an animation would never settle.
    m_chart->chart()->setAnimationOptions(QChart::NoAnimation);
    auto* answer = new QHBoxLayout;
    answer->addWidget(m_answerLabel, 0);
    answer->addWidget(m_chart, 1);
    return answer;
}

SafetyMarginWindow::~SafetyMarginWindow() = default;

// The typed start level with a decimal point; none, after saying why, when
// it is no number, lies above the curve of `inputs` or the user declines a
// level below its first row. Every run of the search starts from it.
std::optional<std::string>
SafetyMarginWindow::checkedStartLevel(const std::filesystem::path& inputs) {
    auto& messages = gui::MessageService::instance();
    const std::string typed = m_startLevelEdit->text().toStdString();
    const desk::ParsedNumber start = desk::parseTypedNumber(typed);
    desk::CalculationCheck check;
    if (!start)
        check.refusal = desk::Refusal{
            desk::kStartLevelField, -1, -1,
            desk::numberProblemText(KeepVariantDialog::kStartLevelLabel, typed, start.error)};
    else
        desk::checkStartLevel(start, project_files::readSavedInputs(inputs), check);
    if (check.refusal) messages.warning(this, QString::fromStdString(check.refusal->message));
    if (check.refusal ||
        (!check.warnings.empty() &&
         !messages.question(this, QString::fromStdString(desk::warningQuestion(check.warnings))))) {
        m_startLevelEdit->setFocus();
        return std::nullopt;
    }
    return start.text;
}

void SafetyMarginWindow::startSearch() {
    if (m_search) return;
    auto& messages = gui::MessageService::instance();
    std::filesystem::path inputs;
    std::optional<std::string> startLevel;
    if (m_variantButton->isChecked()) {
        inputs = study::variantDir(m_root, m_variantList->currentText().toStdString());
    } else {
        inputs = exchange::exchangeDir(m_root);
        startLevel = checkedStartLevel(inputs);
        if (!startLevel) return;
    }
    try {
        m_search = std::make_unique<study::FactorSearch>(inputs, startLevel);
    } catch (const study::InputsRefused& e) {
        messages.error(this, QString::fromStdString(desk::findingSentence(e.finding)));
        return;
    } catch (const study::StudyError& e) {
        messages.error(this, QString::fromUtf8(e.what()));
        return;
    }
    // A stop signal to the front end ends the search first, so that no
    // temporary root is left behind.
    m_stopWatch = std::make_unique<gui::StopSignalWatch>();
    connect(m_stopWatch.get(), &gui::StopSignalWatch::stopAsked, this,
            &SafetyMarginWindow::cancelSearch, Qt::QueuedConnection);
    m_result.reset();
    m_answerLabel->clear();
    m_chart->removeAllLines();
    setSearching(true);
    m_clock.start();
    runNext();
}

void SafetyMarginWindow::runNext() {
    std::optional<std::filesystem::path> root;
    try {
        root = m_search->prepareNext();
    } catch (const study::StudyError& e) {
        gui::MessageService::instance().error(this, QString::fromUtf8(e.what()));
        m_search->cancel();
    }
    if (!root) {
        endSearch();
        return;
    }
    const auto& bracketing = m_search->bracketing();
    m_progress->setRange(0, bracketing.runsExpected() + 1);
    m_progress->setValue(bracketing.runsDone());
    m_progressLabel->setText(QString("výpočet %1: k = %2")
                                 .arg(bracketing.runsDone() + 1)
                                 .arg(factor(m_search->currentHundredths())));
    m_run->start(*root);
}

void SafetyMarginWindow::runFinished() {
    if (!m_search) return;
    m_search->finish(m_run->result());
    // The chart grows run by run, so the engineer sees the search advance.
    drawChart(m_search->result());
    runNext();
}

void SafetyMarginWindow::cancelSearch() {
    if (!m_search) return;
    m_search->cancel();
    // The core's end comes back through runFinished, which then ends the search.
    if (m_run->isRunning())
        m_run->stop();
    else
        endSearch();
}

void SafetyMarginWindow::endSearch() {
    m_result = m_search->result();
    m_search.reset();
    setSearching(false);
    // A search cut short keeps the bar where its runs ended: full only when done.
    if (m_result->complete()) {
        m_progress->setRange(0, 1);
        m_progress->setValue(1);
    }
    m_progressLabel->setText(QString("Počet výpočtů: %1, doba hledání %2 s")
                                 .arg(m_result->trials.size())
                                 .arg(QString::fromStdString(desk::displayNumber(
                                     static_cast<double>(m_clock.elapsed()) / 1000.0, 1))));
    showResult();
    drawChart(*m_result);
    keepResult();
    // The roots are gone: a stop signal noted takes effect now.
    m_stopWatch.reset();
    emit searchEnded();
}

// A finished search stays with the project for its calculation report.
void SafetyMarginWindow::keepResult() {
    if (!m_result->complete()) return;
    const bool ofProject = m_currentInputsButton->isChecked();
    const QString on = ofProject ? m_startLevelEdit->text() : m_variantList->currentText();
    if (const project_files::FileResult kept = desk::keepSafetyMargin(
            m_root, ofProject, on.trimmed().toStdString(), m_result->text(','));
        !kept)
        gui::MessageService::instance().warning(this,
                                                "Výsledek hledání nelze uložit do projektu: " +
                                                    QString::fromStdString(kept.error));
}

void SafetyMarginWindow::showResult() {
    QStringList lines;
    for (const std::string& line : m_result->text(','))
        lines << QString::fromStdString(line);
    m_answerLabel->setText(lines.join("\n\n"));
}

void SafetyMarginWindow::drawChart(const study::SafetyFactorResult& r) {
    m_chart->removeAllLines();
    if (r.trials.empty()) return;
    QLineSeries* safe = namedLine(*m_chart, "bez přelití", QColor(0, 0, 255), Qt::SolidLine);
    safe->setPointsVisible(true);
    QLineSeries* over = namedLine(*m_chart, "výpočet s přelitím", QColor(255, 0, 0), Qt::NoPen);
    over->setPointsVisible(true);
    over->setMarkerSize(8.0);
    std::vector<desk::ChartPoint> safePoints, overPoints;
    for (const study::FactorTrial& t : r.trials) {
        if (t.safe() && t.highestLevel) safePoints.push_back({t.k(), *t.highestLevel});
        if (t.overtopped()) overPoints.push_back({t.k(), r.overtoppingLevel});
    }
    m_chart->appendPoints(safe, safePoints);
    m_chart->appendPoints(over, overPoints);
    gui::drawReservoirLevels(*m_chart, {std::nullopt, r.crestLevel, r.overtoppingLevel}, 0.0,
                             r.trials.back().k());
    // Room above the overtopping level, so that its marks are not cut by the
    // plot's edge: an invisible point.
    m_chart->appendPoints(m_chart->addLine(Qt::transparent),
                          {{0.0, r.overtoppingLevel + 0.25 * (r.overtoppingLevel - r.crestLevel)}});
    if (r.firstOvertopping && r.atLargestSafe && r.atLargestSafe->highestLevel)
        m_chart->markPoint({r.largestSafe / 100.0, *r.atLargestSafe->highestLevel},
                           QColor(0, 0, 255), "k = " + factor(r.largestSafe));
    // The levels and k are labelled on the chart; the legend names the runs.
    m_chart->hideUnnamedFromLegend();
}

void SafetyMarginWindow::setSearching(bool searching) {
    m_startButton->setEnabled(!searching);
    m_cancelButton->setEnabled(searching);
    m_currentInputsButton->setEnabled(!searching);
    m_variantButton->setEnabled(!searching && m_variantList->count() > 0);
    m_startLevelEdit->setEnabled(!searching && m_currentInputsButton->isChecked());
    m_variantList->setEnabled(!searching && m_variantButton->isChecked());
}

// Closing while the search runs cancels it first.
void SafetyMarginWindow::closeEvent(QCloseEvent* event) {
    cancelSearch();
    QDialog::closeEvent(event);
}

void SafetyMarginWindow::reject() {
    cancelSearch();
    QDialog::reject();
}

} // namespace gui
