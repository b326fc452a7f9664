// Shows a gui::Grid in a Qt item view and lets the user edit its data cells.
#pragma once

#include "gui/common/grid.h"

#include <QAbstractTableModel>

namespace gui {

/// Table model over a Grid owned by someone else (it must outlive the model).
/// Model row/column = grid row/column: the header row 0 and the numbering
/// column 0 are ordinary model cells, shown greyed and not editable, like the
/// fixed cells of the grid. Data cells are editable text.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(Grid& grid, QObject* parent = nullptr);

    Grid& grid() { return m_grid; }

    /// Tells the views that the grid's size or content changed behind the model.
    void reload();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    static bool isFixed(const QModelIndex& index) {
        return index.row() == 0 || index.column() == 0;
    }

private:
    Grid& m_grid;
};

} // namespace gui
