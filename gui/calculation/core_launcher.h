// Starting the core with its own console and waiting for it to end.
#pragma once

#include "desk/run_report.h"
#include "gui/calculation/core_process.h"

#include <QString>

#include <filesystem>
#include <optional>

class QWidget;

namespace gui {

/// Starts `program` as a child process on `root` (VELDRON_ROOT) with a console
/// dialog over `parent` and waits for it, processing the front end's events
/// meanwhile. Then tells how the run ended (reportRun: "Výpočet doběhl",
/// stopped, refused, failed), with the root's run summary when this run wrote
/// it and what to mend in the root's inputs as the run read them, and keeps
/// the console open until the user closes it. When the process cannot be
/// started it says "Výpočet selhal!!!" and returns nothing.
std::optional<desk::RunEnding> launchCore(const QString& program, const std::filesystem::path& root,
                                          QWidget* parent, const CoreProcessFactory& factory = {});

} // namespace gui
