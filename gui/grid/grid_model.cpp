// Shows a desk::Grid in a Qt item view and lets the user edit its data cells.
#include "gui/grid/grid_model.h"

#include "desk/typed_number.h"
#include "gui/grid/clipboard_table.h"

#include <QApplication>
#include <QColor>
#include <QPalette>
#include <QUndoCommand>
#include <QUndoStack>

#include <algorithm>
#include <climits>

namespace gui {

/// One change of the grid on the undo stack.
class GridEditCommand : public QUndoCommand {
public:
    GridEditCommand(GridModel& model, desk::GridEdit edit, const QString& text)
        : QUndoCommand(text), m_model(model), m_edit(std::move(edit)) {}
    void redo() override { m_model.change(m_edit, true); }
    void undo() override { m_model.change(m_edit, false); }

private:
    GridModel& m_model;
    desk::GridEdit m_edit;
};

GridModel::GridModel(desk::Grid& grid, QObject* parent)
    : QAbstractTableModel(parent), m_grid(grid), m_undo(new QUndoStack(this)) {}

void GridModel::reload() {
    beginResetModel();
    endResetModel();
    m_undo->clear();
}

void GridModel::apply(desk::GridEdit edit, const QString& text) {
    if (edit.empty()) return;
    m_undo->push(new GridEditCommand(*this, std::move(edit), text)); // applies it
}

namespace {

int modelRows(int gridRows) {
    return std::max(gridRows - 1, 0);
}

// A cell's text in its tooltip: a long one (a column pasted into one cell,
// say) by its start, so that the tip stays a line and not a screenful.
std::string tipText(const std::string& text) {
    constexpr std::size_t kLongest = 40;
    std::size_t end = std::min({text.find_first_of("\r\n\t"), text.size(), kLongest});
    if (end == text.size()) return text;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end; // not inside a UTF-8 sequence
    return text.substr(0, end) + "…";
}

} // namespace

// Rows come and go at the end only, so the views keep the current cell and
// the selection of the rows that stay.
void GridModel::change(const desk::GridEdit& edit, bool forward) {
    const int from = modelRows(forward ? edit.rowsBefore : edit.rowsAfter);
    const int to = modelRows(forward ? edit.rowsAfter : edit.rowsBefore);
    if (to > from) beginInsertRows({}, from, to - 1);
    if (to < from) beginRemoveRows({}, to, from - 1);
    desk::applyEdit(m_grid, edit, forward);
    if (to > from) endInsertRows();
    if (to < from) endRemoveRows();

    int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
    bool header = false;
    for (const desk::CellChange& cell : edit.cells) {
        if (cell.row == 0) {
            header = true;
        } else if (cell.row - 1 < to && cell.column < columnCount()) {
            top = std::min(top, cell.row - 1);
            bottom = std::max(bottom, cell.row - 1);
            left = std::min(left, cell.column);
            right = std::max(right, cell.column);
        }
    }
    if (header) emit headerDataChanged(Qt::Horizontal, 0, std::max(columnCount() - 1, 0));
    if (bottom >= 0) emit dataChanged(index(top, left), index(bottom, right));
    emit gridEdited();
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : modelRows(m_grid.rowCount());
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
    desk::GridEditBuilder edit(m_grid);
    edit.setCell(index.column(), gridRow(index), value.toString().toStdString());
    apply(edit.take(), "Úprava buňky");
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
    return QString::fromStdString(desk::numberProblemText(desk::cellName(gridRow(index), column),
                                                          tipText(text), number.error));
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

// The cells are copied as they stand; their text is made only when pasted.
std::function<std::string()> GridModel::copiedText(int top, int left, int bottom, int right) const {
    ClipboardRows cells;
    for (int row = std::max(top, 0); row <= std::min(bottom, rowCount() - 1); ++row) {
        auto& copied = cells.emplace_back();
        for (int column = left; column <= right; ++column)
            copied.push_back(m_grid.cell(column, row + 1));
    }
    return [cells = std::move(cells)]() mutable {
        for (auto& row : cells)
            for (std::string& cell : row)
                cell = desk::czechCellText(cell);
        return clipboardText(cells);
    };
}

} // namespace gui
