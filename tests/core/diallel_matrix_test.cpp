// The diallel matrix: what each cell shows for hand-made tables, the number of lines it takes,
// and an error of its lookups reaching it (the lookup rules themselves are the index's tests').
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "error_of.h"
#include "export/diallel_matrix.h"
#include "fixtures.h"
#include "numtext/error.h"
#include "table/cell_grid.h"

namespace koravel {
namespace {

    using test::gridOf;
    using test::Row;

    // The matrix row by row, cells separated by blanks: "." the diagonal, "-" a missing cross,
    // "z" a cross present with 0, else the value's text; then the source of n and min..max.
    std::string picture(const DiallelMatrix &matrix)
    {
        std::string out;
        for (int i = 1; i <= matrix.size(); ++i) {
            for (int j = 1; j <= matrix.size(); ++j) {
                const DiallelMatrix::Cell &cell = matrix.cell(i, j);
                out += cell.state == CrossState::Diagonal ? "."
                    : cell.state == CrossState::Missing   ? "-"
                    : cell.state == CrossState::Zero      ? "z"
                                                          : cell.text;
                out += j < matrix.size() ? " " : "\n";
            }
        }
        out += matrix.lineCountSource() == LineCountSource::Field ? "field" : "largest";
        if (matrix.minimum()) {
            std::ostringstream range;
            range << ' ' << *matrix.minimum() << ".." << *matrix.maximum();
            out += range.str();
        }
        return out;
    }

    const std::vector<Row> kThreeLines { { "1", "2", "5.5" }, { "2", "3", "0" } };

    TEST(DiallelMatrix, CellsAreWhatThePredictionsRead)
    {
        constexpr Reciprocals D = Reciprocals::Distinct, E = Reciprocals::Either;
        const std::string tooMany =
            "A matriz dial\xE9lica mostra no m\xE1ximo 300 linhagens (pedidas: ";
        const struct
        {
            const char *name;
            std::vector<Row> rows;
            const char *lines;
            Reciprocals reciprocals;
            std::string expected; // the picture, or the error message
            char separator = '.';
        } cases[] = {
            { "distinct keeps the order", kThreeLines, "3", D,
                ". 5.5 -\n- . z\n- - .\nfield 5.5..5.5" },
            { "either fills both orders", kThreeLines, "3", E,
                ". 5.5 -\n5.5 . z\n- z .\nfield 5.5..5.5" },
            { "no data row: all missing, no range", {}, "3", E, ". - -\n- . -\n- - .\nfield" },
            { "the field wider than the table", { { "2", "1", "4" } }, " 4", D,
                ". - - -\n4 . - -\n- - . -\n- - - .\nfield 4..4" },
            { "the field narrower: crosses beyond it are left out",
                { { "1", "2", "3" }, { "1", "5", "9" } }, "2", E, ". 3\n3 .\nfield 3..3" },
            { "duplicates, either: the last row in either order",
                { { "1", "2", "4" }, { "1", "2", "7" }, { "2", "1", "6" } }, "2", E,
                ". 6\n6 .\nfield 6..6" },
            { "a field that does not read: the largest parent",
                { { "1", "4", "2.5" }, { "03", "2", "1e2" } }, "abc", D,
                ". - - 2.5\n- . - -\n- 1e2 . -\n- - - .\nlargest 2.5..100" },
            { "values as the table holds them", { { "1", "2", "05" }, { "2", "1", "7.70" } }, "2",
                E, ". 7.70\n7.70 .\nfield 7.7..7.7" },
            { "a field below 2: the largest parent", { { "2", "1", "-3" }, { "1", "2", "4" } }, "1",
                D, ". 4\n-3 .\nlargest -3..4" },
            { "comma separator", { { "1", "2", "2,5" } }, "2", E, ". 2,5\n2,5 .\nfield 2.5..2.5",
                ',' },
            { "an empty parent A fails every lookup", { { "1", "2", "3" }, { "", "", "" } }, "2", D,
                "'' is not a valid integer value" },
            // No prediction asks for i x i, nor for a pair beyond n, so their bad values stay quiet.
            { "a bad self or a cross beyond n is never read",
                { { "1", "1", "x" }, { "1", "3", "y" }, { "1", "2", "8" } }, "2", E,
                ". 8\n8 .\nfield 8..8" },
            { "no line", {}, "0", D, "largest" },
            { "one line only", { { "1", "1", "5" } }, "x", D, "largest" },
            { "too many lines in the field", {}, "301", D, tooMany + "301)." },
            { "too many lines in the table", { { "1", "1000", "5" } }, "", D, tooMany + "1000)." },
        };
        for (const auto &row : cases) {
            SCOPED_TRACE(row.name);
            const CellGrid grid = gridOf(row.rows);
            std::string shown;
            const std::string error = errorOf([&] {
                shown = picture(DiallelMatrix(grid, row.lines, row.reciprocals, { row.separator }));
            });
            EXPECT_EQ(error == "no error" ? shown : error, row.expected);
        }
    }

