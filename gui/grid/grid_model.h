// Shows a desk::Grid in a Qt item view and lets the user edit its data cells,
// every change a step of its undo stack.
#pragma once

#include "desk/grid.h"
#include "desk/grid_edit.h"
#include "gui/grid/copied_text.h"

#include <QAbstractTableModel>

class QUndoStack;

namespace gui {

/// Table model over a Grid owned by someone else (it must outlive the model).
/// The grid's header row 0 is the view's horizontal header, so it stays in
/// place while the rows scroll: model row r is grid row r + 1. Model column c
/// is grid column c; the numbering column 0 is shown greyed and is not
/// editable, like the grid's fixed cells. Data cells are editable text.
///
/// Every change made through the model (typing, apply()) is a step of its
/// undo stack, which goes back to the state reload() was last called on.
class GridModel : public QAbstractTableModel, public CopyableTable {
    Q_OBJECT
public:
    explicit GridModel(desk::Grid& grid, QObject* parent = nullptr);

    const desk::Grid& grid() const { return m_grid; }

    /// Tells the views that the grid changed behind the model, and starts the
    /// undo history there: what the grid holds now is what undo returns to.
    void reload();

    /// Applies `edit` (built on the grid as it is) as one step named `text`.
    void apply(desk::GridEdit edit, const QString& text);
    /// Undo and redo of the changes since reload(); clean when the grid holds
    /// what it held then.
    QUndoStack& undoStack() const { return *m_undo; }

    /// Shows the header texts without their leading and trailing blanks,
    /// centred: the blanks meant to centre them would push a long text past
    /// the edge of its column.
    void setHeaderCentred(bool centred) { m_headerCentred = centred; }

    /// Marks every data cell that holds text but no number (parseTypedNumber)
    /// as soon as it is typed: a red background and the reason as its tooltip.
    void setMarksNonNumbers(bool marks) { m_marksNonNumbers = marks; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// Typing into a cell: one step of the undo stack.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    /// The cells' texts as they are now; numbers with a decimal comma.
    std::function<std::string()> copiedText(int top, int left, int bottom,
                                            int right) const override;

    static bool isFixed(const QModelIndex& index) { return index.column() == 0; }
    /// The grid row shown in a model row.
    static int gridRow(const QModelIndex& index) { return index.row() + 1; }

signals:
    /// The grid changed by an edit, its undo or its redo.
    void gridEdited();

private:
    friend class GridEditCommand;
    /// Changes the grid by `edit` and tells the views what changed.
    void change(const desk::GridEdit& edit, bool forward);
    /// Why a data cell's text is refused, or empty for a number or an empty cell.
    QString cellProblem(const QModelIndex& index) const;

    desk::Grid& m_grid;
    QUndoStack* m_undo;
    bool m_headerCentred = false;
    bool m_marksNonNumbers = false;
};

} // namespace gui
