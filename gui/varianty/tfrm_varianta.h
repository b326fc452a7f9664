// The dialog that keeps the last finished run as a named variant.
#pragma once

#include <QDialog>
#include <QString>

#include <filesystem>

class QLabel;
class QLineEdit;
class QPushButton;

class TFRM_varianta : public QDialog {
    Q_OBJECT
public:
    /// `startLevel`: the start level of the last run as the calculation
    /// window holds it (the core deletes IN_START_VYP once it has read it).
    TFRM_varianta(const std::filesystem::path& root, const QString& startLevel,
                  QWidget* parent = nullptr);

    /// Whether the last run in `root` can be kept; when not, says why.
    static bool lastRunKeepable(const std::filesystem::path& root, QWidget* parent);

    /// The name of the variant kept, once it has been.
    QString keptName() const { return m_kept; }

    /// The start level's label, also in the refusal of a text that is no number.
    static constexpr const char* kStartLevelLabel = "Výška vody na začátku řešení (start) [m]";

private:
    void showSettings();
    void save();

    std::filesystem::path m_root;
    QString m_kept;
    QLineEdit* Edit1 = nullptr; // name
    QLineEdit* Edit2 = nullptr; // start level [m]
    QLabel* Label3 = nullptr;   // the settings
    QLabel* Label4 = nullptr;   // the first level of the results, to check the start level
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
};
