// "Export do excelu": a table saved as numbered .xlsx workbooks.
#include "gui/workbook/workbook_export_dialog.h"

#include "gui/widgets/form_widgets.h"
#include "gui/widgets/message_service.h"

#include <QDesktopServices>

namespace gui {

WorkbookOpener desktopWorkbookOpener() {
    return [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

bool exportTableToSpreadsheet(QWidget* parent, const SheetRows& rows, const QString& sheetName,
                              const QString& path, bool visible, const WorkbookOpener& open) {
    MessageService& messages = MessageService::instance();
    const TableExport result =
        exportTable(rows, sheetName.toStdString(), std::filesystem::path(path.toStdU16String()),
                    [parent, &messages](const std::filesystem::path& existing) {
                        return messages.question(parent, "Soubor " + toQString(existing) +
                                                             " již existuje. Přepsat?");
                    });
    if (!result.error.empty()) messages.error(parent, QString::fromStdString(result.error));
    if (visible) {
        for (const std::filesystem::path& saved : result.saved) {
            if (!open || !open(QUrl::fromLocalFile(toQString(saved))))
                messages.information(parent, "Sešit nelze otevřít v tabulkovém procesoru. "
                                             "Byl uložen do souboru " +
                                                 toQString(saved) + ".");
        }
    }
    return result.ok;
}

} // namespace gui
