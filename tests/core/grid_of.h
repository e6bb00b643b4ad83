// A single-cross table made from rows of text, for the tests of the lookups and what uses them.
#pragma once

#include <string>
#include <vector>

#include "table/cell_grid.h"

namespace koravel::test {

struct Row
{
    std::string a, b, value;
};

// Row r of the list becomes row r + 1 of the table, below the heading row.
inline CellGrid gridOf(const std::vector<Row> &rows)
{
    CellGrid grid;
    grid.setRowCount(int(rows.size()) + 1);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        grid.setCell(1, int(r) + 1, rows[r].a);
        grid.setCell(2, int(r) + 1, rows[r].b);
        grid.setCell(3, int(r) + 1, rows[r].value);
    }
    return grid;
}

} // namespace koravel::test
