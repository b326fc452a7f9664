// The run summary shown above a chart of the results window: the figures the
// core wrote for the run, when the results were computed, and what makes them
// doubtful (a stopped run, inputs saved since, no summary at all). The steps
// the figures name ("v kroku 10") are links that ask for that step.
#pragma once

#include "project_files/run_summary_reader.h"

#include <QFrame>
#include <QList>
#include <QString>

#include <cstddef>

class QGridLayout;
class QLabel;

namespace gui {

class SummaryPanel : public QFrame {
    Q_OBJECT
public:
    explicit SummaryPanel(QWidget* parent = nullptr);

    /// Shows what `read` found for the results whose age is `age`.
    void showSummary(const project_files::SummaryRead& read, const project_files::ResultAge& age);

    /// The line that says when the results were computed.
    QString timeText() const;
    /// The warnings shown (stop, inputs saved since, no summary), one per line.
    QString noticeText() const;
    /// The figures shown: label and value text, in the order shown.
    QList<std::pair<QString, QString>> figures() const;

    /// The most columns of figures, used when they fit the panel's width.
    static constexpr int kMostColumns = 3;

signals:
    /// A step named by a figure was clicked.
    void stepActivated(std::size_t step);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void arrangeFigures();

    QLabel* m_time = nullptr;
    QLabel* m_notice = nullptr;
    QGridLayout* m_grid = nullptr;
    QList<QLabel*> m_figureLabels;
    QList<std::pair<QString, QString>> m_figures;
    int m_columns = 0; // as the figures are arranged now
};

} // namespace gui
