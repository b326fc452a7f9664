// The new project dialog driven offscreen: browsing, the folder a click
// selects is the one used, the sample or empty inputs, refusals, the copy.
#include "gui/main_window/new_project_dialog.h"
#include "gui/widgets/form_widgets.h"
#include "helpers/form_fixture.h"
#include "helpers/qt_files.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <QTest>
#include <QTreeWidget>
#include <memory>

class TestNewProjectDialog : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void showsTheOpenFolderWithParentsAndSubfolders();
    void theFolderSelectedByAClickIsTheOneUsed();
    void anEnterOrADoubleClickOpensAFolder();
    void aFolderThatCannotBeOpenedLeavesAllAsItWas();
    void theDriveListSwitchesTheOpenFolder();
    void emptyInputsOnRequest();
    void aNameNoFileSystemCanHoldOrOneTakenIsRefusedAndTheDialogStays();
    void savedAsACopyWithoutTheStartChoice();
    void aNameWiderThanTheScreenKeepsTheDialogsSize();

private:
    QTreeWidget* list() const { return m_form->findChild<QTreeWidget*>("treeDirectories"); }
    QTreeWidgetItem* child(const QString& name) const;
    void clickOn(QTreeWidgetItem* item);
    void make(const QString& name);
    QStringList subfoldersShown() const;

    std::unique_ptr<veldron::testing::FormFixture> m_fixture;
    QString m_open; // the folder the dialog opens at
    veldron::testing::FakeMessages* m_messages = nullptr;
    std::unique_ptr<gui::NewProjectDialog> m_form;
};

namespace {

const std::filesystem::path kSample = VELDRON_SOURCE_DIR "/data/sample";

} // namespace

void TestNewProjectDialog::init() {
    m_fixture = std::make_unique<veldron::testing::FormFixture>();
    QVERIFY(m_fixture->isValid());
    QDir root(m_fixture->root());
    QVERIFY(root.mkpath("projekty/Beta"));
    QVERIFY(root.mkpath("projekty/alfa"));
    m_open = QDir(root.filePath("projekty")).canonicalPath();
    m_messages = &m_fixture->messages();
    m_form = std::make_unique<gui::NewProjectDialog>(gui::NewProjectDialog::Purpose::NewProject,
                                                     kSample, m_open);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestNewProjectDialog::cleanup() {
    m_form.reset();
    m_fixture.reset();
}

QTreeWidgetItem* TestNewProjectDialog::child(const QString& name) const {
    QTreeWidgetItem* open = list()->currentItem();
    for (int i = 0; open != nullptr && i < open->childCount(); ++i)
        if (open->child(i)->text(0) == name) return open->child(i);
    return nullptr;
}

void TestNewProjectDialog::clickOn(QTreeWidgetItem* item) {
    QVERIFY(item != nullptr);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualItemRect(item).center());
}

void TestNewProjectDialog::make(const QString& name) {
    auto* edit = m_form->findChild<QLineEdit*>("editProjectName");
    edit->clear();
    edit->insert(name); // as typed: QTest types only Latin-1
    QTest::mouseClick(m_form->findChild<QPushButton*>("btnCreateProject"), Qt::LeftButton);
}

QStringList TestNewProjectDialog::subfoldersShown() const {
    QStringList names;
    const QTreeWidgetItem* open = list()->currentItem();
    for (int i = 0; open != nullptr && i < open->childCount(); ++i)
        names << open->child(i)->text(0);
    return names;
}

void TestNewProjectDialog::showsTheOpenFolderWithParentsAndSubfolders() {
    QCOMPARE(m_form->windowTitle(), QString("Nový projekt"));
    QTreeWidgetItem* open = list()->currentItem();
    QVERIFY(open);
    QCOMPARE(open->text(0), QString("projekty"));
    QCOMPARE(subfoldersShown(), (QStringList{"alfa", "Beta"}));
    // Every parent up to the root stands above it, one level each.
    QStringList parents;
    for (QTreeWidgetItem* item = open->parent(); item != nullptr; item = item->parent())
        parents.prepend(item->text(0));
    QCOMPARE(parents.first(), QString("/"));
    QCOMPARE(parents.mid(1).join('/'), QDir::cleanPath(m_open + "/..").mid(1));
}

// A single click on a folder selects it, and the project is made in it:
// not in the folder opened before.
void TestNewProjectDialog::theFolderSelectedByAClickIsTheOneUsed() {
    const QString startedIn = QDir::currentPath();
    clickOn(child("Beta"));
    QCOMPARE(m_form->selectedFolder(), m_open + "/Beta");
    QCOMPARE(m_form->openFolder(), m_open); // selected, not opened
    make("Nádrž A");
    QCOMPARE(m_messages->shown, QStringList{"I:Projekt byl založen: " + m_open + "/Beta/Nádrž A"});
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
    QVERIFY(m_form->project());
    const QString made = QString::fromStdU16String(m_form->project()->u16string());
    QCOMPARE(made, m_open + "/Beta/Nádrž A");
    for (const char* folder :
         {"PULT_na_vypocty", "OUT_DATA/TK", "OUT_RESULT", "OUT_PICTURES", "VARIANTY"})
        QVERIFY2(QFileInfo(made + "/" + folder).isDir(), folder);
    QVERIFY(QFile::exists(made + "/PULT_na_vypocty/IN_FLOOD_WAVE")); // the sample by default
    QVERIFY(QFile::exists(made + "/PULT_na_vypocty/Q_FLOOD_WAVE.csv"));
    QCOMPARE(QDir::currentPath(), startedIn); // browsing leaves the process's folder alone
}

