// The manual behind F1: every window opens a page that is there, every link of
// every page leads to a page and an anchor that are there and every page can
// be reached from the contents, F1 shows the window's page even over a modal
// window, and a manual that is not installed is said so.
#include "gui/calculation/calculation_form.h"
#include "gui/calculation/console_dialog.h"
#include "gui/calculation/core_process.h"
#include "gui/help/help.h"
#include "gui/help/help_window.h"
#include "gui/inputs/curve_form.h"
#include "gui/inputs/flood_wave_form.h"
#include "gui/inputs/technical_data_form.h"
#include "gui/main_window/main_window.h"
#include "gui/main_window/new_project_dialog.h"
#include "gui/results/results_window.h"
#include "gui/studies/assessment_window.h"
#include "gui/studies/keep_variant_dialog.h"
#include "gui/studies/safety_margin_window.h"
#include "gui/studies/variant_comparison_window.h"
#include "gui/widgets/form_widgets.h"
#include "helpers/form_fixture.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using WindowFactory = std::function<std::unique_ptr<QWidget>(const std::filesystem::path& root)>;
Q_DECLARE_METATYPE(WindowFactory)

namespace {

QString sourceManual() {
    return QStringLiteral(VELDRON_SOURCE_DIR) + "/data/manual";
}

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

/// F1 as a user presses it: a window's shortcut acts only in the active window.
void pressF1(QWidget& window) {
    QApplication::setActiveWindow(&window);
    if (!QTest::qWaitForWindowActive(&window)) qWarning("window not active");
    QTest::keyClick(&window, Qt::Key_F1);
}

gui::HelpWindow* helpOf(QWidget& window) {
    return window.findChild<gui::HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyWindowHasItsPage_data();
    void everyWindowHasItsPage();
    void everyLinkLeadsToAPageThatIsThereAndEveryPageIsReached();
    void f1OnTheModalCalculationWindowShowsItsPageAndTheLinksWork();
    void aManualThatIsNotInstalledIsSaidSo();

private:
    std::unique_ptr<veldron::testing::FormFixture> m_fixture;
};

void TestHelp::init() {
    m_fixture = std::make_unique<veldron::testing::FormFixture>(
        veldron::testing::FormFixture::SampleInputs);
    QVERIFY(m_fixture->isValid());
    gui::setManualDirectory(sourceManual());
}

void TestHelp::cleanup() {
    m_fixture.reset();
}

void TestHelp::everyWindowHasItsPage_data() {
    using std::filesystem::path;
    QTest::addColumn<WindowFactory>("make");
    const auto add = [](const char* name, WindowFactory make) {
        QTest::newRow(name) << std::move(make);
    };
    add("main window", [](const path&) { return std::make_unique<gui::MainWindow>(); });
    add("new project", [](const path& root) {
        return std::make_unique<gui::NewProjectDialog>(gui::NewProjectDialog::Purpose::NewProject,
                                                       root, gui::toQString(root));
    });
    add("flood wave", [](const path&) { return std::make_unique<gui::FloodWaveForm>(); });
    add("curve", [](const path&) { return std::make_unique<gui::CurveForm>(); });
    add("technical data", [](const path&) { return std::make_unique<gui::TechnicalDataForm>(); });
    add("calculation", [](const path&) { return std::make_unique<gui::CalculationForm>(); });
    add("console", [](const path&) -> std::unique_ptr<QWidget> {
        static gui::QProcessCore process; // never started
        return std::make_unique<gui::ConsoleDialog>(process, "Výpočet – konzole");
    });
    add("results", [](const path&) { return std::make_unique<gui::ResultsWindow>(); });
    add("keep variant",
        [](const path& root) { return std::make_unique<gui::KeepVariantDialog>(root, "11"); });
    add("variant comparison",
        [](const path& root) { return std::make_unique<gui::VariantComparisonWindow>(root); });
    add("safety margin",
        [](const path& root) { return std::make_unique<gui::SafetyMarginWindow>(root, "11"); });
    add("assessment",
        [](const path& root) { return std::make_unique<gui::AssessmentWindow>(root); });
}

void TestHelp::everyWindowHasItsPage() {
    QFETCH(WindowFactory, make);
    const std::unique_ptr<QWidget> window = make(m_fixture->rootPath());
    const QString page = window->property(gui::kHelpPageProperty).toString();
    QVERIFY2(!page.isEmpty(), "no help installed");
    QVERIFY2(QFileInfo(QDir(sourceManual()).filePath(page + ".html")).isFile(), qPrintable(page));
    const QList<QAction*> f1 = window->findChildren<QAction*>("actionHelp");
    QCOMPARE(f1.size(), 1);
    QCOMPARE(f1.front()->shortcut(), QKeySequence(Qt::Key_F1));
}

// A link that leads nowhere shows an empty page; a page no link reaches is
// never read.
void TestHelp::everyLinkLeadsToAPageThatIsThereAndEveryPageIsReached() {
    const QDir manual(sourceManual());
    const QStringList pages = manual.entryList({"*.html"}, QDir::Files);
    QVERIFY(pages.contains("index.html"));
    const QRegularExpression link("href=\"([^\"]*)\"");
    const QRegularExpression anchor("(?:name|id)=\"([^\"]*)\"");
    QSet<QString> reached{"index.html"};
    QStringList toRead{"index.html"};
    while (!toRead.isEmpty()) {
        const QString page = toRead.takeFirst();
        const QString text = readText(manual.filePath(page));
        QVERIFY2(text.contains("<meta charset=\"utf-8\">") && text.contains("<title>"),
                 qPrintable(page));
        for (const QRegularExpressionMatch& match : link.globalMatch(text)) {
            const QString target = match.captured(1);
            if (target.startsWith("http")) continue;
            const QString file =
                target.section('#', 0, 0).isEmpty() ? page : target.section('#', 0, 0);
            QVERIFY2(manual.exists(file), qPrintable(page + " → " + target));
            if (target.contains('#')) {
                QStringList names;
                for (const QRegularExpressionMatch& a :
                     anchor.globalMatch(readText(manual.filePath(file))))
                    names << a.captured(1);
                QVERIFY2(names.contains(target.section('#', 1)), qPrintable(page + " → " + target));
            }
            if (file.endsWith(".html") && !reached.contains(file)) {
                reached.insert(file);
                toRead << file;
            }
        }
    }
    for (const QString& page : pages)
        QVERIFY2(reached.contains(page), qPrintable(page + " is reached from no page"));
}

// The calculation window is modal, as the main window opens it: its help must
// still take clicks.
void TestHelp::f1OnTheModalCalculationWindowShowsItsPageAndTheLinksWork() {
    gui::CalculationForm form;
    QString shown, afterContents, title;
    QTimer::singleShot(0, &form, [&] {
        pressF1(form);
        if (gui::HelpWindow* help = helpOf(form)) {
            shown = help->currentPage();
            title = help->windowTitle();
            QTest::mouseClick(help->findChild<QPushButton*>("btnContents"), Qt::LeftButton);
            afterContents = help->currentPage();
            QVERIFY(help->isVisible());
        }
        static_cast<QDialog&>(form).reject();
    });
    form.exec();
    QCOMPARE(shown, QString("vypocet"));
    QCOMPARE(title, QString("Nápověda – Výpočet"));
    QCOMPARE(afterContents, QString("index"));
}

void TestHelp::aManualThatIsNotInstalledIsSaidSo() {
    gui::setManualDirectory(m_fixture->root() + "/napoveda");
    gui::TechnicalDataForm form;
    form.show();
    pressF1(form);
    gui::HelpWindow* help = helpOf(form);
    QVERIFY(help != nullptr);
    const QString text = help->findChild<QTextBrowser*>("browserHelp")->toPlainText();
    QVERIFY2(text.contains("Stránka nápovědy chybí") &&
                 text.contains(QDir::toNativeSeparators(m_fixture->root() +
                                                        "/napoveda/technicke_udaje.html")),
             qPrintable(text));
}

VELDRON_TEST_MAIN(TestHelp)
#include "help_test.moc"
