// The calculation window: outlet options, start level, time step, and the
// start of the core.
#include "gui/calculation/calculation_form.h"

#include "desk/input_fields.h"
#include "desk/open_project.h"
#include "exchange/exchange_paths.h"
#include "exchange/run_summary.h"
#include "gui/calculation/core_launcher.h"
#include "gui/help/help.h"
#include "gui/widgets/form_widgets.h"
#include "gui/widgets/message_service.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace gui {

namespace {

constexpr int kFieldLength = 5; // characters a field accepts

std::size_t groupIndex(desk::OptionGroup group) {
    return static_cast<std::size_t>(group);
}

QString colon(const char* label) {
    return QString::fromUtf8(label) + ":";
}

QLabel* boldLabel(const QString& text, QWidget* parent, int pixelSizeStep = 0) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    if (pixelSizeStep != 0) font.setPixelSize(font.pixelSize() + pixelSizeStep);
    label->setFont(font);
    return label;
}

QLineEdit* field(const char* objectName, QWidget* parent) {
    auto* edit = new QLineEdit("0", parent);
    edit->setObjectName(objectName);
    edit->setMaxLength(kFieldLength);
    edit->setFixedWidth(70);
    return edit;
}

} // namespace

CalculationForm::CalculationForm(QWidget* parent) : QDialog(parent) {
    setObjectName("CalculationForm");
    gui::installHelp(this, "vypocet");
    setWindowTitle(desk::kCalculationFormName);
    setModal(true);
    // The layout is fixed at about 1025 x 492 pixels; a compact type keeps the
    // long option texts whole within it.
    QFont compact = font();
    compact.setPixelSize(11);
    setFont(compact);

    const QString opened = "OTEVŘENÉ - s předpouštěním";
    const QString closed = "ZAVŘENÉ - bez předpouštění";
    buildOptionGroup(desk::OptionGroup::PreReleaseStorage, "groupPreReleaseStorage",
                     colon(desk::label::kPreReleaseStorage), {closed, opened});
    buildOptionGroup(desk::OptionGroup::PreReleaseControlled, "groupPreReleaseControlled",
                     colon(desk::label::kPreReleaseControlled), {closed, opened});
    buildOptionGroup(desk::OptionGroup::EmptyAfterFlood, "groupEmptyAfterFlood",
                     "Vyber možnost:", {"ZAVŘENÉ - neprázdním", "OTEVŘENÉ - prázdním nádrž"});
    buildOptionGroup(
        desk::OptionGroup::ManipulationMode, "groupManipulationMode",
        "Vyber možnost (v návaznosti na nastavení výpustí před povodní nebo dle typu výpustí):",
        {"Výpusti OTEVŘENÉ (nedoporučuje se u velkých nádrží), (buď takto zůstaly nebo otevřeny "
         "v 1 kroku)",
         "Výpusti ZAVŘENÉ  (buď takto zůstaly nebo otevřeny v 1 kroku)",
         "Budu průběžně manipulovat (při povodni plynule ZAVŘU a po povodni plynule OTEVŘU) "});
    buildOptionGroup(desk::OptionGroup::KeepClosedAfterPeak, "groupKeepClosedAfterPeak",
                     colon(desk::label::kKeepClosed), {"Ihned OTEVŘU", "Nechám je zavřené"});
    buildZonePanel();
    buildLayout(buildSidePanels());

    setFixedSize(1025, 492);
    showSavedSettings();
}

QGroupBox* CalculationForm::buildZonePanel() {
    m_zoneGroup = new QGroupBox(colon(desk::label::kManipulationGroup), this);
    m_zoneGroup->setObjectName("groupManipulationZone");
    m_zoneHeightEdit = field("editZoneHeight", m_zoneGroup);
    auto* layout = new QGridLayout(m_zoneGroup);
    layout->addWidget(new QLabel(colon(desk::label::kManipulationZone), m_zoneGroup), 0, 0);
    auto* note = new QLabel(
        "Max. však možná výška retenčního neovlada. prostoru (viz. technické údáje)", m_zoneGroup);
    note->setWordWrap(true);
    auto* zone = new QHBoxLayout;
    zone->addWidget(m_zoneHeightEdit);
    zone->addWidget(new QLabel(desk::label::kMetres, m_zoneGroup));
    zone->addStretch();
    layout->addLayout(zone, 1, 0);
    layout->addWidget(note, 2, 0);
    return m_zoneGroup;
}

