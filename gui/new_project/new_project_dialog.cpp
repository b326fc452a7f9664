// The new project dialog.
#include "gui/new_project/new_project_dialog.h"

#include "gui/common/project_directory.h"
#include "gui/dialogs/form_widgets.h"
#include "gui/dialogs/message_service.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStorageInfo>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

constexpr int kPathRole = Qt::UserRole;

std::optional<QString> askWithInputBox(QWidget* parent) {
    bool ok = false;
    const QString name = QInputDialog::getText(
        parent, "Vytvořit adresář", "Založ nový projekt:", QLineEdit::Normal, QString(), &ok);
    if (!ok) return std::nullopt;
    return name;
}

QString storageRoot(const QString& directory) {
    return QStorageInfo(directory).rootPath();
}

/// The top of a directory's path: "/", or its drive on Windows.
QString topOf(const QString& directory) {
    QDir dir(directory);
    while (dir.cdUp())
        continue;
    return dir.absolutePath();
}

} // namespace

NewProjectDialog::NewProjectDialog(QWidget* parent)
    : QDialog(parent), m_askName(askWithInputBox), m_volumeRoot(storageRoot) {
    setObjectName("NewProjectDialog");
    setWindowTitle("Nový projekt");

    auto* heading = new QLabel("Založit nový projekt", this);
    heading->setObjectName("lblHeading");
    QFont large = heading->font();
    large.setPixelSize(18);
    large.setBold(true);
    heading->setFont(large);
    buildDriveList();
    buildDirectoryList();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->addWidget(heading);
    layout->addWidget(m_driveList);
    layout->addWidget(m_directoryList, 1);
    layout->addLayout(buildButtons());

    resize(435, 477);
    // A fixed place on the screen, not centred over the main window.
    move(120, 90);

    refresh();
}

void NewProjectDialog::buildDriveList() {
    m_driveList = new QComboBox(this);
    m_driveList->setObjectName("comboDrives");
    // activated, not currentIndexChanged: only the user's choice switches
    // the directory, not the list following the current directory.
    connect(m_driveList, &QComboBox::activated, this, &NewProjectDialog::chooseDrive);
}

void NewProjectDialog::buildDirectoryList() {
    m_directoryList = new QTreeWidget(this);
    m_directoryList->setObjectName("treeDirectories");
    m_directoryList->setHeaderHidden(true);
    m_directoryList->setColumnCount(1);
    m_directoryList->setRootIsDecorated(false);
    m_directoryList->setItemsExpandable(false);
    m_directoryList->setExpandsOnDoubleClick(false);
    m_directoryList->setMinimumSize(409, 321);
    // Every directory on the way is always open: no expand arrows.
    m_directoryList->setStyleSheet("QTreeView::branch { image: none; border-image: none; }");
    m_directoryList->installEventFilter(this);
    connect(m_directoryList, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { openItemLater(item); });
}

QHBoxLayout* NewProjectDialog::buildButtons() {
    auto* create = new QPushButton("Vytvořit soubor", this);
    create->setObjectName("btnCreateProject");
    auto* close = new QPushButton("Zavřít", this);
    close->setObjectName("btnClose");
    // Enter belongs to the directory list (it opens an entry); it must not
    // press a button of the dialog as well.
    for (QPushButton* button : {create, close}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(create, &QPushButton::clicked, this, &NewProjectDialog::createProject);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    return gui::rowAtRight({create, close});
}

void NewProjectDialog::setNameAsker(NameAsker asker) {
    m_askName = std::move(asker);
}

void NewProjectDialog::setVolumeRoot(VolumeRoot lookup) {
    m_volumeRoot = std::move(lookup);
}

void NewProjectDialog::refresh() {
    fillDriveList();
    fillDirectoryList();
}

void NewProjectDialog::fillDriveList() {
    QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    std::sort(volumes.begin(), volumes.end(), [](const QStorageInfo& a, const QStorageInfo& b) {
        return a.rootPath() < b.rootPath();
    });
    QString currentRoot = m_volumeRoot(QDir::currentPath());
    // In a chroot or a container the mount table may not show the volume
    // of the current directory; the top of its path is still a drive to go to.
    if (currentRoot.isEmpty()) currentRoot = topOf(QDir::currentPath());
    m_driveList->clear();
    for (const QStorageInfo& volume : volumes) {
        if (!volume.isValid()) continue;
        QString label = volume.rootPath();
        if (!volume.name().isEmpty() && volume.name() != volume.rootPath())
            label += " [" + volume.name() + "]";
        m_driveList->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), label,
                             volume.rootPath());
    }
    const int current = m_driveList->findData(currentRoot);
    if (current < 0) {
        m_driveList->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), currentRoot,
                             currentRoot);
        m_driveList->setCurrentIndex(m_driveList->count() - 1);
    } else {
        m_driveList->setCurrentIndex(current);
    }
}

