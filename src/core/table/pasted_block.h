// A tab-separated block from a spreadsheet, pasted into the single-cross table, and the block a
// selection of the table copies as. A paste is worked out whole and checked before the table
// changes: a cell that cannot be read refuses the whole block with a message in Portuguese.
#pragma once

#include <string>
#include <string_view>

#include "numtext/numtext.h"
#include "table/table_change.h"

namespace koravel {

class CellGrid;

// Lines end at CR LF, LF or CR (empty lines at the end are dropped); cells are split at tabs and
// lose their blanks at both ends. A block takes one of two forms.
//
// A two-way table of single crosses: its first row holds the line numbers 1 to n (n >= 2) after
// a corner cell that is not a number, its first column holds 1 to n below that corner, and it
// has no other rows. The cell in the row of line i and the column of line j is the cross i x j.
// Each filled cell off the diagonal becomes a row (i, j, value) of the table, in reading order;
// a cell below the diagonal only when its mirror across the diagonal is empty or holds another
// value, since otherwise the table repeats the same cross. The rows go after the table's last
// row that holds anything, its empty rows at the end reused.
//   "\t1\t2\t3\n1\t\t5.5\t6\n2\t5.5\t\t7.70\n3\t\t8\t"
//     -> rows (1, 2, "5.5"), (1, 3, "6"), (2, 3, "7.70"), (3, 2, "8")
//
// Any other block is a rectangle of cells pasted from the current cell's row down: a block of
// three or more columns (rows of Pai A, Pai B and value) from column 1, a narrower one (a value,
// a column of values) from the current cell's column. A cell that lands in column 1 or 2 (Pai A,
// Pai B) must be integer text, one in column 3 (PRODUÇÃO) real text with the settings'
// separator; later columns take any text. A first row without a single digit is a row of
// headings and is left out.
//   "1\t2\t6\n1\t3\t5" at (3, 4) -> cells (1..3, 4) = 1, 2, 6 and (1..3, 5) = 1, 3, 5
//   "8" at (3, 1)               -> cell (3, 1) = 8
//   "7,5" at (3, 1) with '.'    -> Error: "... '7,5' não é um valor com ponto como separador
//                                  decimal (coluna PRODUÇÃO). O bloco parece usar vírgula ..."
//
// Either way the table grows by the rows it needs; a new row gets its label "HS r" and only the
// pasted cells, whatever an earlier, longer import left hidden in it. A cell's text is kept as
// the block writes it (no number is rewritten); a two-way table's parents are its line numbers.
// An empty block gives an empty change. (column, row) must be a data cell.
TableChange pasteChange(const CellGrid &grid, std::string_view block, int column, int row,
    const FormatSettings &settings);

// The cells of columns left to right and rows top to bottom as a block: cells joined by tabs,
// each row ended by a line feed.
//   (1, 1)..(3, 2) of rows (1, 2, 6), (1, 3, 5) -> "1\t2\t6\n1\t3\t5\n"
std::string copiedBlock(const CellGrid &grid, int left, int top, int right, int bottom);

} // namespace koravel