// Its width is kept so that the window does not reflow when the panels change.
QWidget* CalculationForm::buildSidePanels() {
    QGroupBox* keepClosed = m_groupBoxes[groupIndex(desk::OptionGroup::KeepClosedAfterPeak)];
    auto* place = new QWidget(this);
    auto* layout = new QVBoxLayout(place);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(keepClosed);
    layout->addWidget(m_zoneGroup);
    layout->addStretch();
    place->setFixedWidth(400);
    keepClosed->hide();
    m_zoneGroup->hide();
    return place;
}

QGroupBox* CalculationForm::buildSettings() {
    auto* settings = new QGroupBox("Nastavení výpočtu", this);
    settings->setObjectName("groupCalculationSettings");
    m_startLevelEdit = field("editStartLevel", settings);
    m_timeStepEdit = field("editTimeStep", settings);
    auto* layout = new QGridLayout(settings);
    layout->addWidget(new QLabel(desk::label::kStartLevel, settings), 0, 0);
    layout->addWidget(m_startLevelEdit, 0, 1);
    layout->addWidget(new QLabel(desk::label::kMetres, settings), 0, 2);
    layout->addWidget(new QLabel(desk::label::kTimeStep, settings), 1, 0);
    layout->addWidget(m_timeStepEdit, 1, 1);
    layout->addWidget(new QLabel(desk::label::kMinutes, settings), 1, 2);
    return settings;
}

QVBoxLayout* CalculationForm::buildButtons() {
    m_closeWithoutSavingButton = new QPushButton("Zavřít okno bez uložení", this);
    m_closeWithoutSavingButton->setObjectName("btnCloseNoSave");
    m_saveButton = new QPushButton("Uložit nastavení a zavřít okno", this);
    m_saveButton->setObjectName("btnSave");
    m_startButton = new QPushButton("SPUSTIT VÝPOČET a zavřít okno", this);
    m_startButton->setObjectName("btnStart");
    QFont bold = m_startButton->font();
    bold.setBold(true);
    m_startButton->setFont(bold);
    // Enter in a field must not press a button: that would start the core by accident.
    for (QPushButton* button : {m_closeWithoutSavingButton, m_saveButton, m_startButton}) {
        button->setAutoDefault(false);
        button->setMinimumHeight(34);
    }
    connect(m_closeWithoutSavingButton, &QPushButton::clicked, this,
            &CalculationForm::closeWithoutSaving);
    connect(m_saveButton, &QPushButton::clicked, this, &CalculationForm::saveAndClose);
    connect(m_startButton, &QPushButton::clicked, this, &CalculationForm::startCalculation);

    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_closeWithoutSavingButton);
    buttons->addWidget(m_saveButton);
    buttons->addWidget(m_startButton);
    return buttons;
}

