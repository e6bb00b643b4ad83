// The single-cross table: sizes, the fixed heading row and column, and the cell store.
#include <gtest/gtest.h>

#include "cell_grid.h"

using namespace koravel;

namespace {

TEST(CellGridSize, CountsBelowOneAreTakenAsOne)
{
    struct Row
    {
        const char *name;
        int asked;
        int kept;
    };
    const Row rows[] = {
        { "zero", 0, 1 },
        { "negative", -5, 1 },
        { "one", 1, 1 },
        { "many", 5001, 5001 },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        CellGrid grid;
        grid.setRowCount(row.asked);
        grid.setColumnCount(row.asked);
        EXPECT_EQ(grid.rowCount(), row.kept);
        EXPECT_EQ(grid.columnCount(), row.kept);
    }
}

TEST(CellGridSize, FixedCountStaysBelowTheCountAndIsNotGivenBack)
{
    CellGrid grid;
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.columnCount(), 4);
    EXPECT_EQ(grid.fixedRows(), 1);
    EXPECT_EQ(grid.fixedColumns(), 1);

    grid.setRowCount(2); // still above the one fixed row
    EXPECT_EQ(grid.fixedRows(), 1);
    grid.setRowCount(1);
    EXPECT_EQ(grid.fixedRows(), 0);
    grid.setRowCount(10);
    EXPECT_EQ(grid.fixedRows(), 0);

    grid.setColumnCount(0);
    EXPECT_EQ(grid.columnCount(), 1);
    EXPECT_EQ(grid.fixedColumns(), 0);
    grid.setColumnCount(4);
    EXPECT_EQ(grid.fixedColumns(), 0);
    EXPECT_EQ(grid.fixedRows(), 0);
}

TEST(CellGridStore, ResizingNeitherClearsNorDiscardsCells)
{
    CellGrid grid;
    grid.setCell(3, 1, "4.5");
    grid.setCell(7, 9, "beyond"); // outside the size when written
    grid.setRowCount(1);
    grid.setColumnCount(1);
    EXPECT_EQ(grid.cell(3, 1), "4.5");
    EXPECT_EQ(grid.cell(7, 9), "beyond");
    grid.setRowCount(20);
    grid.setColumnCount(8);
    EXPECT_EQ(grid.cell(3, 1), "4.5");
    EXPECT_EQ(grid.cell(7, 9), "beyond");
}

TEST(CellGridStore, UnwrittenAndNegativeCellsReadEmpty)
{
    CellGrid grid;
    grid.setCell(2, 2, "x");
    EXPECT_EQ(grid.cell(1, 2), "");
    EXPECT_EQ(grid.cell(2, 3), "");
    EXPECT_EQ(grid.cell(100, 100000), "");
    EXPECT_EQ(grid.cell(-1, 2), "");
    EXPECT_EQ(grid.cell(2, -1), "");
    grid.setCell(-1, 0, "lost");
    EXPECT_EQ(grid.cell(0, 0), "");
}

TEST(CellGridStore, ClearDataCellsKeepsOnlyTheHeadings)
{
    CellGrid grid;
    grid.setCell(1, 0, "Pai A");
    grid.setCell(3, 0, "PRODU\xC7\xC3O");
    grid.setCell(9, 0, "typed heading");
    grid.setCell(0, 0, "corner");
    grid.setCell(0, 1, "HS 1");
    grid.setCell(2, 1, "3");
    grid.setCell(5, 40, "hidden");
    grid.setRowCount(3);
    grid.clearDataCells();

    EXPECT_EQ(grid.cell(1, 0), "Pai A");
    EXPECT_EQ(grid.cell(3, 0), "PRODU\xC7\xC3O");
    EXPECT_EQ(grid.cell(9, 0), "typed heading");
    EXPECT_EQ(grid.cell(0, 0), "");
    EXPECT_EQ(grid.cell(0, 1), "");
    EXPECT_EQ(grid.cell(2, 1), "");
    EXPECT_EQ(grid.cell(5, 40), "");
    EXPECT_EQ(grid.rowCount(), 3); // the size is not the store's business
    EXPECT_EQ(grid.columnCount(), 4);

    grid.setCell(2, 1, "again");
    EXPECT_EQ(grid.cell(2, 1), "again");
}

} // namespace