void NewProjectDialog::fillDirectoryList() {
    m_directoryList->clear();
    const QString open = QDir::cleanPath(QDir::currentPath());

    // The open directory's parents, from the root down, each one level
    // deeper than the one above it.
    QStringList chain;
    QDir dir(open);
    chain.prepend(dir.absolutePath());
    while (dir.cdUp())
        chain.prepend(dir.absolutePath());

    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QTreeWidgetItem* parent = nullptr;
    for (const QString& path : chain) {
        const QString name =
            QDir(path).isRoot() ? QDir::toNativeSeparators(path) : QDir(path).dirName();
        auto* item = parent == nullptr ? new QTreeWidgetItem(m_directoryList, {name})
                                       : new QTreeWidgetItem(parent, {name});
        item->setIcon(0, openIcon);
        item->setData(0, kPathRole, path);
        item->setExpanded(true);
        parent = item;
    }
    QTreeWidgetItem* openItem = parent;

    const QStringList subdirectories = QDir(open).entryList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QString& name : subdirectories) {
        auto* item = new QTreeWidgetItem(openItem, {name});
        item->setIcon(0, closedIcon);
        item->setData(0, kPathRole, QDir(open).filePath(name));
    }
    if (openItem != nullptr) {
        openItem->setExpanded(true);
        m_directoryList->setCurrentItem(openItem);
        m_directoryList->scrollToItem(openItem);
    }
}

bool NewProjectDialog::openDirectory(const QString& path) {
    std::error_code error;
    std::filesystem::current_path(gui::toPath(path), error);
    if (error) {
        gui::MessageService::instance().error(this, QString::fromStdString(error.message()) + ": " +
                                                        QDir::toNativeSeparators(path));
        return false;
    }
    refresh();
    return true;
}

void NewProjectDialog::chooseDrive(int index) {
    // A drive that cannot be entered keeps the list and the current
    // directory where they were; the drive list shows the choice.
    const QString root = m_driveList->itemData(index).toString();
    std::error_code error;
    std::filesystem::current_path(gui::toPath(root), error);
    if (error) {
        gui::MessageService::instance().error(this, QString::fromStdString(error.message()) + ": " +
                                                        QDir::toNativeSeparators(root));
        return;
    }
    fillDirectoryList();
}

void NewProjectDialog::openItemLater(const QTreeWidgetItem* item) {
    if (item == nullptr) return;
    // The list is rebuilt when a directory opens; doing it after the list
    // has finished handling the click or key keeps it from touching items
    // that no longer exist.
    const QString path = item->data(0, kPathRole).toString();
    QMetaObject::invokeMethod(
        this, [this, path] { openDirectory(path); }, Qt::QueuedConnection);
}

bool NewProjectDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_directoryList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openItemLater(m_directoryList->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void NewProjectDialog::createProject() {
    const std::optional<QString> name = m_askName(this);
    if (name) {
        const std::filesystem::path path = gui::toPath(*name);
        gui::MessageService& messages = gui::MessageService::instance();
        if (gui::projectDirectoryExists(path)) {
            const QString question = "Adresář " + *name + " existuje, chcete jej přepsat?";
            if (messages.warningQuestion(this, "Program VELDRON", question)) {
                const gui::ProjectDirectoryResult result = gui::replaceProjectDirectory(path);
                fillDirectoryList();
                const QString text = QString::fromStdString(result.message);
                result.ok ? messages.information(this, text) : messages.error(this, text);
            }
        } else {
            const gui::ProjectDirectoryResult result = gui::createProjectDirectory(path);
            const QString text = QString::fromStdString(result.message);
            result.ok ? messages.information(this, text) : messages.error(this, text);
        }
    }
    fillDirectoryList();
}