// Top to bottom: the outlets before and after the flood, above the crest,
// then the settings and the buttons.
void CalculationForm::buildLayout(QWidget* sidePanels) {
    const auto box = [this](desk::OptionGroup group) { return m_groupBoxes[groupIndex(group)]; };
    auto* before = new QVBoxLayout;
    before->addWidget(boldLabel("Nastavení spodních výpustí před povodní", this));
    auto* beforeGroups = new QHBoxLayout;
    beforeGroups->addWidget(box(desk::OptionGroup::PreReleaseStorage));
    beforeGroups->addWidget(box(desk::OptionGroup::PreReleaseControlled));
    before->addLayout(beforeGroups);
    auto* after = new QVBoxLayout;
    after->addWidget(boldLabel(desk::label::kAfterFlood, this));
    after->addWidget(box(desk::OptionGroup::EmptyAfterFlood));
    auto* outlets = new QHBoxLayout;
    outlets->addLayout(before, 2);
    outlets->addSpacing(20);
    outlets->addLayout(after, 1);

    auto* aboveCrest = new QHBoxLayout;
    aboveCrest->addWidget(box(desk::OptionGroup::ManipulationMode), 1, Qt::AlignTop);
    aboveCrest->addWidget(sidePanels);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(buildSettings());
    bottom->addStretch();
    bottom->addLayout(buildButtons());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(boldLabel("TRANSFORMACE POVODŇOVÉ VLNY", this, 6), 0, Qt::AlignHCenter);
    layout->addWidget(boldLabel("Manipulace spodními výpusti:", this));
    layout->addLayout(outlets);
    layout->addWidget(boldLabel(desk::label::kAboveCrest, this));
    layout->addLayout(aboveCrest);
    layout->addStretch();
    layout->addLayout(bottom);
}

std::filesystem::path CalculationForm::settingsDir() const {
    return m_programDir.isEmpty() ? desk::projectInputsDir() : gui::toPath(m_programDir);
}

void CalculationForm::setProgramDirectory(const QString& dir) {
    m_programDir = dir;
    showSavedSettings();
}

// The selections show what the files hold; nothing is written.
void CalculationForm::showSavedSettings() {
    const desk::SavedCalculationSettings saved =
        desk::readSavedCalculationSettings(settingsDir(), desk::projectRoot());
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        QButtonGroup* buttons = m_groups[g];
        const QSignalBlocker quiet(buttons);
        buttons->setExclusive(false); // so that no item may be selected
        for (QAbstractButton* button : buttons->buttons())
            button->setChecked(buttons->id(button) == saved.items[g]);
        buttons->setExclusive(true);
    }
    applyVisibilityRule(saved.items[groupIndex(desk::OptionGroup::ManipulationMode)]);
    gui::showSavedText(*m_startLevelEdit, QString::fromStdString(saved.fields.startLevel));
    gui::showSavedText(*m_timeStepEdit, QString::fromStdString(saved.fields.timeStep));
    gui::showSavedText(*m_zoneHeightEdit, QString::fromStdString(saved.fields.manipulationZone));
    m_openedSettings = shownSettings();
}

QStringList CalculationForm::shownSettings() const {
    QStringList settings;
    for (const int item : selectedItems())
        settings << QString::number(item);
    return settings << m_startLevelEdit->text() << m_timeStepEdit->text()
                    << m_zoneHeightEdit->text();
}

QGroupBox* CalculationForm::buildOptionGroup(desk::OptionGroup group, const char* name,
                                             const QString& caption, const QStringList& items) {
    auto* box = new QGroupBox(caption, this);
    box->setObjectName(name);
    auto* buttons = new QButtonGroup(box);
    buttons->setExclusive(true);
    auto* layout = new QVBoxLayout(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], box);
        radio->setObjectName(QString("%1_%2").arg(name).arg(i));
        buttons->addButton(radio, i);
        layout->addWidget(radio);
    }
    m_groups[groupIndex(group)] = buttons;
    m_groupBoxes[groupIndex(group)] = box;
    if (group == desk::OptionGroup::ManipulationMode)
        connect(buttons, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
            if (checked) applyVisibilityRule(id);
        });
    return box;
}

desk::OptionItems CalculationForm::selectedItems() const {
    desk::OptionItems items{};
    for (std::size_t g = 0; g < m_groups.size(); ++g)
        items[g] = m_groups[g]->checkedId(); // -1 without a selection
    return items;
}

// Hiding a panel leaves its selection and its field as they are: the start
// writes IN_MANPR from the zone's height whether the panel shows or not.
void CalculationForm::applyVisibilityRule(int manipulationItem) {
    m_groupBoxes[groupIndex(desk::OptionGroup::KeepClosedAfterPeak)]->setVisible(manipulationItem ==
                                                                                 1);
    m_zoneGroup->setVisible(manipulationItem == 2);
}

