// Pasting a spreadsheet block into the table: both forms, the checks that refuse a block whole,
// and the change undone leaving every stored cell as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "error_of.h"
#include "fixtures.h"
#include "table/cell_grid.h"
#include "table/pasted_block.h"

namespace koravel {
namespace {

    using test::Row;

    // Rows 1 to rowCount - 1 as shown: label and cells joined by "|", one line a row.
    std::string shown(const CellGrid &grid)
    {
        std::string out;
        for (int r = 1; r < grid.rowCount(); ++r) {
            for (int c = 0; c < grid.columnCount(); ++c)
                out += (c ? "|" : "") + grid.cell(c, r);
            out += '\n';
        }
        return out;
    }

    // Every stored cell, shown or hidden, and the size.
    std::string stored(const CellGrid &grid)
    {
        std::string out =
            std::to_string(grid.rowCount()) + "x" + std::to_string(grid.columnCount());
        for (int r = 0; r < 12; ++r)
            for (int c = 0; c < 6; ++c)
                out += "|" + grid.cell(c, r);
        return out;
    }

    TEST(PastedBlock, FormsChecksAndUndo)
    {
        const std::vector<Row> one { { "1", "2", "6" } };
        const std::string comma =
            " O bloco parece usar v\xEDrgula: escolha \"V\xEDrgula\" em .:: Op\xE7\xF5"
            "es ::. e cole de novo.";
        const std::string refused = "N\xE3o foi poss\xEDvel colar: ";
        const struct
        {
            const char *name;
            std::vector<Row> rows; // the table before, labelled HS 1...
            int rowCount; // 0: one row more than rows
            int column, row;
            std::string block;
            std::string expected; // shown(), or the error message
            char separator = '.';
        } cases[] = {
            { "rows from the current cell down, the table growing", one, 0, 1, 1,
                "1\t3\t5\n2\t3\t7.70\n\n", "HS 1|1|3|5\nHS 2|2|3|7.70\n" },
            { "from a later row, blanks trimmed, CR LF", { { "1", "2", "6" }, { "1", "3", "5" } },
                0, 1, 2, " 2 \t3\t 4\r\n2\t4\t1e1\r\n", "HS 1|1|2|6\nHS 2|2|3|4\nHS 3|2|4|1e1\n" },
            { "one value into PRODU\xC7\xC3O", one, 0, 3, 1, "8", "HS 1|1|2|8\n" },
            { "a first row without digits is headings", one, 0, 1, 1,
                "Pai A\tPai B\tPRODU\xC7\xC3O\n4\t5\t2,25\n", "HS 1|4|5|2,25\n", ',' },
            { "a new row shows nothing hidden before", { { "1", "2", "6" }, { "9", "9", "9" } }, 2,
                1, 1, "1\t2\n3\t4", "HS 1|1|2|6\nHS 2|3|4|\n" },
            { "a number in the corner: rows, not a two-way table", {}, 2, 1, 1,
                "5\t1\t2\n1\t3\t4.5\n2\t3\t5", "HS 1|5|1|2\nHS 2|1|3|4.5\nHS 3|2|3|5\n" },
            { "an empty block changes nothing", one, 0, 1, 1, "\r\n", "HS 1|1|2|6\n" },
            { "two-way: after the last filled row; equal mirrors once, diagonal skipped",
                { { "1", "2", "6" }, { "", "", "" } }, 0, 3, 1,
                "\t1\t2\t3\n1\t100\t5.5\t6\n2\t5.50\t\t7.70\n3\t\t8\t\n",
                "HS 1|1|2|6\nHS 2|1|2|5.5\nHS 3|1|3|6\nHS 4|2|3|7.70\nHS 5|3|2|8\n" },
            { "two-way below the diagonal only, on a new table", {}, 2, 1, 1,
                "Linhagem\t1\t2\n1\t\t\n2\t4,5\t\n", "HS 1|2|1|4,5\n", ',' },
            { "a bad parent", one, 0, 1, 1, "1\t2\t3\n1\tx\t5",
                refused
                    + "na linha 2 do bloco, 'x' n\xE3o \xE9 um n\xFAmero de linhagem (coluna Pai "
                      "B)." },
            { "a comma value with the point", one, 0, 1, 1, "1\t2\t7,5",
                refused
                    + "na linha 1 do bloco, '7,5' n\xE3o \xE9 um valor com ponto como separador "
                      "decimal (coluna PRODU\xC7\xC3O)."
                    + comma },
            { "three columns go to Pai A, whatever the current column", one, 0, 3, 1, "4\t5\t6",
                "HS 1|4|5|6\n" },
            { "wider than the table", one, 0, 2, 1, "1\t2\t3\tx",
                refused
                    + "o bloco tem 4 colunas e, a partir da coluna Pai A, passa da \xFAltima "
                      "coluna da tabela." },
            { "two-way with a value that does not read", one, 0, 1, 1, "\t1\t2\n1\t\tNA\n2\t\t\n",
                refused
                    + "na tabela de dupla entrada, linha da linhagem 1, coluna da linhagem 2, "
                      "'NA' n\xE3o \xE9 um valor com ponto como separador decimal." },
        };
        for (const auto &c : cases) {
            SCOPED_TRACE(c.name);
            CellGrid grid = test::gridOf(c.rows);
            for (int r = 1; r <= int(c.rows.size()); ++r)
                grid.setCell(0, r, "HS " + std::to_string(r));
            grid.setCell(1, 0, "Pai A");
            grid.setCell(2, 0, "Pai B");
            grid.setCell(3, 0, "PRODU\xC7\xC3O");
            grid.setRowCount(c.rowCount ? c.rowCount : int(c.rows.size()) + 1);
            const std::string before = stored(grid);
            TableChange change;
            const std::string error = errorOf(
                [&] { change = pasteChange(grid, c.block, c.column, c.row, { c.separator }); });
            EXPECT_EQ(stored(grid), before); // worked out whole before anything changes
            if (error != "no error") {
                EXPECT_EQ(error, c.expected);
                continue;
            }
            change.apply(grid);
            EXPECT_EQ(shown(grid), c.expected);
            change.revert(grid);
            EXPECT_EQ(stored(grid), before);
        }
    }

} // namespace
} // namespace koravel
