// The base of the input forms that edit one table: the flood wave and the
// bathygraphic curve. Each loads its table from a two-blank source file into
// a grid, draws it, and writes it to its exchange files.
#pragma once

#include "desk/grid.h"
#include "desk/input_files.h"
#include "gui/inputs/input_form.h"
#include "project_files/file_io.h"
#include "project_files/saved_inputs.h"

#include <QList>
#include <QString>

#include <filesystem>

class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QTableView;

namespace gui {

class GridModel;

/// What sets one table form apart from another, besides its charts: its
/// widgets' names and sizes, and the table's own logic.
struct TableFormDescription {
    const char* objectName;
    const char* windowTitle;
    const char* groupTitle;
    const char* sourceFile; // the table "Načíst data" loads, beside the exchange files
    int columnCount;        // the numbering column included
    int initialRows;        // the header row included
    int columnWidthPx;
    int gridWidthPx;
    bool headerCentred;     // see GridModel::setHeaderCentred
    const char* gridName;   // object name of the grid view
    const char* countLabel; // caption of the field with the number of rows loaded
    const char* countName;  // "PointCount": lblPointCount, editPointCount
    int countWidthPx;
    /// Sets the grid's header row; `loaded`: the grid holds a table.
    void (*setHeader)(desk::Grid& grid, bool loaded);
    desk::TableCheck (*check)(const desk::Grid& grid);
    project_files::FileResult (*write)(const std::filesystem::path& dir,
                                       const desk::TableRows& rows);
    /// The table the exchange files hold, as the grid shows it.
    desk::TableRows (*savedRows)(const project_files::SavedInputs& inputs);
};

/// A modal input form of one table, its grid the plain data (Grid) the view
/// shows and edits. "Načíst data" fills the grid from the source file and
/// shows what was hidden until a table was loaded; a table pasted into the
/// grid (Ctrl+V) does the same. A cell that is not a number is marked as soon
/// as it is typed. The count follows the rows that hold values. Typing, a
/// paste, Delete and a load are each undone by Ctrl+Z and redone by Ctrl+Y,
/// back to the table the form opened with; "Zavřít bez uložení" asks only
/// when the table differs from it. "Zavřít a uložit" checks the table, asks
/// about what is probably wrong, writes the exchange files and closes. A cell
/// that cannot be right is named and selected and nothing is written; on a No
/// or a file error the form stays open.
class TableInputForm : public InputForm {
    Q_OBJECT
public:
    ~TableInputForm() override;

    /// The directory of the source file and of the exchange files; the open
    /// project's exchange directory unless set. The form shows the table
    /// saved there, as after a load, or starts empty without one.
    void setFilesDir(const QString& dir);

    const desk::Grid& grid() const { return m_grid; }
    /// The table differs from the one the form opened with.
    bool hasChanges() const override;

public slots:
    /// "Načíst data": the count follows a load that read the file completely;
    /// cells the file's lines do not reach keep their text. One undo step.
    void loadData();
    /// "Zavřít a uložit".
    void closeAndSave();

protected:
    /// Builds the parts every table form has; the derived form adds its
    /// charts, lays the parts out with its own, then calls showSavedData().
    TableInputForm(const TableFormDescription& description, QWidget* parent);

    /// Hides `widget` until a table is loaded, keeping its place.
    void showOnceLoaded(QWidget* widget);
    /// The count with its caption, then the two closing buttons at the right.
    QHBoxLayout* countAndCloseRow();
    /// The form's two columns inside its group box.
    void setColumns(QLayout* left, QLayout* right);
    /// Shows the table the exchange files hold, as after a load.
    void showSavedData();

    desk::Grid m_grid;
    QGroupBox* m_group = nullptr;
    QPushButton* m_loadButton = nullptr;
    QTableView* m_gridView = nullptr;
    QLabel* m_countLabel = nullptr;
    QLineEdit* m_countField = nullptr;
    QWidget* m_pasteBusy = nullptr; // shown while a long paste is read
    QPushButton* m_closeWithoutSavingButton = nullptr;
    QPushButton* m_closeAndSaveButton = nullptr;

private:
    void setLoaded(bool loaded);
    /// After a paste: the grid holds a table, as after a load.
    void tablePasted();
    void addUndoKeys();

    TableFormDescription m_description;
    QString m_filesDir;
    GridModel* m_model = nullptr;
    QList<QWidget*> m_shownOnceLoaded;
    bool m_loaded = false;
};

} // namespace gui
