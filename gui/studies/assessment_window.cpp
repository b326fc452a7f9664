// "Posouzení bezpečnosti za povodně": the flood-safety assessment's window.
#include "gui/studies/assessment_window.h"

#include "desk/calculation_options.h"
#include "desk/kept_assessment.h"
#include "desk/typed_number.h"
#include "exchange/exchange_paths.h"
#include "gui/calculation/stop_signal_watch.h"
#include "gui/charts/assessment_levels.h"
#include "gui/charts/line_chart_view.h"
#include "gui/help/help.h"
#include "gui/studies/study_run_row.h"
#include "gui/widgets/form_widgets.h"
#include "gui/widgets/message_service.h"
#include "project_files/saved_inputs.h"
#include "study/cli/core_process_run.h"

#include <QChart>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace gui {

namespace {

constexpr int kFloodRows = 6;

QString czech(const std::string& text) {
    return QString::fromStdString(desk::czechNumber(text));
}

QLabel* wrappedLabel(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

/// The decree's table, as the hint for N: a group's two rows side by side.
QLabel* decreeTable(QWidget* parent) {
    QString html = "<p>Požadovaná míra bezpečnosti vodního díla při povodni (N v letech):</p>"
                   "<table cellspacing=\"0\" cellpadding=\"3\" border=\"1\"><tr>"
                   "<th>Skupina škod, kategorie díla</th><th>lze očekávat značné ztráty na "
                   "životech</th><th>ztráty na životech nepravděpodobné</th></tr>";
    const auto& rows = study::requiredSafetyTable();
    for (std::size_t i = 0; i + 1 < rows.size(); i += 2)
        html +=
            QString("<tr><td>%1</td><td align=\"right\">%2</td><td align=\"right\">%3</td></tr>")
                .arg(rows[i].group, rows[i].returnPeriods, rows[i + 1].returnPeriods);
    auto* label = new QLabel(html + "</table>", parent);
    label->setObjectName("lblDecreeTable");
    return label;
}

} // namespace

AssessmentWindow::AssessmentWindow(const std::filesystem::path& root, QWidget* parent)
    : QDialog(parent), m_root(root),
      m_program(toQString(desk::coreExecutable(exchange::installationRoot()))) {
    setObjectName("AssessmentWindow");
    setWindowTitle("Posouzení bezpečnosti za povodně");
    gui::installHelp(this, "posouzeni");
    auto* intro = wrappedLabel(
        "Kontrolní povodeň (povodňová vlna projektu) se převede nádrží ze zadané výšky vody "
        "třikrát: se všemi spodními výpustmi v provozu, s jednou mimo provoz a bez výpustí. "
        "Nejvyšší dosažená hladina KMH se porovná s mezní bezpečnou hladinou MBH (ČSN 75 2935). "
        "Každý výpočet běží v dočasném adresáři; vstupy ani výsledky projektu se nemění.",
        "lblIntro", this);
    auto* settings = new QHBoxLayout;
    settings->addWidget(buildSettings(), 3);
    settings->addWidget(buildFloodTable(), 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(settings);
    layout->addLayout(buildRunRow());
    layout->addLayout(buildAnswer(), 1);
    QPushButton* close = makeButton("Zavřít okno", "btnClose", this, true);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layout->addLayout(rowAtRight({close}));
    connect(&m_watcher, &QFutureWatcher<study::AssessmentResult>::finished, this,
            &AssessmentWindow::endAssessment);

    if (const auto kept = desk::readAssessmentSettings(m_root)) showSettings(*kept);
    if (const auto kept = desk::readKeptAssessment(m_root))
        showResult(kept->result, QString::fromStdString(desk::outdatedText(*kept)));
    // Wide enough for the chart's legend to name the three cases whole, as
    // far as the screen allows.
    QSize size(1460, 860);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(40, 40));
    resize(size);
}

AssessmentWindow::~AssessmentWindow() {
    waitForTheRuns();
}

QWidget* AssessmentWindow::buildSettings() {
    auto* box = new QGroupBox("Nastavení posouzení", this);
    m_groupList = new QComboBox(box);
    m_groupList->setObjectName("comboDamageGroup");
    // The decree's rows are long: the list shows them whole when opened, and
    // the window stays narrow enough for a laptop's screen.
    m_groupList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_groupList->setMinimumContentsLength(24);
    m_groupList->addItem("neuvedena", QString());
    for (const study::RequiredSafety& row : study::requiredSafetyTable())
        m_groupList->addItem(
            QString("%1; %2: N = %3 let").arg(row.group, row.lossOfLife, row.returnPeriods),
            QString(row.key));
    m_returnPeriodEdit = new QLineEdit(box);
    m_returnPeriodEdit->setObjectName("editReturnPeriod");
    // The decree's row suggests its N; the engineer may type another.
    connect(m_groupList, &QComboBox::activated, this, [this](int index) {
        if (const auto* row =
                study::requiredSafety(m_groupList->itemData(index).toString().toStdString()))
            m_returnPeriodEdit->setText(QString::number(row->years));
    });
    m_startLevelEdit = new QLineEdit(box);
    m_startLevelEdit->setObjectName("editStartLevel");
    const auto storageTop =
        project_files::readSavedInputs(exchange::exchangeDir(m_root)).storageTopHeight;
    m_startLevelEdit->setPlaceholderText(
        "začátek RO" + (storageTop ? " = " + czech(storageTop->text) + " m" : QString()));
    m_mbhEdit = new QLineEdit(box);
    m_mbhEdit->setObjectName("editMbh");
    m_decidingList = new QComboBox(box);
    m_decidingList->setObjectName("comboDeciding");
    for (study::OutletCase c : study::kOutletCases)
        m_decidingList->addItem(study::outletCaseName(c));
    m_decidingList->setCurrentIndex(static_cast<int>(study::OutletCase::OneOut));
    auto* form = new QFormLayout(box);
    form->setRowWrapPolicy(QFormLayout::WrapLongRows);
    form->addRow("Požadovaná míra bezpečnosti (příloha vyhlášky o technických požadavcích na "
                 "vodní díla):",
                 m_groupList);
    form->addRow("Doba opakování kontrolní povodně N [roky]:", m_returnPeriodEdit);
    form->addRow("Výška vody na začátku [m]:", m_startLevelEdit);
    form->addRow("Mezní bezpečná hladina MBH [m]:", m_mbhEdit);
    form->addRow("Rozhoduje případ výpustí:", m_decidingList);
    form->addRow(decreeTable(box));
    return box;
}

QWidget* AssessmentWindow::buildFloodTable() {
    auto* box = new QGroupBox("Tabulka kontrolních povodní (nepovinná)", this);
    auto* hint = wrappedLabel("Každá doba opakování N převede povodňovou vlnu projektu "
                              "přepočtenou na kulminaci Q_N, v rozhodujícím případu výpustí.",
                              "lblFloodHint", box);
    m_floodTable = new QTableWidget(kFloodRows, 2, box);
    m_floodTable->setObjectName("tableFloods");
    m_floodTable->setHorizontalHeaderLabels({"N [roky]", "Q_N [m3/s]"});
    m_floodTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(hint);
    layout->addWidget(m_floodTable);
    return box;
}

QLayout* AssessmentWindow::buildRunRow() {
    const StudyRunRow row = makeStudyRunRow(this, "SPUSTIT POSOUZENÍ", "progressAssessment");
    m_startButton = row.start;
    m_cancelButton = row.cancel;
    m_progress = row.progress;
    m_progressLabel = row.label;
    connect(m_startButton, &QPushButton::clicked, this, &AssessmentWindow::startAssessment);
    connect(m_cancelButton, &QPushButton::clicked, this, &AssessmentWindow::cancelAssessment);
    return row.layout;
}

// The verdict, the case table and the findings beside the level chart.
QLayout* AssessmentWindow::buildAnswer() {
    m_sentenceLabel = wrappedLabel({}, "lblSentence", this);
    QFont bold = m_sentenceLabel->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    m_sentenceLabel->setFont(bold);
    const auto& headers = study::AssessmentResult::caseHeaders();
    m_caseTable = new QTableWidget(0, static_cast<int>(headers.size()), this);
    m_caseTable->setObjectName("tableCases");
    QStringList labels;
    for (const std::string& header : headers)
        labels << QString::fromStdString(header);
    m_caseTable->setHorizontalHeaderLabels(labels);
    m_caseTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_caseTable->verticalHeader()->hide();
    m_caseTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_caseTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_caseTable->setMaximumHeight(126);
    m_findingsLabel = wrappedLabel({}, "lblFindings", this);
    m_findingsLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* words = new QVBoxLayout;
    words->addWidget(m_sentenceLabel);
    words->addWidget(m_caseTable);
    words->addWidget(m_findingsLabel, 1);
    m_chart = new LineChartView(this);
    m_chart->setObjectName("chartLevels");
    m_chart->chart()->setAnimationOptions(QChart::NoAnimation);
    auto* answer = new QHBoxLayout;
    answer->addLayout(words, 5);
    answer->addWidget(m_chart, 4);
    return answer;
}

void AssessmentWindow::showSettings(const study::AssessmentSettings& s) {
    m_returnPeriodEdit->setText(QString::fromStdString(s.returnPeriod));
    m_groupList->setCurrentIndex(
        std::max(0, m_groupList->findData(QString::fromStdString(s.damageGroup))));
    m_startLevelEdit->setText(czech(s.startLevel));
    m_mbhEdit->setText(czech(s.mbh));
    m_decidingList->setCurrentIndex(static_cast<int>(s.deciding));
    for (int row = 0; row < kFloodRows; ++row) {
        const std::string pair =
            static_cast<std::size_t>(row) < s.tabledFloods.size() ? s.tabledFloods[row] : "";
        const std::size_t colon = pair.find(':');
        m_floodTable->setItem(row, 0,
                              new QTableWidgetItem(QString::fromStdString(pair.substr(0, colon))));
        m_floodTable->setItem(row, 1,
                              new QTableWidgetItem(colon == std::string::npos
                                                       ? QString()
                                                       : czech(pair.substr(colon + 1))));
    }
}

study::AssessmentSettings AssessmentWindow::typedSettings() const {
    study::AssessmentSettings s;
    s.returnPeriod = m_returnPeriodEdit->text().toStdString();
    s.damageGroup = m_groupList->currentData().toString().toStdString();
    s.startLevel = m_startLevelEdit->text().toStdString();
    s.mbh = m_mbhEdit->text().toStdString();
    s.deciding = study::kOutletCases[static_cast<std::size_t>(m_decidingList->currentIndex())];
    const auto cell = [this](int row, int column) {
        const QTableWidgetItem* item = m_floodTable->item(row, column);
        return item ? item->text().trimmed() : QString();
    };
    for (int row = 0; row < kFloodRows; ++row)
        if (!cell(row, 0).isEmpty() || !cell(row, 1).isEmpty())
            s.tabledFloods.push_back((cell(row, 0) + ":" + cell(row, 1)).toStdString());
    return s;
}

// The refusal said, and the field to mend put before the engineer.
void AssessmentWindow::refuse(const study::SettingRefused& refusal) {
    MessageService::instance().warning(this, QString::fromUtf8(refusal.what()));
    switch (refusal.field) {
    case study::SettingField::ReturnPeriod:
        return markField(*m_returnPeriodEdit);
    case study::SettingField::StartLevel:
        return markField(*m_startLevelEdit);
    case study::SettingField::Mbh:
        return markField(*m_mbhEdit);
    case study::SettingField::TabledFlood:
        break;
    }
    // The refused pair's row among the rows filled in.
    int filled = -1;
    for (int row = 0; row < kFloodRows; ++row) {
        const QTableWidgetItem* n = m_floodTable->item(row, 0);
        const QTableWidgetItem* q = m_floodTable->item(row, 1);
        if ((n && !n->text().trimmed().isEmpty()) || (q && !q->text().trimmed().isEmpty()))
            if (++filled == refusal.index) m_floodTable->setCurrentCell(row, 0);
    }
    m_floodTable->setFocus();
}

void AssessmentWindow::startAssessment() {
    if (isRunning()) return;
    try {
        m_assessment = std::make_shared<const study::Assessment>(exchange::exchangeDir(m_root),
                                                                 typedSettings(), ',');
    } catch (const study::SettingRefused& refusal) {
        return refuse(refusal);
    } catch (const study::StudyError& e) {
        return MessageService::instance().error(this, QString::fromUtf8(e.what()));
    }
    if (const auto kept = desk::keepAssessmentSettings(m_root, m_assessment->plan()); !kept)
        MessageService::instance().warning(this, "Nastavení posouzení nelze uložit do projektu: " +
                                                     QString::fromStdString(kept.error));
    // A stop signal to the front end ends the runs first, so that no
    // temporary root is left behind.
    m_stopWatch = std::make_unique<StopSignalWatch>();
    connect(m_stopWatch.get(), &StopSignalWatch::stopAsked, this,
            &AssessmentWindow::cancelAssessment, Qt::QueuedConnection);
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    setRunning(true);
    m_clock.start();
    // The runs go on the machine's cores while the window stays responsive;
    // each waits for its core in its own thread.
    const auto assessment = m_assessment;
    const auto cancelled = m_cancelled;
    const QString program = m_program;
    m_watcher.setFuture(QtConcurrent::run([this, assessment, cancelled, program] {
        return assessment->run(
            [=](const std::filesystem::path& root) {
                return study::runCoreProcess(program, root, [=] { return cancelled->load(); });
            },
            [this, cancelled](int done, int expected) {
                QMetaObject::invokeMethod(
                    this, [this, done, expected] { showProgress(done, expected); },
                    Qt::QueuedConnection);
                return !cancelled->load();
            });
    }));
}

void AssessmentWindow::showProgress(int done, int expected) {
    m_progress->setRange(0, expected);
    m_progress->setValue(done);
    m_progressLabel->setText(QString("výpočet %1 z asi %2").arg(done).arg(expected));
}

void AssessmentWindow::cancelAssessment() {
    if (m_cancelled) m_cancelled->store(true);
}

void AssessmentWindow::endAssessment() {
    m_result = m_watcher.result();
    setRunning(false);
    m_progress->setRange(0, 1);
    m_progress->setValue(1);
    m_progressLabel->setText(QString("Počet výpočtů: %1, doba posouzení %2 s")
                                 .arg(m_result->runs)
                                 .arg(QString::fromStdString(desk::displayNumber(
                                     static_cast<double>(m_clock.elapsed()) / 1000.0, 1))));
    showResult(*m_result, {});
    // Only a finished assessment stays with the project.
    if (m_result->complete())
        if (const auto kept = desk::keepAssessment(m_root, *m_result); !kept)
            MessageService::instance().warning(this, "Posouzení nelze uložit do projektu: " +
                                                         QString::fromStdString(kept.error));
    m_assessment.reset();
    // The roots are gone: a stop signal noted takes effect now.
    m_stopWatch.reset();
    emit assessmentEnded();
}

void AssessmentWindow::showResult(const study::AssessmentResult& r, const QString& outdated) {
    const bool holds = r.holds();
    m_sentenceLabel->setText(outdated.isEmpty() ? QString::fromStdString(r.sentence(','))
                                                : outdated);
    m_sentenceLabel->setStyleSheet(
        !outdated.isEmpty() || !r.complete()
            ? "QLabel { color: #b00000; }"
            : (holds ? "QLabel { color: #006000; }" : "QLabel { color: #b00000; }"));
    m_caseTable->setRowCount(static_cast<int>(r.cases.size()));
    for (int row = 0; row < static_cast<int>(r.cases.size()); ++row) {
        const std::vector<std::string> cells =
            r.caseCells(r.cases[static_cast<std::size_t>(row)], ',');
        for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
            auto* item = new QTableWidgetItem(QString::fromStdString(cells[column]));
            if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_caseTable->setItem(row, column, item);
        }
    }

    QStringList findings;
    if (!outdated.isEmpty()) findings << QString::fromStdString(r.sentence(','));
    for (const std::string& line : r.findings(','))
        findings << QString::fromStdString(line);
    m_findingsLabel->setText(findings.join("\n\n"));
    m_chart->removeAllLines();
    if (!r.cases.empty()) drawAssessmentLevels(*m_chart, r);
}

void AssessmentWindow::setRunning(bool running) {
    m_startButton->setEnabled(!running);
    m_cancelButton->setEnabled(running);
    for (QWidget* field :
         std::initializer_list<QWidget*>{m_groupList, m_returnPeriodEdit, m_startLevelEdit,
                                         m_mbhEdit, m_decidingList, m_floodTable})
        field->setEnabled(!running);
}

// Closing ends the runs first: their cores are killed and their roots go.
void AssessmentWindow::waitForTheRuns() {
    if (!isRunning()) return;
    cancelAssessment();
    m_watcher.waitForFinished();
}

void AssessmentWindow::closeEvent(QCloseEvent* event) {
    cancelAssessment();
    QDialog::closeEvent(event);
}

void AssessmentWindow::reject() {
    cancelAssessment();
    QDialog::reject();
}

} // namespace gui
