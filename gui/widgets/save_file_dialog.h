// Where a picture or a workbook is saved: the user chooses name and place in
// a Czech save dialog that offers a name saying what the file holds, of which
// project and when; a hidden name is refused and an existing file is replaced
// only after a question.
#pragma once

#include <QString>

#include <filesystem>
#include <functional>

class QWidget;

namespace gui {

/// What is saved: the dialog's title, its filter and the suffix a name
/// without one gets.
struct SaveFileKind {
    const char* caption;
    const char* filter;
    const char* suffix;
};

inline constexpr SaveFileKind kJpegPicture = {"Uložení grafu do JPG", "Obrázky JPEG (*.jpg *.jpeg)",
                                              "jpg"};
inline constexpr SaveFileKind kWorkbook = {"Export do excelu", "Sešity Excelu (*.xlsx)", "xlsx"};

/// Asks where to save a file of `kind`, offering the path `suggested`;
/// returns the path chosen, or an empty text when the user cancelled. It asks
/// nothing about an existing file (mayReplace does).
using SaveFileChooser =
    std::function<QString(QWidget* parent, const SaveFileKind& kind, const QString& suggested)>;

/// The desktop's save dialog.
SaveFileChooser saveFileDialog();

/// `dir`/<what>_<project>_<yyyy-mm-dd>.<suffix>: what the file holds, the
/// name of the project at `root` and today's date ("prutok_Nadrz_2024-05-17.jpg").
QString datedFileName(const QString& dir, const QString& what, const std::filesystem::path& root,
                      const char* suffix);

/// False, after telling the user why, when the name of `path` begins with a
/// point: the file would be hidden (".jpg").
bool acceptsFileName(QWidget* parent, const QString& path);

/// True when `path` does not exist, or the user agreed to replace it.
bool mayReplace(QWidget* parent, const QString& path);

} // namespace gui
