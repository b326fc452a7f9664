// The new project dialog: browse to a parent directory and create a project
// directory in it.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QComboBox;
class QHBoxLayout;
class QTreeWidget;
class QTreeWidgetItem;

class NewProjectDialog : public QDialog {
    Q_OBJECT
public:
    explicit NewProjectDialog(QWidget* parent = nullptr);

    /// Asks for the project's name; empty when the user cancels. The default
    /// is the input box "Vytvořit adresář"; tests put their answer here.
    using NameAsker = std::function<std::optional<QString>(QWidget* parent)>;
    void setNameAsker(NameAsker asker);

    /// The root of the volume holding a directory, empty when the mount table
    /// cannot tell (QStorageInfo by default); tests put their answer here.
    using VolumeRoot = std::function<QString(const QString& directory)>;
    void setVolumeRoot(VolumeRoot lookup);

public slots:
    /// "Vytvořit soubor": asks for a name, creates the directory (or replaces
    /// an empty one the user agrees to replace), says what happened and
    /// refreshes the list.
    void createProject();
    /// Makes `path` the open directory, which is the process's current
    /// directory; a directory that cannot be entered leaves both unchanged.
    bool openDirectory(const QString& path);
    /// Shows the current directory with its parents and subdirectories, and
    /// its drive in the drive list.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildDriveList();
    void buildDirectoryList();
    QHBoxLayout* buildButtons();
    void fillDriveList();
    void fillDirectoryList();
    void chooseDrive(int index);
    void openItemLater(const QTreeWidgetItem* item);

    QComboBox* m_driveList = nullptr;       // the mounted file systems
    QTreeWidget* m_directoryList = nullptr; // the open directory, its parents and subdirectories
    NameAsker m_askName;
    VolumeRoot m_volumeRoot;
};
