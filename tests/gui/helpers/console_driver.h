// The core's console while a launch waits, driven as a user would: found
// among the windows, watched while the core runs, closed once it has ended.
#pragma once

#include "gui/calculation/console_dialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace veldron::testing {

inline gui::ConsoleDialog* openConsole() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* console = qobject_cast<gui::ConsoleDialog*>(widget);
            console && console->isVisible())
            return console;
    return nullptr;
}

// Drives the core's console while a launch waits: calls `onTick` every 50 ms
// while the console is open and closes the console once the core has ended.
// A run that takes too long gets Enter and is recorded as stuck, so that a
// broken launch fails the test instead of hanging it.
class ConsoleDriver {
public:
    explicit ConsoleDriver(std::function<void(gui::ConsoleDialog&)> onTick = {},
                           std::function<void(gui::ConsoleDialog&)> onFinished = {})
        : m_onTick(std::move(onTick)), m_onFinished(std::move(onFinished)) {
        m_clock.start();
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_timer.start(50);
    }
    QString text;      // the console's text when it was last seen
    bool seen = false; // a console was open at some tick
    bool stuck = false;

private:
    void tick() {
        gui::ConsoleDialog* console = openConsole();
        if (console == nullptr) return;
        seen = true;
        text = console->text();
        if (console->isRunning()) {
            if (m_onTick) m_onTick(*console);
            if (m_clock.elapsed() > 60000) {
                stuck = true;
                console->findChild<QPushButton*>("btnSendEnter")->click();
            }
        } else {
            if (m_onFinished) m_onFinished(*console);
            console->findChild<QPushButton*>("btnClose")->click();
        }
    }
    std::function<void(gui::ConsoleDialog&)> m_onTick, m_onFinished;
    QTimer m_timer;
    QElapsedTimer m_clock;
};

} // namespace veldron::testing
