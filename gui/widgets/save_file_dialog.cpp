// Where a picture or a workbook is saved.
#include "gui/widgets/save_file_dialog.h"

#include "desk/project.h"
#include "gui/widgets/form_widgets.h"
#include "gui/widgets/message_service.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace gui {

SaveFileChooser saveFileDialog() {
    return [](QWidget* parent, const SaveFileKind& kind, const QString& suggested) {
        QFileDialog dialog(parent, kind.caption);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilter(kind.filter);
        dialog.setDefaultSuffix(kind.suffix);
        // The question comes from mayReplace, the same whichever dialog chose.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        const QFileInfo info(suggested);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };
}

QString datedFileName(const QString& dir, const QString& what, const std::filesystem::path& root,
                      const char* suffix) {
    const QString name = what + "_" + QString::fromStdString(desk::projectName(root)) + "_" +
                         QDate::currentDate().toString(Qt::ISODate) + "." + suffix;
    return QDir(dir).filePath(name);
}

bool acceptsFileName(QWidget* parent, const QString& path) {
    if (!QFileInfo(path).fileName().startsWith('.')) return true;
    MessageService::instance().error(
        parent, "Název souboru " + QFileInfo(path).fileName() +
                    " začíná tečkou: takový soubor by byl skrytý. Zvolte jiný název.");
    return false;
}

bool mayReplace(QWidget* parent, const QString& path) {
    return !QFileInfo::exists(path) || MessageService::instance().question(
                                           parent, "Soubor " + path + " již existuje. Přepsat?");
}

} // namespace gui
