// Starting the core with its own console and waiting for it to end.
#pragma once

#include "gui/console/core_process.h"

#include <QString>

class QWidget;

namespace gui {

/// Starts `program` as a child process with a console dialog over `parent` and
/// waits for it, processing the front end's events meanwhile. Then reports
/// "Výpočet doběhl" (or "Výpočet selhal!!!" when the process could not be
/// started) and keeps the console open until the user closes it. The exit
/// status is not looked at. True when the process ran.
bool launchCore(const QString& program, QWidget* parent, const CoreProcessFactory& factory = {});

} // namespace gui
