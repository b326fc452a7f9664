// The front end's grid: a rectangular table of text cells with a fixed header
// row (row 0) and a fixed numbering column (column 0); data rows from 1.
#pragma once

#include <string>
#include <vector>

namespace desk {

class Grid {
public:
    Grid(int columnCount, int rowCount);

    int columnCount() const { return m_columnCount; }
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    /// Rows beyond the new count are dropped; new rows are empty.
    void setRowCount(int rowCount);
    void setColumnCount(int columnCount);

    /// Cell text (UTF-8); empty outside the grid. Arguments are (column, row).
    const std::string& cell(int column, int row) const;
    /// How many cells row `row` holds, the columns beyond the last kept with
    /// it included; 0 outside the grid.
    int storedColumns(int row) const;
    /// Sets a cell of an existing row. A column beyond the last one is kept
    /// with the row (not shown, drawn or written) so that a load never loses
    /// what its lines held; a row beyond the last is ignored.
    void setCell(int column, int row, std::string text);

private:
    int m_columnCount;
    std::vector<std::vector<std::string>> m_rows;
};

/// Replaces the data rows by `rows`: row r (from 1) numbered in column 0 and
/// its values in columns 1, 2, ...; the header row stays.
void setDataRows(Grid& grid, const std::vector<std::vector<std::string>>& rows);
/// The same with one value per row.
void setDataRows(Grid& grid, const std::vector<std::string>& values);

/// Numbers every data row in column 0 (1, 2, ...).
void numberDataRows(Grid& grid);

/// Every data cell (rows and columns from 1) that holds a number
/// (parseTypedNumber) shown with a decimal comma, its blanks kept
/// (" 4.51" -> " 4,51"); other texts stay as they are.
void showCzechNumbers(Grid& grid);

} // namespace desk
