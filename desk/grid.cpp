// The front end's grid: text cells, fixed header row and numbering column.
#include "desk/grid.h"

#include "desk/typed_number.h"

#include <algorithm>

namespace desk {

namespace {
const std::string kEmpty;
}

Grid::Grid(int columnCount, int rowCount)
    : m_columnCount(std::max(columnCount, 0)),
      m_rows(static_cast<std::size_t>(std::max(rowCount, 0))) {}

void Grid::setRowCount(int rowCount) {
    m_rows.resize(static_cast<std::size_t>(std::max(rowCount, 0)));
}

void Grid::setColumnCount(int columnCount) {
    m_columnCount = std::max(columnCount, 0);
}

const std::string& Grid::cell(int column, int row) const {
    if (row < 0 || row >= rowCount() || column < 0) return kEmpty;
    const auto& cells = m_rows[static_cast<std::size_t>(row)];
    return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)]
                                                           : kEmpty;
}

int Grid::storedColumns(int row) const {
    if (row < 0 || row >= rowCount()) return 0;
    return static_cast<int>(m_rows[static_cast<std::size_t>(row)].size());
}

void Grid::setCell(int column, int row, std::string text) {
    if (row < 0 || row >= rowCount() || column < 0) return;
    auto& cells = m_rows[static_cast<std::size_t>(row)];
    if (static_cast<std::size_t>(column) >= cells.size())
        cells.resize(static_cast<std::size_t>(column) + 1);
    cells[static_cast<std::size_t>(column)] = std::move(text);
}

void numberDataRows(Grid& grid) {
    for (int row = 1; row < grid.rowCount(); ++row)
        grid.setCell(0, row, std::to_string(row));
}

void showCzechNumbers(Grid& grid) {
    for (int row = 1; row < grid.rowCount(); ++row)
        for (int column = 1; column < grid.columnCount(); ++column)
            if (parseTypedNumber(grid.cell(column, row)))
                grid.setCell(column, row, czechNumber(grid.cell(column, row)));
}

void setDataRows(Grid& grid, const std::vector<std::vector<std::string>>& rows) {
    grid.setRowCount(1); // drops what the old rows held beyond their columns
    grid.setRowCount(static_cast<int>(rows.size()) + 1);
    numberDataRows(grid);
    for (int row = 1; row < grid.rowCount(); ++row) {
        const auto& values = rows[static_cast<std::size_t>(row - 1)];
        for (std::size_t k = 0; k < values.size(); ++k)
            grid.setCell(static_cast<int>(k) + 1, row, values[k]);
    }
}

void setDataRows(Grid& grid, const std::vector<std::string>& values) {
    std::vector<std::vector<std::string>> rows;
    rows.reserve(values.size());
    for (const std::string& value : values)
        rows.push_back({value});
    setDataRows(grid, rows);
}

} // namespace desk
