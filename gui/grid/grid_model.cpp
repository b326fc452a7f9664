// Shows a desk::Grid in a Qt item view and lets the user edit its data cells.
#include "gui/grid/grid_model.h"

#include "desk/typed_number.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

#include <algorithm>

namespace gui {

GridModel::GridModel(desk::Grid& grid, QObject* parent)
    : QAbstractTableModel(parent), m_grid(grid) {}

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
        if (!cellProblem(index).isEmpty()) return QColor(255, 190, 190);
        return {};
    case Qt::ToolTipRole:
        return isFixed(index) ? QVariant() : QVariant(cellProblem(index));
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

QString GridModel::cellProblem(const QModelIndex& index) const {
    if (!m_marksNonNumbers || isFixed(index)) return {};
    const std::string& text = m_grid.cell(index.column(), gridRow(index));
    const desk::ParsedNumber number = desk::parseTypedNumber(text);
    if (number || number.error == desk::NumberError::Empty) return {};
    std::string column = m_grid.cell(index.column(), 0);
    column.erase(0, column.find_first_not_of(' '));
    if (column.empty()) column = std::to_string(index.column());
    return QString::fromStdString(
        desk::numberProblemText(desk::cellName(gridRow(index), column), text, number.error));
}

bool GridModel::insertRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || count < 1 || row != rowCount()) return false;
    beginInsertRows({}, row, row + count - 1);
    m_grid.setRowCount(m_grid.rowCount() + count);
    endInsertRows();
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
