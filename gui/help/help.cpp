// The manual behind F1.
#include "gui/help/help.h"

#include "exchange/file_names.h"
#include "gui/help/help_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace gui {

namespace {

QString& manualDirectorySet() {
    static QString dir;
    return dir;
}

// Beside its window, on the side with more room, so that the help hides as
// little as it can of what it explains.
void placeBeside(QWidget& help, const QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QRect owner = window.frameGeometry();
    const QSize size = help.size().boundedTo(area.size());
    const int right = area.right() - owner.right(), left = owner.left() - area.left();
    int x = right >= left ? owner.right() + 1 : owner.left() - size.width();
    x = std::clamp(x, area.left(), area.right() + 1 - size.width());
    const int y = std::clamp(owner.top(), area.top(), area.bottom() + 1 - size.height());
    help.resize(size);
    help.move(x, y);
}

} // namespace

QString manualDirectory() {
    if (!manualDirectorySet().isEmpty()) return manualDirectorySet();
    return QDir(QCoreApplication::applicationDirPath()).filePath(exchange::kManualFolder);
}

void setManualDirectory(const QString& dir) {
    manualDirectorySet() = dir;
}

QString manualPageFile(const QString& page) {
    return QDir(manualDirectory()).filePath(page + ".html");
}

QAction* installHelp(QWidget* window, const char* page) {
    const QString name = QString::fromLatin1(page);
    window->setProperty(kHelpPageProperty, name);
    auto* action = new QAction("Nápověda k tomuto oknu", window);
    action->setObjectName("actionHelp");
    action->setShortcut(QKeySequence(Qt::Key_F1));
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, window,
                     [window, name] { showHelp(window, name); });
    window->addAction(action);
    return action;
}

void showHelp(QWidget* window, const QString& page) {
    HelpWindow* help = window->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (help == nullptr) {
        help = new HelpWindow(window);
        placeBeside(*help, *window);
    }
    help->showPage(page);
    help->show();
    help->raise();
    help->activateWindow();
}

} // namespace gui
