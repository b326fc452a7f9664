// The run summary shown above a chart of the results window.
#include "gui/results/summary_panel.h"

#include "desk/input_fields.h"
#include "desk/typed_number.h"
#include "exchange/run_summary.h"

#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace gui {

namespace {

constexpr int kColumnSpacing = 14;

// A figure's step, "v kroku 12", as a link to it.
const QRegularExpression kStepText("(v kroku )(\\d+)");
constexpr const char* kStepLink = "krok:";

QString linkedSteps(const QString& html) {
    return QString(html).replace(kStepText, QString("\\1<a href=\"%1\\2\">\\2</a>").arg(kStepLink));
}

QString fileTime(std::filesystem::file_time_type time) {
    return QDateTime::fromSecsSinceEpoch(project_files::secondsSinceEpoch(time))
        .toString("d. M. yyyy H:mm:ss");
}

} // namespace

SummaryPanel::SummaryPanel(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    // The page's width decides how many columns the figures take, not the
    // figures the page's width: the window keeps its size.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
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
    m_grid->setHorizontalSpacing(kColumnSpacing);
    m_grid->setVerticalSpacing(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 3, 6, 3);
    layout->setSpacing(2);
    layout->addWidget(m_time);
    layout->addWidget(m_notice);
    layout->addLayout(m_grid);
}

void SummaryPanel::showSummary(const project_files::SummaryRead& read,
                               const project_files::ResultAge& age) {
    qDeleteAll(m_figureLabels);
    m_figureLabels.clear();
    m_figures.clear();

    m_time->setText(age.computed ? "Souhrn výpočtu, výsledky vypočteny " + fileTime(*age.computed)
                                 : QString("Souhrn výpočtu: soubor výsledků chybí"));
    QStringList notices;
    if (read.summary && read.summary->stopped)
        notices << "Výpočet byl zastaven (" +
                       QString::fromStdString(desk::czechFigures(read.summary->stopReason)) +
                       "); hodnoty platí pro provedené kroky.";
    if (!age.newerInput.empty())
        notices << "Pozor: " + QString::fromStdString(desk::savedInputPlace(age.newerInput)) +
                       (age.newerInputTime
                            ? " byl uložen " + fileTime(*age.newerInputTime) + ", po tomto výpočtu"
                            : QString(" se od tohoto výpočtu změnil")) +
                       ". Výsledky nemusí odpovídat zadaným vstupům (poslední spuštění "
                       "mohlo být odmítnuto, nebo se vstupy od výpočtu změnily).";
    if (!read.error.empty())
        notices << "Souhrn výpočtu nelze přečíst: " + QString::fromStdString(read.error);
    else if (!read.summary)
        notices << "Souhrn výpočtu není k dispozici (výsledky staršího výpočtu, soubor " +
                       QString(exchange::summary::kFileName) + " chybí).";
    else if (read.summary->lines.empty())
        notices << "Souhrn výpočtu neobsahuje žádný známý údaj.";
    m_notice->setText(notices.join('\n'));
    m_notice->setVisible(!notices.isEmpty());

    if (read.summary) {
        for (const project_files::SummaryLine& line : read.summary->lines) {
            if (line.label == exchange::summary::kStopped) continue; // said above
            const QString label = QString::fromStdString(line.label);
            // The core's own figures, with the decimal comma the user reads.
            const QString value = QString::fromStdString(desk::czechFigures(line.text));
            auto* figure = new QLabel(label.toHtmlEscaped() + ": <b>" +
                                          linkedSteps(value.toHtmlEscaped()) + "</b>",
                                      this);
            figure->setObjectName("lblSummaryFigure");
            figure->setTextFormat(Qt::RichText);
            figure->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse);
            if (figure->text().contains(kStepLink))
                figure->setToolTip("Klepnutím na číslo kroku se graf přiblíží k tomuto kroku.");
            connect(figure, &QLabel::linkActivated, this, [this](const QString& link) {
                emit stepActivated(link.mid(int(std::strlen(kStepLink))).toULongLong());
            });
            m_figureLabels.append(figure);
            m_figures.append({label, value});
        }
    }
    m_columns = 0;
    arrangeFigures();
}

// The figures in file order down the columns: as many columns (up to three)
// as fit side by side, each as wide as its widest figure.
void SummaryPanel::arrangeFigures() {
    const int count = static_cast<int>(m_figureLabels.size());
    const QMargins margins = layout()->contentsMargins();
    const int available = contentsRect().width() - margins.left() - margins.right();
    int columns = std::min(kMostColumns, std::max(count, 1));
    for (; columns > 1; --columns) {
        const int rows = (count + columns - 1) / columns;
        int width = (columns - 1) * kColumnSpacing;
        for (int column = 0; column < columns; ++column) {
            int widest = 0;
            for (int i = column * rows; i < std::min(count, (column + 1) * rows); ++i)
                widest = std::max(widest, m_figureLabels[i]->sizeHint().width());
            width += widest;
        }
        if (width <= available) break;
    }
    if (columns == m_columns) return;
    m_columns = columns;
    const int rows = std::max(1, (count + columns - 1) / columns);
    for (QLabel* figure : m_figureLabels)
        m_grid->removeWidget(figure);
    for (int i = 0; i < count; ++i)
        m_grid->addWidget(m_figureLabels[i], i % rows, i / rows);
    for (int column = 0; column <= kMostColumns; ++column)
        m_grid->setColumnStretch(column, column == columns ? 1 : 0);
}

void SummaryPanel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    arrangeFigures();
}

QString SummaryPanel::timeText() const {
    return m_time->text();
}

QString SummaryPanel::noticeText() const {
    return m_notice->isHidden() ? QString() : m_notice->text();
}

QList<std::pair<QString, QString>> SummaryPanel::figures() const {
    return m_figures;
}

} // namespace gui
