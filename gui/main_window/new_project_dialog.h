// The new project dialog: a name, the parent folder chosen in a tree of
// folders (the one selected by a single click is the one used), and whether
// the project starts from the sample reservoir or from empty inputs. The
// same dialog saves the open project as a copy under a new name.
#pragma once

#include "desk/project.h"

#include <QDialog>
#include <QString>

#include <filesystem>
#include <functional>
#include <optional>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace gui {

class ElidedLabel;

class NewProjectDialog : public QDialog {
    Q_OBJECT
public:
    enum class Purpose {
        NewProject, // "Nový projekt…": from the sample or empty
        SaveAs      // "Uložit projekt jako…": a copy of the open project
    };

    /// `source`: the sample's folder for a new project, the open project's
    /// root for a copy. `startFolder`: the folder the tree opens at.
    NewProjectDialog(Purpose purpose, std::filesystem::path source, const QString& startFolder,
                     QWidget* parent = nullptr);

    /// The project made, once the dialog was accepted.
    const std::optional<std::filesystem::path>& project() const { return m_project; }
    /// The folder the project goes into: the one selected in the tree.
    QString selectedFolder() const;
    QString openFolder() const { return m_openDir; }

    /// The root of the volume holding a directory, empty when the mount table
    /// cannot tell (QStorageInfo by default); tests put their answer here.
    using VolumeRoot = std::function<QString(const QString& directory)>;
    void setVolumeRoot(VolumeRoot lookup);

public slots:
    /// The make button: makes the project named in the selected folder, or
    /// says in Czech why not and stays open.
    void makeProject();
    /// Opens `path` in the tree (its parents above it, its subfolders below
    /// it); a folder that cannot be read leaves the tree as it was.
    bool openDirectory(const QString& path);
    /// Shows the open folder again, with its drive in the drive list.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildDriveList();
    void buildDirectoryList();
    QWidget* buildNameAndStart();
    QHBoxLayout* buildButtons();
    void fillDriveList();
    void fillDirectoryList();
    void chooseDrive(int index);
    void openItemLater(const QTreeWidgetItem* item);
    void showTarget();

    Purpose m_purpose;
    std::filesystem::path m_source;
    QString m_openDir;
    std::optional<std::filesystem::path> m_project;

    QComboBox* m_driveList = nullptr;       // the mounted file systems
    QTreeWidget* m_directoryList = nullptr; // the open folder, its parents and subfolders
    QLineEdit* m_nameEdit = nullptr;
    QRadioButton* m_fromSample = nullptr;
    QRadioButton* m_empty = nullptr;
    gui::ElidedLabel* m_target = nullptr; // where the project will be
    VolumeRoot m_volumeRoot;
};

} // namespace gui
