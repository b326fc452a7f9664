// The row that chooses the steps a results chart shows.
#include "gui/results/step_range_bar.h"

#include "gui/widgets/form_widgets.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <climits>

namespace gui {

namespace {

QSpinBox* makeStepField(const QString& name, QWidget* parent) {
    auto* field = new QSpinBox(parent);
    field->setObjectName(name);
    field->setRange(1, 1);
    field->setKeyboardTracking(false);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance("10000000") + 30);
    return field;
}

} // namespace

StepRangeBar::StepRangeBar(const QString& pageName, QWidget* parent) : QWidget(parent) {
    m_from = makeStepField("spinFromStep" + pageName, this);
    m_to = makeStepField("spinToStep" + pageName, this);
    auto* zoom = makeButton("Přiblížit", "btnZoomSteps" + pageName, this, false);
    auto* whole = makeButton("Celý průběh", "btnWholeView" + pageName, this, false);
    zoom->setToolTip("Ukáže v grafu kroky zadané v polích od – do.");
    whole->setToolTip("Ukáže v grafu všechny kroky.");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel("Kroky od", this));
    row->addWidget(m_from);
    row->addWidget(new QLabel("do", this));
    row->addWidget(m_to);
    row->addWidget(zoom);
    row->addWidget(whole);
    for (QSpinBox* field : {m_from, m_to})
        field->installEventFilter(this);
    connect(zoom, &QPushButton::clicked, this, &StepRangeBar::choose);
    connect(whole, &QPushButton::clicked, this, &StepRangeBar::wholeChosen);
}

void StepRangeBar::setStepCount(std::size_t steps) {
    const int last = static_cast<int>(std::clamp<std::size_t>(steps, 1, INT_MAX));
    m_from->setMaximum(last);
    m_to->setMaximum(last);
    showRange(1, steps);
}

void StepRangeBar::showRange(std::size_t from, std::size_t to) {
    m_from->setValue(static_cast<int>(std::min<std::size_t>(from, INT_MAX)));
    m_to->setValue(static_cast<int>(std::min<std::size_t>(to, INT_MAX)));
}

void StepRangeBar::choose() {
    const auto from = static_cast<std::size_t>(m_from->value());
    const auto to = static_cast<std::size_t>(m_to->value());
    emit rangeChosen(std::min(from, to), std::max(from, to));
}

// Enter in a field zooms, as the button does, and goes no further: the
// window's buttons never take Enter.
bool StepRangeBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            static_cast<QSpinBox*>(watched)->interpretText();
            choose();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace gui
