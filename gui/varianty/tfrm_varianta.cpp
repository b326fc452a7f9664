// The dialog that keeps the last finished run as a named variant.
#include "gui/varianty/tfrm_varianta.h"

#include "exchange/exchange_paths.h"
#include "exchange/file_names.h"
#include "exchange/io/result_files.h"
#include "gui/common/typed_number.h"
#include "gui/dialogs/form_widgets.h"
#include "gui/dialogs/message_service.h"
#include "study/core_run.h"
#include "study/study_files.h"
#include "study/variant_store.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFRM_varianta::TFRM_varianta(const std::filesystem::path& root, const QString& startLevel,
                             QWidget* parent)
    : QDialog(parent), m_root(root) {
    setObjectName("TFRM_varianta");
    setWindowTitle("Uložit výsledek jako variantu");

    auto* intro = new QLabel("Poslední výpočet, který doběhl, se uloží jako varianta: kopie jeho "
                             "vstupů, výsledků a souhrnu ve složce VARIANTY.",
                             this);
    intro->setWordWrap(true);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setPlaceholderText("např. Z = 0,6 m, předpouštění");
    Edit2 = new QLineEdit(startLevel, this);
    Edit2->setObjectName("Edit2");
    Label3 = new QLabel(this);
    Label3->setObjectName("Label3");
    Label3->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // The core takes IN_START_VYP away, and a calculation window opened
    // afresh shows 0: the level of the first step, which is the start level up
    // to the curve's interpolation, lets the engineer check the value.
    Label4 = new QLabel(this);
    Label4->setObjectName("Label4");
    if (const auto levels =
            exchange::readResultSeries(exchange::outResultDir(root) / exchange::kLevelSeries);
        levels && !levels->empty())
        Label4->setText("hladina v 1. kroku výsledků: " +
                        QString::number(levels->front(), 'f', 3).replace('.', ',') + " m");

    auto* fields = new QFormLayout;
    fields->addRow("Název varianty:", Edit1);
    fields->addRow(QString(kStartLevelLabel) + ":", Edit2);
    fields->addRow("", Label4);
    fields->addRow("Nastavení výpočtu:", Label3);

    Button1 = gui::makeButton("Uložit variantu", "Button1", this, true);
    Button2 = gui::makeButton("Zrušit", "Button2", this, false);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TFRM_varianta::save);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Edit2, &QLineEdit::textChanged, this, &TFRM_varianta::showSettings);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    showSettings();
    resize(620, sizeHint().height());
}

bool TFRM_varianta::lastRunKeepable(const std::filesystem::path& root, QWidget* parent) {
    try {
        study::checkLastRunKeepable(root);
        return true;
    } catch (const study::StudyError& e) {
        gui::MessageService::instance().warning(parent, QString::fromUtf8(e.what()));
        return false;
    }
}

void TFRM_varianta::showSettings() {
    const gui::ParsedNumber start = gui::parseTypedNumber(Edit2->text().toStdString());
    QStringList lines;
    for (const std::string& line :
         study::describeSettings(exchange::exchangeDir(m_root), start ? start.text : "?"))
        lines << QString::fromStdString(line);
    Label3->setText(lines.join('\n'));
}

void TFRM_varianta::save() {
    auto& messages = gui::MessageService::instance();
    const std::string name = Edit1->text().toStdString();
    if (const std::string problem = study::variantNameProblem(name); !problem.empty()) {
        messages.warning(this, QString::fromStdString(problem));
        Edit1->setFocus();
        return;
    }
    const std::string typed = Edit2->text().toStdString();
    const gui::ParsedNumber start = gui::parseTypedNumber(typed);
    if (!start) {
        messages.warning(this, QString::fromStdString(
                                   gui::numberProblemText(kStartLevelLabel, typed, start.error)));
        Edit2->setFocus();
        return;
    }
    const QString kept = QString::fromStdString(study::trimmedVariantName(name));
    const bool exists = std::filesystem::exists(study::variantDir(m_root, kept.toStdString()));
    if (exists && !messages.question(this, "Varianta „" + kept + "“ už existuje. Nahradit ji?"))
        return;
    try {
        study::keepVariant(m_root, name, start.text, exists);
    } catch (const study::StudyError& e) {
        messages.error(this, QString::fromUtf8(e.what()));
        return;
    }
    m_kept = kept;
    messages.information(this, "Varianta „" + kept + "“ je uložena.");
    accept();
}
