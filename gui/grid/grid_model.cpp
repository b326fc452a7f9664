// Shows a gui::Grid in a Qt item view and lets the user edit its data cells.
#include "gui/grid/grid_model.h"

#include <QApplication>
#include <QPalette>

namespace gui {

GridModel::GridModel(Grid& grid, QObject* parent) : QAbstractTableModel(parent), m_grid(grid) {}

void GridModel::reload() {
    beginResetModel();
    endResetModel();
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_grid.rowCount();
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_grid.columnCount();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromStdString(m_grid.cell(index.column(), index.row()));
    case Qt::BackgroundRole:
        if (isFixed(index)) return QApplication::palette().brush(QPalette::Button);
        return {};
    case Qt::ForegroundRole:
        if (isFixed(index)) return QApplication::palette().brush(QPalette::ButtonText);
        return {};
    default:
        return {};
    }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || isFixed(index) || role != Qt::EditRole) return false;
    m_grid.setCell(index.column(), index.row(), value.toString().toStdString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    if (isFixed(index)) return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

} // namespace gui
