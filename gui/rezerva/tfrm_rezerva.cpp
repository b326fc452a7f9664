// "Bezpečnostní rezerva": the safety margin of the dam.
#include "gui/rezerva/tfrm_rezerva.h"

#include "exchange/exchange_paths.h"
#include "gui/charts/line_chart_view.h"
#include "gui/charts/reservoir_levels.h"
#include "gui/common/typed_number.h"
#include "gui/dialogs/form_widgets.h"
#include "gui/dialogs/message_service.h"
#include "gui/varianty/study_core_run.h"
#include "gui/varianty/tfrm_varianta.h"
#include "study/variant_store.h"

#include <QChart>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QPen>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QString factor(int hundredths) {
    return QString::number(hundredths / 100.0, 'f', 2).replace('.', ',');
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

TFRM_rezerva::TFRM_rezerva(const std::filesystem::path& root, const QString& startLevel,
                           QWidget* parent)
    : QDialog(parent), m_root(root), m_run(std::make_unique<gui::StudyCoreRun>()) {
    setObjectName("TFRM_rezerva");
    setWindowTitle("Bezpečnostní rezerva");

    auto* intro = new QLabel(
        "Hledá největší násobek k celé povodňové vlny (stejný tvar, vše ostatní beze změny), "
        "při kterém nádrž ještě nepřelije, a nejmenší k, při kterém hladina dosáhne "
        "bezpečnostního přelivu (RN). Každý výpočet běží v dočasném adresáři; vstupy ani "
        "výsledky se nemění.",
        this);
    intro->setWordWrap(true);

    auto* inputs = new QGroupBox("Vstupy hledání", this);
    RadioButton1 = new QRadioButton("Aktuální vstupy (PULT_na_vypocty), výška vody na začátku "
                                    "řešení (start) [m]:",
                                    inputs);
    RadioButton1->setObjectName("RadioButton1");
    Edit1 = new QLineEdit(startLevel, inputs);
    Edit1->setObjectName("Edit1");
    Edit1->setMaximumWidth(80);
    RadioButton2 = new QRadioButton("Uložená varianta:", inputs);
    RadioButton2->setObjectName("RadioButton2");
    ComboBox1 = new QComboBox(inputs);
    ComboBox1->setObjectName("ComboBox1");
    for (const std::string& name : study::listVariants(m_root))
        ComboBox1->addItem(QString::fromStdString(name));
    ComboBox1->setMinimumWidth(260);
    RadioButton2->setEnabled(ComboBox1->count() > 0);
    ComboBox1->setEnabled(false);
    RadioButton1->setChecked(true);
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        ComboBox1->setEnabled(on);
        Edit1->setEnabled(!on);
    });
    auto* grid = new QGridLayout(inputs);
    grid->addWidget(RadioButton1, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(RadioButton2, 1, 0);
    grid->addWidget(ComboBox1, 1, 1);
    grid->setColumnStretch(2, 1);

    Button1 = gui::makeButton("SPUSTIT HLEDÁNÍ", "Button1", this, true);
    Button2 = gui::makeButton("Zrušit", "Button2", this, false);
    Button2->setEnabled(false);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    auto* run = new QHBoxLayout;
    run->addWidget(Button1);
    run->addWidget(Button2);
    run->addWidget(ProgressBar1, 1);
    run->addWidget(Label1);

    Label2 = new QLabel(this);
    Label2->setObjectName("Label2");
    Label2->setWordWrap(true);
    Label2->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setMinimumWidth(430);

    Chart1 = new gui::LineChartView(this);
    Chart1->setObjectName("Chart1");
    Chart1->setChartTitle("NEJVYŠŠÍ HLADINA PODLE NÁSOBKU PŘÍTOKU");
    Chart1->setAxisTitles("násobek přítoku k [-]", "Nejvyšší hladina [m]");
    Chart1->setLegendVisible(true);
    Chart1->chart()->legend()->setAlignment(Qt::AlignBottom);
    // Redrawn after every run: an animation would never settle.
    Chart1->chart()->setAnimationOptions(QChart::NoAnimation);
    auto* answer = new QHBoxLayout;
    answer->addWidget(Label2, 0);
    answer->addWidget(Chart1, 1);

    Button3 = gui::makeButton("Zavřít okno", "Button3", this, true);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(Button3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(inputs);
    layout->addLayout(run);
    layout->addLayout(answer, 1);
    layout->addLayout(bottom);

    connect(Button1, &QPushButton::clicked, this, &TFRM_rezerva::startSearch);
    connect(Button2, &QPushButton::clicked, this, &TFRM_rezerva::cancelSearch);
    connect(Button3, &QPushButton::clicked, this, &QDialog::close);
    connect(m_run.get(), &gui::StudyCoreRun::finished, this, &TFRM_rezerva::runFinished);
    resize(1150, 720);
}

TFRM_rezerva::~TFRM_rezerva() = default;

void TFRM_rezerva::startSearch() {
    if (m_search) return;
    auto& messages = gui::MessageService::instance();
    std::filesystem::path inputs;
    std::optional<std::string> startLevel;
    if (RadioButton2->isChecked()) {
        inputs = study::variantDir(m_root, ComboBox1->currentText().toStdString());
    } else {
        inputs = exchange::exchangeDir(m_root);
        const std::string typed = Edit1->text().toStdString();
        const gui::ParsedNumber start = gui::parseTypedNumber(typed);
        if (!start) {
            messages.warning(this, QString::fromStdString(gui::numberProblemText(
                                       TFRM_varianta::kStartLevelLabel, typed, start.error)));
            Edit1->setFocus();
            return;
        }
        startLevel = start.text;
    }
    try {
        m_search = std::make_unique<study::FactorSearch>(inputs, startLevel);
    } catch (const study::StudyError& e) {
        messages.error(this, QString::fromUtf8(e.what()));
        return;
    }
    m_result.reset();
    Label2->clear();
    Chart1->removeAllLines();
    setSearching(true);
    m_clock.start();
    runNext();
}

void TFRM_rezerva::runNext() {
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
    ProgressBar1->setRange(0, bracketing.runsExpected() + 1);
    ProgressBar1->setValue(bracketing.runsDone());
    Label1->setText(QString("výpočet %1: k = %2")
                        .arg(bracketing.runsDone() + 1)
                        .arg(factor(m_search->currentHundredths())));
    m_run->start(*root);
}

void TFRM_rezerva::runFinished() {
    if (!m_search) return;
    m_search->finish(m_run->result());
    // The chart grows run by run, so the engineer sees the search advance.
    drawChart(m_search->result());
    runNext();
}

void TFRM_rezerva::cancelSearch() {
    if (!m_search) return;
    m_search->cancel();
    // The core's end comes back through runFinished, which then ends the search.
    if (m_run->isRunning())
        m_run->stop();
    else
        endSearch();
}

void TFRM_rezerva::endSearch() {
    m_result = m_search->result();
    m_search.reset();
    setSearching(false);
    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(1);
    Label1->setText(
        QString("Počet výpočtů: %1, doba hledání %2 s")
            .arg(m_result->trials.size())
            .arg(QString::number(static_cast<double>(m_clock.elapsed()) / 1000.0, 'f', 1)
                     .replace('.', ',')));
    showResult();
    drawChart(*m_result);
    emit searchEnded();
}

void TFRM_rezerva::showResult() {
    QStringList lines;
    for (const std::string& line : m_result->text(','))
        lines << QString::fromStdString(line);
    Label2->setText(lines.join("\n\n"));
}

void TFRM_rezerva::drawChart(const study::SafetyFactorResult& r) {
    Chart1->removeAllLines();
    if (r.trials.empty()) return;
    QLineSeries* safe = namedLine(*Chart1, "bez přelití", QColor(0, 0, 255), Qt::SolidLine);
    safe->setPointsVisible(true);
    QLineSeries* over = namedLine(*Chart1, "výpočet s přelitím", QColor(255, 0, 0), Qt::NoPen);
    over->setPointsVisible(true);
    over->setMarkerSize(8.0);
    std::vector<gui::ChartPoint> safePoints, overPoints;
    for (const study::FactorTrial& t : r.trials) {
        if (t.safe() && t.highestLevel) safePoints.push_back({t.k(), *t.highestLevel});
        if (t.overtopped()) overPoints.push_back({t.k(), r.overtoppingLevel});
    }
    Chart1->appendPoints(safe, safePoints);
    Chart1->appendPoints(over, overPoints);
    gui::drawReservoirLevels(*Chart1, {std::nullopt, r.crestLevel, r.overtoppingLevel}, 0.0,
                             r.trials.back().k());
    // Room above the overtopping level, so that its marks are not cut by the
    // plot's edge: an invisible point.
    Chart1->appendPoints(Chart1->addLine(Qt::transparent),
                         {{0.0, r.overtoppingLevel + 0.25 * (r.overtoppingLevel - r.crestLevel)}});
    if (r.firstOvertopping && r.atLargestSafe && r.atLargestSafe->highestLevel)
        Chart1->markPoint({r.largestSafe / 100.0, *r.atLargestSafe->highestLevel},
                          QColor(0, 0, 255), "k = " + factor(r.largestSafe));
    // The levels and k are labelled on the chart; the legend names the runs.
    for (QLegendMarker* marker : Chart1->chart()->legend()->markers())
        if (marker->series()->name().isEmpty()) marker->setVisible(false);
}

void TFRM_rezerva::setSearching(bool searching) {
    Button1->setEnabled(!searching);
    Button2->setEnabled(searching);
    RadioButton1->setEnabled(!searching);
    RadioButton2->setEnabled(!searching && ComboBox1->count() > 0);
    Edit1->setEnabled(!searching && RadioButton1->isChecked());
    ComboBox1->setEnabled(!searching && RadioButton2->isChecked());
}

// Closing while the search runs cancels it first.
void TFRM_rezerva::closeEvent(QCloseEvent* event) {
    cancelSearch();
    QDialog::closeEvent(event);
}

void TFRM_rezerva::reject() {
    cancelSearch();
    QDialog::reject();
}
