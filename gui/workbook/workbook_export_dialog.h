// "Export do excelu": a table of numbers and texts saved as .xlsx workbooks
// where the user chooses, the user asked before one replaces an existing
// file, every failure shown.
#pragma once

#include "gui/widgets/save_file_dialog.h"
#include "gui/workbook/workbook_sheets.h"

#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace gui {

/// Opens a saved workbook in the desktop's application for it; false when
/// none could be started.
using WorkbookOpener = std::function<bool(const QUrl&)>;

/// The opener of the desktop (QDesktopServices::openUrl).
WorkbookOpener desktopWorkbookOpener();

/// Asks where to save (`choose`, offering `suggested`), then saves `rows`
/// there as exportTable does: more rows than a workbook holds go to further
/// workbooks numbered 2, 3, ... beside it, worksheets named `sheetName`. A
/// hidden name is refused; the user is asked before a workbook replaces an
/// existing file; a failure to save is shown as an error. Each saved workbook
/// is opened by `open`; where that fails the user is told where it was saved.
/// Returns the path chosen; empty when the user cancelled.
QString exportTableToWorkbook(QWidget* parent, const SheetRows& rows, const QString& sheetName,
                              const QString& suggested, const SaveFileChooser& choose,
                              const WorkbookOpener& open);

} // namespace gui
