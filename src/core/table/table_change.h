// One change of the single-cross table that can be done and undone: an edited cell or a pasted
// block, with every cell's text before and after and the table's size before and after.
#pragma once

#include <string>
#include <vector>

namespace koravel {

class CellGrid;

struct TableChange
{
    struct Cell
    {
        int column = 0;
        int row = 0;
        std::string before;
        std::string after;
    };

    int rowsBefore = 0;
    int rowsAfter = 0;
    int columnsBefore = 0;
    int columnsAfter = 0;
    std::vector<Cell> cells; // each cell once; only cells whose text changes

    bool empty() const
    {
        return cells.empty() && rowsBefore == rowsAfter && columnsBefore == columnsAfter;
    }

    // Writing text into one cell of grid, the table's size unchanged.
    //   cell (3, 1) "5" -> cells { {3, 1, "5", "7.70"} } for text "7.70"; no cells for "5"
    static TableChange cellEdit(const CellGrid &grid, int column, int row, std::string text);

    // Sizes first, then the cells' after texts.
    void apply(CellGrid &grid) const;
    // The cells' before texts, then the sizes before: the table as it was before apply. A size
    // only ever grew in a change, so shrinking it back keeps the fixed row and column.
    void revert(CellGrid &grid) const;
};

} // namespace koravel
