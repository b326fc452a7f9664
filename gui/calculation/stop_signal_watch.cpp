// Noting a stop signal while a study's window runs the core.
#include "gui/calculation/stop_signal_watch.h"

namespace gui {

namespace {

constexpr int kPollMs = 100;

} // namespace

StopSignalWatch::StopSignalWatch(QObject* parent) : QObject(parent) {
    connect(&m_poll, &QTimer::timeout, this, [this] {
        if (study::StopSignals::received() == 0) return;
        m_poll.stop();
        emit stopAsked();
    });
    m_poll.start(kPollMs);
}

} // namespace gui
