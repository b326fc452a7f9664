// The calculation window: outlet options, start level, time step, and the
// start of the core.
#include "gui/vypocet/tfrm_vypocet.h"

#include "exchange/exchange_paths.h"
#include "exchange/run_summary.h"
#include "gui/common/input_fields.h"
#include "gui/console/core_launcher.h"
#include "gui/dialogs/form_widgets.h"
#include "gui/dialogs/message_service.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

constexpr int kFieldLength = 5; // characters a field accepts

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

TFRM_vypocet::TFRM_vypocet(QWidget* parent)
    : QDialog(parent), m_programDir(QCoreApplication::applicationDirPath()) {
    setObjectName("TFRM_vypocet");
    setWindowTitle("FRM_výpočet");
    setModal(true);
    // The layout is fixed at about 1025 x 492 pixels; a compact type keeps the
    // long option texts whole within it.
    QFont compact = font();
    compact.setPixelSize(11);
    setFont(compact);

    using gui::OptionGroup;
    const QString opened = "OTEVŘENÉ - s předpouštěním";
    const QString closed = "ZAVŘENÉ - bez předpouštění";
    QGroupBox* group1 = makeGroup(OptionGroup::PreReleaseStorage, "RadioGroup1",
                                  colon(gui::label::kPreReleaseStorage), {closed, opened});
    QGroupBox* group4 = makeGroup(OptionGroup::PreReleaseControlled, "RadioGroup4",
                                  colon(gui::label::kPreReleaseControlled), {closed, opened});
    QGroupBox* group5 =
        makeGroup(OptionGroup::EmptyAfterFlood, "RadioGroup5",
                  "Vyber možnost:", {"ZAVŘENÉ - neprázdním", "OTEVŘENÉ - prázdním nádrž"});
    QGroupBox* group2 = makeGroup(
        OptionGroup::ManipulationMode, "RadioGroup2",
        "Vyber možnost (v návaznosti na nastavení výpustí před povodní nebo dle typu výpustí):",
        {"Výpusti OTEVŘENÉ (nedoporučuje se u velkých nádrží), (buď takto zůstaly nebo otevřeny "
         "v 1 kroku)",
         "Výpusti ZAVŘENÉ  (buď takto zůstaly nebo otevřeny v 1 kroku)",
         "Budu průběžně manipulovat (při povodni plynule ZAVŘU a po povodni plynule OTEVŘU) "});
    RadioGroup3 = makeGroup(OptionGroup::KeepClosedAfterPeak, "RadioGroup3",
                            colon(gui::label::kKeepClosed), {"Ihned OTEVŘU", "Nechám je zavřené"});

    GroupBox2 = new QGroupBox(colon(gui::label::kManipulationGroup), this);
    GroupBox2->setObjectName("GroupBox2");
    Edit6 = field("Edit6", GroupBox2);
    auto* manipulation = new QGridLayout(GroupBox2);
    manipulation->addWidget(new QLabel(colon(gui::label::kManipulationZone), GroupBox2), 0, 0);
    auto* note = new QLabel(
        "Max. však možná výška retenčního neovlada. prostoru (viz. technické údáje)", GroupBox2);
    note->setWordWrap(true);
    auto* zone = new QHBoxLayout;
    zone->addWidget(Edit6);
    zone->addWidget(new QLabel(gui::label::kMetres, GroupBox2));
    zone->addStretch();
    manipulation->addLayout(zone, 1, 0);
    manipulation->addWidget(note, 2, 0);

    // One place at the right of RadioGroup2 for whichever side panel is shown;
    // its width is kept so that the window does not reflow when panels change.
    auto* panelPlace = new QWidget(this);
    auto* panelLayout = new QVBoxLayout(panelPlace);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(RadioGroup3);
    panelLayout->addWidget(GroupBox2);
    panelLayout->addStretch();
    panelPlace->setFixedWidth(400);
    RadioGroup3->hide();
    GroupBox2->hide();

    auto* settings = new QGroupBox("Nastavení výpočtu", this);
    settings->setObjectName("GroupBox1");
    Edit1 = field("Edit1", settings);
    Edit2 = field("Edit2", settings);
    auto* settingsLayout = new QGridLayout(settings);
    settingsLayout->addWidget(new QLabel(gui::label::kStartLevel, settings), 0, 0);
    settingsLayout->addWidget(Edit1, 0, 1);
    settingsLayout->addWidget(new QLabel(gui::label::kMetres, settings), 0, 2);
    settingsLayout->addWidget(new QLabel(gui::label::kTimeStep, settings), 1, 0);
    settingsLayout->addWidget(Edit2, 1, 1);
    settingsLayout->addWidget(new QLabel(gui::label::kMinutes, settings), 1, 2);

    Button1 = new QPushButton("Zavřít okno bez uložení", this);
    Button1->setObjectName("Button1");
    Button2 = new QPushButton("SPUSTIT VÝPOČET a zavřít okno", this);
    Button2->setObjectName("Button2");
    QFont bold = Button2->font();
    bold.setBold(true);
    Button2->setFont(bold);
    // Enter in a field must not press a button: that would start the core by accident.
    for (QPushButton* button : {Button1, Button2}) {
        button->setAutoDefault(false);
        button->setMinimumHeight(34);
    }
    connect(Button1, &QPushButton::clicked, this, &TFRM_vypocet::closeWithoutSaving);
    connect(Button2, &QPushButton::clicked, this, &TFRM_vypocet::startCalculation);

    // Layout, top to bottom.
    auto* before = new QVBoxLayout;
    before->addWidget(boldLabel("Nastavení spodních výpustí před povodní", this));
    auto* beforeGroups = new QHBoxLayout;
    beforeGroups->addWidget(group1);
    beforeGroups->addWidget(group4);
    before->addLayout(beforeGroups);
    auto* after = new QVBoxLayout;
    after->addWidget(boldLabel(gui::label::kAfterFlood, this));
    after->addWidget(group5);
    auto* row1 = new QHBoxLayout;
    row1->addLayout(before, 2);
    row1->addSpacing(20);
    row1->addLayout(after, 1);

    auto* row2 = new QHBoxLayout;
    row2->addWidget(group2, 1, Qt::AlignTop);
    row2->addWidget(panelPlace);

    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* row3 = new QHBoxLayout;
    row3->addWidget(settings);
    row3->addStretch();
    row3->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(boldLabel("TRANSFORMACE POVODŇOVÉ VLNY", this, 6), 0, Qt::AlignHCenter);
    layout->addWidget(boldLabel("Manipulace spodními výpusti:", this));
    layout->addLayout(row1);
    layout->addWidget(boldLabel(gui::label::kAboveCrest, this));
    layout->addLayout(row2);
    layout->addStretch();
    layout->addLayout(row3);

    setFixedSize(1025, 492);
    showSavedSettings();
}

