// The row under a study window's settings.
#include "gui/studies/study_run_row.h"

#include "gui/widgets/form_widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace gui {

StudyRunRow makeStudyRunRow(QWidget* parent, const QString& startText,
                            const QString& progressName) {
    StudyRunRow row;
    row.start = makeButton(startText, "btnStart", parent, true);
    row.cancel = makeButton("Zrušit", "btnCancel", parent, false);
    row.cancel->setEnabled(false);
    row.progress = new QProgressBar(parent);
    row.progress->setObjectName(progressName);
    row.progress->setRange(0, 1);
    row.progress->setValue(0);
    row.label = new QLabel(parent);
    row.label->setObjectName("lblProgress");
    row.layout = new QHBoxLayout;
    row.layout->addWidget(row.start);
    row.layout->addWidget(row.cancel);
    row.layout->addWidget(row.progress, 1);
    row.layout->addWidget(row.label);
    return row;
}

} // namespace gui
