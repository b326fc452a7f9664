// The row that chooses the steps a results chart shows: "Kroky od [ ] do [ ]",
// "Přiblížit" and "Celý průběh". Its fields follow the chart's range however it
// was zoomed (a dragged rectangle, the wheel, a step of the summary).
#pragma once

#include <QWidget>

#include <cstddef>

class QSpinBox;

namespace gui {

class StepRangeBar : public QWidget {
    Q_OBJECT
public:
    /// `pageName` names its widgets: spinFromStep<name>, spinToStep<name>,
    /// btnZoomSteps<name>, btnWholeView<name>.
    StepRangeBar(const QString& pageName, QWidget* parent = nullptr);

    /// The steps there are to choose from, 1 .. `steps`.
    void setStepCount(std::size_t steps);
    /// Shows the steps in view, without asking for them.
    void showRange(std::size_t from, std::size_t to);

signals:
    /// "Přiblížit", or Enter in a field: the steps the fields hold, in order.
    void rangeChosen(std::size_t from, std::size_t to);
    /// "Celý průběh".
    void wholeChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void choose();

    QSpinBox* m_from = nullptr;
    QSpinBox* m_to = nullptr;
};

} // namespace gui
