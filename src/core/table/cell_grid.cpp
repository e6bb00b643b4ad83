// The single-cross table: sizes with their fixed heading row and column, and a cell store that
// no change of size touches.
#include "table/cell_grid.h"

#include <algorithm>

namespace {

const std::string kEmptyCell;

} // namespace

namespace koravel {

CellGrid::CellGrid() = default;

void CellGrid::setRowCount(int rows)
{
    m_rowCount = std::max(rows, 1);
    // The fixed rows always stay below the count; they are not given back when it grows again.
    if (m_rowCount <= m_fixedRows)
        m_fixedRows = m_rowCount - 1;
}

void CellGrid::setColumnCount(int columns)
{
    m_columnCount = std::max(columns, 1);
    if (m_columnCount <= m_fixedColumns)
        m_fixedColumns = m_columnCount - 1;
}

const std::string &CellGrid::cell(int column, int row) const
{
    if (column < 0 || row < 0 || static_cast<std::size_t>(row) >= m_rows.size())
        return kEmptyCell;
    const std::vector<std::string> &cells = m_rows[static_cast<std::size_t>(row)];
    if (static_cast<std::size_t>(column) >= cells.size())
        return kEmptyCell;
    return cells[static_cast<std::size_t>(column)];
}

void CellGrid::setCell(int column, int row, std::string text)
{
    if (column < 0 || row < 0)
        return;
    const auto r = static_cast<std::size_t>(row);
    const auto c = static_cast<std::size_t>(column);
    if (r >= m_rows.size()) {
        if (text.empty())
            return; // an empty cell is what an unwritten one reads as already
        m_rows.resize(r + 1);
    }
    std::vector<std::string> &cells = m_rows[r];
    if (c >= cells.size()) {
        if (text.empty())
            return;
        cells.resize(c + 1);
    }
    cells[c] = std::move(text);
}

void CellGrid::clearDataCells()
{
    // Rows below the headings go whole; of row 0 only the label column is emptied.
    if (m_rows.size() > 1)
        m_rows.resize(1);
    if (!m_rows.empty() && !m_rows.front().empty())
        m_rows.front().front().clear();
}

void CellGrid::reserveRows(int rows)
{
    if (rows > 0)
        m_rows.reserve(static_cast<std::size_t>(rows));
}

} // namespace koravel