    // Crosses, not cells: without reciprocals i x j and j x i are one cross.
    TEST(DiallelMatrix, CountsCrosses)
    {
        constexpr Reciprocals D = Reciprocals::Distinct, E = Reciprocals::Either;
        const auto allBut = [](int n, std::vector<std::pair<int, int>> gaps) {
            std::vector<Row> rows;
            for (int i = 1; i <= n; ++i)
                for (int j = i + 1; j <= n; ++j)
                    if (std::find(gaps.begin(), gaps.end(), std::pair { i, j }) == gaps.end())
                        rows.push_back({ std::to_string(i), std::to_string(j), "5" });
            return rows;
        };
        const struct
        {
            const char *name;
            std::vector<Row> rows;
            const char *lines;
            Reciprocals reciprocals;
            std::array<int, 4> expected; // present, missing, zero, diagonal
        } cases[] = {
            { "10 crosses of 5 lines, either", allBut(5, {}), "5", E, { 10, 0, 0, 5 } },
            { "10 crosses of 5 lines, distinct", allBut(5, {}), "5", D, { 10, 10, 0, 5 } },
            { "18 of the 21 crosses of 7 lines, either",
                allBut(7, { { 1, 2 }, { 3, 4 }, { 5, 6 } }), "7", E, { 18, 3, 0, 7 } },
            { "a cross and its reciprocal at 0, distinct", { { "1", "2", "4" }, { "2", "1", "0" } },
                "2", D, { 1, 0, 1, 2 } },
            { "a cross and its reciprocal at 0, either: the last row",
                { { "1", "2", "4" }, { "2", "1", "0" } }, "2", E, { 0, 0, 1, 2 } },
        };
        for (const auto &row : cases) {
            SCOPED_TRACE(row.name);
            const DiallelMatrix matrix(gridOf(row.rows), row.lines, row.reciprocals, {});
            EXPECT_EQ(
                (std::array { matrix.count(CrossState::Present), matrix.count(CrossState::Missing),
                    matrix.count(CrossState::Zero), matrix.count(CrossState::Diagonal) }),
                row.expected);
        }
    }

    TEST(DiallelMatrix, RangeOfTheMaizeExample)
    {
        // Griffing's maize diallel: 36 crosses i x j with i < j among 9 lines, from 183.7 (3 x 4)
        // to 302.2 (7 x 9).
        const CellGrid grid = test::importedExample("griffing56_maize.txt");
        for (const Reciprocals reciprocals : { Reciprocals::Distinct, Reciprocals::Either }) {
            const DiallelMatrix matrix(grid, "0", reciprocals, {});
            EXPECT_EQ(matrix.size(), 9);
            EXPECT_EQ(matrix.lineCountSource(), LineCountSource::LargestParent);
            EXPECT_EQ(std::pair(*matrix.minimum(), *matrix.maximum()), std::pair(183.7, 302.2));
            EXPECT_EQ(matrix.cell(9, 7).text, reciprocals == Reciprocals::Either ? "302.2" : "");
        }
        EXPECT_EQ(errorOf([&] { DiallelMatrix(grid, "9", Reciprocals::Either, {}).cell(10, 1); }),
            "List index out of bounds (10)");
    }

} // namespace
} // namespace koravel
