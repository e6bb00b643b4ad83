// The single-cross table: sizes, the fixed heading row and column, and the cell store.
#include <gtest/gtest.h>

#include <utility>

#include "table/cell_grid.h"

using namespace koravel;

namespace {

TEST(CellGrid, SizesStayAboveZeroAndTheFixedRowAndColumnGoWithThem)
{
    CellGrid grid;
    grid.setRowCount(2); // still above the one fixed row
    EXPECT_EQ(grid.fixedRows(), 1);
    EXPECT_EQ(grid.columnCount(), 4);
    grid.setRowCount(-5);
    grid.setColumnCount(0);
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.columnCount(), 1);
    // The fixed row and column do not come back with the size.
    grid.setRowCount(5001);
    grid.setColumnCount(4);
    EXPECT_EQ(grid.rowCount(), 5001);
    EXPECT_EQ(grid.fixedRows(), 0);
    EXPECT_EQ(grid.fixedColumns(), 0);
}

TEST(CellGrid, CellsOutsideTheSizeKeepTheirTextAndClearingKeepsOnlyTheHeadings)
{
    CellGrid grid;
    grid.setCell(3, 0, "PRODU\xC7\xC3O");
    grid.setCell(9, 0, "typed heading");
    grid.setCell(0, 0, "corner");
    grid.setCell(0, 1, "HS 1");
    grid.setCell(7, 9, "beyond"); // outside the size when written
    grid.setCell(-1, 0, "lost");
    grid.setRowCount(1);
    grid.setColumnCount(1);
    EXPECT_EQ(grid.cell(7, 9), "beyond");
    EXPECT_EQ(grid.cell(0, 1), "HS 1");
    EXPECT_EQ(grid.cell(-1, 0), "");
    EXPECT_EQ(grid.cell(100, 100000), "");
    grid.clearDataCells();
    EXPECT_EQ(grid.cell(3, 0), "PRODU\xC7\xC3O");
    EXPECT_EQ(grid.cell(9, 0), "typed heading");
    for (const auto &[column, row] : { std::pair(0, 0), std::pair(0, 1), std::pair(7, 9) })
        EXPECT_EQ(grid.cell(column, row), "") << column << ", " << row;
    EXPECT_EQ(grid.rowCount(), 1); // the size is not the store's business
}

} // namespace
