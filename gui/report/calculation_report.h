// The calculation report of a project as an A4 PDF, written with Qt's own PDF
// writer: the title, the inputs, the settings in words, the run summary as
// the core wrote it, the charts drawn as vectors by the front end's own chart,
// the series, and the last flood-safety assessment, the last safety-margin
// search and the kept variants when the project keeps them. Czech, fonts embedded, a header with
// the project's name and the page's number on every page.
#pragma once

#include "desk/report_content.h"

#include <QString>

#include <filesystem>

namespace gui {

/// The caption the front end's menu and the report's header give it.
inline constexpr const char* kReportTitle = "Protokol výpočtu";

/// Writes `report` to `pdfPath`, replacing the file only once the whole
/// report is written. Returns the Czech text of a failure, empty on success.
/// Needs a QApplication (the charts are widgets, never shown).
QString writeCalculationReport(const desk::ReportContent& report, const QString& pdfPath);

/// Gathers the report of the project at `root` and writes it to `pdfPath`,
/// when desk::reportTargetProblem allows it: the Czech text of why no report
/// was made, empty on success.
QString makeCalculationReport(const std::filesystem::path& root, const QString& pdfPath);

} // namespace gui
