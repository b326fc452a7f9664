// The dialog that keeps the last finished run as a named variant.
#pragma once

#include "project_files/result_inputs.h"

#include <QDialog>
#include <QString>

#include <filesystem>

class QFormLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace gui {

class KeepVariantDialog : public QDialog {
    Q_OBJECT
public:
    /// `startLevel`: the start level of the last run as the calculation
    /// window holds it, shown where the result set records none.
    KeepVariantDialog(const std::filesystem::path& root, const QString& startLevel,
                      QWidget* parent = nullptr);

    /// Whether the last run in `root` can be kept; when not, says why.
    static bool lastRunKeepable(const std::filesystem::path& root, QWidget* parent);

    /// The name of the variant kept, once it has been.
    QString keptName() const { return m_kept; }

    /// The start level's label.
    static constexpr const char* kStartLevelLabel = "Výška vody na začátku řešení (start) [m]";

private:
    QFormLayout* buildFields(const QString& startLevel);
    QHBoxLayout* buildButtons();
    void showSettings();
    void save();

    std::filesystem::path m_root;
    project_files::ResultInputs m_recorded; // the inputs the last run read
    QString m_kept;
    QLineEdit* m_nameEdit = nullptr;
    QLineEdit* m_startLevelEdit = nullptr; // m, the run's, read-only
    QLabel* m_settingsLabel = nullptr;     // the settings of the run, in words
};

} // namespace gui
