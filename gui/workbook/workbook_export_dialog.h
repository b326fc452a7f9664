// "Export do excelu": a table of numbers and texts saved as numbered .xlsx
// workbooks, the user asked before one replaces an existing file, every
// failure shown.
#pragma once

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

/// Saves `rows` into workbooks named `path` with 1, 2, ... before the
/// extension of its file name, worksheets named `sheetName` followed by 1,
/// 2, ... (see exportTable). Asks before replacing an existing workbook; a
/// failure to save is shown as an error. With `visible`, each saved workbook
/// is opened by `open`; where that fails the user is told where it was saved.
/// True when every workbook was saved.
bool exportTableToSpreadsheet(QWidget* parent, const SheetRows& rows, const QString& sheetName,
                              const QString& path, bool visible, const WorkbookOpener& open);

} // namespace gui
