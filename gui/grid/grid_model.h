// Shows a desk::Grid in a Qt item view and lets the user edit its data cells.
#pragma once

#include "desk/grid.h"

#include <QAbstractTableModel>

namespace gui {

/// Table model over a Grid owned by someone else (it must outlive the model).
/// The grid's header row 0 is the view's horizontal header, so it stays in
/// place while the rows scroll: model row r is grid row r + 1. Model column c
/// is grid column c; the numbering column 0 is shown greyed and is not
/// editable, like the grid's fixed cells. Data cells are editable text; rows
/// can be added at the end (a paste that reaches beyond the last row).
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(desk::Grid& grid, QObject* parent = nullptr);

    desk::Grid& grid() { return m_grid; }

    /// Tells the views that the grid's size or content changed behind the model.
    void reload();

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
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    /// Adds empty rows at the end; rows elsewhere cannot be inserted.
    bool insertRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    static bool isFixed(const QModelIndex& index) { return index.column() == 0; }
    /// The grid row shown in a model row.
    static int gridRow(const QModelIndex& index) { return index.row() + 1; }

private:
    /// Why a data cell's text is refused, or empty for a number or an empty cell.
    QString cellProblem(const QModelIndex& index) const;

    desk::Grid& m_grid;
    bool m_headerCentred = false;
    bool m_marksNonNumbers = false;
};

} // namespace gui
