// The single-cross table: a grid of text cells addressed (column, row) from 0, whose cells
// survive every change of size.
#pragma once

#include <string>
#include <vector>

namespace koravel {

class CellGrid
{
public:
    // A new grid has 2 rows and 4 columns, one fixed heading row and one fixed label column.
    CellGrid();

    int rowCount() const { return m_rowCount; }
    int columnCount() const { return m_columnCount; }
    int fixedRows() const { return m_fixedRows; }
    int fixedColumns() const { return m_fixedColumns; }

    // A count below 1 is taken as 1. A count not above the fixed count lowers the fixed count
    // to the new count minus 1; raising the count later does not restore it.
    void setRowCount(int rows);
    void setColumnCount(int columns);

    // Cells outside the current size keep their text: reading one gives its stored text, or
    // empty text if it was never written. Negative coordinates read as empty.
    const std::string &cell(int column, int row) const;
    void setCell(int column, int row, std::string text);

    // Empties every stored cell of rows 1 and below and of column 0, whatever the size; the
    // headings of row 0 stay.
    void clearDataCells();

    // Makes room for the cells of rows 0 to rows - 1 ahead of writing them, so that an import
    // of thousands of rows grows the store once.
    void reserveRows(int rows);

private:
    int m_rowCount = 2;
    int m_columnCount = 4;
    int m_fixedRows = 1;
    int m_fixedColumns = 1;
    std::vector<std::vector<std::string>> m_rows; // m_rows[row][column]
};

} // namespace koravel