void TFRM_vypocet::setProgramDirectory(const QString& dir) {
    m_programDir = dir;
    showSavedSettings();
}

// The selections are set without writing their files: they show what the
// files hold already.
void TFRM_vypocet::showSavedSettings() {
    const gui::SavedCalculationSettings saved =
        gui::readSavedCalculationSettings(gui::toPath(m_programDir), exchange::installationRoot());
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        QButtonGroup* buttons = m_groups[g];
        const QSignalBlocker quiet(buttons);
        buttons->setExclusive(false); // so that no item may be selected
        for (QAbstractButton* button : buttons->buttons())
            button->setChecked(buttons->id(button) == saved.items[g]);
        buttons->setExclusive(true);
    }
    applyVisibilityRule(saved.items[static_cast<std::size_t>(gui::OptionGroup::ManipulationMode)]);
    gui::showSavedText(*Edit1, QString::fromStdString(saved.fields.startLevel));
    gui::showSavedText(*Edit2, QString::fromStdString(saved.fields.timeStep));
    gui::showSavedText(*Edit6, QString::fromStdString(saved.fields.manipulationZone));
}

QGroupBox* TFRM_vypocet::makeGroup(gui::OptionGroup group, const char* objectName,
                                   const QString& caption, const QStringList& items) {
    auto* box = new QGroupBox(caption, this);
    box->setObjectName(objectName);
    auto* buttons = new QButtonGroup(box);
    buttons->setExclusive(true);
    auto* layout = new QVBoxLayout(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i], box);
        radio->setObjectName(QString("%1_%2").arg(objectName).arg(i));
        buttons->addButton(radio, i);
        layout->addWidget(radio);
    }
    m_groups[groupIndex(group)] = buttons;
    connect(buttons, &QButtonGroup::idToggled, this, [this, group](int id, bool checked) {
        if (checked) selectOption(group, id);
    });
    return box;
}

