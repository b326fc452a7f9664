// Shows a gui::Grid in a Qt item view and lets the user edit its data cells.
#include "gui/grid/grid_model.h"

#include <QApplication>
#include <QPalette>

#include <algorithm>

namespace gui {

GridModel::GridModel(Grid& grid, QObject* parent) : QAbstractTableModel(parent), m_grid(grid) {}

void GridModel::reload() {
    beginResetModel();
    endResetModel();
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(m_grid.rowCount() - 1, 0);
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_grid.columnCount();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromStdString(m_grid.cell(index.column(), gridRow(index)));
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
    m_grid.setCell(index.column(), gridRow(index), value.toString().toStdString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    if (isFixed(index)) return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        const QString text = QString::fromStdString(m_grid.cell(section, 0));
        return m_headerCentred ? text.trimmed() : text;
    }
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole && m_headerCentred)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    if (orientation == Qt::Vertical && role == Qt::DisplayRole) return section + 1;
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace gui