std::optional<desk::CalculationFields> CalculationForm::checkedFields() {
    desk::CalculationFields typed;
    typed.startLevel = m_startLevelEdit->text().toStdString();
    typed.timeStep = m_timeStepEdit->text().toStdString();
    typed.manipulationZone = m_zoneHeightEdit->text().toStdString();
    gui::MessageService& messages = gui::MessageService::instance();
    const desk::CalculationCheck check =
        desk::checkCalculationFields(typed, project_files::readSavedInputs(settingsDir()));
    if (check.refusal) {
        messages.error(this, QString::fromStdString(check.refusal->message));
        QLineEdit* const fields[] = {m_startLevelEdit, m_timeStepEdit, m_zoneHeightEdit};
        gui::markField(*fields[check.refusal->field]);
        return std::nullopt;
    }
    if (!check.warnings.empty() &&
        !messages.question(this, QString::fromStdString(desk::warningQuestion(check.warnings))))
        return std::nullopt;
    return check.fields;
}

// Every choice the run needs, before anything is written: the core would
// refuse a missing option file only after the settings were saved.
std::optional<desk::OptionItems> CalculationForm::checkedItems() {
    const desk::RunOptions options = desk::runOptions(selectedItems());
    if (options.missing.empty()) return options.items;
    gui::MessageService::instance().error(
        this, QString::fromStdString(desk::missingChoicesText(options.missing)));
    m_groups[groupIndex(options.missing.front())]->buttons().front()->setFocus();
    return std::nullopt;
}

void CalculationForm::startCalculation() {
    if (m_running) return;
    const std::optional<desk::OptionItems> items = checkedItems();
    if (!items) return;
    const std::optional<desk::CalculationFields> fields = checkedFields();
    if (!fields) return;

    desk::StartActions actions;
    actions.ask = [this](const std::string& question) {
        return gui::MessageService::instance().question(this, QString::fromStdString(question));
    };
    actions.showError = [this](const std::string& error) {
        gui::MessageService::instance().error(this, QString::fromStdString(error));
    };
    actions.launch = [this](const std::filesystem::path& root) { launch(root); };

    const desk::StartOutcome outcome =
        desk::runStartSequence(settingsDir(), desk::projectRoot(), *items, *fields, actions);
    if (outcome != desk::StartOutcome::WriteFailed) accept();
}

void CalculationForm::saveAndClose() {
    if (m_running) return;
    const std::optional<desk::CalculationFields> fields = checkedFields();
    if (!fields) return;
    const project_files::FileResult result =
        desk::saveSettings(settingsDir(), desk::projectRoot(), selectedItems(), *fields);
    if (!result) {
        gui::MessageService::instance().error(this, QString::fromStdString(result.error));
        return;
    }
    accept();
}

// The program is the installation's, the files it works on the project's.
void CalculationForm::launch(const std::filesystem::path& root) {
    setRunning(true);
    gui::launchCore(gui::toQString(desk::coreExecutable(exchange::installationRoot())), root, this,
                    m_processFactory);
    setRunning(false);
}

void CalculationForm::setRunning(bool running) {
    m_running = running;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow()) child->setEnabled(!running);
}

void CalculationForm::closeWithoutSaving() {
    if (m_running) return;
    if (shownSettings() == m_openedSettings ||
        gui::MessageService::instance().question(this, "Opravdu zavřít bez uložení?"))
        reject();
}

// Every opening shows what the files hold: a choice closed without saving is
// gone, as the closing button says.
void CalculationForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        showSavedSettings();
        if (const QScreen* screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

// The window's own close control closes without asking and writes nothing;
// while the core runs the window stays, so that nothing starts a second run.
void CalculationForm::closeEvent(QCloseEvent* event) {
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void CalculationForm::reject() {
    if (!m_running) QDialog::reject();
}

} // namespace gui
