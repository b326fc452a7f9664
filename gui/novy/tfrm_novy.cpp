// The new project form.
#include "gui/novy/tfrm_novy.h"

#include "gui/common/project_directory.h"
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

std::filesystem::path toPath(const QString& text) {
    return {text.toStdString()};
}

} // namespace

TFRM_novy::TFRM_novy(QWidget* parent)
    : QDialog(parent), m_askName(askWithInputBox), m_volumeRoot(storageRoot) {
    setObjectName("FRM_novy");
    setWindowTitle("Nový projekt");

    auto* heading = new QLabel("Založit nový projekt", this);
    heading->setObjectName("Label1");
    QFont large = heading->font();
    large.setPixelSize(18);
    large.setBold(true);
    heading->setFont(large);

    DriveComboBox1 = new QComboBox(this);
    DriveComboBox1->setObjectName("DriveComboBox1");
    // activated, not currentIndexChanged: only the user's choice switches
    // the directory, not the list following the current directory.
    connect(DriveComboBox1, &QComboBox::activated, this, &TFRM_novy::chooseDrive);

    DirectoryListBox1 = new QTreeWidget(this);
    DirectoryListBox1->setObjectName("DirectoryListBox1");
    DirectoryListBox1->setHeaderHidden(true);
    DirectoryListBox1->setColumnCount(1);
    DirectoryListBox1->setRootIsDecorated(false);
    DirectoryListBox1->setItemsExpandable(false);
    DirectoryListBox1->setExpandsOnDoubleClick(false);
    DirectoryListBox1->setMinimumSize(409, 321);
    // Every directory on the way is always open: no expand arrows.
    DirectoryListBox1->setStyleSheet("QTreeView::branch { image: none; border-image: none; }");
    DirectoryListBox1->installEventFilter(this);
    connect(DirectoryListBox1, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { openItemLater(item); });

    auto* create = new QPushButton("Vytvořit soubor", this);
    create->setObjectName("Button1");
    auto* close = new QPushButton("Zavřít", this);
    close->setObjectName("Button2");
    // Enter belongs to the directory list (it opens an entry); it must not
    // press a button of the form as well.
    for (QPushButton* button : {create, close}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(create, &QPushButton::clicked, this, &TFRM_novy::createProject);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(create);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->addWidget(heading);
    layout->addWidget(DriveComboBox1);
    layout->addWidget(DirectoryListBox1, 1);
    layout->addLayout(buttons);

    resize(435, 477);
    // A fixed place on the screen, not centred over the main window.
    move(120, 90);

    refresh();
}

void TFRM_novy::setNameAsker(NameAsker asker) {
    m_askName = std::move(asker);
}

void TFRM_novy::setVolumeRoot(VolumeRoot lookup) {
    m_volumeRoot = std::move(lookup);
}

void TFRM_novy::refresh() {
    fillDriveList();
    fillDirectoryList();
}

void TFRM_novy::fillDriveList() {
    QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    std::sort(volumes.begin(), volumes.end(), [](const QStorageInfo& a, const QStorageInfo& b) {
        return a.rootPath() < b.rootPath();
    });
    QString currentRoot = m_volumeRoot(QDir::currentPath());
    // In a chroot or a container the mount table may not show the volume
    // of the current directory; the top of its path is still a drive to go to.
    if (currentRoot.isEmpty()) currentRoot = topOf(QDir::currentPath());
    DriveComboBox1->clear();
    for (const QStorageInfo& volume : volumes) {
        if (!volume.isValid()) continue;
        QString label = volume.rootPath();
        if (!volume.name().isEmpty() && volume.name() != volume.rootPath())
            label += " [" + volume.name() + "]";
        DriveComboBox1->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), label,
                                volume.rootPath());
    }
    const int current = DriveComboBox1->findData(currentRoot);
    if (current < 0) {
        DriveComboBox1->addItem(style()->standardIcon(QStyle::SP_DriveHDIcon), currentRoot,
                                currentRoot);
        DriveComboBox1->setCurrentIndex(DriveComboBox1->count() - 1);
    } else {
        DriveComboBox1->setCurrentIndex(current);
    }
}

void TFRM_novy::fillDirectoryList() {
    DirectoryListBox1->clear();
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
        auto* item = parent == nullptr ? new QTreeWidgetItem(DirectoryListBox1, {name})
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
        DirectoryListBox1->setCurrentItem(openItem);
        DirectoryListBox1->scrollToItem(openItem);
    }
}

bool TFRM_novy::openDirectory(const QString& path) {
    std::error_code error;
    std::filesystem::current_path(toPath(path), error);
    if (error) {
        gui::MessageService::instance().error(this, QString::fromStdString(error.message()) + ": " +
                                                        QDir::toNativeSeparators(path));
        return false;
    }
    refresh();
    return true;
}

void TFRM_novy::chooseDrive(int index) {
    // A drive that cannot be entered keeps the list and the current
    // directory where they were; the drive list shows the choice.
    const QString root = DriveComboBox1->itemData(index).toString();
    std::error_code error;
    std::filesystem::current_path(toPath(root), error);
    if (error) {
        gui::MessageService::instance().error(this, QString::fromStdString(error.message()) + ": " +
                                                        QDir::toNativeSeparators(root));
        return;
    }
    fillDirectoryList();
}

void TFRM_novy::openItemLater(const QTreeWidgetItem* item) {
    if (item == nullptr) return;
    // The list is rebuilt when a directory opens; doing it after the list
    // has finished handling the click or key keeps it from touching items
    // that no longer exist.
    const QString path = item->data(0, kPathRole).toString();
    QMetaObject::invokeMethod(
        this, [this, path] { openDirectory(path); }, Qt::QueuedConnection);
}

bool TFRM_novy::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DirectoryListBox1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openItemLater(DirectoryListBox1->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFRM_novy::createProject() {
    const std::optional<QString> name = m_askName(this);
    if (name) {
        const std::filesystem::path path = toPath(*name);
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
