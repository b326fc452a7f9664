// The dialog that keeps the last finished run as a named variant.
#include "gui/studies/keep_variant_dialog.h"

#include "desk/input_findings.h"
#include "desk/typed_number.h"
#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "gui/help/help.h"
#include "gui/widgets/form_widgets.h"
#include "gui/widgets/message_service.h"
#include "project_files/result_inputs.h"
#include "study/core_run.h"
#include "study/variant_store.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace gui {

KeepVariantDialog::KeepVariantDialog(const std::filesystem::path& root, const QString& startLevel,
                                     QWidget* parent)
    : QDialog(parent), m_root(root), m_recorded(project_files::readResultInputs(root)) {
    setObjectName("KeepVariantDialog");
    gui::installHelp(this, "ulozit_variantu");
    setWindowTitle("Uložit výsledek jako variantu");

    auto* intro = new QLabel("Poslední výpočet, který doběhl, se uloží jako varianta: kopie jeho "
                             "vstupů, výsledků a souhrnu ve složce VARIANTY.",
                             this);
    intro->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(buildFields(startLevel));
    layout->addLayout(buildButtons());
    showSettings();
    resize(620, sizeHint().height());
}

QFormLayout* KeepVariantDialog::buildFields(const QString& startLevel) {
    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName("editVariantName");
    m_nameEdit->setPlaceholderText("např. Z = 0,6 m, předpouštění");
    // The set records the start level the run read (the core deleted
    // IN_START_VYP): the variant keeps that one, shown, not typed again.
    const auto& recorded = m_recorded.inputs.startLevel;
    m_startLevelEdit = new QLineEdit(
        recorded ? QString::fromStdString(desk::czechNumber(recorded->text)) : startLevel, this);
    m_startLevelEdit->setObjectName("editStartLevel");
    m_startLevelEdit->setReadOnly(true);
    m_startLevelEdit->setFrame(false);
    m_startLevelEdit->setToolTip("Výška vody, ze které poslední výpočet vyšel (zaznamenaná u jeho "
                                 "výsledků); varianta ji uloží s ostatními vstupy výpočtu.");
    m_settingsLabel = new QLabel(this);
    m_settingsLabel->setObjectName("lblSettings");
    m_settingsLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* fields = new QFormLayout;
    fields->addRow("Název varianty:", m_nameEdit);
    fields->addRow(QString(kStartLevelLabel) + ":", m_startLevelEdit);
    fields->addRow("Nastavení výpočtu:", m_settingsLabel);
    return fields;
}

QHBoxLayout* KeepVariantDialog::buildButtons() {
    QPushButton* keep = gui::makeButton("Uložit variantu", "btnKeep", this, true);
    QPushButton* cancel = gui::makeButton("Zrušit", "btnCancel", this, false);
    keep->setDefault(true);
    connect(keep, &QPushButton::clicked, this, &KeepVariantDialog::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    return gui::rowAtRight({keep, cancel});
}

bool KeepVariantDialog::lastRunKeepable(const std::filesystem::path& root, QWidget* parent) {
    try {
        study::checkLastRunKeepable(root);
        return true;
    } catch (const study::InputsRefused& e) {
        gui::MessageService::instance().warning(
            parent, "Vstupy posledního výpočtu výpočet dnes odmítá: " +
                        QString::fromStdString(desk::findingSentence(e.finding)));
        return false;
    } catch (const study::StudyError& e) {
        gui::MessageService::instance().warning(parent, QString::fromUtf8(e.what()));
        return false;
    }
}

void KeepVariantDialog::showSettings() {
    QStringList lines;
    for (const std::string& line : study::describeSettings(m_recorded.inputs))
        lines << QString::fromStdString(line);
    m_settingsLabel->setText(lines.join('\n'));
}

void KeepVariantDialog::save() {
    auto& messages = gui::MessageService::instance();
    const std::string name = m_nameEdit->text().toStdString();
    if (const std::string problem = study::variantNameProblem(name); !problem.empty()) {
        messages.warning(this, QString::fromStdString(problem));
        m_nameEdit->setFocus();
        return;
    }
    const QString kept = QString::fromStdString(study::trimmedVariantName(name));
    try {
        const bool exists = study::variantExists(m_root, name);
        if (exists && !messages.question(this, "Varianta „" + kept + "“ už existuje. Nahradit ji?"))
            return;
        study::keepVariant(m_root, name, exists);
    } catch (const study::StudyError& e) {
        messages.error(this, QString::fromUtf8(e.what()));
        return;
    }
    m_kept = kept;
    messages.information(this, "Varianta „" + kept + "“ je uložena.");
    accept();
}

} // namespace gui
