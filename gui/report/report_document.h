// The calculation report's text as one document: its sections in HTML, its
// charts as objects that flow with the text, laid out on pages of a given
// size.
#pragma once

#include "desk/report_content.h"

#include <QString>

#include <cstddef>
#include <vector>

class QTextDocument;

namespace gui {

class ReportCharts;

/// Fills `document` with the report; the charts go to `charts`, which
/// `document` must know as the painter of ReportCharts::kObjectType.
void buildReportDocument(QTextDocument& document, ReportCharts& charts,
                         const desk::ReportContent& report, const QString& version);

/// At most this many rows of a series go into the report's table; a longer
/// run is tabled every k-th step (and its last step), the files hold them all.
inline constexpr std::size_t kMostTableRows = 1000;

/// The steps (1-based) the series table lists for a run of `steps` steps.
std::vector<std::size_t> tabledSteps(std::size_t steps);

} // namespace gui
