// "Export do excelu": a table saved as .xlsx workbooks where the user chooses.
#include "gui/workbook/workbook_export_dialog.h"

#include "gui/widgets/form_widgets.h"
#include "gui/widgets/message_service.h"

#include <QDesktopServices>

namespace gui {

WorkbookOpener desktopWorkbookOpener() {
    return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

QString exportTableToWorkbook(QWidget* parent, const SheetRows& rows, const QString& sheetName,
                              const QString& suggested, const SaveFileChooser& choose,
                              const WorkbookOpener& open) {
    const QString path = choose(parent, kWorkbook, suggested);
    if (path.isEmpty() || !acceptsFileName(parent, path)) return path;
    MessageService& messages = MessageService::instance();
    const TableExport result = exportTable(rows, sheetName.toStdString(), toPath(path),
                                           [parent](const std::filesystem::path& existing) {
                                               return mayReplace(parent, toQString(existing));
                                           });
    if (!result.error.empty()) messages.error(parent, QString::fromStdString(result.error));
    for (const std::filesystem::path& saved : result.saved) {
        if (!open || !open(QUrl::fromLocalFile(toQString(saved))))
            messages.information(parent, "Sešit nelze otevřít v tabulkovém procesoru. "
                                         "Byl uložen do souboru " +
                                             toQString(saved) + ".");
    }
    return path;
}

} // namespace gui