void TestNewProjectDialog::anEnterOrADoubleClickOpensAFolder() {
    list()->setCurrentItem(child("Beta"));
    QTest::keyClick(list(), Qt::Key_Return);
    QTRY_COMPARE(m_form->openFolder(), m_open + "/Beta");
    QVERIFY(m_form->isVisible());
    QCOMPARE(list()->currentItem()->text(0), QString("Beta"));
    QCOMPARE(subfoldersShown(), QStringList());

    QTreeWidgetItem* parent = list()->currentItem()->parent();
    const QPoint at = list()->visualItemRect(parent).center();
    // The view takes a double click only on the entry the first press chose.
    QTest::mousePress(list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
    QTRY_COMPARE(m_form->openFolder(), m_open);
    QCOMPARE(list()->currentItem()->text(0), QString("projekty"));
}

void TestNewProjectDialog::aFolderThatCannotBeOpenedLeavesAllAsItWas() {
    QTreeWidgetItem* alfa = child("alfa");
    QVERIFY(QDir(m_open).rmdir("alfa")); // gone since the tree was drawn
    list()->setCurrentItem(alfa);
    QTest::keyClick(list(), Qt::Key_Return);
    QTRY_COMPARE(m_messages->shown, QStringList{"E:Složku nelze otevřít: " + m_open + "/alfa"});
    QCOMPARE(m_form->openFolder(), m_open);
}

void TestNewProjectDialog::theDriveListSwitchesTheOpenFolder() {
    auto* drives = m_form->findChild<QComboBox*>("comboDrives");
    // A chroot's mount table may not show the volume: then the top of the path is offered.
    m_form->setVolumeRoot([](const QString&) { return QString(); });
    QCOMPARE(drives->currentData().toString(), QDir::rootPath());
    emit drives->activated(drives->currentIndex());
    QCOMPARE(m_form->openFolder(), QDir::rootPath());
    QCOMPARE(list()->currentItem()->data(0, Qt::UserRole).toString(), QDir::rootPath());
    QVERIFY(m_messages->shown.isEmpty());
}

void TestNewProjectDialog::emptyInputsOnRequest() {
    m_form->findChild<QRadioButton*>("radioEmpty")->click();
    make("Prázdný");
    QVERIFY(m_form->project());
    QVERIFY(QDir(m_open + "/Prázdný/PULT_na_vypocty").isEmpty());
}

void TestNewProjectDialog::aNameNoFileSystemCanHoldOrOneTakenIsRefusedAndTheDialogStays() {
    make("a/b");
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY2(m_messages->shown[0].startsWith("E:Název projektu nesmí obsahovat lomítko"),
             qPrintable(m_messages->shown[0]));
    make("alfa");
    QCOMPARE(m_messages->shown.size(), 2);
    QVERIFY2(m_messages->shown[1].contains("už existuje"), qPrintable(m_messages->shown[1]));
    QVERIFY(m_form->isVisible());
    QVERIFY(!m_form->project());
    QCOMPARE(subfoldersShown(), (QStringList{"alfa", "Beta"})); // nothing half made
    QVERIFY(QDir(m_open + "/alfa").isEmpty());
}

void TestNewProjectDialog::savedAsACopyWithoutTheStartChoice() {
    const QString source = m_fixture->root(); // the fixture's root is a project
    veldron::testing::writeAll(m_fixture->exchangeFile("IN_MANPR"), "0.7\r\n");
    m_form = std::make_unique<gui::NewProjectDialog>(gui::NewProjectDialog::Purpose::SaveAs,
                                                     gui::toPath(source), m_open);
    m_form->show();
    QCOMPARE(m_form->windowTitle(), QString("Uložit projekt jako"));
    QVERIFY(!m_form->findChild<QRadioButton*>("radioFromSample")->isVisible());
    make("Kopie");
    QVERIFY(m_form->project());
    QCOMPARE(veldron::testing::readAll(m_open + "/Kopie/PULT_na_vypocty/IN_MANPR"),
             QByteArray("0.7\r\n"));
}

// The path of a long name once widened the dialog past the screen, its
// buttons out of reach: it is shortened in its middle, whole in the tooltip.
void TestNewProjectDialog::aNameWiderThanTheScreenKeepsTheDialogsSize() {
    const int width = m_form->width();
    const QString name(300, QChar(u'ř'));
    m_form->findChild<QLineEdit*>("editProjectName")->insert(name);
    QApplication::processEvents();
    QCOMPARE(m_form->width(), width);
    QVERIFY(m_form->minimumSizeHint().width() <= width);
    auto* target = m_form->findChild<QLabel*>("lblTarget");
    QVERIFY(target->toolTip().endsWith(name));
    QVERIFY(target->text().contains(QChar(0x2026)));
}

VELDRON_TEST_MAIN(TestNewProjectDialog)
#include "new_project_dialog_test.moc"
