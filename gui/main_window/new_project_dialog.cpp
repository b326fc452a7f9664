// The new project dialog.
#include "gui/main_window/new_project_dialog.h"

#include "gui/help/help.h"
#include "gui/widgets/elided_label.h"
#include "gui/widgets/form_widgets.h"
#include "gui/widgets/message_service.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace gui {

namespace {

constexpr int kPathRole = Qt::UserRole;

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

NewProjectDialog::NewProjectDialog(Purpose purpose, std::filesystem::path source,
                                   const QString& startFolder, QWidget* parent)
    : QDialog(parent), m_purpose(purpose), m_source(std::move(source)),
      m_openDir(QDir(startFolder).exists() ? QDir(startFolder).absolutePath() : QDir::homePath()),
      m_volumeRoot(storageRoot) {
    const bool copy = purpose == Purpose::SaveAs;
    setObjectName("NewProjectDialog");
    gui::installHelp(this, "novy_projekt");
    setWindowTitle(copy ? "Uložit projekt jako" : "Nový projekt");

    auto* heading =
        new QLabel(copy ? "Uložit projekt jako nový projekt" : "Založit nový projekt", this);
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
    layout->addWidget(new QLabel("Složka, do které se projekt uloží (vyberte kliknutím, "
                                 "dvojklikem ji otevřete):",
                                 this));
    layout->addWidget(m_driveList);
    layout->addWidget(m_directoryList, 1);
    layout->addWidget(buildNameAndStart());
    layout->addLayout(buildButtons());

    resize(480, 560);
    refresh();
}

void NewProjectDialog::buildDriveList() {
    m_driveList = new QComboBox(this);
    m_driveList->setObjectName("comboDrives");
    // activated, not currentIndexChanged: only the user's choice switches
    // the folder, not the list following the open folder.
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
    m_directoryList->setMinimumSize(409, 260);
    // Every folder on the way is always open: no expand arrows.
    m_directoryList->setStyleSheet("QTreeView::branch { image: none; border-image: none; }");
    m_directoryList->installEventFilter(this);
    connect(m_directoryList, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { openItemLater(item); });
    connect(m_directoryList, &QTreeWidget::currentItemChanged, this, &NewProjectDialog::showTarget);
}

// The name, the start of a new project, and where it will be.
QWidget* NewProjectDialog::buildNameAndStart() {
    auto* box = new QGroupBox(this);
    auto* form = new QFormLayout(box);
    m_nameEdit = new QLineEdit(box);
    m_nameEdit->setObjectName("editProjectName");
    connect(m_nameEdit, &QLineEdit::textChanged, this, &NewProjectDialog::showTarget);
    form->addRow("Název projektu:", m_nameEdit);
    m_fromSample = new QRadioButton("ze vzorové nádrže (vstupy vzorového příkladu)", box);
    m_fromSample->setObjectName("radioFromSample");
    m_empty = new QRadioButton("s prázdnými vstupy (všechny formuláře prázdné)", box);
    m_empty->setObjectName("radioEmpty");
    m_fromSample->setChecked(true);
    if (m_purpose == Purpose::NewProject) {
        auto* start = new QVBoxLayout;
        start->addWidget(m_fromSample);
        start->addWidget(m_empty);
        form->addRow("Začít:", start);
    } else {
        m_fromSample->hide();
        m_empty->hide();
    }
    // A long name never widens the dialog past the screen.
    m_target = new gui::ElidedLabel(box);
    m_target->setObjectName("lblTarget");
    form->addRow("Projekt bude:", m_target);
    return box;
}

QHBoxLayout* NewProjectDialog::buildButtons() {
    auto* make = new QPushButton(
        m_purpose == Purpose::SaveAs ? "Uložit kopii projektu" : "Založit projekt", this);
    make->setObjectName("btnCreateProject");
    auto* close = new QPushButton("Zavřít", this);
    close->setObjectName("btnClose");
    // Enter belongs to the folder tree (it opens a folder); it must not
    // press a button of the dialog as well.
    for (QPushButton* button : {make, close}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(make, &QPushButton::clicked, this, &NewProjectDialog::makeProject);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    return gui::rowAtRight({make, close});
}

void NewProjectDialog::setVolumeRoot(VolumeRoot lookup) {
    m_volumeRoot = std::move(lookup);
    fillDriveList();
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
    QString currentRoot = m_volumeRoot(m_openDir);
    // In a chroot or a container the mount table may not show the volume
    // of the open folder; the top of its path is still a drive to go to.
    if (currentRoot.isEmpty()) currentRoot = topOf(m_openDir);
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
    const QString open = QDir::cleanPath(m_openDir);

    // The open folder's parents, from the root down, each one level deeper
    // than the one above it.
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
    showTarget();
}

QString NewProjectDialog::selectedFolder() const {
    const QTreeWidgetItem* item = m_directoryList->currentItem();
    return item != nullptr ? item->data(0, kPathRole).toString() : m_openDir;
}

void NewProjectDialog::showTarget() {
    const QString name = m_nameEdit != nullptr ? m_nameEdit->text() : QString();
    m_target->setFullText(QDir::toNativeSeparators(
        QDir(selectedFolder()).filePath(name.isEmpty() ? QString("…") : name)));
}

bool NewProjectDialog::openDirectory(const QString& path) {
    const QDir dir(path);
    if (!dir.exists() || !dir.isReadable()) {
        gui::MessageService::instance().error(this, "Složku nelze otevřít: " +
                                                        QDir::toNativeSeparators(path));
        return false;
    }
    m_openDir = dir.absolutePath();
    refresh();
    return true;
}

void NewProjectDialog::chooseDrive(int index) {
    // A drive that cannot be read keeps the tree where it was; the drive
    // list shows the choice.
    const QString root = m_driveList->itemData(index).toString();
    const QDir dir(root);
    if (!dir.exists() || !dir.isReadable()) {
        gui::MessageService::instance().error(this, "Jednotku nelze otevřít: " +
                                                        QDir::toNativeSeparators(root));
        return;
    }
    m_openDir = dir.absolutePath();
    fillDirectoryList();
}

void NewProjectDialog::openItemLater(const QTreeWidgetItem* item) {
    if (item == nullptr) return;
    // The tree is rebuilt when a folder opens; doing it after the tree has
    // finished handling the click or key keeps it from touching items that
    // no longer exist.
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

void NewProjectDialog::makeProject() {
    const std::filesystem::path parent = gui::toPath(selectedFolder());
    const std::string name = m_nameEdit->text().toStdString();
    const desk::ProjectMade made =
        m_purpose == Purpose::SaveAs
            ? desk::saveProjectAs(m_source, parent, name)
            : desk::createProject(parent, name,
                                  m_empty->isChecked() ? desk::ProjectStart::Empty
                                                       : desk::ProjectStart::Sample,
                                  m_source);
    gui::MessageService& messages = gui::MessageService::instance();
    if (!made.root) {
        messages.error(this, QString::fromStdString(made.problem));
        m_nameEdit->setFocus();
        return;
    }
    m_project = made.root;
    messages.information(this, (m_purpose == Purpose::SaveAs ? "Kopie projektu uložena: "
                                                             : "Projekt byl založen: ") +
                                   QDir::toNativeSeparators(gui::toQString(*made.root)));
    accept();
}

} // namespace gui
