// A study's window asked to stop by the system (SIGINT, SIGTERM, SIGHUP to
// the front end): the signal is noted while the study runs, the window ends
// its core and removes its temporary roots, and the signal takes effect when
// the watch goes.
#pragma once

#include "study/stop_signals.h"

#include <QObject>
#include <QTimer>

namespace gui {

class StopSignalWatch : public QObject {
    Q_OBJECT
public:
    /// Notes the stop signals from now on (study::StopSignals) and looks for
    /// one every 100 ms. Destroying the watch raises a signal noted again.
    explicit StopSignalWatch(QObject* parent = nullptr);

signals:
    /// Once, from the event loop, when a stop signal came. Connect it queued
    /// when its slot may destroy the watch.
    void stopAsked();

private:
    study::StopSignals m_signals;
    QTimer m_poll;
};

} // namespace gui
