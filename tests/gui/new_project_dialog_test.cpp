// The new project form driven offscreen: browsing, creating, replacing, refusing.
#include "gui/new_project/new_project_dialog.h"
#include "helpers/form_fixture.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QStorageInfo>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

class TestNewProjectDialog : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void showsTheCurrentDirectoryWithParentsAndSubdirectories();
    void openingAnEntryMakesItTheCurrentDirectory();
    void aDirectoryThatCannotBeOpenedLeavesAllAsItWas();
    void theDriveListFollowsAndSwitchesTheCurrentDirectory();
    void aDirectoryOnAnUnknownVolumeOffersTheTopOfItsPath();
    void createsAProjectInTheOpenDirectory();
    void createsAnAbsolutePathWhereItPoints();
    void saysWhenNothingWasCreated();
    void replacesAnEmptyDirectoryWhenAsked();
    void neverReplacesADirectoryWithContent();
    void answeringNoChangesNothing();
    void cancellingOnlyRefreshesTheList();
    void theOverwriteBoxIsTheFormsOwn();

private:
    void answerName(const std::optional<QString>& name);
    void clickCreate();
    QTreeWidget* list() const { return m_form->findChild<QTreeWidget*>("treeDirectories"); }
    QStringList subdirectoriesShown() const;

    QString m_startDir;
    std::unique_ptr<testing_gui::FormFixture> m_fixture;
    QString m_open; // the directory open when each test starts
    testing_gui::FakeMessages* m_messages = nullptr;
    std::unique_ptr<NewProjectDialog> m_form;
};

void TestNewProjectDialog::init() {
    m_startDir = QDir::currentPath();
    m_fixture = std::make_unique<testing_gui::FormFixture>();
    QVERIFY(m_fixture->isValid());
    QDir root(m_fixture->root());
    QVERIFY(root.mkpath("projekty/Beta"));
    QVERIFY(root.mkpath("projekty/alfa"));
    m_open = QDir(root.filePath("projekty")).canonicalPath();
    QVERIFY(QDir::setCurrent(m_open));
    m_messages = &m_fixture->messages();
    m_form = std::make_unique<NewProjectDialog>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestNewProjectDialog::cleanup() {
    m_form.reset();
    QDir::setCurrent(m_startDir);
    m_fixture.reset();
}

void TestNewProjectDialog::answerName(const std::optional<QString>& name) {
    m_form->setNameAsker([name](QWidget*) { return name; });
}

void TestNewProjectDialog::clickCreate() {
    QTest::mouseClick(m_form->findChild<QPushButton*>("btnCreateProject"), Qt::LeftButton);
}

QStringList TestNewProjectDialog::subdirectoriesShown() const {
    QStringList names;
    const QTreeWidgetItem* open = list()->currentItem();
    for (int i = 0; open != nullptr && i < open->childCount(); ++i)
        names << open->child(i)->text(0);
    return names;
}

void TestNewProjectDialog::showsTheCurrentDirectoryWithParentsAndSubdirectories() {
    QCOMPARE(m_form->windowTitle(), QString("Nový projekt"));
    QTreeWidgetItem* open = list()->currentItem();
    QVERIFY(open);
    QCOMPARE(open->text(0), QString("projekty"));
    QCOMPARE(subdirectoriesShown(), (QStringList{"alfa", "Beta"}));
    // Every parent up to the root stands above it, one level each.
    QStringList parents;
    for (QTreeWidgetItem* item = open->parent(); item != nullptr; item = item->parent())
        parents.prepend(item->text(0));
    const QString expected = QDir::cleanPath(m_open + "/..");
    QCOMPARE(parents.first(), QString("/"));
    QCOMPARE(parents.mid(1).join('/'), expected.mid(1));
}

void TestNewProjectDialog::openingAnEntryMakesItTheCurrentDirectory() {
    QTreeWidgetItem* beta = list()->currentItem()->child(1);
    QCOMPARE(beta->text(0), QString("Beta"));
    // A single click only selects.
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                      list()->visualItemRect(beta).center());
    QTest::qWait(20);
    QCOMPARE(QDir::currentPath(), m_open);
    // Enter opens the selected entry.
    list()->setCurrentItem(beta);
    QTest::keyClick(list(), Qt::Key_Return);
    QTRY_COMPARE(QDir::currentPath(), m_open + "/Beta");
    QVERIFY(m_form->isVisible());
    QCOMPARE(list()->currentItem()->text(0), QString("Beta"));
    QCOMPARE(subdirectoriesShown(), QStringList());

    // A double click on a parent opens it.
    QTreeWidgetItem* parent = list()->currentItem()->parent();
    const QPoint at = list()->visualItemRect(parent).center();
    // The view takes a double click only on the entry the first press chose.
    QTest::mousePress(list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
    QTRY_COMPARE(QDir::currentPath(), m_open);
    QCOMPARE(list()->currentItem()->text(0), QString("projekty"));
}

void TestNewProjectDialog::aDirectoryThatCannotBeOpenedLeavesAllAsItWas() {
    QTreeWidgetItem* alfa = list()->currentItem()->child(0);
    QVERIFY(QDir(m_open).rmdir("alfa")); // gone since the list was drawn
    list()->setCurrentItem(alfa);
    QTest::keyClick(list(), Qt::Key_Return);
    QTRY_COMPARE(m_messages->shown.size(), 1);
    QVERIFY(m_messages->shown[0].startsWith("E:"));
    QVERIFY(m_messages->shown[0].endsWith(m_open + "/alfa"));
    QCOMPARE(QDir::currentPath(), m_open);
}

void TestNewProjectDialog::theDriveListFollowsAndSwitchesTheCurrentDirectory() {
    auto* drives = m_form->findChild<QComboBox*>("comboDrives");
    // A chroot's mount table may not show the volume: then "/" is offered.
    QString root = QStorageInfo(m_open).rootPath();
    if (root.isEmpty()) root = QDir::rootPath();
    QCOMPARE(drives->currentData().toString(), root);
    emit drives->activated(drives->currentIndex());
    QCOMPARE(QDir::currentPath(), root);
    QCOMPARE(list()->currentItem()->data(0, Qt::UserRole).toString(), root);
    QVERIFY(m_messages->shown.isEmpty());
}

void TestNewProjectDialog::aDirectoryOnAnUnknownVolumeOffersTheTopOfItsPath() {
    m_form->setVolumeRoot([](const QString&) { return QString(); });
    m_form->refresh();
    auto* drives = m_form->findChild<QComboBox*>("comboDrives");
    QCOMPARE(drives->currentData().toString(), QDir::rootPath());
    emit drives->activated(drives->currentIndex());
    QCOMPARE(QDir::currentPath(), QDir::rootPath());
    QVERIFY(m_messages->shown.isEmpty());
}

void TestNewProjectDialog::createsAProjectInTheOpenDirectory() {
    answerName("Akce1");
    clickCreate();
    QCOMPARE(m_messages->shown, QStringList{"I:Projekt byl založen"});
    QVERIFY(QFileInfo(m_open + "/Akce1").isDir());
    QCOMPARE(subdirectoriesShown(), (QStringList{"Akce1", "alfa", "Beta"}));
}

void TestNewProjectDialog::createsAnAbsolutePathWhereItPoints() {
    const QString elsewhere = QDir(m_fixture->root()).filePath("jinde");
    answerName(elsewhere);
    clickCreate();
    QCOMPARE(m_messages->shown, QStringList{"I:Projekt byl založen"});
    QVERIFY(QFileInfo(elsewhere).isDir());
    QCOMPARE(subdirectoriesShown(), (QStringList{"alfa", "Beta"}));
}

void TestNewProjectDialog::saysWhenNothingWasCreated() {
    answerName("chybi/Akce2"); // the parent does not exist
    clickCreate();
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY2(m_messages->shown[0].startsWith("E:Projekt nebyl založen: adresář chybi/Akce2"),
             qPrintable(m_messages->shown[0]));
    QVERIFY(!QFileInfo::exists(m_open + "/chybi"));

    m_messages->shown.clear();
    answerName("");
    clickCreate();
    QCOMPARE(m_messages->shown, QStringList{"E:Projekt nebyl založen: název projektu je prázdný."});
}

void TestNewProjectDialog::replacesAnEmptyDirectoryWhenAsked() {
    m_messages->answers = {true};
    answerName("alfa");
    clickCreate();
    QCOMPARE(m_messages->shown, (QStringList{"Q:Adresář alfa existuje, chcete jej přepsat?",
                                             "I:Adresář byl přepsán"}));
    QVERIFY(QFileInfo(m_open + "/alfa").isDir());
    QVERIFY(QDir(m_open + "/alfa").isEmpty());
}

void TestNewProjectDialog::neverReplacesADirectoryWithContent() {
    QFile file(m_open + "/Beta/vysledky.txt");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("data\r\n");
    file.close();
    m_messages->answers = {true};
    answerName("Beta");
    clickCreate();
    QCOMPARE(m_messages->shown.size(), 2);
    QCOMPARE(m_messages->shown[0], QString("Q:Adresář Beta existuje, chcete jej přepsat?"));
    QVERIFY2(m_messages->shown[1].startsWith("E:Adresář Beta nebyl přepsán: není prázdný"),
             qPrintable(m_messages->shown[1]));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("data\r\n"));
}

