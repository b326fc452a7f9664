// The help viewer.
#include "gui/help/help_window.h"

#include "gui/help/help.h"
#include "gui/widgets/form_widgets.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace gui {

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName("HelpWindow");
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName("browserHelp");
    // Links to the web go to the desktop's browser; the manual's own stay here.
    m_browser->setOpenExternalLinks(true);

    QPushButton* back = makeButton("◀ Zpět", "btnBack", this, false);
    QPushButton* forward = makeButton("Vpřed ▶", "btnForward", this, false);
    QPushButton* contents = makeButton("Obsah", "btnContents", this, false);
    QPushButton* glossary = makeButton("Slovníček pojmů", "btnGlossary", this, false);
    QPushButton* close = makeButton("Zavřít", "btnClose", this, false);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(contents, &QPushButton::clicked, this, [this] { showPage("index"); });
    connect(glossary, &QPushButton::clicked, this, [this] { showPage("slovnicek"); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::showTitle);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {back, forward, contents, glossary})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser, 1);
    resize(820, 680);
}

void HelpWindow::showPage(const QString& page) {
    const QString name = page.section('#', 0, 0);
    const QString file = manualPageFile(name);
    if (!QFileInfo(file).isFile()) {
        m_browser->setHtml("<h2>Stránka nápovědy chybí</h2><p>Soubor <b>" +
                           QDir::toNativeSeparators(file).toHtmlEscaped() +
                           "</b> nebyl nalezen. Nápověda se instaluje spolu s programem do "
                           "složky <b>napoveda</b> vedle souboru programu.</p>");
        setWindowTitle("Nápověda – VELDRON");
        return;
    }
    QUrl url = QUrl::fromLocalFile(file);
    if (page.contains('#')) url.setFragment(page.section('#', 1));
    m_browser->setSource(url);
    showTitle();
}

QString HelpWindow::currentPage() const {
    const QUrl source = m_browser->source();
    return source.isEmpty() ? QString() : QFileInfo(source.toLocalFile()).completeBaseName();
}

void HelpWindow::showTitle() {
    const QString title = m_browser->documentTitle();
    setWindowTitle(title.isEmpty() ? QString("Nápověda – VELDRON") : "Nápověda – " + title);
}

} // namespace gui
