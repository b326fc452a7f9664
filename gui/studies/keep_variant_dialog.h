// The dialog that keeps the last finished run as a named variant.
#pragma once

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
    /// window holds it (the core deletes IN_START_VYP once it has read it).
    KeepVariantDialog(const std::filesystem::path& root, const QString& startLevel,
                      QWidget* parent = nullptr);

    /// Whether the last run in `root` can be kept; when not, says why.
    static bool lastRunKeepable(const std::filesystem::path& root, QWidget* parent);

    /// The name of the variant kept, once it has been.
    QString keptName() const { return m_kept; }

    /// The start level's label, also in the refusal of a text that is no number.
    static constexpr const char* kStartLevelLabel = "Výška vody na začátku řešení (start) [m]";

private:
    QFormLayout* buildFields(const QString& startLevel);
    QHBoxLayout* buildButtons();
    void showSettings();
    void save();

    std::filesystem::path m_root;
    QString m_kept;
    QLineEdit* m_nameEdit = nullptr;
    QLineEdit* m_startLevelEdit = nullptr; // m
    QLabel* m_settingsLabel = nullptr;     // the settings of the run, in words
    QLabel* m_firstLevelLabel = nullptr; // the first level of the results, to check the start level
};

} // namespace gui
