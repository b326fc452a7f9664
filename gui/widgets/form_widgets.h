// Small widget helpers shared by the forms.
#pragma once

#include <QString>

#include <filesystem>
#include <initializer_list>

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QTableView;
class QWidget;

namespace gui {

/// A push button with an object name that never reacts to Enter (Enter
/// belongs to editing the grids and fields), optionally in bold type.
QPushButton* makeButton(const QString& text, const QString& name, QWidget* parent, bool bold);

/// The widgets side by side at the right of a row, in order.
QHBoxLayout* rowAtRight(std::initializer_list<QWidget*> widgets);

/// A hidden row of `text` beside a busy bar (it does not count its way), to
/// show while something takes long.
QWidget* makeBusyIndicator(const QString& text, const QString& name, QWidget* parent);

/// Keeps a widget's place in its layout while it is hidden, so showing it
/// later does not move its neighbours.
void keepPlaceWhenHidden(QWidget* widget);

/// Centres a top-level widget on its screen (call when it is first shown, once
/// its frame is known).
void centreOnScreen(QWidget& widget);

/// Shows a saved value in a field; a field too short for it is widened
/// (its maximum length), so that nothing saved is cut off.
void showSavedText(QLineEdit& edit, const QString& text);

/// Puts the cursor into a field the user must mend, its text selected.
void markField(QLineEdit& edit);

/// Selects a grid cell the user must mend (grid row `row`, data rows from 1)
/// and scrolls it into view.
void markCell(QTableView& view, int column, int row);

/// A file system path from a Qt path text.
inline std::filesystem::path toPath(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

/// A path as Qt's text, without a conversion that could throw (out of a
/// slot, say): bytes that are not UTF-8 become replacement characters, and
/// whatever cannot find the file then says so.
QString toQString(const std::filesystem::path& path);

} // namespace gui
