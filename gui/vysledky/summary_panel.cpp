// The run summary shown above a chart of the results window.
#include "gui/vysledky/summary_panel.h"

#include "exchange/run_summary.h"

#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace gui {

namespace {

QString fileTime(std::filesystem::file_time_type time) {
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch(time)).toString("d. M. yyyy H:mm:ss");
}

} // namespace

SummaryPanel::SummaryPanel(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    m_time = new QLabel(this);
    m_time->setObjectName("lblSummaryTime");
    QFont bold = m_time->font();
    bold.setBold(true);
    m_time->setFont(bold);
    m_notice = new QLabel(this);
    m_notice->setObjectName("lblSummaryNotice");
    m_notice->setWordWrap(true);
    m_notice->setStyleSheet("QLabel { color: rgb(190, 0, 0); }");
    m_notice->hide();
    m_grid = new QGridLayout;
    m_grid->setHorizontalSpacing(6);
    m_grid->setVerticalSpacing(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 3, 6, 3);
    layout->setSpacing(2);
    layout->addWidget(m_time);
    layout->addWidget(m_notice);
    layout->addLayout(m_grid);
}

void SummaryPanel::showSummary(const SummaryRead& read, const ResultAge& age) {
    for (const auto& [label, value] : m_figures) {
        delete label;
        delete value;
    }
    m_figures.clear();

    m_time->setText(age.computed ? "Souhrn výpočtu, výsledky vypočteny " + fileTime(*age.computed)
                                 : QString("Souhrn výpočtu: soubor výsledků chybí"));
    QStringList notices;
    if (read.summary && read.summary->stopped)
        notices << "Výpočet byl zastaven (" + QString::fromStdString(read.summary->stopReason) +
                       "); hodnoty platí pro provedené kroky.";
    if (age.newerInputTime)
        notices << "Pozor: " + QString::fromStdString(age.newerInput) + " byl uložen " +
                       fileTime(*age.newerInputTime) +
                       ", po tomto výpočtu. Výsledky nemusí odpovídat zadaným vstupům "
                       "(poslední spuštění mohlo být odmítnuto, nebo se vstupy od výpočtu "
                       "změnily).";
    if (!read.error.empty())
        notices << "Souhrn výpočtu nelze přečíst: " + QString::fromStdString(read.error);
    else if (!read.summary)
        notices << "Souhrn výpočtu není k dispozici (výsledky staršího výpočtu, soubor " +
                       QString(exchange::summary::kFileName) + " chybí).";
    else if (read.summary->lines.empty())
        notices << "Souhrn výpočtu neobsahuje žádný známý údaj.";
    m_notice->setText(notices.join('\n'));
    m_notice->setVisible(!notices.isEmpty());

    if (!read.summary) return;
    int shown = 0;
    for (const SummaryLine& line : read.summary->lines) {
        if (line.label == exchange::summary::kStopped) continue; // said above
        auto* label = new QLabel(QString::fromStdString(line.label) + ":", this);
        auto* value = new QLabel(QString::fromStdString(line.text), this);
        label->setObjectName("lblSummaryLabel");
        value->setObjectName("lblSummaryValue");
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        const int row = shown % kRowsPerColumn;
        const int column = 2 * (shown / kRowsPerColumn);
        m_grid->addWidget(label, row, column);
        m_grid->addWidget(value, row, column + 1);
        m_grid->setColumnStretch(column + 1, 1);
        m_figures.append(std::make_pair(label, value));
        ++shown;
    }
}

QString SummaryPanel::timeText() const {
    return m_time->text();
}

QString SummaryPanel::noticeText() const {
    return m_notice->isHidden() ? QString() : m_notice->text();
}

QList<std::pair<QString, QString>> SummaryPanel::figures() const {
    QList<std::pair<QString, QString>> result;
    for (const auto& [label, value] : m_figures)
        result.append(std::make_pair(label->text().chopped(1), value->text()));
    return result;
}

} // namespace gui
