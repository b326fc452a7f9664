// The main window's view of the open project.
#include "gui/main_window/project_overview_panel.h"

#include "desk/input_fields.h"
#include "gui/widgets/elided_label.h"
#include "gui/widgets/form_widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace gui {

namespace {

constexpr const char* kInputButtons[] = {"btnOpenFloodWave", "btnOpenCurve", "btnOpenTechnicalData",
                                         "btnOpenCalculation"};
constexpr const char* kInputStates[] = {"lblFloodWaveState", "lblCurveState",
                                        "lblTechnicalDataState", "lblCalculationState"};
const char* const kInputForms[] = {desk::kFloodWaveFormName, desk::kCurveFormName,
                                   desk::kTechnicalDataFormName, desk::kCalculationFormName};

QLabel* sectionLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QString joined(const std::vector<std::string>& names) {
    QStringList list;
    for (const std::string& name : names)
        list << QString::fromStdString(name);
    return list.join(", ");
}

/// Whether an input is saved and when, in words and in colour.
QString stateHtml(const desk::InputOverview& input) {
    const QString when =
        input.savedAt ? QString::fromStdString(desk::czechDateTime(*input.savedAt)) : QString();
    if (!input.savedAt) return "<span style=\"color:#b00000;\">neuloženo</span>";
    if (!input.missing.empty())
        return "<span style=\"color:#b00000;\">uloženo jen zčásti (" + when + "): chybí " +
               joined(input.missing) + "</span>";
    if (!input.unread.empty())
        return "<span style=\"color:#b00000;\">uloženo " + when + ", ale jádro nepřečte " +
               joined(input.unread) + "</span>";
    return "<span style=\"color:#006000;\">uloženo " + when + "</span>";
}

} // namespace

ProjectOverviewPanel::ProjectOverviewPanel(QWidget* parent) : QFrame(parent) {
    setObjectName("panelProject");
    setFrameShape(QFrame::StyledPanel);
    // A long name or folder is shortened to the window's width, whole in the
    // tooltip: it never widens the main window past the screen.
    m_name = new gui::ElidedLabel(this, Qt::ElideRight);
    m_name->setObjectName("lblProjectName");
    QFont large = m_name->font();
    large.setPixelSize(16);
    large.setBold(true);
    m_name->setFont(large);
    m_folder = new gui::ElidedLabel(this);
    m_folder->setObjectName("lblProjectFolder");

    auto* inputs = new QGridLayout;
    inputs->setHorizontalSpacing(10);
    inputs->setVerticalSpacing(3);
    buildInputs(inputs);

    m_lastRun = new QLabel(this);
    m_lastRun->setObjectName("lblLastRun");
    m_lastRun->setWordWrap(true);
    m_keyFigures = new QLabel(this);
    m_keyFigures->setObjectName("lblKeyFigures");
    m_keyFigures->setTextFormat(Qt::RichText);
    m_keyFigures->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_assessment = new QLabel(this);
    m_assessment->setObjectName("lblAssessment");
    m_assessment->setWordWrap(true);
    m_resultsButton = makeButton("Výsledky", "btnOpenResults", this, true);
    m_assessmentButton =
        makeButton("Posouzení bezpečnosti za povodně…", "btnOpenAssessment", this, false);
    m_reportButton = makeButton("Protokol výpočtu (PDF)…", "btnMakeReport", this, false);
    connect(m_resultsButton, &QPushButton::clicked, this, &ProjectOverviewPanel::resultsRequested);
    connect(m_assessmentButton, &QPushButton::clicked, this,
            &ProjectOverviewPanel::assessmentRequested);
    connect(m_reportButton, &QPushButton::clicked, this, &ProjectOverviewPanel::reportRequested);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 6, 10, 8);
    layout->setSpacing(4);
    layout->addWidget(m_name);
    layout->addWidget(m_folder);
    layout->addWidget(sectionLabel("Vstupy", this));
    layout->addLayout(inputs);
    layout->addWidget(sectionLabel("Poslední výpočet", this));
    layout->addWidget(m_lastRun);
    layout->addWidget(m_keyFigures);
    layout->addWidget(sectionLabel("Posouzení bezpečnosti za povodně", this));
    layout->addWidget(m_assessment);
    layout->addStretch(1);
    layout->addLayout(rowAtRight({m_resultsButton, m_assessmentButton, m_reportButton}));
}

void ProjectOverviewPanel::buildInputs(QGridLayout* grid) {
    for (int input = FloodWave; input <= CalculationSettings; ++input) {
        QPushButton* open = makeButton(kInputForms[input], kInputButtons[input], this, false);
        open->setMinimumWidth(150);
        connect(open, &QPushButton::clicked, this,
                [this, input] { emit formRequested(static_cast<Input>(input)); });
        auto* state = new QLabel(this);
        state->setObjectName(kInputStates[input]);
        state->setTextFormat(Qt::RichText);
        state->setWordWrap(true);
        m_inputStates.append(state);
        grid->addWidget(open, input, 0);
        grid->addWidget(state, input, 1);
    }
    grid->setColumnStretch(1, 1);
}

void ProjectOverviewPanel::showOverview(const desk::ProjectOverview& overview) {
    m_name->setFullText("Projekt: " + QString::fromStdString(overview.name));
    m_folder->setFullText("Složka: " + QString::fromStdString(overview.root.string()));
    for (int input = FloodWave; input <= CalculationSettings; ++input)
        m_inputStates[input]->setText(
            static_cast<std::size_t>(input) < overview.inputs.size()
                ? stateHtml(overview.inputs[static_cast<std::size_t>(input)])
                : QString());

    const desk::RunOverview& run = overview.run;
    m_lastRun->setText(QString::fromStdString(desk::lastRunText(run)));
    const bool warn = run.state == desk::LastRun::Refused || run.state == desk::LastRun::Outdated ||
                      run.state == desk::LastRun::Stopped;
    m_lastRun->setStyleSheet(warn ? "QLabel { color: #b00000; }" : QString());
    QString figures = "<table cellspacing=\"0\" cellpadding=\"1\"><tr>";
    for (std::size_t i = 0; i < run.keyFigures.size(); ++i) {
        if (i > 0 && i % 2 == 0) figures += "</tr><tr>";
        figures += "<td>" + QString::fromStdString(run.keyFigures[i].label).toHtmlEscaped() +
                   ":&nbsp;</td><td><b>" +
                   QString::fromStdString(run.keyFigures[i].text).toHtmlEscaped() +
                   "</b>&nbsp;&nbsp;&nbsp;&nbsp;</td>";
    }
    m_keyFigures->setText(run.keyFigures.empty() ? QString() : figures + "</tr></table>");
    m_keyFigures->setVisible(!run.keyFigures.empty());
    m_resultsButton->setEnabled(run.state != desk::LastRun::None);

    m_assessment->setText(QString::fromStdString(desk::assessmentText(overview.assessment)));
    const bool current = overview.assessment && !overview.assessment->outdated();
    const bool holds = current && overview.assessment->result.holds();
    m_assessment->setStyleSheet(!overview.assessment ? QString()
                                : holds              ? "QLabel { color: #006000; }"
                                                     : "QLabel { color: #b00000; }");
}

QString ProjectOverviewPanel::inputState(Input input) const {
    return m_inputStates[input]->text();
}

QString ProjectOverviewPanel::lastRunText() const {
    return m_lastRun->text();
}

QString ProjectOverviewPanel::keyFiguresText() const {
    return m_keyFigures->text();
}

QString ProjectOverviewPanel::assessmentText() const {
    return m_assessment->text();
}

} // namespace gui
