// The technical data form.
#include "gui/inputs/technical_data_form.h"

#include "desk/input_fields.h"
#include "desk/open_project.h"
#include "gui/help/help.h"
#include "gui/widgets/form_widgets.h"
#include "gui/widgets/message_service.h"
#include "project_files/saved_inputs.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace gui {

using desk::TechnicalField;

TechnicalDataForm::TechnicalDataForm(QWidget* parent) : gui::InputForm(parent) {
    setObjectName("TechnicalDataForm");
    gui::installHelp(this, "technicke_udaje");
    setWindowTitle(desk::kTechnicalDataFormName);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildOutletGroup());
    layout->addWidget(buildSpillwayGroup());
    layout->addStretch(1);
    layout->addLayout(buildButtons());

    resize(689, 468);
    showSavedData();
}

QGroupBox* TechnicalDataForm::buildOutletGroup() {
    using namespace desk::label;
    auto* outlets = new QGroupBox("Spodní výpusti", this);
    outlets->setObjectName("groupOutlets");
    auto* grid = new QGridLayout(outlets);
    addField(grid, desk::kOutletCountField, kOutletCount, "OutletCount", 1);
    addField(grid, desk::kOutletDiameterField, kOutletDiameter, "OutletDiameter", 5);
    addField(grid, desk::kOutletCoefficientField, kOutletCoefficient, "OutletCoefficient", 6);
    return outlets;
}

QGroupBox* TechnicalDataForm::buildSpillwayGroup() {
    using namespace desk::label;
    auto* spillway = new QGroupBox("Bezpečnostní přeliv", this);
    spillway->setObjectName("groupSpillway");
    auto* grid = new QGridLayout(spillway);
    addField(grid, desk::kSpillwayWidthField, kSpillwayWidth, "SpillwayWidth", 6);
    addField(grid, desk::kOverflowCoefficientField, kOverflowCoefficient, "OverflowCoefficient", 6);
    addField(grid, desk::kStorageTopField, kStorageTop, "StorageTop", 6);
    addField(grid, desk::kCrestHeightField, kCrestHeight, "CrestHeight", 6);
    addField(grid, desk::kRetentionHeightField, kRetentionHeight, "RetentionHeight", 5);
    auto* note = new QLabel("(Resp. maximální výška dosahu povodně (vzdálenost pouze od "
                            "přelivu). Pozor na kapacitu BK!)",
                            spillway);
    note->setObjectName("lblCurveCapacityNote");
    QFont small = note->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    note->setFont(small);
    grid->addWidget(note, grid->rowCount(), 0, 1, 3);
    return spillway;
}

QHBoxLayout* TechnicalDataForm::buildButtons() {
    auto* discard = new QPushButton("Zavřít bez uložení", this);
    discard->setObjectName("btnCloseNoSave");
    auto* save = new QPushButton("Zavřít a uložit", this);
    save->setObjectName("btnCloseSave");
    // Enter in a field must not close the form through a default button.
    for (QPushButton* button : {discard, save}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setMinimumWidth(150);
    }
    connect(discard, &QPushButton::clicked, this, &TechnicalDataForm::closeWithoutSaving);
    connect(save, &QPushButton::clicked, this, &TechnicalDataForm::saveAndClose);
    return gui::rowAtRight({discard, save});
}

void TechnicalDataForm::addField(QGridLayout* grid, desk::TechnicalField field, const char* label,
                                 const char* name, int maxLength) {
    QWidget* group = grid->parentWidget();
    auto* text = new QLabel(QString::fromUtf8(label) + ":", group);
    text->setObjectName(QString("lbl") + name);
    auto* edit = new QLineEdit("0", group);
    edit->setObjectName(QString("edit") + name);
    edit->setMaxLength(maxLength);
    edit->setFixedWidth(90);
    text->setBuddy(edit);
    const int row = grid->count() / 2;
    grid->addWidget(text, row, 0);
    grid->addWidget(edit, row, 1);
    // Both groups start their fields at the same place.
    grid->setColumnMinimumWidth(0, 440);
    grid->setColumnStretch(2, 1);
    m_fields[field] = edit;
}

void TechnicalDataForm::showSavedData() {
    const desk::TechnicalDataTexts saved = desk::readSavedTechnicalData(gui::toPath(filesDir()));
    const std::string* const texts[] = {&saved.outletCount,         &saved.outletDiameter,
                                        &saved.outletCoefficient,   &saved.spillwayWidth,
                                        &saved.overflowCoefficient, &saved.storageTop,
                                        &saved.crestHeight,         &saved.retentionHeight};
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        gui::showSavedText(*m_fields[i], QString::fromStdString(*texts[i]));
        m_shownTexts[i] = m_fields[i]->text();
    }
}

bool TechnicalDataForm::hasChanges() const {
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i]->text() != m_shownTexts[i]) return true;
    return false;
}

void TechnicalDataForm::setFilesDir(const QString& dir) {
    m_filesDir = dir;
    showSavedData();
}

QString TechnicalDataForm::filesDir() const {
    return m_filesDir.isEmpty() ? gui::toQString(desk::projectInputsDir()) : m_filesDir;
}

desk::TechnicalDataTexts TechnicalDataForm::typedTexts() const {
    const auto typed = [this](desk::TechnicalField field) {
        return m_fields[field]->text().toStdString();
    };
    desk::TechnicalDataTexts texts;
    texts.outletCount = typed(desk::kOutletCountField);
    texts.outletDiameter = typed(desk::kOutletDiameterField);
    texts.outletCoefficient = typed(desk::kOutletCoefficientField);
    texts.spillwayWidth = typed(desk::kSpillwayWidthField);
    texts.overflowCoefficient = typed(desk::kOverflowCoefficientField);
    texts.storageTop = typed(desk::kStorageTopField);
    texts.crestHeight = typed(desk::kCrestHeightField);
    texts.retentionHeight = typed(desk::kRetentionHeightField);
    return texts;
}

void TechnicalDataForm::saveAndClose() {
    const std::filesystem::path dir = gui::toPath(filesDir());
    gui::MessageService& messages = gui::MessageService::instance();
    const desk::TechnicalDataCheck check = desk::checkTechnicalData(
        typedTexts(), project_files::curveLevels(project_files::readSavedInputs(dir)));
    if (check.refusal) {
        messages.error(this, QString::fromStdString(check.refusal->message));
        gui::markField(*m_fields[static_cast<std::size_t>(check.refusal->field)]);
        return;
    }
    if (!check.warnings.empty() &&
        !messages.question(this, QString::fromStdString(desk::warningQuestion(check.warnings))))
        return;
    const project_files::FileResult written = desk::writeTechnicalDataFiles(dir, check.files);
    if (!written) {
        messages.error(this, QString::fromStdString(written.error));
        return;
    }
    accept();
}

} // namespace gui
