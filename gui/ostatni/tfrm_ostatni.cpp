// The technical data form.
#include "gui/ostatni/tfrm_ostatni.h"

#include "gui/common/input_fields.h"
#include "gui/common/technical_data.h"
#include "gui/dialogs/form_widgets.h"
#include "gui/dialogs/message_service.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

TFRM_Ostatni::TFRM_Ostatni(QWidget* parent) : gui::InputForm(parent) {
    setObjectName("FRM_Ostatni");
    setWindowTitle("FRM_Technické údaje");

    auto* outlets = new QGroupBox("Spodní výpusti", this);
    outlets->setObjectName("GroupBox1");
    auto* outletGrid = new QGridLayout(outlets);
    using namespace gui::label;
    Edit1 = addField(outletGrid, 0, "Label1", kOutletCount, "Edit1", 1);
    Edit2 = addField(outletGrid, 1, "Label2", kOutletDiameter, "Edit2", 5);
    Edit3 = addField(outletGrid, 2, "Label3", kOutletCoefficient, "Edit3", 6);

    auto* spillway = new QGroupBox("Bezpečnostní přeliv", this);
    spillway->setObjectName("GroupBox2");
    auto* spillwayGrid = new QGridLayout(spillway);
    Edit4 = addField(spillwayGrid, 0, "Label4", kSpillwayWidth, "Edit4", 6);
    Edit5 = addField(spillwayGrid, 1, "Label5", kOverflowCoefficient, "Edit5", 6);
    Edit6 = addField(spillwayGrid, 2, "Label6", kStorageTop, "Edit6", 6);
    Edit7 = addField(spillwayGrid, 3, "Label7", kCrestHeight, "Edit7", 6);
    Edit8 = addField(spillwayGrid, 4, "Label8", kRetentionHeight, "Edit8", 5);
    auto* note = new QLabel("(Resp. maximální výška dosahu povodně (vzdálenost pouze od "
                            "přelivu). Pozor na kapacitu BK!)",
                            spillway);
    note->setObjectName("Label9");
    QFont small = note->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    note->setFont(small);
    spillwayGrid->addWidget(note, 5, 0, 1, 3);

    auto* discard = new QPushButton("Zavřít bez uložení", this);
    discard->setObjectName("Button1");
    auto* save = new QPushButton("Zavřít a uložit", this);
    save->setObjectName("Button2");
    // Enter in a field must not close the form through a default button.
    for (QPushButton* button : {discard, save}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setMinimumWidth(150);
    }
    connect(discard, &QPushButton::clicked, this, &TFRM_Ostatni::closeWithoutSaving);
    connect(save, &QPushButton::clicked, this, &TFRM_Ostatni::saveAndClose);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(discard);
    buttons->addWidget(save);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(outlets);
    layout->addWidget(spillway);
    layout->addStretch(1);
    layout->addLayout(buttons);

    resize(689, 468);
    showSavedData();
}

QLineEdit* TFRM_Ostatni::field(int index) const {
    QLineEdit* const fields[] = {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8};
    return fields[index];
}

void TFRM_Ostatni::showSavedData() {
    const gui::TechnicalDataTexts saved = gui::readSavedTechnicalData(gui::toPath(filesDir()));
    const std::string* const texts[] = {&saved.outletCount,         &saved.outletDiameter,
                                        &saved.outletCoefficient,   &saved.spillwayWidth,
                                        &saved.overflowCoefficient, &saved.storageTop,
                                        &saved.crestHeight,         &saved.retentionHeight};
    for (int i = 0; i < 8; ++i)
        gui::showSavedText(*field(i), QString::fromStdString(*texts[i]));
}

QLineEdit* TFRM_Ostatni::addField(QGridLayout* grid, int row, const char* labelName,
                                  const char* label, const char* editName, int maxLength) {
    auto* text = new QLabel(QString::fromUtf8(label) + ":", grid->parentWidget());
    text->setObjectName(labelName);
    auto* edit = new QLineEdit("0", grid->parentWidget());
    edit->setObjectName(editName);
    edit->setMaxLength(maxLength);
    edit->setFixedWidth(90);
    text->setBuddy(edit);
    grid->addWidget(text, row, 0);
    grid->addWidget(edit, row, 1);
    // Both groups start their fields at the same place.
    grid->setColumnMinimumWidth(0, 440);
    grid->setColumnStretch(2, 1);
    return edit;
}

void TFRM_Ostatni::setFilesDir(const QString& dir) {
    m_filesDir = dir;
    showSavedData();
}

QString TFRM_Ostatni::filesDir() const {
    return m_filesDir.isEmpty() ? QCoreApplication::applicationDirPath() : m_filesDir;
}

void TFRM_Ostatni::saveAndClose() {
    gui::TechnicalDataTexts texts;
    texts.outletCount = Edit1->text().toStdString();
    texts.outletDiameter = Edit2->text().toStdString();
    texts.outletCoefficient = Edit3->text().toStdString();
    texts.spillwayWidth = Edit4->text().toStdString();
    texts.overflowCoefficient = Edit5->text().toStdString();
    texts.storageTop = Edit6->text().toStdString();
    texts.crestHeight = Edit7->text().toStdString();
    texts.retentionHeight = Edit8->text().toStdString();

    const std::filesystem::path dir = gui::toPath(filesDir());
    gui::MessageService& messages = gui::MessageService::instance();
    const gui::TechnicalDataCheck check =
        gui::checkTechnicalData(texts, exchange::curveLevels(exchange::readSavedInputs(dir)));
    if (check.refusal) {
        messages.error(this, QString::fromStdString(check.refusal->message));
        gui::markField(*field(check.refusal->field));
        return;
    }
    if (!check.warnings.empty() &&
        !messages.question(this, QString::fromStdString(gui::warningQuestion(check.warnings))))
        return;
    const exchange::FileResult written = gui::writeTechnicalDataFiles(dir, check.files);
    if (!written) {
        messages.error(this, QString::fromStdString(written.error));
        return;
    }
    accept();
}
