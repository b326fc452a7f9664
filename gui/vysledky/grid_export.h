// "Export do excelu": a grid saved as numbered .xls workbooks, the user asked
// before one replaces an existing file, every failure shown.
#pragma once

#include "gui/common/grid.h"

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

/// Copies every cell of `grid` (header row and numbering column included) as
/// text into workbooks saved as `path` with 1, 2, ... before the extension of
/// its file name, worksheets named `sheetName` followed by 1, 2, ... (see
/// exportGridToWorkbooks). Asks before replacing an existing workbook; a
/// failure to save is shown as an error. With `visible`, each saved workbook
/// is opened by `open`; where that fails the user is told where it was saved.
/// True when every workbook was saved.
bool exportGridToSpreadsheet(QWidget* parent, const Grid& grid, const QString& sheetName,
                             const QString& path, bool visible, const WorkbookOpener& open);

} // namespace gui