void TFRM_vypocet::selectOption(gui::OptionGroup group, int itemIndex) {
    if (m_running) return; // the running core reads these files
    if (group == gui::OptionGroup::ManipulationMode) applyVisibilityRule(itemIndex);
    const exchange::FileResult result =
        gui::perform(gui::optionWrite(gui::toPath(m_programDir), group, itemIndex));
    if (!result) gui::MessageService::instance().error(this, QString::fromStdString(result.error));
}

// Hiding a panel leaves its file and its field as they are: the start writes
// IN_MANPR from Edit6 whether the panel shows or not.
void TFRM_vypocet::applyVisibilityRule(int itemIndex) {
    RadioGroup3->setVisible(itemIndex == 1);
    GroupBox2->setVisible(itemIndex == 2);
}

void TFRM_vypocet::startCalculation() {
    if (m_running) return;
    gui::CalculationFields typed;
    typed.startLevel = Edit1->text().toStdString();
    typed.timeStep = Edit2->text().toStdString();
    typed.manipulationZone = Edit6->text().toStdString();
    gui::MessageService& messages = gui::MessageService::instance();
    const gui::CalculationCheck check = gui::checkCalculationFields(
        typed, exchange::curveLevels(exchange::readSavedInputs(gui::toPath(m_programDir))));
    if (check.refusal) {
        messages.error(this, QString::fromStdString(check.refusal->message));
        QLineEdit* const fields[] = {Edit1, Edit2, Edit6};
        gui::markField(*fields[check.refusal->field]);
        return;
    }
    if (!check.warnings.empty() &&
        !messages.question(this, QString::fromStdString(gui::warningQuestion(check.warnings))))
        return;

    gui::StartActions actions;
    actions.ask = [this](const std::string& question) {
        return gui::MessageService::instance().question(this, QString::fromStdString(question));
    };
    actions.showError = [this](const std::string& error) {
        gui::MessageService::instance().error(this, QString::fromStdString(error));
    };
    actions.launch = [this](const std::filesystem::path& executable) { launch(executable); };

    const gui::StartOutcome outcome = gui::runStartSequence(
        gui::toPath(m_programDir), exchange::installationRoot(), check.fields, actions);
    if (outcome != gui::StartOutcome::WriteFailed) accept();
}

void TFRM_vypocet::launch(const std::filesystem::path& executable) {
    setRunning(true);
    const std::filesystem::path summary =
        exchange::outResultDir(exchange::installationRoot()) / exchange::summary::kFileName;
    gui::launchCore(QString::fromStdString(executable.string()), summary, this, m_processFactory);
    setRunning(false);
}

void TFRM_vypocet::setRunning(bool running) {
    m_running = running;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow()) child->setEnabled(!running);
}

void TFRM_vypocet::closeWithoutSaving() {
    if (m_running) return;
    if (gui::MessageService::instance().question(this, "Opravdu zavřít bez uložení?")) reject();
}

void TFRM_vypocet::showEvent(QShowEvent* event) {
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

// The window's own close control closes without asking and writes nothing;
// while the core runs the window stays, so that nothing starts a second run.
void TFRM_vypocet::closeEvent(QCloseEvent* event) {
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TFRM_vypocet::reject() {
    if (!m_running) QDialog::reject();
}
