// The row under a study window's settings: its start button, "Zrušit", a
// progress bar and a label of what is going on.
#pragma once

#include <QString>

class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

namespace gui {

struct StudyRunRow {
    QPushButton* start = nullptr;  // "btnStart", bold
    QPushButton* cancel = nullptr; // "btnCancel", disabled until a study runs
    QProgressBar* progress = nullptr;
    QLabel* label = nullptr; // "lblProgress"
    QHBoxLayout* layout = nullptr;
};

/// The row's widgets in `parent`, laid out side by side, the bar taking the room.
StudyRunRow makeStudyRunRow(QWidget* parent, const QString& startText, const QString& progressName);

} // namespace gui
