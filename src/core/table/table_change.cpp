// Doing and undoing one change of the single-cross table.
#include "table/table_change.h"

#include "table/cell_grid.h"

namespace koravel {

TableChange TableChange::cellEdit(const CellGrid &grid, int column, int row, std::string text)
{
    TableChange change;
    change.rowsBefore = change.rowsAfter = grid.rowCount();
    change.columnsBefore = change.columnsAfter = grid.columnCount();
    if (grid.cell(column, row) != text)
        change.cells.push_back({ column, row, grid.cell(column, row), std::move(text) });
    return change;
}

void TableChange::apply(CellGrid &grid) const
{
    grid.setRowCount(rowsAfter);
    grid.setColumnCount(columnsAfter);
    for (const Cell &cell : cells)
        grid.setCell(cell.column, cell.row, cell.after);
}

void TableChange::revert(CellGrid &grid) const
{
    for (const Cell &cell : cells)
        grid.setCell(cell.column, cell.row, cell.before);
    grid.setColumnCount(columnsBefore);
    grid.setRowCount(rowsBefore);
}

} // namespace koravel
