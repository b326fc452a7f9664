// The main window's view of the open project: its name and folder, each
// input with whether it is saved and when, the last run with its key
// figures, the last flood-safety assessment, and one click to each form, to
// the results, to the assessment and to the report.
#pragma once

#include "desk/project_overview.h"

#include <QFrame>
#include <QList>

class QGridLayout;
class QLabel;
class QPushButton;

namespace gui {

class ElidedLabel;

class ProjectOverviewPanel : public QFrame {
    Q_OBJECT
public:
    /// The inputs in the order of ProjectOverview::inputs.
    enum Input { FloodWave, Curve, TechnicalData, CalculationSettings };

    explicit ProjectOverviewPanel(QWidget* parent = nullptr);

    void showOverview(const desk::ProjectOverview& overview);

    /// What the labels say, for a test.
    QString inputState(Input input) const;
    QString lastRunText() const;
    QString keyFiguresText() const;
    QString assessmentText() const;

signals:
    void formRequested(gui::ProjectOverviewPanel::Input input);
    void resultsRequested();
    void assessmentRequested();
    void reportRequested();

private:
    void buildInputs(QGridLayout* grid);

    gui::ElidedLabel* m_name = nullptr;
    gui::ElidedLabel* m_folder = nullptr;
    QList<QLabel*> m_inputStates;
    QLabel* m_lastRun = nullptr;
    QLabel* m_keyFigures = nullptr;
    QLabel* m_assessment = nullptr;
    QPushButton* m_resultsButton = nullptr;
    QPushButton* m_assessmentButton = nullptr;
    QPushButton* m_reportButton = nullptr;
};

} // namespace gui