void TestNewProjectDialog::answeringNoChangesNothing() {
    m_messages->answers = {false};
    answerName("alfa");
    clickCreate();
    QCOMPARE(m_messages->shown, QStringList{"Q:Adresář alfa existuje, chcete jej přepsat?"});
    QVERIFY(QFileInfo(m_open + "/alfa").isDir());
}

void TestNewProjectDialog::cancellingOnlyRefreshesTheList() {
    QVERIFY(QDir(m_open).mkdir("Gama")); // made behind the form's back
    answerName(std::nullopt);
    clickCreate();
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(subdirectoriesShown(), (QStringList{"alfa", "Beta", "Gama"}));
}

void TestNewProjectDialog::theOverwriteBoxIsTheFormsOwn() {
    gui::MessageService::install(nullptr); // the real boxes
    QString title, text, defaultText, focusText;
    QStringList buttons;
    QTimer::singleShot(50, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        title = box->windowTitle();
        text = box->text();
        for (QAbstractButton* button : box->buttons())
            buttons << button->text();
        defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
        focusText = QApplication::focusWidget()
                        ? QApplication::focusWidget()->property("text").toString()
                        : QString();
        box->defaultButton()->click();
    });
    const bool yes = gui::MessageService::instance().warningQuestion(
        m_form.get(), "Program VELDRON", "Adresář Akce1 existuje, chcete jej přepsat?");
    QVERIFY(!yes);
    QCOMPARE(title, QString("Program VELDRON"));
    QCOMPARE(text, QString("Adresář Akce1 existuje, chcete jej přepsat?"));
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"&Ano", "&Ne"}));
    QCOMPARE(defaultText, QString("&Ne"));
    QCOMPARE(focusText, QString("&Ne"));
}

VELDRON_TEST_MAIN(TestNewProjectDialog)
#include "new_project_dialog_test.moc"
